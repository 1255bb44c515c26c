#include "common/office/xml_reader.h"

#include <cstring>

namespace velmor {

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Where `what` begins at or after `from`, or npos.
std::size_t Find(std::string_view text, std::string_view what, std::size_t from) {
  return text.find(what, from);
}

void AppendUtf8(char32_t point, std::string& out) {
  if (point < 0x80) {
    out += static_cast<char>(point);
  } else if (point < 0x800) {
    out += static_cast<char>(0xC0 | (point >> 6));
    out += static_cast<char>(0x80 | (point & 0x3F));
  } else if (point < 0x10000) {
    out += static_cast<char>(0xE0 | (point >> 12));
    out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (point & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (point >> 18));
    out += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (point & 0x3F));
  }
}

// The character a reference body ("#38", "#x26", "amp") stands for, or 0.
char32_t Referenced(std::string_view body) {
  if (body == "lt") return '<';
  if (body == "gt") return '>';
  if (body == "amp") return '&';
  if (body == "quot") return '"';
  if (body == "apos") return '\'';
  if (body.size() < 2 || body[0] != '#') return 0;
  const bool hex = body[1] == 'x';
  std::size_t i = hex ? 2 : 1;
  if (i == body.size() || body.size() - i > 8) return 0;
  char32_t point = 0;
  for (; i < body.size(); ++i) {
    const char c = body[i];
    int digit;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (hex && c >= 'a' && c <= 'f') {
      digit = c - 'a' + 10;
    } else if (hex && c >= 'A' && c <= 'F') {
      digit = c - 'A' + 10;
    } else {
      return 0;
    }
    point = point * (hex ? 16 : 10) + digit;
  }
  if (point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) return 0;
  return point;
}

}  // namespace

void XmlReader::AppendDecoded(std::string_view raw, std::string& out) {
  std::size_t from = 0;
  while (from < raw.size()) {
    const std::size_t amp = raw.find('&', from);
    if (amp == std::string_view::npos) break;
    out.append(raw.data() + from, amp - from);
    const std::size_t semicolon = raw.find(';', amp + 1);
    const char32_t point = semicolon == std::string_view::npos || semicolon - amp > 10
                               ? 0
                               : Referenced(raw.substr(amp + 1, semicolon - amp - 1));
    if (point == 0) {
      out += '&';
      from = amp + 1;
    } else {
      AppendUtf8(point, out);
      from = semicolon + 1;
    }
  }
  out.append(raw.data() + from, raw.size() - from);
}

