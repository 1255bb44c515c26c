#include "tarvik/editor/tarvik_app.h"

#include <winsock2.h>
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include "common/navbutton/navigate_button.h"
#include "common/richtext/rich_edit_ctrl_ex.h"
#include "framework/platform.h"
#include "tarvik/editor/tarvik_dlg.h"
#include "tarvik/resources/resource.h"

namespace velmor {

namespace {

// Tarvik has always started Windows Sockets 1.1 and refused to run without it. Nothing uses
// them; the start stays so that a machine where it fails is told so, as before.
bool StartSockets() {
  WSADATA sockets{};
  if (::WSAStartup(MAKEWORD(1, 1), &sockets) != 0) return false;
  if (LOBYTE(sockets.wVersion) != 1 || HIBYTE(sockets.wVersion) != 1) {
    ::WSACleanup();
    return false;
  }
  return true;
}

}  // namespace

bool CTarvikApp::InitInstance() {
  INITCOMMONCONTROLSEX controls{sizeof controls, 0xFF};
  ::InitCommonControlsEx(&controls);
  fw::SetApplicationTitle("Velmor题库编辑器");

  if (!StartSockets()) {
    char text[128] = {};
    ::LoadStringA(fw::ModuleInstance(), IDS_SOCKETS_INIT_FAILED, text, sizeof text);
    fw::Platform().ShowMessage(nullptr, text, fw::ApplicationTitle(), MB_OK | MB_ICONSTOP);
    return false;
  }
  // Pictures in the stem are OLE objects, and the clipboard wants OLE too.
  ::OleInitialize(nullptr);
  CRichEditCtrlEx::LoadLibrary();
  SetRegistryKey("应用程序向导生成的本地应用程序");
  LoadButtonBitmaps(fw::ModuleInstance());

  {
    CTarvikDlg dialog(document_);
    dialog.DoModal();
  }

  ButtonBitmapLibrary::Free();
  ::OleUninitialize();
  ::WSACleanup();
  return true;
}

}  // namespace velmor
