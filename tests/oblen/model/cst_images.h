// Hand-built .cst byte images, written field by field from the layout tables.
#pragma once

#include <string>
#include <string_view>

#include "tests/support/test_files.h"

namespace velmor::test {

// "Oblenquest文件" in GBK, spelled out byte by byte.
inline const std::string kCstMagic = "Oblenquest\xce\xc4\xbc\xfe";

// The 356-byte header: magic[16], reserved[208], package count, reserved[116], version,
// trailer count, group count.
inline ByteImage& CstHeader(ByteImage& image, int32_t version, int32_t trailerCount,
                            int32_t groupCount, int32_t packageCount) {
  return image.Field(kCstMagic, 16)
      .Zeros(208)
      .Int32(packageCount)
      .Zeros(116)
      .Int32(version)
      .Int32(trailerCount)
      .Int32(groupCount);
}

inline ByteImage& CstGroup(ByteImage& image, std::string_view name, int32_t questionCount) {
  return image.Int32(static_cast<int32_t>(name.size())).Int32(questionCount).Raw(name);
}

// A question head followed by a description block of `size` bytes whose length word is right
// and whose other bytes count up from `fill`.
inline ByteImage& CstQuestion(ByteImage& image, int32_t id, int32_t reservedA,
                              int32_t reservedB, int32_t size, int32_t requirementCount,
                              unsigned char fill = 0x40) {
  image.Int32(id).Int32(reservedA).Int32(reservedB).Int32(size).Int32(requirementCount);
  image.Int32(size);
  for (int32_t i = 4; i < size; ++i) image.Raw(std::string(1, static_cast<char>(fill + i)));
  return image;
}

// A 1288-byte requirement record; `tail` goes right after each text's terminator and fills
// the reserved area, to show that such bytes travel unchanged.
inline ByteImage& CstRequirement(ByteImage& image, std::string_view description,
                                 std::string_view explanation, int32_t score, int32_t category,
                                 std::string_view target, std::string_view pattern,
                                 std::string_view tail = {}) {
  auto text = [&](std::string_view value) {
    std::string field(value);
    field += '\0';
    field += tail;
    image.Field(field, 256);
  };
  text(description);
  text(explanation);
  image.Int32(score).Int32(category);
  text(target);
  text(pattern);
  return image.Field(std::string(tail), 256);
}

inline ByteImage& CstTrailer(ByteImage& image, int32_t value, unsigned char fill) {
  return image.Int32(value).Raw(std::string(72, static_cast<char>(fill)));
}

// The 272-byte package record: data size, question id, unpack folder[256], entry count,
// data reference.
inline ByteImage& CstPackage(ByteImage& image, int32_t dataSize, int32_t questionId,
                             std::string_view unpackFolder, int32_t entryCount,
                             int32_t reference = 0) {
  return image.Int32(dataSize).Int32(questionId).Field(unpackFolder, 256).Int32(entryCount)
      .Int32(reference);
}

// A package entry: kind, relative path[256], padding[3], size, content.
inline ByteImage& CstEntry(ByteImage& image, unsigned char kind, std::string_view path,
                           std::string_view content) {
  return image.Raw(std::string(1, static_cast<char>(kind)))
      .Field(path, 256)
      .Zeros(3)
      .Int32(static_cast<int32_t>(content.size()))
      .Raw(content);
}

}  // namespace velmor::test
