// Pictures of documents as picture records: PNG, JPEG, BMP and GIF (its first frame) decoded
// from memory and scaled to the size the document shows them at. What is transparent is laid
// on white, as a stem's page is.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/base/content_block.h"

namespace velmor {

struct PictureLimits {
  // A picture whose header claims more pixels is refused before it is decoded.
  uint64_t maxSourcePixels = 40'000'000;
  // No record is wider or higher; a picture shown larger is scaled down to fit, its shape kept.
  int32_t maxSide = 2000;
};

struct ImportedPicture {
  ContentBlock record;  // position 0; empty when the picture could not be decoded
  int32_t width = 0;    // of the record
  int32_t height = 0;
  int32_t wantedWidth = 0;  // the size it is shown at, before it was made to fit
  int32_t wantedHeight = 0;
  bool shrunk = false;  // scaled down to fit maxSide
  std::string problem;  // why it could not be decoded (UTF-8)
};

// Decodes `bytes` and scales the pixels to `width` x `height` (its own size where either is 0 or
// less): a box filter where it shrinks, bilinear where it grows.
ImportedPicture ImportPicture(std::string_view bytes, int32_t width, int32_t height,
                              const PictureLimits& limits = PictureLimits());

}  // namespace velmor
