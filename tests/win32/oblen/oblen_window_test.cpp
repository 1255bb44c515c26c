// Oblen's main window driven through its messages: lists, selections, the description
// editor, the file commands, starting and grading a question.
#include <gtest/gtest.h>

#include <fstream>

#include "oblen/model/packing.h"
#include "tests/win32/oblen/oblen_test_support.h"

namespace velmor::test {
namespace {

using Table = std::vector<std::vector<std::string>>;

std::vector<std::string> Headings(const fw::CListView& list) {
  std::vector<std::string> headings;
  HWND header = reinterpret_cast<HWND>(list.Send(LVM_GETHEADER));
  for (int i = 0; i < list.ColumnCount(); ++i) {
    char text[64] = {};
    HDITEMA item{};
    item.mask = HDI_TEXT | HDI_WIDTH;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    ::SendMessageA(header, HDM_GETITEMA, i, reinterpret_cast<LPARAM>(&item));
    headings.push_back(std::string(text) + "/" + std::to_string(item.cxy));
  }
  return headings;
}

TEST_F(OblenTest, SetUpGivesTheCaptionColumnsAndTheAboutItem) {
  char caption[64] = {};
  ::GetWindowTextA(dialog.hwnd(), caption, sizeof caption);
  EXPECT_STREQ(caption, "Oblen");
  EXPECT_EQ(Headings(dialog.groupList()), (std::vector<std::string>{"编号/50", "名称/580"}));
  EXPECT_EQ(Headings(dialog.questionList()), (std::vector<std::string>{"题号/60", "id/30"}));
  HMENU system = ::GetSystemMenu(dialog.hwnd(), FALSE);
  char item[64] = {};
  ::GetMenuStringA(system, IDM_ABOUTBOX, item, sizeof item, MF_BYCOMMAND);
  EXPECT_STREQ(item, "关于 Oblen(&A)...");
  EXPECT_FALSE(::IsWindowVisible(dialog.GetItem(IDC_SAVE_WORKING_BANK)));
  EXPECT_EQ(ModalWindowsOf(ID_HELP_ABOUT), std::vector<std::string>{"关于 Oblen"});
}

// Groups: adding selects nothing; clicks refresh, the keyboard does not, and commands then act
// on the newly selected group with the old question row.
TEST_F(OblenTest, GroupsFollowClicksOnlyAndCommandsTakeTheRowsAsSelected) {
  AddGroup("文字处理");
  AddGroup("");  // empty names are allowed
  EXPECT_EQ(Rows(IDC_GROUP_LIST), (Table{{"1", "文字处理"}, {"2", ""}}));
  EXPECT_EQ(dialog.groupList().FirstSelected(), -1);
  dialog.descriptionEditor().StreamInText("无处可放");
  Command(IDC_QUESTION_ADD);  // no group selected: nothing added, the text stays
  EXPECT_TRUE(bank.groups()[0].questions.empty());
  EXPECT_EQ(EditorText(), "无处可放");

  AddQuestion(0, "一");
  AddQuestion(0, "二");
  AddQuestion(1, "三");
  EXPECT_EQ(EditorText(), "");  // emptied after each successful 增加
  ClickRow(IDC_GROUP_LIST, 0);
  EXPECT_EQ(Rows(IDC_QUESTION_LIST), (Table{{"第1题", "1"}, {"第2题", "2"}}));
  EXPECT_EQ(Box(IDC_GROUP_NAME), "文字处理");
  ClickRow(IDC_QUESTION_LIST, 1);
  EXPECT_EQ(EditorText(), "二");

  SelectOnly(IDC_GROUP_LIST, 1);  // arrow keys: the question list still shows group 1's
  EXPECT_EQ(Rows(IDC_QUESTION_LIST).size(), 2u);
  Command(IDC_QUESTION_DELETE);  // group 2 with the old row 2: out of range, nothing happens
  EXPECT_EQ(bank.groups()[1].questions.size(), 1u);
  SelectOnly(IDC_QUESTION_LIST, 0);
  Command(IDC_QUESTION_DELETE);  // group 2, row 1: its only question goes
  EXPECT_TRUE(bank.groups()[1].questions.empty());
  EXPECT_EQ(bank.groups()[0].questions.size(), 2u);

  Type(IDC_GROUP_NAME, "改名");
  ClickRow(IDC_GROUP_LIST, -1);
  Command(IDC_GROUP_RENAME);  // no row: nothing
  EXPECT_EQ(bank.groups()[0].name.text(), "文字处理");
  ClickRow(IDC_GROUP_LIST, 0);
  Type(IDC_GROUP_NAME, "改名");
  Command(IDC_GROUP_RENAME);
  EXPECT_EQ(Column(IDC_GROUP_LIST, 1), (std::vector<std::string>{"改名", ""}));
  ClickRow(IDC_GROUP_LIST, 0);
  Command(IDC_GROUP_DELETE);
  EXPECT_EQ(Rows(IDC_GROUP_LIST), (Table{{"1", ""}}));
  EXPECT_EQ(dialog.questionList().ItemCount(), 0);
}

TEST_F(OblenTest, ChangingADescriptionEmptiesTheEditorOnlyWhenItWasStored) {
  AddGroup("组");
  AddQuestion(0, "旧");
  ClickRow(IDC_GROUP_LIST, 0);
  dialog.descriptionEditor().StreamInText("新");
  Command(IDC_QUESTION_CHANGE);  // no question row: kept
  EXPECT_EQ(EditorText(), "新");
  ClickRow(IDC_QUESTION_LIST, 0);
  dialog.descriptionEditor().StreamInText("新");
  Command(IDC_QUESTION_CHANGE);
  EXPECT_EQ(EditorText(), "");
  ClickRow(IDC_QUESTION_LIST, 0);
  EXPECT_EQ(EditorText(), "新");
  Command(IDC_QUESTION_DELETE);
  EXPECT_EQ(EditorText(), "");
  EXPECT_EQ(dialog.questionList().ItemCount(), 0);
}

// Without both rows the question commands show nothing; only 开始做题 without a group says so.
TEST_F(OblenTest, QuestionCommandsNeedBothRows) {
  AddGroup("组");
  AddQuestion(0, "题");
  const int kCommands[] = {IDC_START, IDC_GRADE, IDC_EDIT_REQUIREMENTS, IDC_PACKAGE};
  for (int command : kCommands) {
    SCOPED_TRACE(command);
    ClickRow(IDC_GROUP_LIST, -1);
    ClickRow(IDC_QUESTION_LIST, -1);
    EXPECT_TRUE(ModalWindowsOf(command).empty());
    EXPECT_EQ(platform.messages.size(), command == IDC_START ? 1u : 0u);
    platform.messages.clear();
    ClickRow(IDC_GROUP_LIST, 0);
    EXPECT_TRUE(ModalWindowsOf(command).empty());
    EXPECT_TRUE(platform.messages.empty());
  }
  ClickRow(IDC_GROUP_LIST, -1);
  Command(IDC_START);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].text, "请先在题目列表中选择题目！");
  EXPECT_EQ(platform.messages[0].caption, "提示");

