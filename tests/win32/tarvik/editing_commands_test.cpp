// The editing commands: every level of the tree, with and without selections.
#include "tests/win32/tarvik/editor_test_support.h"

#include "common/richtext/rich_content.h"
#include "tests/tarvik/model/lst_images.h"

namespace velmor::test {
namespace {

using Rows_ = std::vector<std::vector<std::string>>;

TEST_F(EditorTest, CategoriesAddRenameDeleteAndShow) {
  AddCategory("第一章");
  AddCategory("");  // an empty name is accepted
  AddCategory("第三章");
  EXPECT_EQ(Rows(IDC_CATEGORY_LIST),
            (Rows_{{"1", "第一章", ""}, {"2", "", ""}, {"3", "第三章", ""}}));

  Type(IDC_CATEGORY_NAME, "第二章");
  Command(IDC_CATEGORY_RENAME);  // no row selected: nothing
  EXPECT_EQ(bank.categories()[1].name.text(), "");
  ClickRow(IDC_CATEGORY_LIST, 1);
  EXPECT_EQ(Box(IDC_CATEGORY_NAME), "");  // the click shows the name
  Type(IDC_CATEGORY_NAME, "第二章");
  Command(IDC_CATEGORY_RENAME);
  EXPECT_EQ(Column(IDC_CATEGORY_LIST, 1), (std::vector<std::string>{"第一章", "第二章", "第三章"}));

  ClickRow(IDC_CATEGORY_LIST, 0);
  Command(IDC_CATEGORY_DELETE);
  EXPECT_EQ(Rows(IDC_CATEGORY_LIST), (Rows_{{"1", "第二章", ""}, {"2", "第三章", ""}}));
  Command(IDC_CATEGORY_DELETE);  // the refill left no row selected
  EXPECT_EQ(bank.categories().size(), 2u);
}

TEST_F(EditorTest, MergeRenumbersAndARefusedMergeChangesNothing) {
  AddCategory("a");
  AddCategory("b");
  AddCategory("c");
  AddBigQuestion(0, "q1");
  AddBigQuestion(2, "q2");
  AddBigQuestion(2, "q3");
  Type(IDC_MERGE_TARGET, "1");
  Type(IDC_MERGE_SOURCE, "3");
  Command(IDC_CATEGORY_MERGE);
  EXPECT_EQ(Rows(IDC_CATEGORY_LIST), (Rows_{{"1", "a", ""}, {"2", "b", ""}}));
  ClickRow(IDC_CATEGORY_LIST, 0);
  EXPECT_EQ(Rows(IDC_BIG_LIST), (Rows_{{"第1题", "1"}, {"第2题", "2"}, {"第3题", "3"}}));

  for (const char* source : {"0", "3", "1", "-1"}) {
    Type(IDC_MERGE_SOURCE, source);
    Command(IDC_CATEGORY_MERGE);
    EXPECT_EQ(bank.categories().size(), 2u) << source;
  }
  EXPECT_TRUE(platform.messages.empty());
}

TEST_F(EditorTest, BigQuestionIdsStayWhileRowNumbersCloseUp) {
  AddCategory("a");
  AddCategory("b");
  AddBigQuestion(0, "one");
  AddBigQuestion(0, "two");
  AddBigQuestion(1, "three");
  ClickRow(IDC_CATEGORY_LIST, 0);
  EXPECT_EQ(Rows(IDC_BIG_LIST), (Rows_{{"第1题", "1"}, {"第2题", "2"}}));
  AddBigQuestion(0, "four");
  ClickRow(IDC_BIG_LIST, 0);
  Command(IDC_BIG_DELETE);
  EXPECT_EQ(Rows(IDC_BIG_LIST), (Rows_{{"第1题", "2"}, {"第2题", "4"}}));
  AddBigQuestion(0, "five");
  EXPECT_EQ(Column(IDC_BIG_LIST, 1), (std::vector<std::string>{"2", "4", "5"}));
}

TEST_F(EditorTest, AddingABigQuestionTakesTheStemAndClearsTheEditor) {
  AddCategory("a");
  ClickRow(IDC_CATEGORY_LIST, 0);
  dialog.stemEditor().StreamInText("题干");
  Command(IDC_BIG_ADD);
  EXPECT_EQ(dialog.stemEditor().GetText(), "");
  const ContentBlock& stem = bank.categories()[0].questions.at(0).content;
  EXPECT_EQ(ParseRichContent(stem.data(), stem.size()).text, "题干");

  // Without a selected category the block is freed and the text stays, one break longer.
  ClickRow(IDC_CATEGORY_LIST, -1);
  dialog.stemEditor().StreamInText("留下");
  Command(IDC_BIG_ADD);
  EXPECT_EQ(dialog.stemEditor().GetText(), "留下\r\n");
  EXPECT_EQ(bank.categories()[0].questions.size(), 1u);
}

TEST_F(EditorTest, ChangingAStemReplacesItAndAClickLoadsIt) {
  AddCategory("a");
  AddBigQuestion(0, "old stem");
  ClickRow(IDC_BIG_LIST, 0);
  EXPECT_EQ(dialog.stemEditor().GetText(), "old stem");
  dialog.stemEditor().StreamInText("new stem");
  Command(IDC_BIG_CHANGE);
  EXPECT_EQ(dialog.stemEditor().GetText(), "");
  const ContentBlock& stem = bank.categories()[0].questions[0].content;
  EXPECT_EQ(ParseRichContent(stem.data(), stem.size()).text, "new stem");
  EXPECT_EQ(Rows(IDC_BIG_LIST), (Rows_{{"第1题", "1"}}));

  // Without a selected big question nothing is replaced and the text stays.
  ClickRow(IDC_BIG_LIST, -1);
  dialog.stemEditor().StreamInText("stays");
  Command(IDC_BIG_CHANGE);
  EXPECT_EQ(dialog.stemEditor().GetText(), "stays\r\n");
  EXPECT_EQ(ParseRichContent(stem.data(), stem.size()).text, "new stem");
}

TEST_F(EditorTest, AfterACategoryDeleteTheStaleBigQuestionRowsDoNothing) {
  AddCategory("a");
  AddCategory("b");
  AddBigQuestion(0, "stem of a");
  ClickRow(IDC_BIG_LIST, 0);
  AddSmallQuestion("s", true, 2);
  ClickRow(IDC_CATEGORY_LIST, 0);
  Command(IDC_CATEGORY_DELETE);
  EXPECT_TRUE(Rows(IDC_SMALL_LIST).empty());
  EXPECT_EQ(Rows(IDC_BIG_LIST).size(), 1u);  // still the deleted category's row
  dialog.stemEditor().StreamInText("untouched");
  ClickRow(IDC_BIG_LIST, 0);
  EXPECT_EQ(dialog.stemEditor().GetText(), "untouched");
  EXPECT_TRUE(Rows(IDC_SMALL_LIST).empty());
}

TEST_F(EditorTest, SmallQuestionsAddChangeDeleteAndShow) {
  AddCategory("a");
  AddBigQuestion(0, "stem");
  AddSmallQuestion("no big question selected", true, 1);
  EXPECT_TRUE(bank.categories()[0].questions[0].smallQuestions.empty());

  ClickRow(IDC_BIG_LIST, 0);
  AddSmallQuestion("单选题", true, 5);
  AddSmallQuestion("多选题", false, 4);
  EXPECT_EQ(Rows(IDC_SMALL_LIST), (Rows_{{"1", "单选题", "单项", "5"}, {"2", "多选题", "不定项", "4"}}));

  ClickRow(IDC_SMALL_LIST, 0);
  EXPECT_EQ(Box(IDC_SMALL_TEXT), "单选题");
  EXPECT_EQ(Box(IDC_SMALL_SCORE), "5");
  EXPECT_EQ(dialog.Item(IDC_SINGLE_CHOICE).Send(BM_GETCHECK), BST_CHECKED);
  Type(IDC_SMALL_TEXT, "改过的");
  Check(IDC_SINGLE_CHOICE, false);
  Type(IDC_SMALL_SCORE, "9");
  Command(IDC_SMALL_CHANGE);
  EXPECT_EQ(Rows(IDC_SMALL_LIST), (Rows_{{"1", "改过的", "不定项", "9"}, {"2", "多选题", "不定项", "4"}}));

  ClickRow(IDC_SMALL_LIST, 1);
  Command(IDC_SMALL_DELETE);
  EXPECT_EQ(Rows(IDC_SMALL_LIST), (Rows_{{"1", "改过的", "不定项", "9"}}));
  Command(IDC_SMALL_DELETE);  // nothing selected after the refill
  EXPECT_EQ(Rows(IDC_SMALL_LIST).size(), 1u);
}

TEST_F(EditorTest, OptionsAnswerFlagsAndKeptSelectionCounts) {
  TempDir dir;
  ByteImage image;
  LstHeader(image, 1, "", 2, 0, 1);
  LstCategory(image, "c", 1);
  LstBigQuestion(image, 1, 0, 0, 101, 1);
  LstSmallQuestion(image, 5, 1, 1, "q");
  LstOption(image, 2, 1, 0, 9, "counted");
  std::string path = dir.File("counts.lst");
  WriteFileBytes(path, image.bytes());
  platform.fileAnswers.push_back(path);
  Menu(ID_FILE_OPEN);
  ClickRow(IDC_CATEGORY_LIST, 0);
  ClickRow(IDC_BIG_LIST, 0);
  ClickRow(IDC_SMALL_LIST, 0);
  EXPECT_EQ(Rows(IDC_OPTION_LIST), (Rows_{{"1", "counted", "否"}}));

  AddOption("正确", 3, true);
  EXPECT_EQ(Rows(IDC_OPTION_LIST), (Rows_{{"1", "counted", "否"}, {"2", "正确", "是"}}));
  ClickRow(IDC_OPTION_LIST, 0);
  EXPECT_EQ(Box(IDC_OPTION_TEXT), "counted");
  EXPECT_EQ(Box(IDC_OPTION_SCORE), "2");
  Check(IDC_OPTION_IS_ANSWER, true);
  Command(IDC_OPTION_CHANGE);
  EXPECT_EQ(Rows(IDC_OPTION_LIST)[0], (std::vector<std::string>{"1", "counted", "是"}));
  const ChoiceOption& changed = *bank.FindOption(0, 0, 0, 0);
  EXPECT_EQ(changed.selectCount, 9);
  EXPECT_EQ(changed.chosen, 1);

  ClickRow(IDC_OPTION_LIST, 1);
  Check(IDC_OPTION_IS_ANSWER, false);
  Command(IDC_OPTION_CHANGE);
  EXPECT_EQ(Rows(IDC_OPTION_LIST)[1], (std::vector<std::string>{"2", "正确", "否"}));

  ClickRow(IDC_OPTION_LIST, 0);
  Command(IDC_OPTION_DELETE);
  EXPECT_EQ(Rows(IDC_OPTION_LIST), (Rows_{{"1", "正确", "否"}}));
}

TEST_F(EditorTest, ANonIntegerOptionScoreStopsTheTransferAtItsBox) {
  TempDir dir;
  std::string path = dir.File("bank.lst");
  platform.fileAnswers.push_back(path);
  Type(IDC_TITLE, "第一次");
  Menu(ID_FILE_SAVE_AS);

  Type(IDC_OPTION_SCORE, "abc");
  Type(IDC_CATEGORY_NAME, "新类");
  Type(IDC_TITLE, "第二次");
  Command(IDC_CATEGORY_ADD);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].text, "Please enter an integer.");
  EXPECT_EQ(Column(IDC_CATEGORY_LIST, 1), (std::vector<std::string>{"新类"}));
  EXPECT_EQ(::GetFocus(), dialog.GetItem(IDC_OPTION_SCORE));

