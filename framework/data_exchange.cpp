#include "framework/data_exchange.h"

#include <cctype>
#include <cstdlib>

#include "framework/app.h"
#include "framework/platform.h"
#include "framework/window.h"

namespace fw {

bool ParseLeadingInteger(const std::string& text, int32_t* value) {
  std::size_t at = 0;
  while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  if (at >= text.size() || !std::isdigit(static_cast<unsigned char>(text[at]))) return false;
  int64_t magnitude = 0;
  for (; at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])); ++at) {
    magnitude = magnitude * 10 + (text[at] - '0');
    if (magnitude > int64_t{INT32_MAX} + 1) return false;
  }
  int64_t result = negative ? -magnitude : magnitude;
  if (result > INT32_MAX || result < INT32_MIN) return false;
  *value = static_cast<int32_t>(result);
  return true;
}

bool DataExchange::ReadControls() {
  for (const Binding& binding : bindings_) {
    HWND control = dialog_.GetItem(binding.id);
    switch (binding.kind) {
      case kText:
        *binding.text = CWindow(control).GetText();
        break;
      case kCheck:
        *binding.number = static_cast<int32_t>(::SendMessageA(control, BM_GETCHECK, 0, 0));
        break;
      case kInt: {
        int32_t number = 0;
        // A number box is read through a 64-byte buffer: only its first 63 characters count.
        if (!ParseLeadingInteger(CWindow(control).GetText().substr(0, 63), &number)) {
          Platform().ShowMessage(dialog_.hwnd(), "Please enter an integer.", ApplicationTitle(),
                                 MB_OK | MB_ICONEXCLAMATION);
          ::SetFocus(control);
          ::SendMessageA(control, EM_SETSEL, 0, -1);
          return false;
        }
        *binding.number = number;
        break;
      }
    }
  }
  return true;
}

void DataExchange::ShowValues() {
  for (const Binding& binding : bindings_) {
    HWND control = dialog_.GetItem(binding.id);
    switch (binding.kind) {
      case kText:
        ::SetWindowTextA(control, binding.text->c_str());
        break;
      case kInt:
        ::SetWindowTextA(control, std::to_string(*binding.number).c_str());
        break;
      case kCheck:
        ::SendMessageA(control, BM_SETCHECK, static_cast<WPARAM>(*binding.number), 0);
        break;
    }
  }
}

}  // namespace fw
