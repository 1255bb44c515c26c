// The operation-question editor's real window under random commands: every command of its
// table, Enter and Esc, clicks on random rows, random values in its boxes. The requirement
// editor and the package dialog are worked in by their own tables; starting and grading
// are answered both ways. At the end the document is saved through the window and read back
// into a fresh one.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <algorithm>
#include <cstring>

#include "common/base/byte_stream.h"
#include "common/richtext/rich_edit_ctrl_ex.h"
#include "framework/app.h"
#include "oblen/editor/edit_timu_dlg.h"
#include "oblen/editor/list_rows.h"
#include "oblen/editor/oblen_dlg.h"
#include "oblen/editor/pack_file_dlg.h"
#include "oblen/editor/win32_file_access.h"
#include "oblen/resources/resource.h"
#include "tests/support/test_files.h"
#include "tests/win32/soak/soak.h"

namespace velmor::test {
namespace {

Bytes Serialised(OperationBank& bank) {
  MemorySink sink;
  EXPECT_TRUE(bank.SaveTo(sink));
  return sink.bytes();
}

const char kExitQuestion[] = "本操作将关闭本系统!你确定要这么做吗?";

class OblenSoak {
 public:
  OblenSoak() : choose_(CurrentSoakRun().seed) {
    ::GetCurrentDirectoryA(sizeof startFolder_, startFolder_);
    ::CreateDirectoryA(dir_.File("cwd").c_str(), nullptr);
    ::SetCurrentDirectoryA(dir_.File("cwd").c_str());
    intact_ = dir_.File("examples.cst");
    WriteFileBytes(intact_, ReadFileBytes(SourcePath("examples/Date.dat")));
    Bytes damaged = ReadFileBytes(intact_);
    damaged.resize(damaged.size() * 2 / 3);
    WriteFileBytes(dir_.File("damaged.cst"), damaged);
    damaged_ = damaged;
    // Folders to pack: a small tree with GBK names, and an empty folder.
    ::CreateDirectoryA(dir_.File("原始").c_str(), nullptr);
    ::CreateDirectoryA(dir_.File("原始\\资料").c_str(), nullptr);
    WriteFileBytes(dir_.File("原始\\通知.txt"), Bytes{'a', 'b', '\r', '\n'});
    WriteFileBytes(dir_.File("原始\\资料\\说明.txt"), Bytes{'x'});
    ::CreateDirectoryA(dir_.File("空").c_str(), nullptr);
  }

  ~OblenSoak() { ::SetCurrentDirectoryA(startFolder_); }

  void Run() {
    ASSERT_TRUE(dialog_.Create(nullptr));
    dialog_.Show(SW_SHOW);
    RunMainSoak(dialog_, platform_, choose_, CurrentSoakRun(), Levels(), {},
                [this](UINT id) { return Plan(id); },
                [this] { SaveAndReadBack(CurrentSoakRun().step, "so far"); });
    if (::testing::Test::HasFailure()) return;
    SaveAndReadBack(CurrentSoakRun().steps, "at the end");
  }

 private:
  std::vector<ListLevel> Levels() {
    const OperationBank& bank = bank_;
    return {
        {IDC_GROUP_LIST, [&bank](const std::vector<int>&) -> std::optional<Rows> {
           return GroupRows(bank);
         }},
        {IDC_QUESTION_LIST, [&bank](const std::vector<int>& at) -> std::optional<Rows> {
           const QuestionGroup* owner = bank.FindGroup(at[0]);
           if (!owner) return std::nullopt;
           return QuestionRows(*owner);
         }},
    };
  }

  // The damaged file as made, or the missing one still missing.
  bool StillBad(const std::string& path) {
    if (::GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) return true;
    return path == dir_.File("damaged.cst") && ReadFileBytes(path) == damaged_;
  }

  std::vector<int> SelectedRows() {
    return {fw::CListView(dialog_.GetItem(IDC_GROUP_LIST)).FirstSelected(),
            fw::CListView(dialog_.GetItem(IDC_QUESTION_LIST)).FirstSelected()};
  }

