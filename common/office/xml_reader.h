// A small pull reader for the XML parts of Office documents: start tags, end tags and text,
// one at a time, straight from the bytes of the part (UTF-8, as Office writes it).
//
// It keeps no tree and no stack, so neither deep nesting nor a long part costs more than the
// part itself. Comments, processing instructions and a document type declaration are passed
// over; entities a DTD declares are never expanded, so no part can grow inside the reader.
// Text is handed out raw; AppendText decodes the five predefined entities and character
// references. Anything that cannot be read as a tag (a '<' with no '>' after it, a quote that
// is never closed) ends the part with kError.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace velmor {

class XmlReader {
 public:
  enum class Token { kStart, kEnd, kText, kDone, kError };

  explicit XmlReader(std::string_view xml) : xml_(xml) {}

  // The next token. A tag that closes itself (<w:tab/>) gives kStart with selfClosing() true,
  // then kEnd with the same name. Text between tags and the content of a CDATA section each
  // give kText; whitespace between tags is text too.
  Token Next();

  // kStart and kEnd: the qualified name as written ("w:p").
  std::string_view name() const { return name_; }
  // kStart: whether the tag closes itself.
  bool selfClosing() const { return selfClosing_; }
  // kStart: the raw value of an attribute by its qualified name, or false.
  bool Attribute(std::string_view qualifiedName, std::string_view* value) const;
  // kStart: the attributes as written, between the name and the closing '>' or '/>'.
  std::string_view rawAttributes() const { return attributes_; }
  // kStart: every attribute in turn; `position` starts at 0. False after the last.
  bool NextAttribute(std::size_t* position, std::string_view* name, std::string_view* value) const;
  // kText: the text as written (a CDATA section without its markers).
  std::string_view rawText() const { return text_; }
  // kText: appends the text decoded; a CDATA section is appended as it is.
  void AppendText(std::string& out) const;
  // How many bytes of the part the reader has passed.
  std::size_t consumed() const { return position_; }
  // The number of elements open after the last token (a self-closing tag counts until its kEnd).
  int depth() const { return depth_; }

  // Decodes entities and character references of raw text or an attribute value. An unknown
  // entity or a reference to no character (zero, a surrogate, beyond U+10FFFF) stays as written.
  static void AppendDecoded(std::string_view raw, std::string& out);

 private:
  Token StartOrEnd(std::size_t open);
  bool SkipMarkup(std::size_t open);

  std::string_view xml_;
  std::size_t position_ = 0;
  std::string_view name_;
  std::string_view attributes_;
  std::string_view text_;
  bool selfClosing_ = false;
  bool pendingEnd_ = false;
  bool cdata_ = false;
  int depth_ = 0;
};

// Text as XML character data or as a quoted attribute value: & < > and " escaped.
std::string XmlEscaped(std::string_view text);

}  // namespace velmor
