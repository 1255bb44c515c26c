// A picture record's pixels as a PNG file: 8-bit RGB, not interlaced, each row filtered with
// the filter that leaves the smallest sum of differences (as libpng chooses), deflated with
// zlib. The same pixels always make the same bytes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace velmor {

// An encoder for many pictures in turn, which keeps its deflate state and buffers between
// them (a paper may hold thousands of small pictures).
class PngEncoder {
 public:
  PngEncoder();
  ~PngEncoder();
  PngEncoder(const PngEncoder&) = delete;
  PngEncoder& operator=(const PngEncoder&) = delete;

  // As EncodePng below.
  std::string Encode(int32_t width, int32_t height, const unsigned char* bgr);

 private:
  struct Deflater;
  std::unique_ptr<Deflater> deflater_;
  std::vector<unsigned char> filtered_;
  std::vector<unsigned char> packed_;
};

// `bgr` holds `height` rows of `width` pixels, top row first, blue, green, red, unpadded (as a
// picture record stores them). Empty when the size is not positive or too large for PNG.
std::string EncodePng(int32_t width, int32_t height, const unsigned char* bgr);

}  // namespace velmor
