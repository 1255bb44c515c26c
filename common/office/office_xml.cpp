#include "common/office/office_xml.h"

namespace velmor {

namespace {

struct KnownNamespace {
  std::string_view uri;
  OfficeNamespace ns;
};

// Transitional names first, then the strict ones of ISO/IEC 29500.
constexpr KnownNamespace kKnownNamespaces[] = {
    {"http://schemas.openxmlformats.org/wordprocessingml/2006/main", OfficeNamespace::kWord},
    {"http://schemas.openxmlformats.org/spreadsheetml/2006/main", OfficeNamespace::kSheet},
    {"http://schemas.openxmlformats.org/presentationml/2006/main", OfficeNamespace::kPresentation},
    {"http://schemas.openxmlformats.org/drawingml/2006/main", OfficeNamespace::kDrawing},
    {"http://schemas.openxmlformats.org/markup-compatibility/2006", OfficeNamespace::kCompatibility},
    {"http://schemas.openxmlformats.org/officeDocument/2006/relationships",
     OfficeNamespace::kRelationships},
    {"http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing",
     OfficeNamespace::kWordDrawing},
    {"http://purl.oclc.org/ooxml/wordprocessingml/main", OfficeNamespace::kWord},
    {"http://purl.oclc.org/ooxml/spreadsheetml/main", OfficeNamespace::kSheet},
    {"http://purl.oclc.org/ooxml/presentationml/main", OfficeNamespace::kPresentation},
    {"http://purl.oclc.org/ooxml/drawingml/main", OfficeNamespace::kDrawing},
    {"http://purl.oclc.org/ooxml/officeDocument/relationships", OfficeNamespace::kRelationships},
    {"http://purl.oclc.org/ooxml/drawingml/wordprocessingDrawing", OfficeNamespace::kWordDrawing},
};

OfficeNamespace NamespaceOf(std::string_view uri) {
  for (const KnownNamespace& known : kKnownNamespaces) {
    if (known.uri == uri) return known.ns;
  }
  return OfficeNamespace::kOther;
}

// "w:p" -> "w" and "p"; "p" -> "" and "p".
void Split(std::string_view name, std::string_view* prefix, std::string_view* local) {
  const std::size_t colon = name.find(':');
  if (colon == std::string_view::npos) {
    *prefix = std::string_view();
    *local = name;
  } else {
    *prefix = name.substr(0, colon);
    *local = name.substr(colon + 1);
  }
}

}  // namespace

OfficeNamespace OfficeXml::Resolve(std::string_view prefix) const {
  for (auto binding = bindings_.rbegin(); binding != bindings_.rend(); ++binding) {
    if (binding->prefix == prefix) return binding->ns;
  }
  return OfficeNamespace::kOther;
}

void OfficeXml::Unbind(int depth) {
  while (!bindings_.empty() && bindings_.back().depth > depth) {
    bindings_.pop_back();
    lastValid_ = false;
  }
}

void OfficeXml::Bind() {
  if (reader_.rawAttributes().find("xmlns") == std::string_view::npos) return;
  std::size_t position = 0;
  std::string_view name;
  std::string_view value;
  while (reader_.NextAttribute(&position, &name, &value)) {
    if (name == "xmlns") {
      bindings_.push_back({std::string(), NamespaceOf(value), reader_.depth()});
      lastValid_ = false;
    } else if (name.substr(0, 6) == "xmlns:") {
      bindings_.push_back({std::string(name.substr(6)), NamespaceOf(value), reader_.depth()});
      lastValid_ = false;
    }
  }
}

void OfficeXml::Name() {
  std::string_view prefix;
  Split(reader_.name(), &prefix, &local_);
  if (!lastValid_ || prefix != lastPrefix_) {
    lastPrefix_.assign(prefix.data(), prefix.size());
    lastNs_ = Resolve(prefix);
    lastValid_ = true;
  }
  ns_ = lastNs_;
}

bool OfficeXml::StartsSkippedContent() {
  if (ns_ != OfficeNamespace::kCompatibility) return false;
  if (local_ == "Fallback") return true;
  if (local_ != "Choice" || alternates_.empty() ||
      alternates_.back().depth != reader_.depth() - 1) {
    return false;
  }
  if (alternates_.back().choiceTaken) return true;
  alternates_.back().choiceTaken = true;
  return false;
}

XmlReader::Token OfficeXml::Next() {
  for (;;) {
    const XmlReader::Token token = reader_.Next();
    if (token == XmlReader::Token::kStart) {
      Bind();
      Name();
      if (StartsSkippedContent()) {
        const int outside = reader_.depth() - 1;
        XmlReader::Token skipped;
        do {
          skipped = reader_.Next();
          if (skipped == XmlReader::Token::kDone || skipped == XmlReader::Token::kError) {
            return XmlReader::Token::kError;  // a skipped element is never closed
          }
        } while (reader_.depth() > outside);
        Unbind(outside);
        continue;
      }
      if (Is(OfficeNamespace::kCompatibility, "AlternateContent")) {
        alternates_.push_back({reader_.depth(), false});
      }
      return token;
    }
    if (token == XmlReader::Token::kEnd) {
      Name();
      const int depth = reader_.depth();
      if (!alternates_.empty() && alternates_.back().depth > depth) alternates_.pop_back();
      Unbind(depth);
    }
    return token;
  }
}

bool OfficeXml::Attribute(std::string_view local, std::string_view* value,
                          bool relationship) const {
  std::size_t position = 0;
  std::string_view name;
  while (reader_.NextAttribute(&position, &name, value)) {
    std::string_view prefix;
    std::string_view attributeLocal;
    Split(name, &prefix, &attributeLocal);
    if (attributeLocal != local) continue;
    if (relationship ? !prefix.empty() && Resolve(prefix) == OfficeNamespace::kRelationships
                     : prefix.empty()) {
      return true;
    }
  }
  return false;
}

bool OfficeXml::Attribute(OfficeNamespace ns, std::string_view local, std::string_view* value) const {
  std::size_t position = 0;
  std::string_view name;
  while (reader_.NextAttribute(&position, &name, value)) {
    std::string_view prefix;
    std::string_view attributeLocal;
    Split(name, &prefix, &attributeLocal);
    if (attributeLocal == local && !prefix.empty() && Resolve(prefix) == ns) return true;
  }
  return false;
}

}  // namespace velmor
