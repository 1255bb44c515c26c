// A 76-byte record (a 32-bit integer and 72 further bytes) that the bank files may carry
// after their main content. The programs never make, change or interpret one: loading keeps
// them, copies keep them, saving writes them back in order.
#pragma once

#include <array>
#include <cstdint>

#include "common/base/byte_order.h"

namespace velmor {

struct TrailerRecord {
  static constexpr std::size_t kSize = 76;

  std::array<unsigned char, kSize> bytes{};

  int32_t value() const { return ReadLe32(bytes.data()); }

  friend bool operator==(const TrailerRecord& a, const TrailerRecord& b) {
    return a.bytes == b.bytes;
  }
};

}  // namespace velmor