  Menu(ID_FILE_SAVE);  // asks again, and writes the title last transferred
  EXPECT_EQ(platform.messages.size(), 2u);
  QuestionBank saved;
  ASSERT_TRUE(saved.Load(path));
  EXPECT_EQ(saved.title().text(), "第一次");
  EXPECT_EQ(saved.categories().size(), 1u);
}

TEST_F(EditorTest, OnlyClicksRefillTheDependentLists) {
  AddCategory("a");
  AddCategory("b");
  AddBigQuestion(0, "in a");
  ClickRow(IDC_CATEGORY_LIST, 0);
  EXPECT_EQ(Rows(IDC_BIG_LIST).size(), 1u);
  SelectOnly(IDC_CATEGORY_LIST, 1);  // by keyboard
  EXPECT_EQ(Rows(IDC_BIG_LIST).size(), 1u);
  EXPECT_EQ(Box(IDC_CATEGORY_NAME), "a");
  ClickRow(IDC_CATEGORY_LIST, 1);
  EXPECT_TRUE(Rows(IDC_BIG_LIST).empty());
  EXPECT_EQ(Box(IDC_CATEGORY_NAME), "b");
  ClickRow(IDC_CATEGORY_LIST, -1);  // the empty area
  EXPECT_EQ(Box(IDC_CATEGORY_NAME), "b");
}

TEST_F(EditorTest, AClickOnACategoryEmptiesTheOptionsButKeepsTheSmallQuestions) {
  AddCategory("a");
  AddBigQuestion(0, "stem");
  ClickRow(IDC_BIG_LIST, 0);
  AddSmallQuestion("s", true, 1);
  ClickRow(IDC_SMALL_LIST, 0);
  AddOption("o", 1, false);
  ClickRow(IDC_CATEGORY_LIST, 0);
  EXPECT_TRUE(Rows(IDC_OPTION_LIST).empty());
  EXPECT_EQ(Rows(IDC_SMALL_LIST).size(), 1u);
}

}  // namespace
}  // namespace velmor::test
