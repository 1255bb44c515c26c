// The two dialogs of a question: its requirements (CEditTimuDlg) and its package of original
// files (CPackFileDlg), driven through their messages.
#include <gtest/gtest.h>

#include "oblen/editor/edit_timu_dlg.h"
#include "oblen/editor/pack_file_dlg.h"
#include "oblen/model/packing.h"
#include "tests/win32/oblen/oblen_test_support.h"

namespace velmor::test {
namespace {

using Table = std::vector<std::vector<std::string>>;

class QuestionDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    bank.AddGroup("组");
    ASSERT_TRUE(bank.AddQuestion(1, 0, Description("题"), 0, 0));
  }
  TempDir dir;
  RecordingPlatform platform;
  OperationBank bank;
  Win32FileAccess files;
};

TEST_F(QuestionDialogTest, RequirementsAreEditedInTheBankAtOnce) {
  // A record from a file, with category 3.
  Requirement loaded = Requirement::Build("旧", "解释", 2, "c:\\a.txt", "*x*");
  std::array<unsigned char, Requirement::kSize> raw = loaded.bytes();
  raw[Requirement::kCategoryOffset] = 3;
  bank.AddRequirement(0, 0, Requirement::FromBytes(raw.data()));

  CEditTimuDlg editor(bank, 0, 0);
  DialogDriver drive(editor);
  ASSERT_TRUE(editor.Create(nullptr));
  EXPECT_EQ(drive.Box(IDC_REQUIREMENT_SCORE), "0");
  EXPECT_EQ(drive.Rows(IDC_REQUIREMENT_LIST), (Table{{"1", "2", "旧", "3", "c:\\a.txt", "*x*", "解释"}}));

  drive.Command(IDC_REQUIREMENT_ADD);  // every box as set up: 0 and empty texts
  EXPECT_EQ(drive.Rows(IDC_REQUIREMENT_LIST)[1], (std::vector<std::string>{"2", "0", "", "1", "", "", ""}));

  drive.ClickRow(IDC_REQUIREMENT_LIST, 0);
  EXPECT_EQ(drive.Box(IDC_REQUIREMENT_DESCRIPTION), "旧");
  EXPECT_EQ(drive.Box(IDC_REQUIREMENT_SCORE), "2");
  std::string longText;
  for (int i = 0; i < 130; ++i) longText += "长";  // 260 bytes
  drive.Type(IDC_REQUIREMENT_EXPLANATION, "a" + longText);
  drive.Command(IDC_REQUIREMENT_CHANGE);
  const Requirement& changed = bank.FindQuestion(0, 0)->requirements[0];
  EXPECT_EQ(changed.category(), 1);
  EXPECT_EQ(changed.explanation(), "a" + longText.substr(0, 254));  // 255 would split a character
  EXPECT_EQ(changed.targetFile(), "c:\\a.txt");

  drive.ClickRow(IDC_REQUIREMENT_LIST, 0);
  drive.Command(IDC_REQUIREMENT_DELETE);
  EXPECT_EQ(drive.Column(IDC_REQUIREMENT_LIST, 0), std::vector<std::string>{"1"});
  editor.Send(WM_COMMAND, IDCANCEL, 0);
  EXPECT_EQ(bank.FindQuestion(0, 0)->requirements.size(), 1u);  // kept after Esc
}

