#include "tools/banktool/picture_import.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

#include "common/richtext/rich_content.h"

#define STBI_NO_STDIO
#include <stb_image.h>

namespace velmor {

namespace {

struct FreePixels {
  void operator()(stbi_uc* pixels) const { stbi_image_free(pixels); }
};

// Which source samples make one target sample along an axis, and how much each counts.
struct Taps {
  std::vector<int32_t> first;   // per target sample
  std::vector<int32_t> count;
  std::vector<std::size_t> at;  // into weights
  std::vector<float> weights;
};

// A box filter over the source samples a target sample covers when it shrinks; bilinear, the
// two samples around its centre, when it grows.
Taps TapsOf(int32_t source, int32_t target) {
  Taps taps;
  const double scale = static_cast<double>(source) / target;
  for (int32_t i = 0; i < target; ++i) {
    taps.at.push_back(taps.weights.size());
    if (source > target) {
      const double from = i * scale;
      const double to = std::min<double>((i + 1) * scale, source);
      const int32_t first = static_cast<int32_t>(from);
      const int32_t last = std::min(source - 1, static_cast<int32_t>(std::ceil(to)) - 1);
      taps.first.push_back(first);
      taps.count.push_back(last - first + 1);
      for (int32_t j = first; j <= last; ++j) {
        const double overlap = std::min<double>(j + 1, to) - std::max<double>(j, from);
        taps.weights.push_back(static_cast<float>(std::max(0.0, overlap) / (to - from)));
      }
    } else {
      const double centre = std::max(0.0, (i + 0.5) * scale - 0.5);
      const int32_t first = std::min(source - 1, static_cast<int32_t>(centre));
      const int32_t second = std::min(source - 1, first + 1);
      const float fraction = second == first ? 0.0f : static_cast<float>(centre - first);
      taps.first.push_back(first);
      taps.count.push_back(second - first + 1);
      taps.weights.push_back(1.0f - fraction);
      if (second != first) taps.weights.push_back(fraction);
    }
  }
  return taps;
}

// The source pixels (`channels` of 1 grey, 2 grey and alpha, 3 RGB, 4 RGBA) scaled to
// width x height as blue, green, red rows, top row first; transparency laid on white. Each
// target row sums its source rows first, then its columns, so one row of sums is all it keeps.
void Scale(const stbi_uc* pixels, int32_t sourceWidth, int32_t sourceHeight, int channels,
           int32_t width, int32_t height, unsigned char* out) {
  const Taps rows = TapsOf(sourceHeight, height);
  const Taps columns = TapsOf(sourceWidth, width);
  std::vector<float> sums(static_cast<std::size_t>(sourceWidth) * 3);
  const std::size_t stride = static_cast<std::size_t>(sourceWidth) * static_cast<std::size_t>(channels);
  for (int32_t y = 0; y < height; ++y) {
    std::fill(sums.begin(), sums.end(), 0.0f);
    for (int32_t k = 0; k < rows.count[y]; ++k) {
      const float weight = rows.weights[rows.at[y] + k];
      const stbi_uc* row = pixels + stride * static_cast<std::size_t>(rows.first[y] + k);
      for (int32_t x = 0; x < sourceWidth; ++x) {
        const stbi_uc* p = row + static_cast<std::size_t>(x) * channels;
        float red = p[0], green = p[0], blue = p[0];
        if (channels >= 3) {
          green = p[1];
          blue = p[2];
        }
        float* sum = &sums[static_cast<std::size_t>(x) * 3];
        if (channels == 2 || channels == 4) {
          const float alpha = p[channels - 1] / 255.0f;
          const float white = 255.0f * (1.0f - alpha);
          red = red * alpha + white;
          green = green * alpha + white;
          blue = blue * alpha + white;
        }
        sum[0] += weight * blue;
        sum[1] += weight * green;
        sum[2] += weight * red;
      }
    }
    unsigned char* target = out + static_cast<std::size_t>(y) * static_cast<std::size_t>(width) * 3;
    for (int32_t x = 0; x < width; ++x) {
      float value[3] = {0.0f, 0.0f, 0.0f};
      for (int32_t k = 0; k < columns.count[x]; ++k) {
        const float weight = columns.weights[columns.at[x] + k];
        const float* sum = &sums[static_cast<std::size_t>(columns.first[x] + k) * 3];
        for (int c = 0; c < 3; ++c) value[c] += weight * sum[c];
      }
      for (int c = 0; c < 3; ++c) {
        target[static_cast<std::size_t>(x) * 3 + c] =
            static_cast<unsigned char>(std::clamp(value[c], 0.0f, 255.0f) + 0.5f);
      }
    }
  }
}

// Whether every Huffman table a JPEG defines holds at most the 256 codes a table has room for.
// stb_image 2.27 believes a table's sixteen counts and writes past both of its arrays when they
// add up to more, so such a file must not reach it. Every FF C4 pair is taken for the marker of
// a table segment, wherever it stands, since the decoder may meet one anywhere; bytes past the
// end read as zeros, as the decoder reads them. A file that makes this walk too long (a legal
// one holds a few tables) is refused as well.
bool JpegTablesFit(const unsigned char* data, std::size_t size) {
  if (size < 2 || data[0] != 0xFF || data[1] != 0xD8) return true;
  auto at = [&](std::size_t i) -> unsigned { return i < size ? data[i] : 0u; };
  uint64_t tablesLeft = size / 16 + 4096;
  for (std::size_t p = 0; p + 1 < size; ++p) {
    if (data[p] != 0xFF || data[p + 1] != 0xC4) continue;
    long left = static_cast<long>(at(p + 2) << 8 | at(p + 3)) - 2;
    for (std::size_t table = p + 4; left > 0 && table < size;) {
      if (tablesLeft-- == 0) return false;
      unsigned codes = 0;
      for (std::size_t i = 0; i < 16; ++i) codes += at(table + 1 + i);
      if (codes > 256) return false;
      table += 17 + codes;
      left -= static_cast<long>(17 + codes);
    }
  }
  return true;
}

}  // namespace

ImportedPicture ImportPicture(std::string_view bytes, int32_t width, int32_t height,
                              const PictureLimits& limits) {
  ImportedPicture picture;
  if (bytes.size() > static_cast<std::size_t>(INT32_MAX)) {
    picture.problem = "a picture too large to read, left out";
    return picture;
  }
  const auto* data = reinterpret_cast<const stbi_uc*>(bytes.data());
  const int size = static_cast<int>(bytes.size());
  int sourceWidth = 0;
  int sourceHeight = 0;
  int channels = 0;
  if (!JpegTablesFit(data, bytes.size()) ||
      !stbi_info_from_memory(data, size, &sourceWidth, &sourceHeight, &channels) || sourceWidth <= 0 ||
      sourceHeight <= 0) {
    picture.problem = "a picture that is no PNG, JPEG, BMP or GIF (or is damaged), left out";
    return picture;
  }
  if (static_cast<uint64_t>(sourceWidth) * static_cast<uint64_t>(sourceHeight) > limits.maxSourcePixels) {
    picture.problem = "a picture of " + std::to_string(sourceWidth) + " x " + std::to_string(sourceHeight) +
                      " pixels, more than can be read, left out";
    return picture;
  }
  if (width <= 0 || height <= 0) {
    width = sourceWidth;
    height = sourceHeight;
  }
  picture.wantedWidth = width;
  picture.wantedHeight = height;
  const int32_t side = std::max<int32_t>(1, limits.maxSide);
  if (width > side || height > side) {
    const double shrink = std::min(static_cast<double>(side) / width, static_cast<double>(side) / height);
    width = std::clamp<int32_t>(static_cast<int32_t>(std::lround(width * shrink)), 1, side);
    height = std::clamp<int32_t>(static_cast<int32_t>(std::lround(height * shrink)), 1, side);
    picture.shrunk = true;
  }
  int decodedWidth = 0;
  int decodedHeight = 0;
  std::unique_ptr<stbi_uc, FreePixels> pixels(
      stbi_load_from_memory(data, size, &decodedWidth, &decodedHeight, &channels, 0));
  if (!pixels || decodedWidth != sourceWidth || decodedHeight != sourceHeight || channels < 1 ||
      channels > 4) {
    const char* reason = pixels ? "an unexpected layout" : stbi_failure_reason();
    picture.problem = "a picture that could not be decoded (" + std::string(reason ? reason : "damaged") +
                      "), left out";
    return picture;
  }
  std::vector<unsigned char> scaled(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
  Scale(pixels.get(), sourceWidth, sourceHeight, channels, width, height, scaled.data());
  picture.record = MakePictureRecord(width, height, scaled.data(), 0);
  picture.width = width;
  picture.height = height;
  return picture;
}

}  // namespace velmor
