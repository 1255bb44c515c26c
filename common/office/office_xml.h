// The XML of an Office part read by namespace, not by prefix: a generator may bind the
// spreadsheet namespace to "x:" or to no prefix at all, so elements are told apart by the
// namespace their prefix is bound to and their local name. Of an mc:AlternateContent only the
// first mc:Choice is read; its mc:Fallback, which repeats the same content for older programs,
// is passed over.
//
// Nothing before the current tag is looked at again, so a caller may write over the part
// behind the reader (the text views are made in the part's own memory).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/office/xml_reader.h"

namespace velmor {

enum class OfficeNamespace : uint8_t {
  kOther,
  kWord,           // wordprocessingml main
  kSheet,          // spreadsheetml main
  kPresentation,   // presentationml main
  kDrawing,        // drawingml main (the text of slides)
  kCompatibility,  // markup compatibility (mc:)
  kRelationships,  // officeDocument relationships (r:id attributes)
  kWordDrawing,    // wordprocessingDrawing (wp:inline, wp:extent: pictures in a document)
};

class OfficeXml {
 public:
  explicit OfficeXml(std::string_view xml) : reader_(xml) {}

  // The next start tag, end tag or text outside skipped content; kDone or kError at the end.
  XmlReader::Token Next();

  // The element of the last kStart or kEnd.
  bool Is(OfficeNamespace ns, std::string_view local) const {
    return ns_ == ns && local_ == local;
  }
  OfficeNamespace ns() const { return ns_; }
  std::string_view local() const { return local_; }

  // kStart: the raw value of an attribute without a prefix ("name", "r", "t"), or of one in
  // the relationships namespace when `relationship` is true ("r:id").
  bool Attribute(std::string_view local, std::string_view* value, bool relationship = false) const;
  // kStart: the raw value of an attribute of a namespace ("w:val" is kWord and "val").
  bool Attribute(OfficeNamespace ns, std::string_view local, std::string_view* value) const;

  const XmlReader& reader() const { return reader_; }

 private:
  // Prefixes are copied: a reader may write its text over the part behind the reader.
  struct Binding {
    std::string prefix;
    OfficeNamespace ns;
    int depth;  // the depth of the element that declared it
  };
  struct Alternate {
    int depth;         // the depth of the mc:AlternateContent element
    bool choiceTaken;  // an mc:Choice of it has been read
  };

  OfficeNamespace Resolve(std::string_view prefix) const;
  void Bind();
  void Unbind(int depth);
  void Name();
  bool StartsSkippedContent();

  XmlReader reader_;
  std::vector<Binding> bindings_;
  std::vector<Alternate> alternates_;
  OfficeNamespace ns_ = OfficeNamespace::kOther;
  std::string_view local_;
  // The last prefix resolved and its namespace, while the bindings stay as they are.
  std::string lastPrefix_;
  OfficeNamespace lastNs_ = OfficeNamespace::kOther;
  bool lastValid_ = false;
};

}  // namespace velmor
