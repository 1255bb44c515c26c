// Message tables: the visible list, next to each window class, of the messages, commands and
// notifications it answers and the member function that answers each.
//
//   bool CDemoDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
//     static const fw::MessageEntry<CDemoDlg> kMessages[] = {
//         fw::OnMessage(WM_PAINT, &CDemoDlg::OnPaint),
//         fw::OnCommand(IDC_ADD, &CDemoDlg::OnAdd),
//         fw::OnNotify(IDC_LIST, NM_CLICK, &CDemoDlg::OnListClick),
//     };
//     return fw::Dispatch(this, kMessages, message, wParam, lParam, result);
//   }
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <vector>

namespace fw {

template <class T>
struct MessageEntry {
  enum Kind { kMessage, kCommand, kControl, kNotify };
  Kind kind;
  UINT message;  // kMessage
  UINT id;       // kCommand, kControl, kNotify
  UINT code;     // kControl, kNotify
  LRESULT (T::*onMessage)(WPARAM, LPARAM);
  void (T::*onCommand)();
  LRESULT (T::*onNotify)(NMHDR*);
};

// Any window message; the handler's result is the message's result.
template <class T>
MessageEntry<T> OnMessage(UINT message, LRESULT (T::*handler)(WPARAM, LPARAM)) {
  return {MessageEntry<T>::kMessage, message, 0, 0, handler, nullptr, nullptr};
}

// A menu item, accelerator or button click with this id.
template <class T>
MessageEntry<T> OnCommand(UINT id, void (T::*handler)()) {
  return {MessageEntry<T>::kCommand, 0, id, 0, nullptr, handler, nullptr};
}

// A WM_COMMAND notification code of a control (EN_CHANGE, LBN_SELCHANGE ...).
template <class T>
MessageEntry<T> OnControl(UINT id, UINT code, void (T::*handler)()) {
  return {MessageEntry<T>::kControl, 0, id, code, nullptr, handler, nullptr};
}

// A WM_NOTIFY notification of a control (NM_CLICK, LVN_ITEMCHANGED ...).
template <class T>
MessageEntry<T> OnNotify(UINT id, UINT code, LRESULT (T::*handler)(NMHDR*)) {
  return {MessageEntry<T>::kNotify, 0, id, code, nullptr, nullptr, handler};
}

// A window's table as a class hands it out (`static fw::MessageTable<T> Messages();`), so
// that what the window answers can be read as well as dispatched.
template <class T>
struct MessageTable {
  template <std::size_t N>
  MessageTable(const MessageEntry<T> (&table)[N]) : entries(table), count(N) {}  // NOLINT
  const MessageEntry<T>* begin() const { return entries; }
  const MessageEntry<T>* end() const { return entries + count; }
  const MessageEntry<T>* entries;
  std::size_t count;
};

// What a user can do to a window by its table: the command ids (menu items, buttons,
// accelerators) and the controls whose clicks (NM_CLICK) it answers, in table order.
struct UserActions {
  std::vector<UINT> commands;
  std::vector<UINT> clickedControls;
};

template <class T>
UserActions UserActionsOf(MessageTable<T> table) {
  UserActions actions;
  for (const MessageEntry<T>& entry : table) {
    if (entry.kind == MessageEntry<T>::kCommand) actions.commands.push_back(entry.id);
    if (entry.kind == MessageEntry<T>::kNotify && entry.code == static_cast<UINT>(NM_CLICK)) {
      actions.clickedControls.push_back(entry.id);
    }
  }
  return actions;
}

// Finds the first entry that answers the message and calls it. Returns false when none does.
template <class T>
bool Dispatch(T* self, MessageTable<T> table, UINT message, WPARAM wParam, LPARAM lParam,
              LRESULT& result) {
  for (const MessageEntry<T>& entry : table) {
    switch (entry.kind) {
      case MessageEntry<T>::kMessage:
        if (message == entry.message) {
          result = (self->*entry.onMessage)(wParam, lParam);
          return true;
        }
        break;
      case MessageEntry<T>::kCommand:
        // Code 0 comes from menus and button clicks, 1 from accelerators.
        if (message == WM_COMMAND && LOWORD(wParam) == entry.id && HIWORD(wParam) <= 1) {
          (self->*entry.onCommand)();
          result = 0;
          return true;
        }
        break;
      case MessageEntry<T>::kControl:
        if (message == WM_COMMAND && LOWORD(wParam) == entry.id && HIWORD(wParam) == entry.code) {
          (self->*entry.onCommand)();
          result = 0;
          return true;
        }
        break;
      case MessageEntry<T>::kNotify:
        if (message == WM_NOTIFY) {
          NMHDR* header = reinterpret_cast<NMHDR*>(lParam);
          if (header->idFrom == entry.id && header->code == entry.code) {
            result = (self->*entry.onNotify)(header);
            return true;
          }
        }
        break;
    }
  }
  return false;
}

// The same for a table written in place.
template <class T, std::size_t N>
bool Dispatch(T* self, const MessageEntry<T> (&table)[N], UINT message, WPARAM wParam,
              LPARAM lParam, LRESULT& result) {
  return Dispatch(self, MessageTable<T>(table), message, wParam, lParam, result);
}

}  // namespace fw
