// The RichContent blob and the PictureRecord, as the rich-text control saves and loads them.
//
// RichContent (little-endian, no alignment):
//   0   total length           16  character count      24  text byte count T (with NUL)
//   4   reserved (12 bytes)    20  picture count P      28  format-run count R
//   32  text (T bytes, GBK, CR LF paragraph breaks, NUL-terminated)
//   32+T      R format runs of 68 bytes: first, end, then the 60-byte character format
//   32+T+68R  P picture records, each with its own length
//
// PictureRecord: length, kind (1), width W, height H, character position, then H rows of W
// pixels in blue, green, red order, top row first, unpadded; trailing bytes are ignored.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/base/content_block.h"

namespace velmor {

constexpr std::size_t kRichContentHeaderSize = 32;
constexpr std::size_t kFormatRunSize = 68;
constexpr std::size_t kCharFormatSize = 60;
constexpr std::size_t kPictureHeaderSize = 20;
constexpr std::size_t kMaxRichTextBytes = 8191;
constexpr uint32_t kRunFormatMask = 0xF800003F;
constexpr int32_t kPictureKind = 1;
// Records made by the screen capture carry three trailing bytes.
constexpr std::size_t kCapturedPictureTrailer = 3;

struct FormatRun {
  static constexpr std::size_t kSize = kFormatRunSize;
  int32_t first = 0;
  int32_t end = 0;
  // The control's ANSI character format: size, mask, effects, height, offset, colour,
  // character set, pitch and family, face name.
  std::array<unsigned char, kCharFormatSize> format{};

  template <typename Io>
  void Fields(Io& io) {
    io(first);
    io(end);
    io(format);
  }
};

// A picture record checked against the bytes that hold it.
struct PictureView {
  uint32_t length = 0;
  int32_t width = 0;
  int32_t height = 0;
  int32_t position = 0;
  const unsigned char* record = nullptr;  // the whole record (length bytes)
  const unsigned char* pixels() const { return record + kPictureHeaderSize; }
};

// Checks a picture record at `data` with `available` bytes behind it. A record needs its
// 20-byte header, a length within the bytes available, a non-negative width and height,
// and room for 3 * W * H pixel bytes within its length.
bool ParsePictureRecord(const unsigned char* data, std::size_t available, PictureView* view);

// A picture record of W x H pixels from top-down blue-green-red rows, position 0.
ContentBlock MakePictureRecord(int32_t width, int32_t height, const unsigned char* pixels,
                               std::size_t trailer = kCapturedPictureTrailer);

void SetPicturePosition(ContentBlock& record, int32_t position);

// The parts of a blob, checked against its length: what reaches beyond the blob is cut off
// at the last complete record; pictures that fail ParsePictureRecord are skipped, and one
// whose length cannot be stepped over ends the list.
struct RichContentParts {
  int32_t characterCount = 0;
  std::string text;  // up to its NUL
  std::vector<FormatRun> runs;
  std::vector<PictureView> pictures;  // views into the blob
};

RichContentParts ParseRichContent(const unsigned char* blob, std::size_t size);

// Builds a blob. `text` is stored with a NUL; the picture records are stored whole.
ContentBlock BuildRichContent(int32_t characterCount, const std::string& text,
                              const std::vector<FormatRun>& runs,
                              const std::vector<const ContentBlock*>& pictures);

}  // namespace velmor