  ClickRow(IDC_GROUP_LIST, 0);
  ClickRow(IDC_QUESTION_LIST, 0);
  EXPECT_EQ(ModalWindowsOf(IDC_EDIT_REQUIREMENTS), std::vector<std::string>{"题目要求编辑"});
  EXPECT_EQ(ModalWindowsOf(IDC_PACKAGE), std::vector<std::string>{"原始文件包操作"});
  platform.messages.clear();
  Command(IDC_START);  // a question without a package: nothing
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_TRUE(platform.shellFiles.empty());
}

// 开始做题 asks, unpacks and opens the folder; 改题 reports what the files earn.
TEST_F(OblenTest, StartUnpacksAfterTheQuestionAndGradeReportsTheScore) {
  MakeFolder(dir.File("originals"));
  WriteFileBytes(dir.File("originals\\表.csv"), Bytes{'a', ','});
  const std::string folder = dir.File("考生");
  AddGroup("组");
  AddQuestion(0, "题");
  ASSERT_TRUE(ReplacePackage(bank, files, dir.File("originals"), folder, 1));
  bank.AddRequirement(0, 0, Requirement::Build("填写", "应填 7", 10, folder + "\\表.csv", "a,7*"));
  bank.AddRequirement(0, 0, Requirement::Build("保留", "", 5, folder + "\\表.csv", "a,*"));
  ClickRow(IDC_GROUP_LIST, 0);
  ClickRow(IDC_QUESTION_LIST, 0);

  platform.messageAnswers = {IDCANCEL};
  Command(IDC_START);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].text, "该操作将会覆盖“" + folder + "”下的文件，你要确定操作吗？");
  EXPECT_EQ(platform.messages[0].type, static_cast<UINT>(MB_OKCANCEL));
  EXPECT_FALSE(FileExists(folder));
  Command(IDC_START);
  EXPECT_EQ(ReadFileBytes(folder + "\\表.csv"), (Bytes{'a', ','}));
  EXPECT_EQ(platform.shellFiles, std::vector<std::string>{folder});

  WriteFileBytes(folder + "\\表.csv", Bytes{'A', ',', '7'});  // the candidate's work
  platform.messages.clear();
  Command(IDC_GRADE);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].caption, "分数公布");
  EXPECT_EQ(platform.messages[0].text,
            "得分：15。\r\n\r\n各题得分情况如下：\r\n填写正确[+10];\r\n保留正确[+5];\r\n");
}

