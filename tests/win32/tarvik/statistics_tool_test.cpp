// The statistics initialisation tool: its real dialog, its buttons pressed as a click presses
// them, the folder browser and the message box answered by the recorder, the files and the
// log at c:\a.htm read back through Win32.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "tarvik/maintenance/tool_tongji.h"
#include "tarvik/model/question_bank.h"
#include "tests/support/test_files.h"
#include "tests/win32/tarvik/editor_test_support.h"
#include "tests/win32/ui/recording_platform.h"

namespace velmor::test {
namespace {

const char kLog[] = "c:\\a.htm";

std::string ReadThroughWin32(const char* path) {
  HANDLE file = ::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "(no file)";
  std::string text;
  char buffer[4096];
  DWORD count = 0;
  while (::ReadFile(file, buffer, sizeof buffer, &count, nullptr) && count > 0) {
    text.append(buffer, count);
  }
  ::CloseHandle(file);
  return text;
}

void SaveBank(const std::string& path) {
  QuestionBank bank;
  bank.SetTitle("期中测试");
  bank.AddCategory("第一章");
  bank.AddBigQuestion(0, 1, ContentBlock::WithPayload("stem", 4), 0, 0);
  bank.AddSmallQuestion(0, 0, "选哪个？", 1, 5);
  bank.AddOption(0, 0, 0, "甲", 2, 1, 1, 11);
  bank.AddOption(0, 0, 0, "乙", 0, 0, 1, 12);
  ASSERT_TRUE(bank.Save(path));
}

// chosen and selectCount of every option of a bank file, in order.
std::string Fields(const std::string& path) {
  QuestionBank bank;
  if (!bank.Load(path)) return "(not loaded)";
  std::string fields;
  for (const Category& category : bank.categories()) {
    for (const BigQuestion& question : category.questions) {
      for (const SmallQuestion& small : question.smallQuestions) {
        for (const ChoiceOption& option : small.options) {
          fields += std::to_string(option.chosen) + "/" + std::to_string(option.selectCount) + " ";
        }
      }
    }
  }
  return fields;
}

enum class Kind { kBank, kNoBank, kNotAsRead };

std::string Lines(const std::string& path, Kind kind) {
  std::string lines = "<font face=\"Arial\" size=\"2\" color=\"#000000\">处理库文件：" + path +
                      "</font><br>\r\n";
  if (kind == Kind::kNoBank) {
    lines += "<font face=\"Arial\" size=\"2\" color=\"#FF0000\"><b>读取库文件失败：" + path +
             "</b></font><br>\r\n";
  } else if (kind == Kind::kNotAsRead) {
    lines += "<font face=\"Arial\" size=\"2\" color=\"#FF0000\"><b>库文件无法按原样保存，未改动：" +
             path + "</b></font><br>\r\n";
  }
  return lines;
}

void Press(fw::CDialog& dialog, int id) { dialog.Item(id).Send(BM_CLICK); }

TEST(StatisticsTool, ButtonsResetTheChosenFolderAndAppendToTheLog) {
  RecordingPlatform platform;
  TempDir tree;
  SaveBank(tree.File("a.lst"));
  MakeFolder(tree.File("sub"));
  SaveBank(tree.File("sub\\b.lst"));
  WriteFileBytes(tree.File("sub\\notes.txt"), Bytes{'h', 'i'});
  // A bank followed by bytes no record holds: a save would drop them.
  SaveBank(tree.File("sub\\tail.lst"));
  Bytes tail = ReadFileBytes(tree.File("sub\\tail.lst"));
  tail.push_back('x');
  WriteFileBytes(tree.File("sub\\tail.lst"), tail);
  ::DeleteFileA(kLog);

  CToolTongji tool;
  ASSERT_TRUE(tool.Create(nullptr));
  char caption[64] = {};
  ::GetWindowTextA(tool.hwnd(), caption, sizeof caption);
  EXPECT_STREQ(caption, "统计初始化工具");

  // Nothing typed: a message, no run, no log.
  Press(tool, IDC_TOOL_RESET_COUNTS);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].text, "请输入题库目录!");
  EXPECT_EQ(platform.messages[0].caption, "Velmor题库编辑器");
  EXPECT_EQ(platform.messages[0].type, static_cast<UINT>(MB_OK));
  EXPECT_EQ(::GetFileAttributesA(kLog), INVALID_FILE_ATTRIBUTES);

