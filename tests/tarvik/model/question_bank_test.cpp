#include <gtest/gtest.h>

#include <algorithm>

#include "tarvik/model/question_bank.h"
#include "tests/support/test_files.h"
#include "tests/tarvik/model/lst_images.h"

namespace velmor {
namespace {

using test::ByteImage;
using test::TempDir;

ContentBlock Block(const std::string& payload) {
  return ContentBlock::WithPayload(payload.data(), payload.size());
}

std::vector<int32_t> Ids(const QuestionBank& bank, int category) {
  std::vector<int32_t> ids;
  for (const BigQuestion& question : bank.categories().at(category).questions)
    ids.push_back(question.id);
  return ids;
}

std::vector<std::string> Names(const QuestionBank& bank) {
  std::vector<std::string> names;
  for (const Category& category : bank.categories()) names.emplace_back(category.name.text());
  return names;
}

// Three categories "one", "two", "three" with questions 1 / 2, 3 / 4.
void FillThree(QuestionBank& bank) {
  bank.AddCategory("one");
  bank.AddCategory("two");
  bank.AddCategory("three");
  bank.AddBigQuestion(0, 1, Block("a"), 0, 0);
  bank.AddBigQuestion(1, 1, Block("b"), 0, 0);
  bank.AddBigQuestion(1, 1, Block("c"), 0, 0);
  bank.AddBigQuestion(2, 1, Block("d"), 0, 0);
}

TEST(QuestionIds, RepeatedRequestsCountUpAndClearStartsOver) {
  QuestionBank bank;
  EXPECT_EQ(bank.GrantQuestionId(1), 1);
  EXPECT_EQ(bank.GrantQuestionId(1), 2);
  EXPECT_EQ(bank.GrantQuestionId(1), 3);
  EXPECT_EQ(bank.usedQuestionIds(), (std::vector<int32_t>{1, 2, 3}));
  bank.Clear();
  EXPECT_EQ(bank.maxQuestionId(), 0);
  EXPECT_EQ(bank.GrantQuestionId(1), 1);
}

TEST(QuestionIds, DeletedIdsAreNotGivenBack) {
  QuestionBank bank;
  bank.AddCategory("c");
  for (int i = 0; i < 3; ++i) bank.AddBigQuestion(0, 1, Block("x"), 0, 0);
  ASSERT_TRUE(bank.DeleteBigQuestion(0, 2));
  bank.AddBigQuestion(0, 1, Block("y"), 0, 0);
  EXPECT_EQ(Ids(bank, 0), (std::vector<int32_t>{1, 2, 4}));
}

TEST(QuestionIds, FreeIdsAreTakenAsRequestedThenTheHighestPlusOne) {
  ByteImage image;
  test::LstHeader(image, 1, "", 2, 0, 1);
  test::LstCategory(image, "c", 2);
  test::LstBigQuestion(image, 5, 0, 0, 4, 0);
  test::LstBigQuestion(image, 9, 0, 0, 4, 0);
  MemorySource source(image.bytes().data(), image.size());
  QuestionBank bank;
  ASSERT_TRUE(bank.LoadFrom(source));
  bank.AddBigQuestion(0, 1, Block("n"), 0, 0);
  bank.AddBigQuestion(0, 1, Block("n"), 0, 0);
  EXPECT_EQ(Ids(bank, 0), (std::vector<int32_t>{5, 9, 1, 10}));
  EXPECT_EQ(bank.GrantQuestionId(-3), -3);  // a free negative id is granted as it is
  EXPECT_EQ(bank.maxQuestionId(), 10);
}

// At the highest id there is no "one more": the smallest free positive id, never a taken one.
TEST(QuestionIds, AtTheHighestIdTheSmallestFreeOneIsGranted) {
  QuestionBank bank;
  for (int32_t id : {1, 2, 4, INT32_MAX}) ASSERT_EQ(bank.GrantQuestionId(id), id);
  EXPECT_EQ(bank.GrantQuestionId(INT32_MAX), 3);
  EXPECT_EQ(bank.GrantQuestionId(1), 5);
  EXPECT_EQ(bank.GrantQuestionId(7), 7);  // free: as requested
  EXPECT_EQ(bank.GrantQuestionId(2), 6);
  EXPECT_EQ(bank.GrantQuestionId(2), 8);
  EXPECT_EQ(bank.maxQuestionId(), INT32_MAX);
  std::vector<int32_t> ids = bank.usedQuestionIds();
  std::sort(ids.begin(), ids.end());
  EXPECT_EQ(std::adjacent_find(ids.begin(), ids.end()), ids.end());
}

TEST(Categories, AddRenameDeleteAndRemoveAll) {
  QuestionBank bank;
  FillThree(bank);
  bank.AddCategory("two");  // repeated names are accepted
  bank.AddCategory("");
  EXPECT_EQ(Names(bank), (std::vector<std::string>{"one", "two", "three", "two", ""}));
  EXPECT_TRUE(bank.RenameCategory(4, "five"));
  EXPECT_FALSE(bank.RenameCategory(5, "six"));
  EXPECT_FALSE(bank.RenameCategory(-1, "six"));
  EXPECT_TRUE(bank.DeleteCategory(1));
  EXPECT_EQ(Names(bank), (std::vector<std::string>{"one", "three", "two", "five"}));
  EXPECT_EQ(Ids(bank, 1), (std::vector<int32_t>{4}));
  EXPECT_FALSE(bank.DeleteCategory(4));

  bank.SetTitle("title");
  bank.RemoveAllCategories();
  EXPECT_TRUE(bank.categories().empty());
  EXPECT_EQ(bank.title().text(), "title");
  EXPECT_EQ(bank.maxQuestionId(), 4);
}

TEST(Categories, MergeMovesQuestionsBehindTheTargetsAndRemovesTheSource) {
  QuestionBank bank;
  FillThree(bank);
  ASSERT_TRUE(bank.MergeCategories(2, 3));
  EXPECT_EQ(Names(bank), (std::vector<std::string>{"one", "two"}));
  EXPECT_EQ(Ids(bank, 1), (std::vector<int32_t>{2, 3, 4}));
  EXPECT_EQ(bank.categories()[1].questions[2].content, Block("d"));

  QuestionBank other;
  FillThree(other);
  ASSERT_TRUE(other.MergeCategories(3, 1));
  EXPECT_EQ(Names(other), (std::vector<std::string>{"two", "three"}));
  EXPECT_EQ(Ids(other, 1), (std::vector<int32_t>{4, 1}));
}

TEST(Categories, MergeRefusesNumbersOutOfRangeAndEqualNumbers) {
  for (auto [target, source] : std::vector<std::pair<int32_t, int32_t>>{
           {0, 1}, {1, 4}, {4, 1}, {1, 0}, {-1, 2}, {2, -1}, {INT32_MIN, 1}, {2, 2}}) {
    QuestionBank bank;
    FillThree(bank);
    EXPECT_FALSE(bank.MergeCategories(target, source)) << target << ", " << source;
    EXPECT_EQ(Names(bank), (std::vector<std::string>{"one", "two", "three"}));
    EXPECT_EQ(Ids(bank, 1), (std::vector<int32_t>{2, 3}));
  }
}

TEST(BigQuestions, AFailedAddLeavesTheBlockWithTheCaller) {
  QuestionBank bank;
  bank.AddCategory("c");
  ContentBlock block = Block("stem");
  EXPECT_FALSE(bank.AddBigQuestion(1, 1, std::move(block), 0, 0));
  EXPECT_EQ(block, Block("stem"));  // NOLINT(bugprone-use-after-move): not moved on failure
  EXPECT_FALSE(bank.AddBigQuestion(-1, 1, std::move(block), 0, 0));
  EXPECT_TRUE(bank.usedQuestionIds().empty());
  EXPECT_TRUE(bank.AddBigQuestion(0, 1, std::move(block), 6, 7));
  EXPECT_TRUE(block.empty());
  const BigQuestion& question = bank.categories()[0].questions[0];
  EXPECT_EQ(question.reservedA, 6);
  EXPECT_EQ(question.reservedB, 7);
  EXPECT_EQ(question.content, Block("stem"));
}

TEST(BigQuestions, MalformedBlocksAreRefused) {
  QuestionBank bank;
  bank.AddCategory("c");
  unsigned char wrongLength[6] = {5, 0, 0, 0, 'a', 'b'};
  ContentBlock tooShort = ContentBlock::FromBytes("\x03\0\0", 3);
  ContentBlock mismatch = ContentBlock::FromBytes(wrongLength, sizeof wrongLength);
  EXPECT_FALSE(bank.AddBigQuestion(0, 1, std::move(tooShort), 0, 0));
  EXPECT_FALSE(bank.AddBigQuestion(0, 1, ContentBlock(), 0, 0));
  EXPECT_FALSE(bank.AddBigQuestion(0, 1, std::move(mismatch), 0, 0));
  EXPECT_TRUE(bank.categories()[0].questions.empty());
  ASSERT_TRUE(bank.AddBigQuestion(0, 1, Block(""), 0, 0));
  EXPECT_FALSE(bank.ReplaceContent(0, 0, ContentBlock::FromBytes(wrongLength, 6)));
  EXPECT_EQ(bank.categories()[0].questions[0].content, Block(""));
}

TEST(BigQuestions, ReplaceAndDelete) {
  QuestionBank bank;
  FillThree(bank);
  EXPECT_TRUE(bank.ReplaceContent(1, 1, Block("new")));
  EXPECT_EQ(bank.categories()[1].questions[1].content, Block("new"));
  ContentBlock keep = Block("keep");
  EXPECT_FALSE(bank.ReplaceContent(1, 2, std::move(keep)));
  EXPECT_EQ(keep, Block("keep"));  // NOLINT(bugprone-use-after-move)
  EXPECT_FALSE(bank.DeleteBigQuestion(0, 1));
  EXPECT_TRUE(bank.DeleteBigQuestion(1, 0));
  EXPECT_EQ(Ids(bank, 1), (std::vector<int32_t>{3}));
}

TEST(SmallQuestionsAndOptions, AddChangeDeleteWithRangeChecks) {
  QuestionBank bank;
  FillThree(bank);
  EXPECT_FALSE(bank.AddSmallQuestion(0, 1, "x", 1, 1));
  ASSERT_TRUE(bank.AddSmallQuestion(0, 0, "first", 1, 10));
  ASSERT_TRUE(bank.AddSmallQuestion(0, 0, "second", 0, 20));
  EXPECT_TRUE(bank.AddOption(0, 0, 1, "A", 1, 1, 1, 33));
  EXPECT_TRUE(bank.AddOption(0, 0, 1, "B", 2, 0, 0, 44));
  EXPECT_FALSE(bank.AddOption(0, 0, 2, "C", 3, 0, 0, 0));

  // Changing a ticked option keeps the tick and the count.
  EXPECT_TRUE(bank.ChangeOption(0, 0, 1, 0, "A2", 5, 0));
  const ChoiceOption& changed = *bank.FindOption(0, 0, 1, 0);
  EXPECT_EQ(changed.text.text(), "A2");
  EXPECT_EQ(changed.score, 5);
  EXPECT_EQ(changed.isAnswer, 0);
  EXPECT_EQ(changed.chosen, 1);
  EXPECT_EQ(changed.selectCount, 33);
  EXPECT_FALSE(bank.ChangeOption(0, 0, 1, 2, "x", 0, 0));

  // Changing a small question keeps its options.
  EXPECT_TRUE(bank.ChangeSmallQuestion(0, 0, 1, "changed", 1, 7));
  const SmallQuestion& small = *bank.FindSmallQuestion(0, 0, 1);
  EXPECT_EQ(small.text.text(), "changed");
  EXPECT_EQ(small.singleChoice, 1);
  EXPECT_EQ(small.score, 7);
  EXPECT_EQ(small.reserved, 0);
  EXPECT_EQ(small.options.size(), 2u);

  EXPECT_TRUE(bank.DeleteOption(0, 0, 1, 0));
  EXPECT_EQ(bank.FindOption(0, 0, 1, 0)->text.text(), "B");
  EXPECT_FALSE(bank.DeleteOption(0, 0, 1, 1));
  EXPECT_TRUE(bank.DeleteSmallQuestion(0, 0, 0));
  EXPECT_EQ(bank.FindSmallQuestion(0, 0, 0)->text.text(), "changed");
  EXPECT_FALSE(bank.DeleteSmallQuestion(0, 0, 1));
  EXPECT_EQ(bank.FindSmallQuestion(0, 0, 1), nullptr);
  EXPECT_EQ(bank.FindOption(9, 0, 0, 0), nullptr);
}

TEST(SmallQuestionsAndOptions, ResetsClearOneFieldEverywhere) {
  QuestionBank bank;
  FillThree(bank);
  bank.AddSmallQuestion(0, 0, "s", 0, 1);
  bank.AddSmallQuestion(2, 0, "s", 0, 1);
  bank.AddOption(0, 0, 0, "a", 1, 1, 1, 5);
  bank.AddOption(2, 0, 0, "b", 1, 1, 1, 6);
  bank.ResetSelectCounts();
  EXPECT_EQ(bank.FindOption(0, 0, 0, 0)->selectCount, 0);
  EXPECT_EQ(bank.FindOption(2, 0, 0, 0)->selectCount, 0);
  EXPECT_EQ(bank.FindOption(2, 0, 0, 0)->chosen, 1);
  bank.ResetChoices();
  EXPECT_EQ(bank.FindOption(0, 0, 0, 0)->chosen, 0);
  EXPECT_EQ(bank.FindOption(2, 0, 0, 0)->chosen, 0);
  EXPECT_EQ(bank.FindOption(2, 0, 0, 0)->isAnswer, 1);
}

TEST(WholeBank, CopyIsIndependentOfItsSource) {
  QuestionBank source;
  FillThree(source);
  source.AddSmallQuestion(1, 1, "s", 1, 3);
  source.AddOption(1, 1, 0, "o", 2, 1, 0, 8);
  source.SetTitle("题库");
  source.SetKind(kKindChoice);

  QuestionBank copy;
  copy.AddCategory("old");
  copy.CopyFrom(source);
  EXPECT_EQ(Names(copy), Names(source));
  EXPECT_EQ(copy.title(), source.title());
  EXPECT_EQ(copy.header(), source.header());
  EXPECT_EQ(copy.usedQuestionIds(), source.usedQuestionIds());
  EXPECT_EQ(copy.categories()[1].questions[1].content, Block("c"));
  EXPECT_NE(copy.categories()[1].questions[1].content.data(),
            source.categories()[1].questions[1].content.data());

  copy.SetChosen(1, 1, 0, 0, 1);
  copy.ResetSelectCounts();
  copy.SetKind(kKindCheckAnswers);
  copy.ReplaceContent(1, 1, Block("changed"));
  copy.AddBigQuestion(0, 1, Block("z"), 0, 0);
  EXPECT_EQ(source.FindOption(1, 1, 0, 0)->chosen, 0);
  EXPECT_EQ(source.FindOption(1, 1, 0, 0)->selectCount, 8);
  EXPECT_EQ(source.header().kind(), kKindChoice);
  EXPECT_EQ(source.categories()[1].questions[1].content, Block("c"));
  EXPECT_EQ(source.maxQuestionId(), 4);

  copy.CopyFrom(copy);
  EXPECT_EQ(copy.categories()[1].questions[1].content, Block("changed"));
}

TEST(WholeBank, AppendFromFileAddsCategoriesAndKeepsTheirIds) {
  TempDir dir;
  QuestionBank fileBank;
  FillThree(fileBank);
  fileBank.SetTitle("file");
  std::string path = dir.File("other.lst");
  ASSERT_TRUE(fileBank.Save(path));

  QuestionBank bank;
  bank.AddCategory("one");
  bank.AddBigQuestion(0, 1, Block("mine"), 0, 0);
  bank.SetTitle("mine");
  ASSERT_TRUE(bank.AppendFromFile(path));
  EXPECT_EQ(Names(bank), (std::vector<std::string>{"one", "one", "two", "three"}));
  EXPECT_EQ(Ids(bank, 1), (std::vector<int32_t>{1}));  // equal to the id already present
  EXPECT_EQ(Ids(bank, 3), (std::vector<int32_t>{4}));
  EXPECT_EQ(bank.categories()[3].questions[0].content, Block("d"));
  EXPECT_EQ(bank.maxQuestionId(), 1);
  EXPECT_EQ(bank.usedQuestionIds().size(), 1u);
  EXPECT_EQ(bank.title().text(), "mine");
  EXPECT_TRUE(bank.filePath().empty());
}

TEST(WholeBank, AppendFromAnUnreadableFileChangesNothing) {
  TempDir dir;
  std::string path = dir.File("bad.lst");
  ByteImage image;
  test::LstHeader(image, 1, "", 1, 0, 1);  // wrong version with a category
  test::LstCategory(image, "c", 0);
  test::WriteFileBytes(path, image.bytes());
  QuestionBank bank;
  FillThree(bank);
  EXPECT_FALSE(bank.AppendFromFile(path));
  EXPECT_FALSE(bank.AppendFromFile(dir.File("missing.lst")));
  EXPECT_EQ(Names(bank), (std::vector<std::string>{"one", "two", "three"}));
}

TEST(WholeBank, ClearKeepsTitleHeaderAndPath) {
  QuestionBank bank;
  FillThree(bank);
  bank.SetTitle("t");
  bank.SetKind(kKindPeerReview);
  bank.Clear();
  EXPECT_TRUE(bank.categories().empty());
  EXPECT_TRUE(bank.usedQuestionIds().empty());
  EXPECT_EQ(bank.title().text(), "t");
  EXPECT_EQ(bank.header().kind(), kKindPeerReview);
}

TEST(WholeBank, A127ByteTextIsStoredWholeWithItsTerminator) {
  QuestionBank bank;
  std::string text(127, 'q');
  bank.AddCategory(text);
  EXPECT_EQ(bank.categories()[0].name.text(), text);
  EXPECT_EQ(bank.categories()[0].name.bytes()[127], '\0');
  // Text after an embedded NUL is not stored.
  bank.RenameCategory(0, std::string_view("ab\0cd", 5));
  EXPECT_EQ(bank.categories()[0].name.text(), "ab");
  EXPECT_EQ(bank.categories()[0].name.bytes()[3], '\0');
}

}  // namespace
}  // namespace velmor
