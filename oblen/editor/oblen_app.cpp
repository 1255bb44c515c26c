#include "oblen/editor/oblen_app.h"

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include "common/richtext/rich_edit_ctrl_ex.h"
#include "oblen/editor/oblen_dlg.h"

namespace velmor {

COblenApp::COblenApp() : bankPath_(DefaultBankPath()) {
  // A missing working bank is normal (an empty bank); one that stops part-way is told.
  if (::GetFileAttributesA(bankPath_.c_str()) != INVALID_FILE_ATTRIBUTES) {
    loadFailed_ = !bank_.Load(bankPath_);
  }
}

bool COblenApp::InitInstance() {
  INITCOMMONCONTROLSEX controls{sizeof controls,
                                ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_BAR_CLASSES |
                                    ICC_TAB_CLASSES | ICC_UPDOWN_CLASS | ICC_PROGRESS_CLASS |
                                    ICC_HOTKEY_CLASS | ICC_ANIMATE_CLASS};
  ::InitCommonControlsEx(&controls);
  fw::SetApplicationTitle("Oblen");
  // Pictures in a description are OLE objects: without OLE there is no editor.
  if (FAILED(::OleInitialize(nullptr))) return false;
  CRichEditCtrlEx::LoadLibrary();
  {
    COblenDlg dialog(bank_, files_, bankPath_);
    if (loadFailed_) dialog.ReportLoadFailureWhenShown(bankPath_);
    dialog.DoModal();
  }
  ::OleUninitialize();
  return true;
}

}  // namespace velmor
