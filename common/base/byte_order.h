// Little-endian 32-bit integers as both file formats store them.
#pragma once

#include <cstdint>

namespace velmor {

inline int32_t ReadLe32(const void* source) {
  const unsigned char* p = static_cast<const unsigned char*>(source);
  uint32_t value = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                   static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
  return static_cast<int32_t>(value);
}

inline void WriteLe32(void* target, int32_t value) {
  unsigned char* p = static_cast<unsigned char*>(target);
  uint32_t bits = static_cast<uint32_t>(value);
  p[0] = static_cast<unsigned char>(bits);
  p[1] = static_cast<unsigned char>(bits >> 8);
  p[2] = static_cast<unsigned char>(bits >> 16);
  p[3] = static_cast<unsigned char>(bits >> 24);
}

}  // namespace velmor
