#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "common/base/file_stream.h"
#include "tarvik/model/question_bank.h"
#include "tests/support/test_files.h"
#include "tests/tarvik/model/lst_images.h"

namespace velmor {
namespace {

using test::ByteImage;
using test::Bytes;
using test::TempDir;

ContentBlock Block(int32_t size, unsigned char fill = 0x30) {
  ByteImage image;
  image.Int32(size);
  for (int32_t i = 4; i < size; ++i) image.Raw(std::string(1, static_cast<char>(fill + i)));
  return ContentBlock::FromBytes(image.bytes().data(), image.size());
}

Bytes SaveToBytes(QuestionBank& bank) {
  MemorySink sink;
  EXPECT_TRUE(bank.SaveTo(sink));
  return sink.bytes();
}

bool LoadBytes(QuestionBank& bank, const Bytes& bytes) {
  MemorySource source(bytes.data(), bytes.size());
  return bank.LoadFrom(source);
}

// The bank of the 611-byte example: one category, one big question with a 40-byte block,
// one small question "Q" and two options with one-byte texts.
void FillExample(QuestionBank& bank) {
  bank.AddCategory("C");
  ASSERT_TRUE(bank.AddBigQuestion(0, 1, Block(40), 0, 0));
  ASSERT_TRUE(bank.AddSmallQuestion(0, 0, "Q", 1, 5));
  ASSERT_TRUE(bank.AddOption(0, 0, 0, "A", 2, 1, 0, 7));
  ASSERT_TRUE(bank.AddOption(0, 0, 0, "B", 3, 0, 1, 9));
}

ByteImage ExampleImage() {
  ByteImage image;
  test::LstHeader(image, 0, "", 2, 0, 1);
  test::LstCategory(image, "C", 1);
  test::LstBigQuestion(image, 1, 0, 0, 40, 1);
  test::LstSmallQuestion(image, 5, 1, 2, "Q");
  test::LstOption(image, 2, 0, 1, 7, "A");
  test::LstOption(image, 3, 1, 0, 9, "B");
  return image;
}

TEST(LstSave, EmptyBankIsTheBareHeader) {
  QuestionBank bank;
  Bytes saved = SaveToBytes(bank);
  ASSERT_EQ(saved.size(), 356u);
  ByteImage expected;
  expected.Raw(test::kLstSignature).Zeros(344 - 12).Int32(2).Int32(0).Int32(0);
  EXPECT_EQ(saved, expected.bytes());
}

TEST(LstSave, ExampleBankMatchesTheLayoutByteForByte) {
  QuestionBank bank;
  FillExample(bank);
  Bytes saved = SaveToBytes(bank);
  EXPECT_EQ(saved.size(), 611u);
  EXPECT_EQ(saved, ExampleImage().bytes());
}

TEST(LstSave, UpdatesTheHeaderInMemory) {
  QuestionBank bank;
  FillExample(bank);
  bank.SetTitle("题库");
  bank.SetKind(kKindQuestionnaire);
  SaveToBytes(bank);
  const BankHeader& header = bank.header();
  EXPECT_EQ(0, std::memcmp(header.bytes().data(), test::kLstSignature.data(), 12));
  EXPECT_EQ(header.bytes()[12], 0);
  EXPECT_EQ(header.formatVersion(), 2);
  EXPECT_EQ(header.categoryCount(), 1);
  EXPECT_EQ(header.trailerCount(), 0);
  EXPECT_EQ(header.kind(), 2);
  EXPECT_EQ(0, std::memcmp(header.titleCopy(), bank.title().bytes().data(), 128));
}

// A sink that accepts a given number of bytes and then fails.
class FailingSink : public ByteSink {
 public:
  explicit FailingSink(std::size_t capacity) : capacity_(capacity) {}
  bool Write(const void*, std::size_t size) override {
    if (size > capacity_) return false;
    capacity_ -= size;
    return true;
  }

