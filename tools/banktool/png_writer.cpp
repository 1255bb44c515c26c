#include "tools/banktool/png_writer.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#define ZLIB_CONST
#include <zlib.h>

namespace velmor {

namespace {

constexpr int kBytesPerPixel = 3;

void PutBe32(std::string& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>(value >> shift);
}

// A chunk: its length, type and data, and the CRC of type and data.
void PutChunk(std::string& out, const char (&type)[5], const unsigned char* data, std::size_t size) {
  PutBe32(out, static_cast<uint32_t>(size));
  const std::size_t typeAt = out.size();
  out.append(type, 4);
  if (size > 0) out.append(reinterpret_cast<const char*>(data), size);
  const auto* crcFrom = reinterpret_cast<const Bytef*>(out.data() + typeAt);
  PutBe32(out, static_cast<uint32_t>(crc32(crc32(0L, Z_NULL, 0), crcFrom, static_cast<uInt>(4 + size))));
}

unsigned char Paeth(int left, int up, int upLeft) {
  const int estimate = left + up - upLeft;
  const int toLeft = std::abs(estimate - left);
  const int toUp = std::abs(estimate - up);
  const int toUpLeft = std::abs(estimate - upLeft);
  if (toLeft <= toUp && toLeft <= toUpLeft) return static_cast<unsigned char>(left);
  return static_cast<unsigned char>(toUp <= toUpLeft ? up : upLeft);
}

// Row `rgb` filtered by `filter` (0 none, 1 sub, 2 up, 3 average, 4 Paeth) against the row
// above, `previous` (zeros above the first row), into `out`.
void FilterRow(int filter, const unsigned char* rgb, const unsigned char* previous, std::size_t size,
               unsigned char* out) {
  for (std::size_t i = 0; i < size; ++i) {
    const int left = i >= kBytesPerPixel ? rgb[i - kBytesPerPixel] : 0;
    const int up = previous[i];
    const int upLeft = i >= kBytesPerPixel ? previous[i - kBytesPerPixel] : 0;
    int predicted = 0;
    switch (filter) {
      case 1: predicted = left; break;
      case 2: predicted = up; break;
      case 3: predicted = (left + up) / 2; break;
      case 4: predicted = Paeth(left, up, upLeft); break;
      default: break;
    }
    out[i] = static_cast<unsigned char>(rgb[i] - predicted);
  }
}

// The sum of the filtered bytes taken as signed differences: smaller compresses better.
uint64_t Cost(const unsigned char* filtered, std::size_t size) {
  uint64_t sum = 0;
  for (std::size_t i = 0; i < size; ++i) sum += static_cast<uint64_t>(std::abs(static_cast<signed char>(filtered[i])));
  return sum;
}

}  // namespace

std::string EncodePng(int32_t width, int32_t height, const unsigned char* bgr) {
  // zlib takes its input in one call here, so the filtered image must fit its counters.
  const uint64_t rowSize = uint64_t{kBytesPerPixel} * static_cast<uint64_t>(width);
  if (width <= 0 || height <= 0 || (rowSize + 1) * static_cast<uint64_t>(height) > 0x7FFFFFFF) return {};
  const std::size_t row = static_cast<std::size_t>(rowSize);
  std::vector<unsigned char> filtered((row + 1) * static_cast<std::size_t>(height));
  std::vector<unsigned char> rgb(row), previous(row, 0), trial(row);
  for (int32_t y = 0; y < height; ++y) {
    const unsigned char* source = bgr + row * static_cast<std::size_t>(y);
    for (std::size_t x = 0; x < row; x += kBytesPerPixel) {
      rgb[x] = source[x + 2];
      rgb[x + 1] = source[x + 1];
      rgb[x + 2] = source[x];
    }
    unsigned char* out = filtered.data() + (row + 1) * static_cast<std::size_t>(y);
    uint64_t best = UINT64_MAX;
    for (int filter = 0; filter <= 4; ++filter) {
      FilterRow(filter, rgb.data(), previous.data(), row, trial.data());
      const uint64_t cost = Cost(trial.data(), row);
      if (cost < best) {
        best = cost;
        out[0] = static_cast<unsigned char>(filter);
        std::memcpy(out + 1, trial.data(), row);
      }
    }
    rgb.swap(previous);
  }
  uLongf packedSize = compressBound(static_cast<uLong>(filtered.size()));
  std::vector<unsigned char> packed(packedSize);
  if (compress2(packed.data(), &packedSize, filtered.data(), static_cast<uLong>(filtered.size()),
                Z_DEFAULT_COMPRESSION) != Z_OK) {
    return {};
  }
  std::string png("\x89PNG\r\n\x1a\n", 8);
  unsigned char header[13];
  for (int i = 0; i < 4; ++i) {
    header[i] = static_cast<unsigned char>(static_cast<uint32_t>(width) >> (24 - 8 * i));
    header[4 + i] = static_cast<unsigned char>(static_cast<uint32_t>(height) >> (24 - 8 * i));
  }
  header[8] = 8;   // bits per sample
  header[9] = 2;   // colour type: RGB
  header[10] = 0;  // deflate
  header[11] = 0;  // adaptive filtering
  header[12] = 0;  // not interlaced
  PutChunk(png, "IHDR", header, sizeof header);
  PutChunk(png, "IDAT", packed.data(), packedSize);
  PutChunk(png, "IEND", nullptr, 0);
  return png;
}

}  // namespace velmor
