#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "common/base/byte_order.h"
#include "common/richtext/rich_content.h"
#include "tests/support/test_files.h"

namespace velmor {
namespace {

using test::ByteImage;
using test::Bytes;

FormatRun MakeRun(int32_t first, int32_t end, unsigned char marker) {
  FormatRun run;
  run.first = first;
  run.end = end;
  run.format.fill(marker);
  return run;
}

TEST(PictureRecord, MadeByTheCaptureWithThreeTrailingBytes) {
  const unsigned char pixels[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  ContentBlock record = MakePictureRecord(2, 2, pixels);
  ByteImage expected;
  expected.Int32(35).Int32(1).Int32(2).Int32(2).Int32(0);
  expected.Raw(std::string(reinterpret_cast<const char*>(pixels), 12)).Zeros(3);
  EXPECT_EQ(Bytes(record.data(), record.data() + record.size()), expected.bytes());
  SetPicturePosition(record, 9);
  PictureView view;
  ASSERT_TRUE(ParsePictureRecord(record.data(), record.size(), &view));
  EXPECT_EQ(view.position, 9);
  EXPECT_EQ(view.pixels()[11], 12);
}

TEST(PictureRecord, ChecksAreMadeAgainstTheBytesThatHoldIt) {
  struct Case {
    const char* name;
    int32_t length, width, height;
    std::size_t available;
    bool ok;
  };
  const Case cases[] = {
      {"fits", 35, 2, 2, 35, true},
      {"longer than needed", 40, 2, 2, 40, true},
      {"empty picture", 20, 0, 0, 20, true},
      {"length beyond the bytes", 35, 2, 2, 34, false},
      {"length below the header", 19, 0, 0, 40, false},
      {"pixels beyond the length", 31, 2, 2, 40, false},
      {"negative width", 35, -2, 2, 35, false},
      {"negative height", 35, 2, -2, 35, false},
      {"overflowing size", 35, 0x40000000, 0x40000000, 35, false},
  };
  for (const Case& c : cases) {
    ByteImage image;
    image.Int32(c.length).Int32(1).Int32(c.width).Int32(c.height).Int32(0).Zeros(40);
    PictureView view;
    EXPECT_EQ(ParsePictureRecord(image.bytes().data(), c.available, &view), c.ok) << c.name;
  }
}

TEST(RichContent, BuildsTheLayoutAndParsesItBack) {
  const unsigned char pixels[] = {9, 8, 7};
  ContentBlock picture = MakePictureRecord(1, 1, pixels);
  SetPicturePosition(picture, 2);
  ContentBlock blob = BuildRichContent(4, "ab\x01", {MakeRun(0, 2, 0xaa), MakeRun(2, 5, 0xbb)}, {&picture});
  ByteImage expected;
  expected.Int32(32 + 4 + 136 + 26).Zeros(12).Int32(4).Int32(1).Int32(4).Int32(2);
  expected.Raw(std::string("ab\x01\0", 4));
  expected.Int32(0).Int32(2).Raw(std::string(60, '\xaa'));
  expected.Int32(2).Int32(5).Raw(std::string(60, '\xbb'));
  expected.Raw(Bytes(picture.data(), picture.data() + picture.size()));
  EXPECT_EQ(Bytes(blob.data(), blob.data() + blob.size()), expected.bytes());
  EXPECT_TRUE(blob.IsWellFormed());

  RichContentParts parts = ParseRichContent(blob.data(), blob.size());
  EXPECT_EQ(parts.characterCount, 4);
  EXPECT_EQ(parts.text, "ab\x01");
  ASSERT_EQ(parts.runs.size(), 2u);
  EXPECT_EQ(parts.runs[1].first, 2);
  EXPECT_EQ(parts.runs[1].end, 5);
  EXPECT_EQ(parts.runs[1].format[59], 0xbb);
  ASSERT_EQ(parts.pictures.size(), 1u);
  EXPECT_EQ(parts.pictures[0].position, 2);
  EXPECT_EQ(parts.pictures[0].pixels()[0], 9);
}

class RichContentDamage : public ::testing::Test {
 protected:
  void SetUp() override {
    const unsigned char pixels[12] = {};
    ContentBlock first = MakePictureRecord(2, 2, pixels);
    ContentBlock second = MakePictureRecord(1, 1, pixels);
    ContentBlock blob =
        BuildRichContent(3, "xyz", {MakeRun(0, 1, 1), MakeRun(1, 4, 2)}, {&first, &second});
    bytes.assign(blob.data(), blob.data() + blob.size());
  }
  RichContentParts Parse(const Bytes& b) { return ParseRichContent(b.data(), b.size()); }
  RichContentParts ParseCut(std::size_t size) { return ParseRichContent(bytes.data(), size); }
  Bytes With(std::size_t offset, int32_t value) {
    Bytes copy = bytes;
    WriteLe32(copy.data() + offset, value);
    return copy;
  }

  Bytes bytes;  // 32 + 4 + 136 + 35 + 26
  static constexpr std::size_t kFirstPicture = 32 + 4 + 136;
};

TEST_F(RichContentDamage, CutsAreCutOffAtTheLastCompleteRecord) {
  EXPECT_EQ(Parse(bytes).pictures.size(), 2u);
  EXPECT_EQ(ParseCut(bytes.size() - 1).pictures.size(), 1u);
  EXPECT_EQ(ParseCut(kFirstPicture + 34).pictures.size(), 0u);
  RichContentParts runsCut = ParseCut(32 + 4 + 100);
  EXPECT_EQ(runsCut.runs.size(), 1u);
  EXPECT_TRUE(runsCut.pictures.empty());
  RichContentParts textCut = ParseCut(34);
  EXPECT_EQ(textCut.text, "xy");
  EXPECT_TRUE(textCut.runs.empty());
  EXPECT_TRUE(ParseCut(31).text.empty());
}

TEST_F(RichContentDamage, CountsAndLengthsReachingOutsideAreNeverFollowed) {
  // The length word is not trusted beyond the bytes given, and a smaller one shortens.
  EXPECT_EQ(Parse(With(0, 0x7fffffff)).pictures.size(), 2u);
  EXPECT_EQ(Parse(With(0, static_cast<int32_t>(kFirstPicture + 35))).pictures.size(), 1u);
  EXPECT_TRUE(Parse(With(0, 12)).text.empty());
  // Counts.
  EXPECT_EQ(Parse(With(20, 1000)).pictures.size(), 2u);
  EXPECT_EQ(Parse(With(20, -1)).pictures.size(), 0u);
  EXPECT_EQ(Parse(With(28, -1)).runs.size(), 0u);
  RichContentParts manyRuns = Parse(With(28, 1 << 24));
  EXPECT_EQ(manyRuns.runs.size(), 2u);  // only complete records within the blob
  EXPECT_TRUE(manyRuns.pictures.empty());
  RichContentParts hugeText = Parse(With(24, 1 << 30));
  EXPECT_EQ(hugeText.text, "xyz");
  EXPECT_TRUE(hugeText.runs.empty());
  EXPECT_EQ(Parse(With(24, 0)).text, "");
}

TEST_F(RichContentDamage, BadPicturesAreSkippedAndUnsteppableOnesEndTheList) {
  EXPECT_EQ(Parse(With(kFirstPicture + 8, -2)).pictures.size(), 1u);   // negative width
  EXPECT_EQ(Parse(With(kFirstPicture + 12, 100)).pictures.size(), 1u);  // pixels do not fit
  EXPECT_EQ(Parse(With(kFirstPicture, 3)).pictures.size(), 0u);        // cannot step over
  EXPECT_EQ(Parse(With(kFirstPicture, 1 << 20)).pictures.size(), 0u);
}

TEST(RichContentCorpus, EveryPartOfEverySeedLiesInsideItsBlob) {
  std::size_t files = 0;
  for (const auto& entry :
       std::filesystem::directory_iterator(test::SourcePath("fuzz/corpus/richtext"))) {
    SCOPED_TRACE(entry.path().filename().string());
    Bytes bytes = test::ReadFileBytes(entry.path().string());
    RichContentParts parts = ParseRichContent(bytes.data(), bytes.size());
    EXPECT_LE(parts.text.size() + kRichContentHeaderSize, bytes.size() + 1);
    for (const PictureView& view : parts.pictures) {
      EXPECT_GE(view.record, bytes.data());
      EXPECT_LE(view.record + view.length, bytes.data() + bytes.size());
      EXPECT_LE(kPictureHeaderSize + 3u * view.width * view.height, view.length);
    }
    ++files;
  }
  EXPECT_GE(files, 6u);
}

}  // namespace
}  // namespace velmor