// The score box: the leading integer of its first 63 characters; anything else is refused
// with the message, and a refused score builds nothing and keeps the dialog open.
TEST_F(QuestionDialogTest, TheScoreIsTheLeadingIntegerOrTheCommandIsRefused) {
  struct Case {
    std::string text;
    bool accepted;
    int32_t score;
  };
  const Case kCases[] = {
      {"12abc", true, 12},      {"  -7", true, -7}, {"+3", true, 3}, {"", false, 0},
      {"abc", false, 0},        {"- 5", false, 0},  {std::string(62, ' ') + "9", true, 9},
      {std::string(63, ' ') + "9", false, 0},
  };
  CEditTimuDlg editor(bank, 0, 0);
  DialogDriver drive(editor);
  ASSERT_TRUE(editor.Create(nullptr));
  std::size_t count = 0;
  for (const Case& test : kCases) {
    SCOPED_TRACE("[" + test.text + "]");
    platform.messages.clear();
    drive.Type(IDC_REQUIREMENT_SCORE, test.text);
    drive.Command(IDC_REQUIREMENT_ADD);
    const auto& requirements = bank.FindQuestion(0, 0)->requirements;
    if (test.accepted) {
      ASSERT_EQ(requirements.size(), ++count);
      EXPECT_EQ(requirements.back().score(), test.score);
      EXPECT_TRUE(platform.messages.empty());
    } else {
      EXPECT_EQ(requirements.size(), count);
      ASSERT_EQ(platform.messages.size(), 1u);
      EXPECT_EQ(platform.messages[0].text, "Please enter an integer.");
      EXPECT_EQ(::GetFocus(), editor.GetItem(IDC_REQUIREMENT_SCORE));
      editor.Send(WM_COMMAND, IDOK, 0);  // 完成 stays open too
      EXPECT_FALSE(editor.ended());
    }
  }
}

TEST_F(QuestionDialogTest, PackageDialogPacksRemovesAndTellsWhy) {
  MakeFolder(dir.File("src\\sub"));
  WriteFileBytes(dir.File("src\\a.txt"), Bytes{'a', 'b', 'c'});
  const int32_t id = bank.FindQuestion(0, 0)->id;
  {
    CPackFileDlg pack(bank, files, id);
    DialogDriver drive(pack);
    ASSERT_TRUE(pack.Create(nullptr));
    EXPECT_EQ(drive.Box(IDC_UNPACK_FOLDER), "c:\\考生文件夹");
    drive.Command(IDC_PACK_REMOVE);  // nothing to remove: told the same
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "删除目录包成功");

    drive.Command(IDC_PACK);  // no source folder: refused, and why
    EXPECT_EQ(platform.messages.back().text, "打包失败：没有指定要打包的原始文件夹");
    EXPECT_TRUE(bank.packages().empty());

    drive.Type(IDC_UNPACK_FOLDER, "d:\\typed");
    platform.folderAnswers = {dir.File("src")};
    drive.Command(IDC_PACK_BROWSE);  // both held texts go back: the typed one is replaced
    EXPECT_EQ(drive.Box(IDC_SOURCE_FOLDER), dir.File("src"));
    EXPECT_EQ(drive.Box(IDC_UNPACK_FOLDER), "c:\\考生文件夹");
    EXPECT_EQ(platform.folderFlags.back(), 0x50u);
    drive.Type(IDC_UNPACK_FOLDER, "d:\\考生");
    drive.Command(IDC_PACK);
    EXPECT_EQ(platform.messages.back().text, "打包新目录成功");
    EXPECT_EQ(platform.messages.back().caption, "提示");
  }
  bank.AppendPackage(FilePackage{});  // another package after this question's
  ASSERT_EQ(bank.packages().size(), 2u);
  ASSERT_EQ(bank.packages()[0].questionId, id);
  EXPECT_EQ(bank.packages()[0].data.size(), 264u * 3 + 3);

  CPackFileDlg again(bank, files, id);
  DialogDriver drive(again);
  ASSERT_TRUE(again.Create(nullptr));
  EXPECT_EQ(drive.Box(IDC_UNPACK_FOLDER), "d:\\考生");  // the package's folder
  EXPECT_EQ(drive.Box(IDC_SOURCE_FOLDER), "");
  drive.Type(IDC_SOURCE_FOLDER, dir.File("src"));
  drive.Command(IDC_PACK);
  EXPECT_EQ(bank.packages().back().questionId, id);  // replaced, at the end
  EXPECT_EQ(bank.packages().size(), 2u);
  drive.Command(IDC_PACK_REMOVE);
  EXPECT_EQ(bank.FindPackage(id), nullptr);
}

}  // namespace
}  // namespace velmor::test
