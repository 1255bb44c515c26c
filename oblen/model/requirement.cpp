#include "oblen/model/requirement.h"

#include <cstring>

#include "common/base/gbk.h"

namespace velmor {

Requirement Requirement::Build(std::string_view description, std::string_view explanation,
                               int32_t score, std::string_view targetFile,
                               std::string_view matchPattern) {
  Requirement record;
  char* bytes = reinterpret_cast<char*>(record.bytes_.data());
  GbkCopyToField(bytes + kDescriptionOffset, kTextFieldSize, description);
  GbkCopyToField(bytes + kExplanationOffset, kTextFieldSize, explanation);
  WriteLe32(bytes + kScoreOffset, score);
  WriteLe32(bytes + kCategoryOffset, 1);
  GbkCopyToField(bytes + kTargetFileOffset, kTextFieldSize, targetFile);
  GbkCopyToField(bytes + kMatchPatternOffset, kTextFieldSize, matchPattern);
  return record;
}

Requirement Requirement::FromBytes(const void* record) {
  Requirement result;
  std::memcpy(result.bytes_.data(), record, kSize);
  return result;
}

std::string_view Requirement::Text(std::size_t offset) const {
  const char* field = reinterpret_cast<const char*>(bytes_.data() + offset);
  const void* nul = std::memchr(field, 0, kTextFieldSize);
  if (nul != nullptr) return std::string_view(field, static_cast<const char*>(nul) - field);
  std::string_view whole(field, kTextFieldSize);
  return whole.substr(0, GbkCutLength(whole, kTextFieldSize - 1));
}

}  // namespace velmor
