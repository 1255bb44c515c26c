// CRichEditCtrlEx's window: creation, typing, the context menu and the font dialog. Its
// content (the blob) is in rich_edit_content.cpp, its pictures in rich_edit_pictures.cpp.
#include "common/richtext/rich_edit_ctrl_ex.h"

#include <cstring>

#include "framework/platform.h"

namespace velmor {

namespace {

constexpr DWORD kFontDialogFlags = 0x101;  // screen fonts and effects

}  // namespace

bool CRichEditCtrlEx::LoadLibrary() {
  static HMODULE library = ::LoadLibraryA("riched20.dll");
  return library != nullptr;
}

bool CRichEditCtrlEx::Create(DWORD style, const RECT& rect, HWND parent, int id) {
  if (!LoadLibrary() || !CControl::Create("RichEdit20A", style | WS_CHILD, rect, parent, id)) {
    return false;
  }
  Send(WM_SETFONT, static_cast<WPARAM>(::SendMessageA(parent, WM_GETFONT, 0, 0)), TRUE);
  return true;
}

bool CRichEditCtrlEx::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                    LRESULT& result) {
  switch (message) {
    case WM_RBUTTONUP:
      result = OnRightButtonUp(wParam, lParam);
      return true;
    case WM_CHAR:
    case WM_IME_CHAR:
      return OnCharacter(message, wParam, lParam, result);
    case WM_COMMAND:
      if (HIWORD(wParam) == 0 && OnMenuCommand(LOWORD(wParam))) {
        result = 0;
        return true;
      }
      return false;
    default:
      return false;
  }
}

namespace {

bool IsGbkTrailByte(WPARAM character) {
  return character >= 0x40 && character <= 0xFE && character != 0x7F;
}

}  // namespace

bool CRichEditCtrlEx::OnCharacter(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  // A double-byte character reaches an ANSI window as two character messages, lead byte
  // first (or as one IME character holding both). Some rich-edit versions take each byte for
  // a character of its own, so the pair is put together here and entered as text.
  char text[3] = {};
  if (message == WM_CHAR && pendingLeadByte_ != 0 && !IsGbkTrailByte(wParam)) {
    pendingLeadByte_ = 0;  // a lead byte without its trail byte is dropped
  }
  if (message == WM_IME_CHAR && HIBYTE(LOWORD(wParam)) != 0) {
    text[0] = static_cast<char>(HIBYTE(LOWORD(wParam)));
    text[1] = static_cast<char>(LOBYTE(LOWORD(wParam)));
  } else if (message == WM_CHAR && pendingLeadByte_ != 0 && IsGbkTrailByte(wParam)) {
    text[0] = static_cast<char>(pendingLeadByte_);
    text[1] = static_cast<char>(wParam & 0xFF);
    pendingLeadByte_ = 0;
  } else if (message == WM_CHAR && wParam < 0x100 &&
             ::IsDBCSLeadByte(static_cast<BYTE>(wParam))) {
    pendingLeadByte_ = static_cast<unsigned char>(wParam);
    result = 0;
    return true;
  } else {
    return false;
  }
  (void)lParam;
  if (GetStyle() & ES_READONLY) {
    result = 0;
    return true;
  }
  Send(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
  result = 0;
  return true;
}

bool CRichEditCtrlEx::SelectionIsEmpty() const {
  // Some rich-edit versions answer the selection-type query with "text" for a bare caret,
  // so a caret is recognised by its range first.
  CHARRANGE range{};
  Send(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
  if (range.cpMin == range.cpMax) return true;
  return LOWORD(Send(EM_SELECTIONTYPE)) == 0;
}

HMENU CRichEditCtrlEx::BuildContextMenu() const {
  HMENU menu = ::CreatePopupMenu();
  auto item = [menu](UINT id, const char* text, bool enabled) {
    ::AppendMenuA(menu, MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED), id, text);
  };
  bool selected = !SelectionIsEmpty();
  item(kMenuUndo, "撤消(&U)", Send(EM_CANUNDO) != 0);
  ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  item(kMenuCut, "剪切(&T)", selected);
  item(kMenuCopy, "复制(&C)", selected);
  item(kMenuPaste, "粘贴(&P)", Send(EM_CANPASTE, 0) != 0);
  item(kMenuClear, "清除(&L)", selected);
  ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  item(kMenuSelectAll, "选择所有　(&A)", true);
  ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  item(kMenuChooseFont, "选择字体(&F)", true);
  return menu;
}

LRESULT CRichEditCtrlEx::OnRightButtonUp(WPARAM wParam, LPARAM lParam) {
  SetFocus();
  HMENU menu = BuildContextMenu();
  POINT cursor;
  ::GetCursorPos(&cursor);
  ::TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, hwnd_, nullptr);
  ::DestroyMenu(menu);
  return DefaultProc(WM_RBUTTONUP, wParam, lParam);
}

