#include "tools/banktool/json_writer.h"

namespace velmor {

void JsonWriter::NewLine() {
  text_ += '\n';
  text_.append(levels_.size() * 2, ' ');
}

void JsonWriter::BeforeValue() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (!levels_.empty()) {
    if (!levels_.back().empty) text_ += ',';
    levels_.back().empty = false;
    NewLine();
  }
}

void JsonWriter::Bool(bool value) {
  BeforeValue();
  text_ += value ? "true" : "false";
}

void JsonWriter::Key(std::string_view key) {
  BeforeValue();
  AppendQuoted(key);
  text_ += ": ";
  afterKey_ = true;
}

void JsonWriter::Open(char bracket) {
  BeforeValue();
  text_ += bracket;
  levels_.push_back(Level{});
}

void JsonWriter::Close(char bracket) {
  bool empty = levels_.back().empty;
  levels_.pop_back();
  if (!empty) NewLine();
  text_ += bracket;
  if (levels_.empty()) text_ += '\n';
}

void JsonWriter::String(std::string_view utf8) {
  BeforeValue();
  AppendQuoted(utf8);
}

void JsonWriter::Number(int64_t value) {
  BeforeValue();
  text_ += std::to_string(value);
}

void JsonWriter::AppendQuoted(std::string_view utf8) {
  static const char kHex[] = "0123456789abcdef";
  text_ += '"';
  for (char c : utf8) {
    unsigned char byte = static_cast<unsigned char>(c);
    switch (byte) {
      case '"': text_ += "\\\""; break;
      case '\\': text_ += "\\\\"; break;
      case '\n': text_ += "\\n"; break;
      case '\r': text_ += "\\r"; break;
      case '\t': text_ += "\\t"; break;
      default:
        if (byte < 0x20) {
          text_ += "\\u00";
          text_ += kHex[byte >> 4];
          text_ += kHex[byte & 15];
        } else {
          text_ += c;
        }
    }
  }
  text_ += '"';
}

}  // namespace velmor
