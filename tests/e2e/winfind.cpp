// Tells an end-to-end script where things are on the screen, so that it can click them:
//   winfind control CAPTION ID     screen rectangle of a control: "left top width height"
//   winfind window CAPTION         screen rectangle of the window's client area
//   winfind items CAPTION ID       number of rows of a list-view control
//   winfind text CAPTION ID        a control's text, in UTF-8
//   winfind checked CAPTION ID     1 when a check box is ticked, 0 otherwise
//   winfind close CAPTION          asks the window to close (WM_CLOSE)
// ID may be followed by ",N": the N-th (from 0) of the window's descendants with that ID, in
// the order EnumChildWindows gives them (rows of a question view all have the same IDs).
// Exit status 1 when the window or the control is not there (yet).
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct ControlSearch {
  int id;
  int skip;
  HWND found;
};

BOOL CALLBACK TakeMatching(HWND child, LPARAM param) {
  auto* search = reinterpret_cast<ControlSearch*>(param);
  if (::GetDlgCtrlID(child) != search->id) return TRUE;
  if (search->skip-- > 0) return TRUE;
  search->found = child;
  return FALSE;
}

HWND FindControl(HWND window, const char* id) {
  ControlSearch search{std::atoi(id), 0, nullptr};
  if (const char* comma = std::strchr(id, ',')) search.skip = std::atoi(comma + 1);
  ::EnumChildWindows(window, TakeMatching, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

int PrintText(HWND control) {
  // GetWindowText does not ask a control of another process; WM_GETTEXT does. A rich edit of
  // another process answers WM_GETTEXTLENGTH with 0 under Wine, so the buffer has a floor.
  auto length = static_cast<int>(::SendMessageA(control, WM_GETTEXTLENGTH, 0, 0));
  if (length < 65535) length = 65535;
  std::string ansi(static_cast<size_t>(length) + 1, '\0');
  length = static_cast<int>(::SendMessageA(control, WM_GETTEXT, static_cast<WPARAM>(length + 1),
                                           reinterpret_cast<LPARAM>(&ansi[0])));
  int wide_length = ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, nullptr, 0);
  std::wstring wide(static_cast<size_t>(wide_length), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, &wide[0], wide_length);
  int utf8_length =
      ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), wide_length, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(utf8_length), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), wide_length, &utf8[0], utf8_length, nullptr,
                        nullptr);
  std::printf("%s\n", utf8.c_str());
  return 0;
}

int Print(RECT rect) {
  std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left,
              rect.bottom - rect.top);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: winfind control|window|items|text|checked|close CAPTION [ID[,N]]\n");
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
  if (std::strcmp(argv[1], "close") == 0) {
    return ::PostMessageA(window, WM_CLOSE, 0, 0) ? 0 : 1;
  }
  if (argc < 4) return 64;
  HWND control = FindControl(window, argv[3]);
  if (!control) return 1;
  if (std::strcmp(argv[1], "control") == 0) {
    if (!::GetWindowRect(control, &rect)) return 1;
    return Print(rect);
  }
  if (std::strcmp(argv[1], "items") == 0) {
    std::printf("%ld\n", static_cast<long>(::SendMessageA(control, LVM_GETITEMCOUNT, 0, 0)));
    return 0;
  }
  if (std::strcmp(argv[1], "text") == 0) {
    return PrintText(control);
  }
  if (std::strcmp(argv[1], "checked") == 0) {
    std::printf("%d\n", ::SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0);
    return 0;
  }
  return 64;
}
