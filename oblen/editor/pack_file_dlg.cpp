#include "oblen/editor/pack_file_dlg.h"

#include <shlobj.h>

#include "framework/message_table.h"
#include "framework/platform.h"
#include "oblen/model/packing.h"

namespace velmor {

namespace {

const char kCaption[] = "提示";

}  // namespace

CPackFileDlg::CPackFileDlg(OperationBank& bank, FileAccess& files, int32_t questionId)
    : CDialog(IDD_PACK_FILE), bank_(bank), files_(files), questionId_(questionId) {
  data().BindText(IDC_UNPACK_FOLDER, &unpackFolder_);
  data().BindText(IDC_SOURCE_FOLDER, &sourceFolder_);
}

BOOL CPackFileDlg::OnInitDialog() {
  if (const FilePackage* package = bank_.FindPackage(questionId_)) {
    unpackFolder_ = std::string(package->unpackFolder.text());
  }
  data().ShowValues();
  return TRUE;
}

void CPackFileDlg::OnOK() {
  data().ReadControls();
  EndDialog(IDOK);
}

fw::MessageTable<CPackFileDlg> CPackFileDlg::Messages() {
  static const fw::MessageEntry<CPackFileDlg> kMessages[] = {
      fw::OnCommand(IDC_PACK_BROWSE, &CPackFileDlg::OnBrowse),
      fw::OnCommand(IDC_PACK, &CPackFileDlg::OnPack),
      fw::OnCommand(IDC_PACK_REMOVE, &CPackFileDlg::OnRemove),
  };
  return kMessages;
}

bool CPackFileDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  return fw::Dispatch(this, Messages(), message, wParam, lParam, result);
}

// The held texts go back into both boxes: what was typed into them and not yet read is
// replaced.
void CPackFileDlg::OnBrowse() {
  std::string chosen;
  if (!fw::Platform().ChooseFolder(hwnd(), "请选择一个文件夹", BIF_NEWDIALOGSTYLE | BIF_EDITBOX,
                                   &chosen)) {
    return;
  }
  sourceFolder_ = chosen;
  data().ShowValues();
}

void CPackFileDlg::OnPack() {
  data().ReadControls();
  if (!ReplacePackage(bank_, files_, sourceFolder_, unpackFolder_, questionId_)) {
    // The old package stays; the author learns why nothing was packed.
    const char* reason = sourceFolder_.empty() ? "没有指定要打包的原始文件夹"
                                               : "原始文件夹超过 2 GB，或内存不足";
    fw::Platform().ShowMessage(hwnd(), std::string("打包失败：") + reason, kCaption, MB_OK);
    return;
  }
  fw::Platform().ShowMessage(hwnd(), "打包新目录成功", kCaption, MB_OK);
}

void CPackFileDlg::OnRemove() {
  bank_.RemovePackage(questionId_);
  fw::Platform().ShowMessage(hwnd(), "删除目录包成功", kCaption, MB_OK);
}

}  // namespace velmor