// New, Open, Save, Save As, the hidden 保存, and what each tells when a file fails.
TEST_F(OblenTest, FileCommandsSetCaptionAndPathAndTellFailures) {
  AddGroup("组");
  AddQuestion(0, "题");
  const std::string saved = dir.File("练习.cst");
  platform.fileAnswers = {saved};
  Menu(ID_FILE_SAVE);  // no path yet: as Save As
  ASSERT_EQ(platform.fileRequests.size(), 1u);
  EXPECT_EQ(platform.fileRequests[0].defaultExtension, "cst");
  EXPECT_EQ(platform.fileRequests[0].filter, "操作题试题 (*.cst)|*.cst|所有文件 (*.*)|*.*||");
  EXPECT_EQ(dialog.GetText(), "练习.cst - Oblen");
  EXPECT_EQ(dialog.currentPath(), saved);
  Command(IDC_SAVE_WORKING_BANK);
  EXPECT_EQ(ReadFileBytes(dir.File("Date.dat")), ReadFileBytes(saved));

  Menu(ID_FILE_NEW);
  EXPECT_EQ(dialog.GetText(), "Oblen");
  EXPECT_TRUE(bank.groups().empty());
  EXPECT_EQ(dialog.groupList().ItemCount(), 0);

  // A file cut short: what was read is shown, and the author is told.
  Bytes whole = ReadFileBytes(saved);
  const std::string damaged = dir.File("坏.cst");
  WriteFileBytes(damaged, Bytes(whole.begin(), whole.begin() + whole.size() - 10));
  platform.fileAnswers = {damaged};
  Menu(ID_FILE_OPEN);
  EXPECT_EQ(dialog.GetText(), "坏.cst - Oblen");
  EXPECT_EQ(Rows(IDC_GROUP_LIST), (Table{{"1", "组"}}));
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].text, "读取题库文件失败：" + damaged);
  EXPECT_EQ(platform.messages[0].caption, "提示");

  // A save that cannot happen leaves the old file and says so.
  const std::string folderAsFile = dir.File("originals");
  MakeFolder(folderAsFile);
  platform.fileAnswers = {folderAsFile};
  Menu(ID_FILE_SAVE_AS);
  ASSERT_EQ(platform.messages.size(), 2u);
  EXPECT_EQ(platform.messages[1].text, "保存题库文件失败：" + folderAsFile);
}

// Esc, 退出 and Return ask before the program ends; only OK ends it.
TEST_F(OblenTest, EveryWayOutAsksFirst) {
  const int kWaysOut[] = {IDCANCEL, ID_FILE_EXIT, IDOK};
  for (int command : kWaysOut) {
    SCOPED_TRACE(command);
    OperationBank other;
    COblenDlg window(other, files, dir.File("Date.dat"));
    ASSERT_TRUE(window.Create(nullptr));
    platform.messages.clear();
    platform.messageAnswers = {IDCANCEL, IDOK};
    window.Send(WM_COMMAND, MAKEWPARAM(command, 0), 0);
    EXPECT_FALSE(window.ended());
    window.Send(WM_COMMAND, MAKEWPARAM(command, 0), 0);
    EXPECT_TRUE(window.ended());
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_EQ(platform.messages[1].text, "本操作将关闭本系统!你确定要这么做吗?");
    EXPECT_EQ(platform.messages[1].caption, "提示");
  }
}

TEST_F(OblenTest, AStartUpLoadFailureIsToldOnceTheWindowIsUp) {
  OperationBank other;
  COblenDlg window(other, files, dir.File("Date.dat"));
  window.ReportLoadFailureWhenShown("D:\\Date.dat");
  ASSERT_TRUE(window.Create(nullptr));
  EXPECT_TRUE(platform.messages.empty());
  MSG message;
  while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&message);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].text, "读取题库文件失败：D:\\Date.dat");
}

}  // namespace
}  // namespace velmor::test
