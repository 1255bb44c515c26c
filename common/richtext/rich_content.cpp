#include "common/richtext/rich_content.h"

#include <array>
#include <cstring>

#include "common/base/byte_order.h"
#include "common/base/record.h"

namespace velmor {

namespace {

// The head of a content blob: its total length, twelve bytes without meaning (written as
// zeros), then the counts of what follows the head in turn: text bytes, format runs, pictures.
struct RichContentHead {
  static constexpr std::size_t kSize = kRichContentHeaderSize;
  int32_t totalLength = 0;
  std::array<char, 12> unused{};
  int32_t characterCount = 0;
  int32_t pictureCount = 0;
  int32_t textBytes = 0;
  int32_t runCount = 0;
  template <typename Io>
  void Fields(Io& io) {
    io(totalLength);
    io(unused);
    io(characterCount);
    io(pictureCount);
    io(textBytes);
    io(runCount);
  }
};

struct PictureHead {
  static constexpr std::size_t kSize = kPictureHeaderSize;
  int32_t length = 0;  // the whole record, read as an unsigned number
  int32_t kind = kPictureKind;
  int32_t width = 0;
  int32_t height = 0;
  int32_t position = 0;  // the character position in the text
  template <typename Io>
  void Fields(Io& io) {
    io(length);
    io(kind);
    io(width);
    io(height);
    io(position);
  }
};

// A count read from a header: negative counts mean none.
std::size_t Count(int32_t value) { return value > 0 ? static_cast<std::size_t>(value) : 0; }

}  // namespace

bool ParsePictureRecord(const unsigned char* data, std::size_t available, PictureView* view) {
  PictureHead head;
  if (!ReadRecordAt(data, available, head)) return false;
  const uint32_t length = static_cast<uint32_t>(head.length);
  if (length < kPictureHeaderSize || length > available) return false;
  if (head.width < 0 || head.height < 0) return false;
  uint64_t pixelBytes =
      uint64_t{3} * static_cast<uint64_t>(head.width) * static_cast<uint64_t>(head.height);
  if (pixelBytes > length - kPictureHeaderSize) return false;
  view->length = length;
  view->width = head.width;
  view->height = head.height;
  view->position = head.position;
  view->record = data;
  return true;
}

ContentBlock MakePictureRecord(int32_t width, int32_t height, const unsigned char* pixels,
                               std::size_t trailer) {
  std::size_t pixelBytes = std::size_t{3} * static_cast<std::size_t>(width) *
                           static_cast<std::size_t>(height);
  ContentBlock record = ContentBlock::Allocate(kPictureHeaderSize + pixelBytes + trailer);
  unsigned char* p = record.data();
  PictureHead head;
  head.length = static_cast<int32_t>(record.size());
  head.width = width;
  head.height = height;
  WriteRecordAt(p, head);
  if (pixelBytes > 0) std::memcpy(p + kPictureHeaderSize, pixels, pixelBytes);
  std::memset(p + kPictureHeaderSize + pixelBytes, 0, trailer);
  return record;
}

void SetPicturePosition(ContentBlock& record, int32_t position) {
  PictureHead head;
  if (!ReadRecordAt(record.data(), record.size(), head)) return;
  head.position = position;
  WriteRecordAt(record.data(), head);
}

RichContentParts ParseRichContent(const unsigned char* blob, std::size_t size) {
  RichContentParts parts;
  RichContentHead head;
  if (!ReadRecordAt(blob, size, head)) return parts;
  // Never trust the length word beyond the bytes that are really there.
  std::size_t total = static_cast<uint32_t>(head.totalLength);
  if (total > size) total = size;
  if (total < kRichContentHeaderSize) return parts;

  parts.characterCount = head.characterCount;
  std::size_t pictureCount = Count(head.pictureCount);
  std::size_t textBytes = Count(head.textBytes);
  std::size_t runCount = Count(head.runCount);

  std::size_t at = kRichContentHeaderSize;
  std::size_t available = total - at;
  if (textBytes > available) {
    // The text reaches outside: keep what is there, and nothing after it.
    const char* text = reinterpret_cast<const char*>(blob + at);
    parts.text.assign(text, strnlen(text, available));
    return parts;
  }
  const char* text = reinterpret_cast<const char*>(blob + at);
  parts.text.assign(text, strnlen(text, textBytes));
  at += textBytes;

  std::size_t completeRuns = (total - at) / kFormatRunSize;
  if (runCount > completeRuns) {
    runCount = completeRuns;
    pictureCount = 0;  // the pictures would start beyond the blob
  }
  parts.runs.resize(runCount);
  for (FormatRun& run : parts.runs) {
    ReadRecordAt(blob + at, total - at, run);
    at += kFormatRunSize;
  }

  for (std::size_t i = 0; i < pictureCount && at < total; ++i) {
    std::size_t left = total - at;
    if (left < 4) break;
    uint32_t length = static_cast<uint32_t>(ReadLe32(blob + at));
    if (length < kPictureHeaderSize || length > left) break;  // cannot step over it safely
    PictureView view;
    if (ParsePictureRecord(blob + at, left, &view)) parts.pictures.push_back(view);
    at += length;
  }
  return parts;
}

ContentBlock BuildRichContent(int32_t characterCount, const std::string& text,
                              const std::vector<FormatRun>& runs,
                              const std::vector<const ContentBlock*>& pictures) {
  std::size_t textBytes = text.size() + 1;
  std::size_t pictureBytes = 0;
  for (const ContentBlock* picture : pictures) pictureBytes += picture->size();
  std::size_t total =
      kRichContentHeaderSize + textBytes + kFormatRunSize * runs.size() + pictureBytes;

  ContentBlock blob = ContentBlock::Allocate(total);
  unsigned char* p = blob.data();
  RichContentHead head;
  head.totalLength = static_cast<int32_t>(total);
  head.characterCount = characterCount;
  head.pictureCount = static_cast<int32_t>(pictures.size());
  head.textBytes = static_cast<int32_t>(textBytes);
  head.runCount = static_cast<int32_t>(runs.size());
  WriteRecordAt(p, head);
  std::size_t at = kRichContentHeaderSize;
  std::memcpy(p + at, text.c_str(), textBytes);
  at += textBytes;
  for (const FormatRun& run : runs) {
    WriteRecordAt(p + at, run);
    at += kFormatRunSize;
  }
  for (const ContentBlock* picture : pictures) {
    if (picture->size() > 0) std::memcpy(p + at, picture->data(), picture->size());
    at += picture->size();
  }
  return blob;
}

}  // namespace velmor
