#include <gtest/gtest.h>

#include "common/base/file_stream.h"
#include "tests/support/test_files.h"

namespace velmor {
namespace {

using test::Bytes;
using test::TempDir;

Bytes Pattern(std::size_t size) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<unsigned char>(i * 7 + i / 251);
  return bytes;
}

TEST(FileSource, ReadsSmallAndLargePiecesAcrossItsBuffer) {
  TempDir dir;
  const std::size_t size = (3u << 20) + 123;
  Bytes expected = Pattern(size);
  std::string path = dir.File("data.bin");
  test::WriteFileBytes(path, expected);

  FileSource source;
  ASSERT_TRUE(source.Open(path));
  EXPECT_EQ(source.remaining(), size);
  Bytes got(size);
  std::size_t at = 0;
  for (std::size_t piece : {std::size_t{20}, std::size_t{1} << 20, std::size_t{7},
                            (std::size_t{3} << 19), std::size_t{1}}) {
    ASSERT_TRUE(source.Read(got.data() + at, piece));
    at += piece;
    EXPECT_EQ(source.remaining(), size - at);
  }
  ASSERT_TRUE(source.Read(got.data() + at, size - at));
  EXPECT_EQ(got, expected);
  unsigned char extra = 0;
  EXPECT_FALSE(source.Read(&extra, 1));
}

TEST(FileSource, AShortReadCopiesWhatThereIs) {
  TempDir dir;
  std::string path = dir.File("short.bin");
  test::WriteFileBytes(path, Bytes{1, 2, 3});
  FileSource source;
  ASSERT_TRUE(source.Open(path));
  unsigned char target[5] = {9, 9, 9, 9, 9};
  EXPECT_FALSE(source.Read(target, 5));
  EXPECT_EQ(Bytes(target, target + 5), (Bytes{1, 2, 3, 9, 9}));
}

TEST(SafeFileWriter, WritesSmallAndLargePiecesInOrder) {
  TempDir dir;
  std::string path = dir.File("out.bin");
  Bytes expected = Pattern((5u << 20) + 9);
  SafeFileWriter writer;
  ASSERT_TRUE(writer.Begin(path));
  std::size_t at = 0;
  for (std::size_t piece : {std::size_t{3}, (std::size_t{1} << 20) - 2, std::size_t{2} << 20,
                            std::size_t{5}, std::size_t{1} << 20}) {
    ASSERT_TRUE(writer.Write(expected.data() + at, piece));
    at += piece;
  }
  ASSERT_TRUE(writer.Write(expected.data() + at, expected.size() - at));
  EXPECT_FALSE(test::FileExists(path));  // nothing there before the commit
  ASSERT_TRUE(writer.Commit());
  EXPECT_EQ(test::ReadFileBytes(path), expected);
  EXPECT_EQ(test::ListFolder(dir.path()), std::vector<std::string>{"out.bin"});
}

}  // namespace
}  // namespace velmor