  // 浏览, cancelled, then a folder chosen.
  tool.SetItemText(IDC_TOOL_FOLDER, "typed");
  platform.folderAnswers = {"", tree.path()};
  Press(tool, IDC_TOOL_BROWSE);
  EXPECT_EQ(tool.GetItemText(IDC_TOOL_FOLDER), "typed");
  Press(tool, IDC_TOOL_BROWSE);
  EXPECT_EQ(tool.GetItemText(IDC_TOOL_FOLDER), tree.path());
  ASSERT_EQ(platform.folderTitles.size(), 2u);
  EXPECT_EQ(platform.folderTitles[1], "请选择一个文件夹");
  EXPECT_EQ(platform.folderFlags[1], 0x50u);

  const std::string expected = [&] {
    std::string lines;
    for (const std::string& name : ListFolderAsListed(tree.path())) {
      if (name == "a.lst") lines += Lines(tree.File("a.lst"), Kind::kBank);
      if (name != "sub") continue;
      for (const std::string& inner : ListFolderAsListed(tree.File("sub"))) {
        lines += Lines(tree.File("sub\\" + inner), inner == "b.lst"      ? Kind::kBank
                                                  : inner == "tail.lst" ? Kind::kNotAsRead
                                                                        : Kind::kNoBank);
      }
    }
    return "<html><head><title>日志文件</title></head><body>\r\n"
           "<font face=\"Arial\" size=\"4\" color=\"#000000\"><b><u>日志文件</u></b></font>"
           "<br>\r\n" + lines;
  }();

  Press(tool, IDC_TOOL_RESET_COUNTS);
  EXPECT_EQ(Fields(tree.File("a.lst")), "1/0 1/0 ");
  EXPECT_EQ(Fields(tree.File("sub\\b.lst")), "1/0 1/0 ");
  Press(tool, IDC_TOOL_RESET_CHOICES);
  EXPECT_EQ(Fields(tree.File("sub\\b.lst")), "0/0 0/0 ");
  EXPECT_EQ(ReadFileBytes(tree.File("sub\\notes.txt")), (Bytes{'h', 'i'}));
  EXPECT_EQ(ReadFileBytes(tree.File("sub\\tail.lst")), tail);
  EXPECT_EQ(ReadThroughWin32(kLog), expected + expected);
  EXPECT_FALSE(tool.ended());  // the dialog stays open
  EXPECT_EQ(platform.messages.size(), 1u);
  tool.DestroyWindow();
  ::DeleteFileA(kLog);
}

// Command 32788 of the editor runs the tool modally.
std::string g_toolCaption;
void CALLBACK CloseTool(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND tool = ::FindWindowA(nullptr, "统计初始化工具");
  if (!tool) return;
  ::KillTimer(nullptr, timer);
  char text[64] = {};
  ::GetDlgItemTextA(tool, IDC_TOOL_RESET_CHOICES, text, sizeof text);
  g_toolCaption = text;
  ::PostMessageA(tool, WM_COMMAND, IDCANCEL, 0);
}

TEST_F(EditorTest, TheHiddenToolCommandOpensTheStatisticsTool) {
  ::SetTimer(nullptr, 0, 50, &CloseTool);
  Menu(ID_TOOL_RESET_STATISTICS);
  EXPECT_EQ(g_toolCaption, "初始化选项选择");
}

}  // namespace
}  // namespace velmor::test
