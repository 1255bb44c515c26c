// A small streaming JSON writer: two-space indentation, keys and values in call order.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmor {

class JsonWriter {
 public:
  void BeginObject() { Open('{'); }
  void EndObject() { Close('}'); }
  void BeginArray() { Open('['); }
  void EndArray() { Close(']'); }

  // Inside an object every value is preceded by its key.
  void Key(std::string_view key);
  void String(std::string_view utf8);
  void Number(int64_t value);
  void Bool(bool value);

  // A key and its value in one call.
  void NumberField(std::string_view key, int64_t value) { Key(key); Number(value); }
  void StringField(std::string_view key, std::string_view utf8) { Key(key); String(utf8); }
  void BoolField(std::string_view key, bool value) { Key(key); Bool(value); }

  const std::string& text() const { return text_; }

 private:
  struct Level {
    bool empty = true;
  };

  void BeforeValue();
  void Open(char bracket);
  void Close(char bracket);
  void NewLine();
  void AppendQuoted(std::string_view utf8);

  std::string text_;
  std::vector<Level> levels_;
  bool afterKey_ = false;
};

}  // namespace velmor
