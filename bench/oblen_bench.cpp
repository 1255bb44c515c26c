// Oblen at scale, under Wine, in the real window and on the real file system.
//
//   oblen_bench.exe [groups] [questions-per-group] [target-megabytes] [rounds]
//
// Opening: 文件 > 打开 of a .cst of 2,000 groups x 20 questions in the real main window, then
// a click on a group (both lists refilled, the paint included), against Load of the same file
// into a bank without any window (ratio printed). Grading: 改题's report for a question whose
// target file is 100 MB, against reading that file (ratio; goal at most 1.5). Best of `rounds`.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "bench/wine_timing.h"
#include "common/richtext/rich_content.h"
#include "common/richtext/rich_edit_ctrl_ex.h"
#include "framework/app.h"
#include "framework/platform.h"
#include "oblen/editor/oblen_dlg.h"
#include "oblen/editor/win32_file_access.h"
#include "oblen/model/grading.h"

namespace {

using velmor::bench::Now;
using velmor::bench::Best;
using velmor::bench::Pump;

// Answers the open dialog with one file and every message box with OK.
class Answers : public fw::PlatformSeam {
 public:
  std::string file;
  int ShowMessage(HWND, const std::string&, const std::string&, UINT) override { return IDOK; }
  bool ChooseFileToOpen(HWND, const fw::FileDialogRequest&, std::string* path) override {
    *path = file;
    return true;
  }
  bool ChooseFileToSave(HWND, const fw::FileDialogRequest&, std::string*) override {
    return false;
  }
  bool ChooseFolder(HWND, const std::string&, UINT, std::string*) override { return false; }
  bool ShowFontDialog(HWND, DWORD, LOGFONTA*, COLORREF*, int*) override { return false; }
  INT_PTR ExecuteShell(HWND, const std::string&, const std::string&, const std::string&,
                       const std::string&, int) override {
    return 42;
  }
};


std::string TempFile(const char* name) {
  char folder[MAX_PATH] = {};
  ::GetTempPathA(sizeof folder, folder);
  return std::string(folder) + name;
}

void ClickFirstGroup(velmor::COblenDlg& dialog) {
  fw::CListView list = dialog.groupList();
  list.Select(0);
  NMITEMACTIVATE click{};
  click.hdr.hwndFrom = list.hwnd();
  click.hdr.idFrom = IDC_GROUP_LIST;
  click.hdr.code = NM_CLICK;
  dialog.Send(WM_NOTIFY, IDC_GROUP_LIST, reinterpret_cast<LPARAM>(&click));
}

void OpeningBench(int groups, int questions, int rounds) {
  const std::string path = TempFile("oblen-bench.cst");
  {
    velmor::OperationBank bank;
    for (int g = 0; g < groups; ++g) {
      bank.AddGroup("第" + std::to_string(g + 1) + "组 操作题");
      for (int q = 0; q < questions; ++q) {
        bank.AddQuestion(1, g, velmor::BuildRichContent(4, "任务说明", {}, {}), 0, 0);
        bank.AddRequirement(g, q, velmor::Requirement::Build("说明", "解释", 5, "c:\\考生文件夹\\a.txt", "*x*"));
      }
    }
    if (!bank.Save(path)) std::exit(5);
  }
  Answers answers;
  answers.file = path;
  fw::SetPlatform(&answers);
  velmor::OperationBank bank;
  velmor::Win32FileAccess files;
  velmor::COblenDlg dialog(bank, files, TempFile("oblen-bench-working.dat"));
  dialog.Create(nullptr);
  dialog.Update();
  double window = Best(rounds, [&] {
    dialog.Send(WM_COMMAND, ID_FILE_OPEN, 0);
    ClickFirstGroup(dialog);
    dialog.Update();
  });
  double bare = Best(rounds, [&] {
    velmor::OperationBank plain;
    plain.Load(path);
  });
  std::printf("open %d groups x %d questions: window %.3f s, load alone %.3f s, ratio %.2f\n",
              groups, questions, window, bare, window / bare);
  dialog.DestroyWindow();
  fw::SetPlatform(nullptr);
  ::DeleteFileA(path.c_str());
}

void GradingBench(int megabytes, int rounds) {
  const std::string target = TempFile("oblen-bench-target.txt");
  {
    std::string block(1 << 20, 'a');
    for (std::size_t i = 0; i < block.size(); i += 64) block[i] = '\n';
    HANDLE file = ::CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    for (int i = 0; i < megabytes; ++i) {
      ::WriteFile(file, block.data(), static_cast<DWORD>(block.size()), &written, nullptr);
    }
    ::WriteFile(file, "needle", 6, &written, nullptr);
    ::CloseHandle(file);
  }
  velmor::OperationQuestion question;
  question.requirements.push_back(
      velmor::Requirement::Build("找到", "没有找到", 10, target, "*needle"));
  velmor::Win32FileAccess files;
  std::string report;
  double grading = Best(rounds, [&] { report = velmor::GradeQuestion(files, question); });
  double reading = Best(rounds, [&] {
    std::vector<unsigned char> bytes;
    files.ReadSharedFile(target, bytes, UINT64_MAX);
  });
  bool met = report.find("[+10]") != std::string::npos;
  std::printf("grade a %d MB target (%s): %.3f s, reading it %.3f s, ratio %.2f (goal at most 1.5)\n",
              megabytes, met ? "met" : "NOT met", grading, reading, grading / reading);
  ::DeleteFileA(target.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  int groups = argc > 1 ? std::atoi(argv[1]) : 2000;
  int questions = argc > 2 ? std::atoi(argv[2]) : 20;
  int megabytes = argc > 3 ? std::atoi(argv[3]) : 100;
  int rounds = argc > 4 ? std::atoi(argv[4]) : 3;
  if (groups < 1 || questions < 1 || megabytes < 1 || rounds < 1) return 2;
  if (FAILED(::OleInitialize(nullptr))) return 3;
  INITCOMMONCONTROLSEX controls{sizeof controls, 0xFF};
  ::InitCommonControlsEx(&controls);
  if (!velmor::CRichEditCtrlEx::LoadLibrary()) return 4;
  fw::SetApplicationTitle("Oblen");
  OpeningBench(groups, questions, rounds);
  GradingBench(megabytes, rounds);
  ::OleUninitialize();
  return 0;
}
