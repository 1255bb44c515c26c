// Runs the Oblen window tests in one Windows process, set up as the program sets itself up.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <algorithm>

#include "common/richtext/rich_content.h"
#include "common/richtext/rich_edit_ctrl_ex.h"
#include "framework/app.h"
#include "tests/win32/oblen/oblen_test_support.h"

namespace velmor::test {

namespace {

struct Watch {
  HWND owner = nullptr;
  std::vector<HWND> closed;
  std::vector<std::string> captions;
};
Watch* g_watch = nullptr;

BOOL CALLBACK CloseNewWindow(HWND window, LPARAM) {
  if (window == g_watch->owner || !::IsWindowVisible(window)) return TRUE;
  if (std::find(g_watch->closed.begin(), g_watch->closed.end(), window) != g_watch->closed.end()) {
    return TRUE;
  }
  char caption[256] = {};
  ::GetWindowTextA(window, caption, sizeof caption);
  g_watch->closed.push_back(window);
  g_watch->captions.push_back(caption);
  ::PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
  return TRUE;
}

void CALLBACK LookForWindows(HWND, UINT, UINT_PTR, DWORD) {
  ::EnumThreadWindows(::GetCurrentThreadId(), &CloseNewWindow, 0);
}

}  // namespace

std::vector<std::string> CaptionsOfModalWindows(HWND owner, void (*action)(void*), void* context) {
  Watch watch;
  watch.owner = owner;
  g_watch = &watch;
  UINT_PTR timer = ::SetTimer(nullptr, 0, 30, &LookForWindows);
  action(context);
  ::KillTimer(nullptr, timer);
  g_watch = nullptr;
  return watch.captions;
}

ContentBlock Description(const std::string& text) {
  return BuildRichContent(static_cast<int32_t>(text.size()), text, {}, {});
}

}  // namespace velmor::test

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (FAILED(::OleInitialize(nullptr))) return 3;
  INITCOMMONCONTROLSEX controls{sizeof controls, 0xFF};
  ::InitCommonControlsEx(&controls);
  if (!velmor::CRichEditCtrlEx::LoadLibrary()) return 4;
  fw::SetApplicationTitle("Oblen");
  int result = RUN_ALL_TESTS();
  ::OleUninitialize();
  return result;
}
