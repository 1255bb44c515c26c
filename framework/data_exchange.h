// Dialog data exchange: a dialog binds each edit box and check box to a value and moves
// them with two explicit transfers, ReadControls (controls -> values) and ShowValues
// (values -> controls), in the order of binding.
//
// An integer box whose text does not start with an integer stops the reading there: the
// user is told "Please enter an integer.", the box takes the focus with its text selected,
// and the values bound after it keep what they held.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace fw {

class CWindow;

// Reads a leading integer the way the integer boxes do: optional blanks, an optional sign,
// at least one digit; what follows the digits is ignored. False when there is no integer or
// it does not fit 32 bits.
bool ParseLeadingInteger(const std::string& text, int32_t* value);

class DataExchange {
 public:
  explicit DataExchange(CWindow& dialog) : dialog_(dialog) {}

  void BindText(int id, std::string* value) { bindings_.push_back({kText, id, value, nullptr}); }
  void BindInt(int id, int32_t* value) { bindings_.push_back({kInt, id, nullptr, value}); }
  void BindCheck(int id, int32_t* value) { bindings_.push_back({kCheck, id, nullptr, value}); }

  // Controls to values; false when an integer box refused its text.
  bool ReadControls();
  // Values to controls.
  void ShowValues();

 private:
  enum Kind { kText, kInt, kCheck };
  struct Binding {
    Kind kind;
    int id;
    std::string* text;
    int32_t* number;
  };

  CWindow& dialog_;
  std::vector<Binding> bindings_;
};

}  // namespace fw