  CommandPlan Plan(UINT id) {
    CommandPlan plan;
    plan.allowed.exact = {"Please enter an integer."};
    switch (id) {
      case ID_FILE_OPEN: {
        int pick = choose_.Below(5);
        std::string path = pick == 0   ? intact_
                           : pick == 1 ? dir_.File("damaged.cst")
                           : pick == 2 ? dir_.File("missing.cst")
                           : pick == 3 && !saved_.empty() ? choose_.Of(saved_)
                                                          : std::string();
        platform_.fileAnswers.push_back(path);
        if (pick == 1 || pick == 2) {
          plan.allowed.prefixes = {"读取题库文件失败："};
          // Save after opening either makes it whole (the window takes the opened path).
          if (StillBad(path)) plan.mustShow = "读取题库文件失败：" + path;
        }
        break;
      }
      case ID_FILE_SAVE:
      case ID_FILE_SAVE_AS:
      case IDC_SAVE_WORKING_BANK:
        if (choose_.Percent(20)) {
          platform_.fileAnswers.push_back("");
        } else {
          std::string path = dir_.File("saved" + std::to_string(choose_.Below(3)) + ".cst");
          platform_.fileAnswers.push_back(path);
          if (std::find(saved_.begin(), saved_.end(), path) == saved_.end()) {
            saved_.push_back(path);
          }
        }
        break;
      case IDOK:
      case IDCANCEL:
      case ID_FILE_EXIT:
        platform_.messageAnswers.push_back(IDCANCEL);
        plan.allowed.exact = {kExitQuestion};
        plan.mustShow = kExitQuestion;
        break;
      case IDC_START: {
        // Unpacked for real only where the folder lies in this run's own folder.
        bool inside = false;
        std::vector<int> at = SelectedRows();
        if (const OperationQuestion* question = bank_.FindQuestion(at[0], at[1])) {
          if (const FilePackage* package = bank_.FindPackage(question->id)) {
            std::string folder(package->unpackFolder.text());
            inside = folder.rfind(dir_.File("unpack"), 0) == 0;
          }
        }
        platform_.messageAnswers.push_back(inside && choose_.Percent(50) ? IDOK : IDCANCEL);
        plan.allowed.exact = {"请先在题目列表中选择题目！"};
        plan.allowed.prefixes = {"该操作将会覆盖"};
        break;
      }
      case IDC_GRADE:
        plan.allowed.captions = {"分数公布"};
        break;
      case IDC_EDIT_REQUIREMENTS: {
        std::vector<int> at = SelectedRows();
        plan.visit = [this, at](HWND window) { WorkInRequirements(window, at); };
        break;
      }
      case IDC_PACKAGE:
        plan.allowed = PackageMessages();
        plan.visit = [this](HWND window) { WorkInPackage(window); };
        break;
      case ID_HELP_ABOUT:
        plan.visit = [](HWND window) { ::SendMessageA(window, WM_COMMAND, IDOK, 0); };
        break;
      case IDC_DESCRIPTION_FONT: {
        platform_.fontAnswers.push_back(RandomFont(choose_));
        break;
      }
      case IDC_DESCRIPTION_CAPTURE:
        plan.allowed.captions = {"选择错误！"};
        plan.visit = [this](HWND window) {
          LPARAM at = MAKELPARAM(choose_.Below(900), choose_.Below(700));
          ::SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
          ::SendMessageA(window, WM_LBUTTONUP, 0, at + MAKELPARAM(choose_.Below(60), 20));
          ::SendMessageA(window, WM_COMMAND, choose_.Percent(50) ? IDOK : IDCANCEL, 0);
        };
        break;
      default:
        break;
    }
    return plan;
  }

