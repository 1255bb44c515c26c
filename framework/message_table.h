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

#include <cstddef>

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

// Finds the first entry that answers the message and calls it. Returns false when none does.
template <class T, std::size_t N>
bool Dispatch(T* self, const MessageEntry<T> (&table)[N], UINT message, WPARAM wParam,
              LPARAM lParam, LRESULT& result) {
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

}  // namespace fw
