// Hand-built .lst byte images, written field by field from the layout tables.
#pragma once

#include <string>
#include <string_view>

#include "tests/support/test_files.h"

namespace velmor::test {

// "综合评估问卷" in GBK, spelled out byte by byte.
inline const std::string kLstSignature =
    "\xd7\xdb\xba\xcf\xc6\xc0\xb9\xc0\xce\xca\xbe\xed";

inline ByteImage& LstHeader(ByteImage& image, int32_t kind, std::string_view title,
                            int32_t version, int32_t trailerCount, int32_t categoryCount) {
  return image.Field(kLstSignature, 16)
      .Zeros(76)
      .Field(title, 128)
      .Int32(kind)
      .Zeros(120)
      .Int32(version)
      .Int32(trailerCount)
      .Int32(categoryCount);
}

inline ByteImage& LstCategory(ByteImage& image, std::string_view name, int32_t questionCount) {
  return image.Field(name, 128).Int32(questionCount);
}

// A big-question record followed by a content block of `contentSize` bytes whose length word
// is right and whose other bytes count up from `fill`.
inline ByteImage& LstBigQuestion(ByteImage& image, int32_t id, int32_t reservedA,
                                 int32_t reservedB, int32_t contentSize, int32_t smallCount,
                                 unsigned char fill = 0x30) {
  image.Int32(id).Int32(reservedA).Int32(reservedB).Int32(contentSize).Int32(smallCount);
  image.Int32(contentSize);
  for (int32_t i = 4; i < contentSize; ++i) image.Raw(std::string(1, static_cast<char>(fill + i)));
  return image;
}

inline ByteImage& LstSmallQuestion(ByteImage& image, int32_t score, int32_t singleChoice,
                                   int32_t optionCount, std::string_view text) {
  return image.Int32(score).Int32(0).Int32(singleChoice).Int32(optionCount)
      .Int32(static_cast<int32_t>(text.size())).Raw(text);
}

inline ByteImage& LstOption(ByteImage& image, int32_t score, int32_t chosen, int32_t isAnswer,
                            int32_t selectCount, std::string_view text) {
  return image.Int32(score).Int32(chosen).Int32(isAnswer).Int32(selectCount)
      .Int32(static_cast<int32_t>(text.size())).Raw(text);
}

inline ByteImage& LstTrailer(ByteImage& image, int32_t value, unsigned char fill) {
  image.Int32(value);
  return image.Raw(std::string(72, static_cast<char>(fill)));
}

}  // namespace velmor::test