bool CRichEditCtrlEx::OnMenuCommand(UINT id) {
  switch (id) {
    case kMenuUndo: Send(EM_UNDO); return true;
    case kMenuCut: Send(WM_CUT); return true;
    case kMenuCopy: Send(WM_COPY); return true;
    case kMenuPaste: Send(WM_PASTE); return true;
    case kMenuClear: Send(WM_CLEAR); return true;
    case kMenuSelectAll: Send(EM_SETSEL, 0, -1); return true;
    case kMenuChooseFont: ChooseTextFont(); return true;
    default: return false;
  }
}

void CRichEditCtrlEx::ChooseTextFont() {
  const bool selection = !SelectionIsEmpty();
  CHARFORMATA format{};
  format.cbSize = sizeof format;
  Send(EM_GETCHARFORMAT, selection ? SCF_SELECTION : SCF_DEFAULT,
       reinterpret_cast<LPARAM>(&format));

  LOGFONTA font{};
  font.lfHeight = format.yHeight / 15;
  font.lfWeight = (format.dwEffects & CFE_BOLD) ? FW_BOLD : FW_NORMAL;
  font.lfItalic = (format.dwEffects & CFE_ITALIC) ? 1 : 0;
  font.lfUnderline = (format.dwEffects & CFE_UNDERLINE) ? 1 : 0;
  font.lfStrikeOut = (format.dwEffects & CFE_STRIKEOUT) ? 1 : 0;
  font.lfCharSet = format.bCharSet;
  font.lfPitchAndFamily = format.bPitchAndFamily;
  std::memcpy(font.lfFaceName, format.szFaceName, LF_FACESIZE);
  font.lfFaceName[LF_FACESIZE - 1] = '\0';
  COLORREF colour = format.crTextColor;
  int pointSizeTenths = 0;
  if (!fw::Platform().ShowFontDialog(hwnd_, kFontDialogFlags, &font, &colour, &pointSizeTenths)) {
    return;
  }

  CHARFORMATA chosen{};
  chosen.cbSize = sizeof chosen;
  chosen.dwMask = CFM_FACE | CFM_SIZE | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT |
                  CFM_COLOR | CFM_CHARSET;
  std::memcpy(chosen.szFaceName, font.lfFaceName, LF_FACESIZE);
  chosen.szFaceName[LF_FACESIZE - 1] = '\0';
  chosen.yHeight = pointSizeTenths * 2;
  chosen.dwEffects = (font.lfWeight >= FW_BOLD ? CFE_BOLD : 0) | (font.lfItalic ? CFE_ITALIC : 0) |
                     (font.lfUnderline ? CFE_UNDERLINE : 0) | (font.lfStrikeOut ? CFE_STRIKEOUT : 0);
  chosen.crTextColor = colour;
  chosen.bCharSet = font.lfCharSet;
  chosen.bPitchAndFamily = font.lfPitchAndFamily;
  Send(EM_SETCHARFORMAT, selection ? SCF_SELECTION : SCF_DEFAULT,
       reinterpret_cast<LPARAM>(&chosen));
}

}  // namespace velmor
