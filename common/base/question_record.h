// The 20-byte record before a question's content block, laid out the same in both bank
// formats: in a .lst file before a big question's stem, in a .cst file before an operation
// question's task description.
#pragma once

#include <cstddef>
#include <cstdint>

namespace velmor {

struct QuestionRecord {
  static constexpr std::size_t kSize = 20;

  int32_t id = 0;
  int32_t reservedA = 0;
  int32_t reservedB = 0;
  int32_t contentSize = 0;  // the content block that follows the record
  int32_t childCount = 0;   // small questions (.lst) or requirements (.cst) after the block

  template <typename Io>
  void Fields(Io& io) {
    io(id);
    io(reservedA);
    io(reservedB);
    io(contentSize);
    io(childCount);
  }
};

}  // namespace velmor