  // The requirement editor of the question selected when it opened: its list shows that
  // question's requirements throughout.
  void WorkInRequirements(HWND window, const std::vector<int>& at) {
    const OperationBank& bank = bank_;
    InnerWindow inner;
    inner.allowed.exact = {"Please enter an integer."};
    inner.levels = {{IDC_REQUIREMENT_LIST,
                     [&bank, at](const std::vector<int>&) -> std::optional<Rows> {
                       const OperationQuestion* question = bank.FindQuestion(at[0], at[1]);
                       if (!question) return std::nullopt;
                       return RequirementRows(*question);
                     }}};
    RandomStepsIn(window, CEditTimuDlg::Messages(), inner, choose_, platform_,
                  1 + choose_.Below(12));
    ::SendMessageA(window, WM_COMMAND, choose_.Percent(50) ? IDOK : IDCANCEL, 0);
  }

  static AllowedMessages PackageMessages() {
    AllowedMessages allowed;
    allowed.exact = {"打包新目录成功", "删除目录包成功"};
    allowed.prefixes = {"打包失败："};
    return allowed;
  }

  // The package dialog: folders chosen or typed (a tree, an empty folder, none, a random
  // value), and an unpack folder inside this run's folder or a random value.
  void WorkInPackage(HWND window) {
    for (int i = 0; i < 4; ++i) {
      int pick = choose_.Below(5);
      platform_.folderAnswers.push_back(pick == 0   ? dir_.File("原始")
                                        : pick == 1 ? dir_.File("空")
                                        : pick == 2 ? dir_.File("missing")
                                                    : std::string());
    }
    ::SetDlgItemTextA(window, IDC_UNPACK_FOLDER,
                      choose_.Percent(70)
                          ? dir_.File("unpack" + std::to_string(choose_.Below(3))).c_str()
                          : choose_.Value().c_str());
    if (choose_.Percent(50)) {
      ::SetDlgItemTextA(window, IDC_SOURCE_FOLDER, dir_.File("原始").c_str());
    }
    InnerWindow inner;
    inner.allowed = PackageMessages();
    RandomStepsIn(window, CPackFileDlg::Messages(), inner, choose_, platform_,
                  1 + choose_.Below(6));
    ::SendMessageA(window, WM_COMMAND, choose_.Percent(50) ? IDOK : IDCANCEL, 0);
  }

  // Saved through the window, read into a fresh document: the same bytes.
  void SaveAndReadBack(int steps, const char* when) {
    std::string path = dir_.File("final.cst");
    platform_.fileAnswers.push_back(path);
    DialogDriver(dialog_).Menu(ID_FILE_SAVE_AS);
    for (const auto& message : platform_.messages) {
      EXPECT_EQ(message.text, "Please enter an integer.") << "saving told this";
    }
    OperationBank fresh;
    ASSERT_TRUE(fresh.Load(path));
    EXPECT_TRUE(Serialised(fresh) == Serialised(bank_)) << "the saved bank reads back otherwise";
    std::printf("soak: %d steps, %zu groups and %zu packages %s, %zu bytes saved\n", steps,
                bank_.groups().size(), bank_.packages().size(), when, ReadFileBytes(path).size());
  }

  char startFolder_[MAX_PATH] = {};
  TempDir dir_;
  std::string intact_;
  std::vector<std::string> saved_;
  Bytes damaged_;
  RecordingPlatform platform_;
  OperationBank bank_;
  Win32FileAccess files_;
  COblenDlg dialog_{bank_, files_, dir_.File("Date.dat")};
  Chooser choose_;
};

TEST(OblenSoak, RandomCommandsKeepTheListsTrueAndTheBankWhole) {
  OblenSoak soak;
  soak.Run();
}

}  // namespace
}  // namespace velmor::test

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  velmor::test::CurrentSoakRun() = velmor::test::ReadSoakRun(argc, argv);
  if (FAILED(::OleInitialize(nullptr))) return 3;
  INITCOMMONCONTROLSEX controls{sizeof controls, 0xFF};
  ::InitCommonControlsEx(&controls);
  if (!velmor::CRichEditCtrlEx::LoadLibrary()) return 4;
  fw::SetApplicationTitle("Oblen");
  int result = RUN_ALL_TESTS();
  ::OleUninitialize();
  return result;
}
