// Tells an end-to-end script where things are on the screen, so that it can click them:
//   winfind control CAPTION ID     screen rectangle of a control: "left top width height"
//   winfind menu CAPTION INDEX     screen rectangle of an item of the window's menu bar
//   winfind window CAPTION         screen rectangle of the window's client area
//   winfind items CAPTION ID       number of rows of a list-view control
// Exit status 1 when the window or the control is not there (yet).
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

int Print(RECT rect) {
  std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left,
              rect.bottom - rect.top);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: winfind control|menu|window|items CAPTION [ID|INDEX]\n");
    return 64;
  }
  HWND window = ::FindWindowA(nullptr, argv[2]);
  if (!window) return 1;
  RECT rect{};
  if (std::strcmp(argv[1], "window") == 0) {
    ::GetClientRect(window, &rect);
    ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return Print(rect);
  }
  if (argc < 4) return 64;
  int number = std::atoi(argv[3]);
  if (std::strcmp(argv[1], "control") == 0) {
    HWND control = ::GetDlgItem(window, number);
    if (!control || !::GetWindowRect(control, &rect)) return 1;
    return Print(rect);
  }
  if (std::strcmp(argv[1], "items") == 0) {
    HWND control = ::GetDlgItem(window, number);
    if (!control) return 1;
    std::printf("%ld\n", static_cast<long>(::SendMessageA(control, LVM_GETITEMCOUNT, 0, 0)));
    return 0;
  }
  if (std::strcmp(argv[1], "menu") == 0) {
    if (!::GetMenuItemRect(window, ::GetMenu(window), static_cast<UINT>(number), &rect)) return 1;
    return Print(rect);
  }
  return 64;
}
