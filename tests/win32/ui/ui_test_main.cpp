// Runs the window tests in one Windows process: OLE, common controls and the rich-edit
// library are set up once, as the programs do at start-up.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include "common/richtext/rich_edit_ctrl_ex.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (FAILED(::OleInitialize(nullptr))) return 3;
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&controls);
  if (!velmor::CRichEditCtrlEx::LoadLibrary()) return 4;
  int result = RUN_ALL_TESTS();
  ::OleUninitialize();
  return result;
}
