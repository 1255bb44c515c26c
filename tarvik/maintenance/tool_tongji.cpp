#include "tarvik/maintenance/tool_tongji.h"

#include <shlobj.h>

#include "framework/message_table.h"
#include "framework/platform.h"

namespace velmor {

namespace {

const char kFolderTitle[] = "请选择一个文件夹";
const UINT kFolderFlags = BIF_NEWDIALOGSTYLE | BIF_EDITBOX;  // 0x50
const char kNoFolder[] = "请输入题库目录!";
const char kProgramCaption[] = "Velmor题库编辑器";

}  // namespace

CToolTongji::CToolTongji() : CDialog(IDD_TOOL_TONGJI) {
  data().BindText(IDC_TOOL_FOLDER, &folder_);
}

BOOL CToolTongji::OnInitDialog() {
  data().ShowValues();
  return TRUE;
}

bool CToolTongji::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  static const fw::MessageEntry<CToolTongji> kMessages[] = {
      fw::OnCommand(IDC_TOOL_BROWSE, &CToolTongji::OnBrowse),
      fw::OnCommand(IDC_TOOL_RESET_COUNTS, &CToolTongji::OnResetCounts),
      fw::OnCommand(IDC_TOOL_RESET_CHOICES, &CToolTongji::OnResetChoices),
  };
  return fw::Dispatch(this, kMessages, message, wParam, lParam, result);
}

void CToolTongji::OnBrowse() {
  std::string chosen;
  if (!fw::Platform().ChooseFolder(hwnd(), kFolderTitle, kFolderFlags, &chosen)) return;
  data().ReadControls();
  folder_ = chosen;  // empty for a folder that has no file-system path
  data().ShowValues();
}

void CToolTongji::Reset(ResetOperation operation) {
  data().ReadControls();
  if (folder_.empty()) {
    fw::Platform().ShowMessage(hwnd(), kNoFolder, kProgramCaption, MB_OK);
    return;
  }
  // The run holds the window until every file is done: show that it is busy.
  HCURSOR previous = ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
  InitializeFolder(folder_, operation, kToolLogPath);
  ::SetCursor(previous);
}

}  // namespace velmor
