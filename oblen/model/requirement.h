// A graded requirement of an operation question: a fixed 1288-byte record, held in memory
// exactly as the file stores it so that a record read from a file is written back byte for
// byte (bytes after the text terminators and the reserved area included).
//
//   offset  size  field
//        0   256  description       GBK, at most 255 bytes, zero-terminated
//      256   256  explanation       shown when the requirement is not met
//      512     4  score             added to the total when met
//      516     4  category          1 for every record the editor builds
//      520   256  target file       the file grading inspects
//      776   256  match pattern     wildcard pattern, see pattern_match.h
//     1032   256  reserved
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "common/base/byte_order.h"

namespace velmor {

class Requirement {
 public:
  static constexpr std::size_t kSize = 1288;
  static constexpr std::size_t kTextFieldSize = 256;
  static constexpr std::size_t kDescriptionOffset = 0;
  static constexpr std::size_t kExplanationOffset = 256;
  static constexpr std::size_t kScoreOffset = 512;
  static constexpr std::size_t kCategoryOffset = 516;
  static constexpr std::size_t kTargetFileOffset = 520;
  static constexpr std::size_t kMatchPatternOffset = 776;

  // A record as the editor builds it: texts cut to 255 bytes on a character boundary,
  // category 1, zeros everywhere else.
  static Requirement Build(std::string_view description, std::string_view explanation,
                           int32_t score, std::string_view targetFile,
                           std::string_view matchPattern);

  // A record taken over byte for byte.
  static Requirement FromBytes(const void* record);

  // The texts up to their terminator. A field a file filled without a terminator reads as
  // its first 255 bytes, cut on a character boundary.
  std::string_view description() const { return Text(kDescriptionOffset); }
  std::string_view explanation() const { return Text(kExplanationOffset); }
  std::string_view targetFile() const { return Text(kTargetFileOffset); }
  std::string_view matchPattern() const { return Text(kMatchPatternOffset); }
  int32_t score() const { return ReadLe32(bytes_.data() + kScoreOffset); }
  int32_t category() const { return ReadLe32(bytes_.data() + kCategoryOffset); }

  const std::array<unsigned char, kSize>& bytes() const { return bytes_; }

  friend bool operator==(const Requirement& a, const Requirement& b) {
    return a.bytes_ == b.bytes_;
  }
  friend bool operator!=(const Requirement& a, const Requirement& b) { return !(a == b); }

 private:
  std::string_view Text(std::size_t offset) const;

  std::array<unsigned char, kSize> bytes_{};
};

}  // namespace velmor
