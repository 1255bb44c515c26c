// Runs the editor window tests in one Windows process, set up as the program sets itself up.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include "common/navbutton/navigate_button.h"
#include "common/richtext/rich_edit_ctrl_ex.h"
#include "framework/app.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (FAILED(::OleInitialize(nullptr))) return 3;
  INITCOMMONCONTROLSEX controls{sizeof controls, 0xFF};
  ::InitCommonControlsEx(&controls);
  if (!velmor::CRichEditCtrlEx::LoadLibrary()) return 4;
  fw::SetApplicationTitle("Velmor题库编辑器");
  velmor::LoadButtonBitmaps(fw::ModuleInstance());
  int result = RUN_ALL_TESTS();
  velmor::ButtonBitmapLibrary::Free();
  ::OleUninitialize();
  return result;
}