std::string XmlEscaped(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

void XmlReader::AppendText(std::string& out) const {
  if (cdata_) {
    out.append(text_.data(), text_.size());
  } else {
    AppendDecoded(text_, out);
  }
}

bool XmlReader::Attribute(std::string_view qualifiedName, std::string_view* value) const {
  std::size_t position = 0;
  std::string_view name;
  while (NextAttribute(&position, &name, value)) {
    if (name == qualifiedName) return true;
  }
  return false;
}

bool XmlReader::NextAttribute(std::size_t* position, std::string_view* name,
                              std::string_view* value) const {
  // The attribute area was checked when the tag was read: every name has '=' and a value in
  // matching quotes.
  const std::string_view area = attributes_;
  std::size_t i = *position;
  while (i < area.size() && IsSpace(area[i])) ++i;
  const std::size_t nameStart = i;
  while (i < area.size() && area[i] != '=' && !IsSpace(area[i])) ++i;
  if (i == nameStart || i == area.size()) return false;
  *name = area.substr(nameStart, i - nameStart);
  while (i < area.size() && area[i] != '"' && area[i] != '\'') ++i;
  if (i == area.size()) return false;
  const char quote = area[i];
  const std::size_t close = area.find(quote, i + 1);
  if (close == std::string_view::npos) return false;
  *value = area.substr(i + 1, close - i - 1);
  *position = close + 1;
  return true;
}

// A comment, processing instruction or document type declaration starting at `open`:
// passes over it; false when it never ends.
bool XmlReader::SkipMarkup(std::size_t open) {
  std::string_view rest = xml_.substr(open);
  std::size_t end;
  if (rest.compare(0, 4, "<!--") == 0) {
    end = Find(xml_, "-->", open + 4);
    if (end == std::string_view::npos) return false;
    position_ = end + 3;
  } else if (rest.compare(0, 2, "<?") == 0) {
    end = Find(xml_, "?>", open + 2);
    if (end == std::string_view::npos) return false;
    position_ = end + 2;
  } else {
    // <!DOCTYPE ...> with an internal subset in brackets and quoted literals.
    int brackets = 0;
    char quote = 0;
    for (std::size_t i = open + 2; i < xml_.size(); ++i) {
      const char c = xml_[i];
      if (quote) {
        if (c == quote) quote = 0;
      } else if (c == '"' || c == '\'') {
        quote = c;
      } else if (c == '[') {
        ++brackets;
      } else if (c == ']') {
        --brackets;
      } else if (c == '>' && brackets <= 0) {
        position_ = i + 1;
        return true;
      }
    }
    return false;
  }
  return true;
}

XmlReader::Token XmlReader::StartOrEnd(std::size_t open) {
  const bool end = xml_[open + 1] == '/';
  std::size_t i = open + (end ? 2 : 1);
  const std::size_t nameStart = i;
  while (i < xml_.size() && !IsSpace(xml_[i]) && xml_[i] != '/' && xml_[i] != '>') ++i;
  if (i == nameStart || i == xml_.size()) return Token::kError;
  name_ = xml_.substr(nameStart, i - nameStart);
  if (end) {
    while (i < xml_.size() && IsSpace(xml_[i])) ++i;
    if (i == xml_.size() || xml_[i] != '>' || depth_ == 0) return Token::kError;
    position_ = i + 1;
    --depth_;
    return Token::kEnd;
  }
  // Attributes up to the '>' that is not inside a quoted value; a quoted value is passed over
  // with memchr.
  const std::size_t attributesStart = i;
  const char* base = xml_.data();
  const std::size_t size = xml_.size();
  for (; i < size; ++i) {
    const char c = base[i];
    if (c == '>') break;
    if (c == '"' || c == '\'') {
      const void* close = std::memchr(base + i + 1, c, size - i - 1);
      if (close == nullptr) return Token::kError;
      i = static_cast<std::size_t>(static_cast<const char*>(close) - base);
    }
  }
  if (i == xml_.size()) return Token::kError;
  selfClosing_ = xml_[i - 1] == '/';
  attributes_ = xml_.substr(attributesStart, i - attributesStart - (selfClosing_ ? 1 : 0));
  position_ = i + 1;
  ++depth_;
  pendingEnd_ = selfClosing_;
  return Token::kStart;
}

XmlReader::Token XmlReader::Next() {
  if (pendingEnd_) {
    pendingEnd_ = false;
    --depth_;
    return Token::kEnd;
  }
  while (position_ < xml_.size()) {
    cdata_ = false;
    if (xml_[position_] != '<') {
      const void* lt = std::memchr(xml_.data() + position_, '<', xml_.size() - position_);
      const std::size_t end =
          lt ? static_cast<std::size_t>(static_cast<const char*>(lt) - xml_.data()) : xml_.size();
      text_ = xml_.substr(position_, end - position_);
      position_ = end;
      return Token::kText;
    }
    const std::size_t open = position_;
    if (open + 1 == xml_.size()) break;
    const char next = xml_[open + 1];
    if (next == '!' && xml_.compare(open, 9, "<![CDATA[") == 0) {
      const std::size_t end = Find(xml_, "]]>", open + 9);
      if (end == std::string_view::npos) break;
      text_ = xml_.substr(open + 9, end - open - 9);
      cdata_ = true;
      position_ = end + 3;
      return Token::kText;
    }
    if (next == '!' || next == '?') {
      if (!SkipMarkup(open)) break;
      continue;
    }
    const Token token = StartOrEnd(open);
    if (token == Token::kError) break;
    selfClosing_ = token == Token::kStart && selfClosing_;
    return token;
  }
  if (position_ >= xml_.size() && !pendingEnd_) {
    return depth_ == 0 ? Token::kDone : Token::kError;
  }
  position_ = xml_.size();
  depth_ = -1;  // stays an error however often it is asked again
  return Token::kError;
}

}  // namespace velmor
