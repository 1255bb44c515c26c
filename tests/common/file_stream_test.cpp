#include <gtest/gtest.h>

#include "common/base/file_stream.h"
#include "common/base/record.h"
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

// A record's fields are laid out in order and must fill its size exactly: a list that would
// reach past the record, or leave part of it unread, fails whole and writes nothing.
template <std::size_t kBytes>
struct TwoFields {
  static constexpr std::size_t kSize = kBytes;
  int32_t first = 0;
  std::array<char, 3> name{};
  template <typename Io>
  void Fields(Io& io) {
    io(first);
    io(name);
  }
};

TEST(Record, FieldsFillTheirRecordExactly) {
  TwoFields<7> exact{-2, {'a', 'b', 'c'}};
  MemorySink sink;
  ASSERT_TRUE(WriteRecord(sink, exact));
  EXPECT_EQ(sink.bytes(), (std::vector<unsigned char>{0xFE, 0xFF, 0xFF, 0xFF, 'a', 'b', 'c'}));
  TwoFields<7> back;
  MemorySource source(sink.bytes().data(), sink.bytes().size());
  ASSERT_TRUE(ReadRecord(source, back));
  EXPECT_EQ(back.first, -2);
  EXPECT_EQ(back.name, exact.name);

  TwoFields<6> tooSmall{5, {'x', 'y', 'z'}};
  TwoFields<8> tooLarge{5, {'x', 'y', 'z'}};
  MemorySink none;
  EXPECT_FALSE(WriteRecord(none, tooSmall));
  EXPECT_FALSE(WriteRecord(none, tooLarge));
  EXPECT_TRUE(none.bytes().empty());
  const unsigned char bytes[8] = {1, 0, 0, 0, 'p', 'q', 'r', 's'};
  MemorySource small(bytes, sizeof bytes), large(bytes, sizeof bytes);
  EXPECT_FALSE(ReadRecord(small, tooSmall));
  EXPECT_EQ(tooSmall.name, (std::array<char, 3>{'x', 'y', 'z'})) << "nothing read past the record";
  EXPECT_FALSE(ReadRecord(large, tooLarge));
}

}  // namespace
}  // namespace velmor