 private:
  std::size_t capacity_;
};

TEST(LstSave, HeaderKeepsNewCountsEvenWhenTheWriteFailsLater) {
  QuestionBank bank;
  FillExample(bank);
  FailingSink sink(400);
  EXPECT_FALSE(bank.SaveTo(sink));
  EXPECT_EQ(bank.header().categoryCount(), 1);
  EXPECT_EQ(bank.header().formatVersion(), 2);
}

TEST(LstRoundTrip, ExampleLoadsBackToTheSameTree) {
  QuestionBank bank;
  ASSERT_TRUE(LoadBytes(bank, ExampleImage().bytes()));
  ASSERT_EQ(bank.categories().size(), 1u);
  EXPECT_EQ(bank.categories()[0].name.text(), "C");
  const BigQuestion& question = bank.categories()[0].questions.at(0);
  EXPECT_EQ(question.id, 1);
  EXPECT_EQ(question.content, Block(40));
  const SmallQuestion& small = question.smallQuestions.at(0);
  EXPECT_EQ(small.text.text(), "Q");
  EXPECT_EQ(small.score, 5);
  EXPECT_EQ(small.singleChoice, 1);
  ASSERT_EQ(small.options.size(), 2u);
  EXPECT_EQ(small.options[1].text.text(), "B");
  EXPECT_EQ(small.options[1].score, 3);
  EXPECT_EQ(small.options[1].chosen, 1);
  EXPECT_EQ(small.options[1].isAnswer, 0);
  EXPECT_EQ(small.options[1].selectCount, 9);
  EXPECT_EQ(SaveToBytes(bank), ExampleImage().bytes());
}

TEST(LstRoundTrip, UnnamedHeaderBytesTrailersAndTitleTravelThrough) {
  ByteImage image;
  image.Raw(test::kLstSignature).Raw(std::string("\0\x11\x22\x33", 4));
  image.Raw(std::string(76, '\x5a')).Field("标题", 128).Int32(3).Raw(std::string(120, '\x7e'));
  image.Int32(2).Int32(2).Int32(0);
  test::LstTrailer(image, 17, 0xab);
  test::LstTrailer(image, -4, 0xcd);
  QuestionBank bank;
  ASSERT_TRUE(LoadBytes(bank, image.bytes()));
  EXPECT_EQ(bank.title().text(), "标题");
  EXPECT_EQ(bank.header().kind(), kKindPeerReview);
  ASSERT_EQ(bank.trailerRecords().size(), 2u);
  EXPECT_EQ(bank.trailerRecords()[1].value(), -4);
  EXPECT_EQ(SaveToBytes(bank), image.bytes());
}

TEST(LstRoundTrip, SmallQuestionReservedIsReadAsZero) {
  ByteImage image = ExampleImage();
  Bytes bytes = image.bytes();
  // The small-question record follows header, category and big question with its block.
  std::size_t reservedAt = 356 + 132 + 20 + 40 + 4;
  bytes[reservedAt] = 9;
  QuestionBank bank;
  ASSERT_TRUE(LoadBytes(bank, bytes));
  EXPECT_EQ(bank.categories()[0].questions[0].smallQuestions[0].reserved, 0);
  EXPECT_EQ(SaveToBytes(bank), image.bytes());
}

TEST(LstTexts, A127ByteTextIsWrittenWholeAndReadBack) {
  std::string text(127, 'x');
  text[0] = 'a';
  text[126] = 'z';
  QuestionBank bank;
  bank.AddCategory("c");
  bank.AddBigQuestion(0, 1, Block(4), 0, 0);
  ASSERT_TRUE(bank.AddSmallQuestion(0, 0, text, 0, 1));
  ByteImage expected;
  test::LstHeader(expected, 0, "", 2, 0, 1);
  test::LstCategory(expected, "c", 1);
  test::LstBigQuestion(expected, 1, 0, 0, 4, 1);
  test::LstSmallQuestion(expected, 1, 0, 0, text);
  Bytes saved = SaveToBytes(bank);
  EXPECT_EQ(saved, expected.bytes());
  QuestionBank loaded;
  ASSERT_TRUE(LoadBytes(loaded, saved));
  EXPECT_EQ(loaded.categories()[0].questions[0].smallQuestions[0].text.text(), text);
}

TEST(LstTexts, LongerTextsAreCutWithoutSplittingACharacter) {
  QuestionBank bank;
  bank.AddCategory(std::string(126, 'n') + "类");  // the double-byte character would end at 128
  EXPECT_EQ(bank.categories()[0].name.text(), std::string(126, 'n'));
  bank.AddCategory(std::string(125, 'n') + "类别");
  EXPECT_EQ(bank.categories()[1].name.text(), std::string(125, 'n') + "类");
  bank.AddCategory(std::string(200, 'n'));
  EXPECT_EQ(bank.categories()[2].name.text(), std::string(127, 'n'));
}

TEST(LstVersion, VersionOneWithACategoryFailsKeepingHeaderAndTitle) {
  ByteImage image;
  test::LstHeader(image, 1, "旧版", 1, 0, 1);
  test::LstCategory(image, "c", 0);
  QuestionBank bank;
  bank.AddCategory("before");
  EXPECT_FALSE(LoadBytes(bank, image.bytes()));
  EXPECT_TRUE(bank.categories().empty());
  EXPECT_EQ(bank.title().text(), "旧版");
  EXPECT_EQ(bank.header().formatVersion(), 1);
  EXPECT_EQ(bank.header().kind(), 1);
}

TEST(LstVersion, VersionOneWithoutCategoriesLoads) {
  ByteImage image;
  test::LstHeader(image, 1, "旧版", 1, 0, 0);
  QuestionBank bank;
  EXPECT_TRUE(LoadBytes(bank, image.bytes()));
  EXPECT_EQ(bank.title().text(), "旧版");
}

TEST(LstCuts, ACutInsideTheTrailerKeepsTheCompleteRecords) {
  ByteImage image;
  test::LstHeader(image, 1, "", 2, 3, 0);
  test::LstTrailer(image, 1, 0x11);
  test::LstTrailer(image, 2, 0x22);
  test::LstTrailer(image, 3, 0x33);
  Bytes bytes = image.bytes();
  bytes.resize(bytes.size() - 30);
  QuestionBank bank;
  EXPECT_TRUE(LoadBytes(bank, bytes));
  ASSERT_EQ(bank.trailerRecords().size(), 2u);
  EXPECT_EQ(bank.trailerRecords()[1].value(), 2);
  EXPECT_EQ(bank.trailerRecords()[1].bytes[75], 0x22);
}

TEST(LstCuts, ACutInsideAnOptionRecordKeepsEveryOptionBeforeIt) {
  Bytes bytes = ExampleImage().bytes();
  bytes.resize(bytes.size() - 10);  // inside the record of option "B"
  QuestionBank bank;
  EXPECT_FALSE(LoadBytes(bank, bytes));
  ASSERT_EQ(bank.categories().size(), 1u);
  const SmallQuestion& small = bank.categories()[0].questions.at(0).smallQuestions.at(0);
  ASSERT_EQ(small.options.size(), 1u);
  EXPECT_EQ(small.options[0].text.text(), "A");
}

TEST(LstCuts, AHeaderCutMidwayLeavesTheRestOfTheOldHeader) {
  QuestionBank bank;
  ByteImage old;
  test::LstHeader(old, 3, "old", 2, 0, 0);
  ASSERT_TRUE(LoadBytes(bank, old.bytes()));
  ByteImage image;
  test::LstHeader(image, 1, "new", 2, 0, 0);
  Bytes cut(image.bytes().begin(), image.bytes().begin() + 93);
  EXPECT_FALSE(LoadBytes(bank, cut));
  EXPECT_EQ(bank.header().bytes()[92], 'n');       // read before the cut
  EXPECT_EQ(bank.header().bytes()[93], 'l');       // kept from the old header
  EXPECT_EQ(bank.header().kind(), kKindPeerReview);  // kept
  EXPECT_EQ(bank.title().text(), "old");            // the title is taken only from a whole header
}

TEST(LstIds, RepeatedStoredIdsAreRenumberedAboveTheHighest) {
  ByteImage image;
  test::LstHeader(image, 1, "", 2, 0, 1);
  test::LstCategory(image, "c", 2);
  test::LstBigQuestion(image, 7, 0, 0, 4, 0);
  test::LstBigQuestion(image, 7, 0, 0, 4, 0);
  QuestionBank bank;
  ASSERT_TRUE(LoadBytes(bank, image.bytes()));
  EXPECT_EQ(bank.categories()[0].questions[0].id, 7);
  EXPECT_EQ(bank.categories()[0].questions[1].id, 8);
  EXPECT_EQ(bank.maxQuestionId(), 8);
}

TEST(LstIds, ReservedValuesOfBigQuestionsTravelThrough) {
  ByteImage image;
  test::LstHeader(image, 1, "", 2, 0, 1);
  test::LstCategory(image, "c", 1);
  test::LstBigQuestion(image, 5, -1, 123456, 9, 0);
  QuestionBank bank;
  ASSERT_TRUE(LoadBytes(bank, image.bytes()));
  EXPECT_EQ(bank.categories()[0].questions[0].reservedA, -1);
  EXPECT_EQ(bank.categories()[0].questions[0].reservedB, 123456);
  EXPECT_EQ(SaveToBytes(bank), image.bytes());
}

// Damaged files fail at the damaged record and keep everything read before it.
struct DamageCase {
  const char* name;
  int32_t contentSize;    // of the second big question's record
  int32_t lengthWord;     // first four bytes of its block
  int32_t textLength;     // of its small question
  int32_t optionCount;    // of its small question
  std::size_t cutAtEnd;   // bytes removed from the end
  bool loads;
  std::size_t questionsKept;
};

class LstDamage : public ::testing::TestWithParam<DamageCase> {};

TEST_P(LstDamage, FailsAtTheDamagedRecordKeepingWhatCameBefore) {
  const DamageCase& c = GetParam();
  ByteImage image;
  test::LstHeader(image, 1, "", 2, 0, 1);
  test::LstCategory(image, "c", 2);
  test::LstBigQuestion(image, 1, 0, 0, 8, 0);
  image.Int32(2).Int32(0).Int32(0).Int32(c.contentSize).Int32(1);
  image.Int32(c.lengthWord).Raw(std::string(8, 'p'));
  image.Int32(1).Int32(0).Int32(1).Int32(c.optionCount).Int32(c.textLength);
  image.Raw(std::string(3, 't'));
  Bytes bytes = image.bytes();
  bytes.resize(bytes.size() - c.cutAtEnd);
  QuestionBank bank;
  EXPECT_EQ(LoadBytes(bank, bytes), c.loads);
  ASSERT_EQ(bank.categories().size(), 1u);
  EXPECT_EQ(bank.categories()[0].questions.size(), c.questionsKept);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LstDamage,
    ::testing::Values(DamageCase{"Intact", 12, 12, 3, 0, 0, true, 2},
                      DamageCase{"ContentSizeBelowFour", 3, 3, 3, 0, 0, false, 1},
                      DamageCase{"ContentSizeZero", 0, 0, 3, 0, 0, false, 1},
                      DamageCase{"ContentSizeNegative", -12, 12, 3, 0, 0, false, 1},
                      DamageCase{"LengthWordDiffers", 12, 13, 3, 0, 0, false, 1},
                      DamageCase{"ContentBeyondEnd", 0x7fffffff, 12, 3, 0, 0, false, 1},
                      DamageCase{"TextLengthAbove127", 12, 12, 128, 0, 0, false, 2},
                      DamageCase{"TextLengthNegative", 12, 12, -1, 0, 0, false, 2},
                      DamageCase{"TextBeyondEnd", 12, 12, 3, 0, 1, false, 2},
                      DamageCase{"HugeOptionCount", 12, 12, 3, 0x7fffffff, 0, false, 2},
                      DamageCase{"NegativeOptionCount", 12, 12, 3, -5, 0, true, 2}),
    [](const ::testing::TestParamInfo<DamageCase>& info) { return info.param.name; });

TEST(LstDamageCounts, HugeCategoryAndQuestionCountsStopAtTheEndOfTheFile) {
  ByteImage image;
  test::LstHeader(image, 1, "", 2, 0x7fffffff, 0x7fffffff);
  test::LstCategory(image, "a", 0);
  test::LstCategory(image, "b", 0x7fffffff);
  test::LstBigQuestion(image, 1, 0, 0, 4, 0x7fffffff);
  QuestionBank bank;
  EXPECT_FALSE(LoadBytes(bank, image.bytes()));
  ASSERT_EQ(bank.categories().size(), 2u);
  EXPECT_EQ(bank.categories()[1].questions.size(), 1u);
}

TEST(LstDamageCounts, NegativeCountsMeanNone) {
  ByteImage image;
  test::LstHeader(image, 1, "", 2, -1, -3);
  QuestionBank bank;
  EXPECT_TRUE(LoadBytes(bank, image.bytes()));
  EXPECT_TRUE(bank.categories().empty());
  EXPECT_TRUE(bank.trailerRecords().empty());
}

TEST(LstDamageCounts, ATitleWithoutTerminatorIsCutOnACharacterBoundary) {
  ByteImage image;
  image.Field(test::kLstSignature, 16).Zeros(76);
  image.Raw(std::string(126, 'x')).Raw("\xb1\xea");  // 128 bytes, no NUL
  image.Int32(1).Zeros(120).Int32(2).Int32(0).Int32(0);
  QuestionBank bank;
  ASSERT_TRUE(LoadBytes(bank, image.bytes()));
  EXPECT_EQ(bank.title().text(), std::string(126, 'x'));
}

// --- Files on disk ---------------------------------------------------------------------

TEST(LstFiles, SaveThenLoadThroughAFile) {
  TempDir dir;
  QuestionBank bank;
  FillExample(bank);
  std::string path = dir.File("example.lst");
  ASSERT_TRUE(bank.Save(path));
  EXPECT_EQ(test::ReadFileBytes(path), ExampleImage().bytes());
  QuestionBank loaded;
  ASSERT_TRUE(loaded.Load(path));
  EXPECT_EQ(loaded.filePath(), path);
  EXPECT_EQ(loaded.categories()[0].questions[0].smallQuestions[0].options.size(), 2u);
  EXPECT_EQ(test::ListFolder(dir.path()), std::vector<std::string>{"example.lst"});
}

TEST(LstFiles, AMissingFileFailsLeavingAnEmptyBankWithTheOldHeader) {
  TempDir dir;
  QuestionBank bank;
  FillExample(bank);
  bank.SetTitle("kept");
  bank.SetKind(kKindChoice);
  EXPECT_FALSE(bank.Load(dir.File("missing.lst")));
  EXPECT_TRUE(bank.categories().empty());
  EXPECT_TRUE(bank.usedQuestionIds().empty());
  EXPECT_EQ(bank.title().text(), "kept");
  EXPECT_EQ(bank.header().kind(), kKindChoice);
  EXPECT_EQ(bank.filePath(), dir.File("missing.lst"));
}

TEST(LstFiles, AReadOnlyFileFailsToLoadAndToBeSavedOver) {
  TempDir dir;
  std::string path = dir.File("locked.lst");
  test::WriteFileBytes(path, ExampleImage().bytes());
  test::SetReadOnly(path, true);
  QuestionBank bank;
  EXPECT_FALSE(bank.Load(path));
  EXPECT_TRUE(bank.categories().empty());
  FillExample(bank);
  bank.SetTitle("changed");
  EXPECT_FALSE(bank.Save(path));
  EXPECT_EQ(test::ReadFileBytes(path), ExampleImage().bytes());
  EXPECT_EQ(test::ListFolder(dir.path()), std::vector<std::string>{"locked.lst"});
}

TEST(LstFiles, AFailedSaveLeavesThePreviousFileAndNoLitter) {
  TempDir dir;
  QuestionBank bank;
  FillExample(bank);
  // Into a folder that does not exist.
  EXPECT_FALSE(bank.Save(dir.File("no-such-folder/bank.lst")));
  // Over a folder.
  std::string folder = dir.File("folder.lst");
  std::filesystem::create_directory(folder);
  EXPECT_FALSE(bank.Save(folder));
  EXPECT_EQ(test::ListFolder(dir.path()), std::vector<std::string>{"folder.lst"});
}

TEST(LstFiles, AnAbandonedWriteLeavesTheTargetUntouched) {
  TempDir dir;
  std::string path = dir.File("bank.lst");
  test::WriteFileBytes(path, ExampleImage().bytes());
  {
    SafeFileWriter writer;
    ASSERT_TRUE(writer.Begin(path));
    ASSERT_TRUE(writer.Write("partial", 7));
    EXPECT_TRUE(test::FileExists(writer.temporaryPath()));
  }
  EXPECT_EQ(test::ReadFileBytes(path), ExampleImage().bytes());
  EXPECT_EQ(test::ListFolder(dir.path()), std::vector<std::string>{"bank.lst"});
}

TEST(LstFiles, SavingReplacesAnExistingFile) {
  TempDir dir;
  std::string path = dir.File("bank.lst");
  test::WriteFileBytes(path, Bytes(5000, 0xee));
  QuestionBank bank;
  ASSERT_TRUE(bank.Save(path));
  EXPECT_EQ(test::ReadFileBytes(path).size(), 356u);
}

TEST(LstFiles, APathLongerThanTheBankCanHoldIsRefusedWithoutChange) {
  QuestionBank bank;
  FillExample(bank);
  EXPECT_FALSE(bank.Load(std::string(600, 'p')));
  EXPECT_EQ(bank.categories().size(), 1u);
  EXPECT_TRUE(bank.filePath().empty());
}

}  // namespace
}  // namespace velmor
