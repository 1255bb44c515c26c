#include "tools/banktool/png_writer.h"

#include <algorithm>
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

template <int kFilter>
int Predicted(int left, int up, int upLeft) {
  if constexpr (kFilter == 1) return left;
  if constexpr (kFilter == 2) return up;
  if constexpr (kFilter == 3) return (left + up) / 2;
  if constexpr (kFilter == 4) return Paeth(left, up, upLeft);
  return 0;
}

// Row `rgb` filtered by `kFilter` (0 none, 1 sub, 2 up, 3 average, 4 Paeth) against the row
// above, `previous` (zeros above the first row), into `out`; returns the sum of the filtered
// bytes taken as signed differences, which is smaller for a row that compresses better. A
// loop of its own for each filter and for the first pixel, so that the loops are plain.
template <int kFilter>
uint64_t FilterRow(const unsigned char* rgb, const unsigned char* previous, std::size_t size, unsigned char* out) {
  uint64_t cost = 0;
  auto put = [&](std::size_t i, int left, int upLeft) {
    out[i] = static_cast<unsigned char>(rgb[i] - Predicted<kFilter>(left, previous[i], upLeft));
    cost += static_cast<uint64_t>(std::abs(static_cast<signed char>(out[i])));
  };
  const std::size_t first = std::min<std::size_t>(size, kBytesPerPixel);
  for (std::size_t i = 0; i < first; ++i) put(i, 0, 0);
  for (std::size_t i = first; i < size; ++i) put(i, rgb[i - kBytesPerPixel], previous[i - kBytesPerPixel]);
  return cost;
}

}  // namespace

struct PngEncoder::Deflater {
  z_stream stream{};
  bool ready = false;
  Deflater() { ready = deflateInit(&stream, Z_DEFAULT_COMPRESSION) == Z_OK; }
  ~Deflater() {
    if (ready) deflateEnd(&stream);
  }
};

PngEncoder::PngEncoder() : deflater_(std::make_unique<Deflater>()) {}
PngEncoder::~PngEncoder() = default;

std::string EncodePng(int32_t width, int32_t height, const unsigned char* bgr) {
  return PngEncoder().Encode(width, height, bgr);
}

std::string PngEncoder::Encode(int32_t width, int32_t height, const unsigned char* bgr) {
  // zlib takes its input in one call here, so the filtered image must fit its counters.
  const uint64_t rowSize = uint64_t{kBytesPerPixel} * static_cast<uint64_t>(width);
  if (!deflater_->ready || width <= 0 || height <= 0 ||
      (rowSize + 1) * static_cast<uint64_t>(height) > 0x7FFFFFFF) {
    return {};
  }
  const std::size_t row = static_cast<std::size_t>(rowSize);
  filtered_.resize((row + 1) * static_cast<std::size_t>(height));
  std::vector<unsigned char> rgb(row), previous(row, 0);
  std::vector<unsigned char> trials[5] = {std::vector<unsigned char>(row), std::vector<unsigned char>(row),
                                          std::vector<unsigned char>(row), std::vector<unsigned char>(row),
                                          std::vector<unsigned char>(row)};
  for (int32_t y = 0; y < height; ++y) {
    const unsigned char* source = bgr + row * static_cast<std::size_t>(y);
    for (std::size_t x = 0; x < row; x += kBytesPerPixel) {
      rgb[x] = source[x + 2];
      rgb[x + 1] = source[x + 1];
      rgb[x + 2] = source[x];
    }
    unsigned char* out = filtered_.data() + (row + 1) * static_cast<std::size_t>(y);
    const uint64_t costs[5] = {FilterRow<0>(rgb.data(), previous.data(), row, trials[0].data()),
                               FilterRow<1>(rgb.data(), previous.data(), row, trials[1].data()),
                               FilterRow<2>(rgb.data(), previous.data(), row, trials[2].data()),
                               FilterRow<3>(rgb.data(), previous.data(), row, trials[3].data()),
                               FilterRow<4>(rgb.data(), previous.data(), row, trials[4].data())};
    const int best = static_cast<int>(std::min_element(costs, costs + 5) - costs);
    out[0] = static_cast<unsigned char>(best);
    std::memcpy(out + 1, trials[best].data(), row);
    rgb.swap(previous);
  }
  z_stream& stream = deflater_->stream;
  packed_.resize(deflateBound(&stream, static_cast<uLong>(filtered_.size())));
  stream.next_in = filtered_.data();
  stream.avail_in = static_cast<uInt>(filtered_.size());
  stream.next_out = packed_.data();
  stream.avail_out = static_cast<uInt>(packed_.size());
  const bool packed = deflate(&stream, Z_FINISH) == Z_STREAM_END;
  const std::size_t packedSize = stream.total_out;
  deflateReset(&stream);
  if (!packed) return {};
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
  PutChunk(png, "IDAT", packed_.data(), packedSize);
  PutChunk(png, "IEND", nullptr, 0);
  return png;
}

}  // namespace velmor
