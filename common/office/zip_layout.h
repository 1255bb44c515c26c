// The records of a zip archive as the reader and the writer both see them (internal to the
// zip layer): their signatures and fixed sizes, and the checksum of an entry's content.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

// zlib's input pointers are const, so that content can be fed without casting it away.
#ifndef ZLIB_CONST
#define ZLIB_CONST
#endif
#include <zlib.h>

namespace velmor::zip {

constexpr uint32_t kLocalSignature = 0x04034b50;
constexpr uint32_t kCentralSignature = 0x02014b50;
constexpr uint32_t kEndSignature = 0x06054b50;
constexpr uint32_t kZip64EndSignature = 0x06064b50;
constexpr uint32_t kZip64LocatorSignature = 0x07064b50;

// Fixed parts, before the variable-length name, extra field and comment.
constexpr std::size_t kLocalSize = 30;
constexpr std::size_t kCentralSize = 46;
constexpr std::size_t kEndSize = 22;
constexpr std::size_t kZip64EndSize = 56;
constexpr std::size_t kZip64LocatorSize = 20;
constexpr std::size_t kMaxComment = 0xFFFF;

constexpr uint16_t kStored = 0;
constexpr uint16_t kDeflated = 8;
constexpr uint16_t kEncryptedFlag = 1u << 0;
constexpr uint16_t kUtf8NameFlag = 1u << 11;
constexpr uint16_t kZip64ExtraId = 0x0001;

// 32-bit and 16-bit fields holding all ones mean "see the zip64 records".
constexpr uint32_t kMarker32 = 0xFFFFFFFF;
constexpr uint16_t kMarker16 = 0xFFFF;

inline uint32_t Crc32Of(std::string_view bytes) {
  uLong crc = crc32(0L, Z_NULL, 0);
  // zlib counts in uInt, which may be narrower than the content.
  while (!bytes.empty()) {
    const std::size_t piece = std::min<std::size_t>(bytes.size(), 1u << 30);
    crc = crc32(crc, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(piece));
    bytes.remove_prefix(piece);
  }
  return static_cast<uint32_t>(crc);
}

}  // namespace velmor::zip
