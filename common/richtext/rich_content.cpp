#include "common/richtext/rich_content.h"

#include <cstring>

#include "common/base/byte_order.h"

namespace velmor {

namespace {

uint32_t ReadU32(const unsigned char* p) { return static_cast<uint32_t>(ReadLe32(p)); }

// A count read from a header: negative counts mean none.
std::size_t Count(int32_t value) { return value > 0 ? static_cast<std::size_t>(value) : 0; }

}  // namespace

bool ParsePictureRecord(const unsigned char* data, std::size_t available, PictureView* view) {
  if (available < kPictureHeaderSize) return false;
  uint32_t length = ReadU32(data);
  if (length < kPictureHeaderSize || length > available) return false;
  int32_t width = ReadLe32(data + 8);
  int32_t height = ReadLe32(data + 12);
  if (width < 0 || height < 0) return false;
  uint64_t pixelBytes = uint64_t{3} * static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
  if (pixelBytes > length - kPictureHeaderSize) return false;
  view->length = length;
  view->width = width;
  view->height = height;
  view->position = ReadLe32(data + 16);
  view->record = data;
  return true;
}

ContentBlock MakePictureRecord(int32_t width, int32_t height, const unsigned char* pixels,
                               std::size_t trailer) {
  std::size_t pixelBytes = std::size_t{3} * static_cast<std::size_t>(width) *
                           static_cast<std::size_t>(height);
  ContentBlock record = ContentBlock::Allocate(kPictureHeaderSize + pixelBytes + trailer);
  unsigned char* p = record.data();
  WriteLe32(p, static_cast<int32_t>(record.size()));
  WriteLe32(p + 4, kPictureKind);
  WriteLe32(p + 8, width);
  WriteLe32(p + 12, height);
  WriteLe32(p + 16, 0);
  if (pixelBytes > 0) std::memcpy(p + kPictureHeaderSize, pixels, pixelBytes);
  std::memset(p + kPictureHeaderSize + pixelBytes, 0, trailer);
  return record;
}

void SetPicturePosition(ContentBlock& record, int32_t position) {
  if (record.size() >= kPictureHeaderSize) WriteLe32(record.data() + 16, position);
}

RichContentParts ParseRichContent(const unsigned char* blob, std::size_t size) {
  RichContentParts parts;
  if (size < kRichContentHeaderSize) return parts;
  // Never trust the length word beyond the bytes that are really there.
  std::size_t total = ReadU32(blob);
  if (total > size) total = size;
  if (total < kRichContentHeaderSize) return parts;

  parts.characterCount = ReadLe32(blob + 16);
  std::size_t pictureCount = Count(ReadLe32(blob + 20));
  std::size_t textBytes = Count(ReadLe32(blob + 24));
  std::size_t runCount = Count(ReadLe32(blob + 28));

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
    run.first = ReadLe32(blob + at);
    run.end = ReadLe32(blob + at + 4);
    std::memcpy(run.format.data(), blob + at + 8, kCharFormatSize);
    at += kFormatRunSize;
  }

  for (std::size_t i = 0; i < pictureCount && at < total; ++i) {
    std::size_t left = total - at;
    if (left < 4) break;
    uint32_t length = ReadU32(blob + at);
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
  std::memset(p, 0, kRichContentHeaderSize);
  WriteLe32(p, static_cast<int32_t>(total));
  WriteLe32(p + 16, characterCount);
  WriteLe32(p + 20, static_cast<int32_t>(pictures.size()));
  WriteLe32(p + 24, static_cast<int32_t>(textBytes));
  WriteLe32(p + 28, static_cast<int32_t>(runs.size()));
  std::size_t at = kRichContentHeaderSize;
  std::memcpy(p + at, text.c_str(), textBytes);
  at += textBytes;
  for (const FormatRun& run : runs) {
    WriteLe32(p + at, run.first);
    WriteLe32(p + at + 4, run.end);
    std::memcpy(p + at + 8, run.format.data(), kCharFormatSize);
    at += kFormatRunSize;
  }
  for (const ContentBlock* picture : pictures) {
    if (picture->size() > 0) std::memcpy(p + at, picture->data(), picture->size());
    at += picture->size();
  }
  return blob;
}

}  // namespace velmor
