#include "common/office/office_document.h"

#include <cstring>

#include "common/office/office_xml.h"

namespace velmor {

namespace {

struct MainContentType {
  std::string_view type;
  OfficeKind kind;
};

// The content types of the main part of documents, templates, macro-enabled files and shows.
constexpr MainContentType kMainContentTypes[] = {
    {"application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml",
     OfficeKind::kWord},
    {"application/vnd.openxmlformats-officedocument.wordprocessingml.template.main+xml",
     OfficeKind::kWord},
    {"application/vnd.ms-word.document.macroenabled.main+xml", OfficeKind::kWord},
    {"application/vnd.ms-word.template.macroenabledtemplate.main+xml", OfficeKind::kWord},
    {"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml",
     OfficeKind::kExcel},
    {"application/vnd.openxmlformats-officedocument.spreadsheetml.template.main+xml",
     OfficeKind::kExcel},
    {"application/vnd.ms-excel.sheet.macroenabled.main+xml", OfficeKind::kExcel},
    {"application/vnd.ms-excel.template.macroenabled.main+xml", OfficeKind::kExcel},
    {"application/vnd.openxmlformats-officedocument.presentationml.presentation.main+xml",
     OfficeKind::kPowerPoint},
    {"application/vnd.openxmlformats-officedocument.presentationml.slideshow.main+xml",
     OfficeKind::kPowerPoint},
    {"application/vnd.openxmlformats-officedocument.presentationml.template.main+xml",
     OfficeKind::kPowerPoint},
    {"application/vnd.ms-powerpoint.presentation.macroenabled.main+xml", OfficeKind::kPowerPoint},
    {"application/vnd.ms-powerpoint.slideshow.macroenabled.main+xml", OfficeKind::kPowerPoint},
    {"application/vnd.ms-powerpoint.template.macroenabled.main+xml", OfficeKind::kPowerPoint},
};

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i];
    char y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

std::string Decoded(std::string_view raw) {
  std::string out;
  XmlReader::AppendDecoded(raw, out);
  return out;
}

std::string_view FolderOf(std::string_view part) {
  const std::size_t slash = part.rfind('/');
  return slash == std::string_view::npos ? std::string_view() : part.substr(0, slash + 1);
}

// A relationship's target as a part name: relative to the source part's folder unless it
// begins with "/", with "." and ".." steps taken (never above the archive's root).
std::string ResolveTarget(std::string_view source, std::string_view target) {
  std::string joined;
  if (!target.empty() && target[0] == '/') {
    joined = std::string(target.substr(1));
  } else {
    joined = std::string(FolderOf(source)) + std::string(target);
  }
  std::vector<std::string_view> steps;
  std::string_view rest = joined;
  while (!rest.empty()) {
    const std::size_t slash = rest.find('/');
    const std::string_view step = rest.substr(0, slash);
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    if (step.empty() || step == ".") continue;
    if (step == "..") {
      if (!steps.empty()) steps.pop_back();
      continue;
    }
    steps.push_back(step);
  }
  std::string resolved;
  for (std::string_view step : steps) {
    if (!resolved.empty()) resolved += '/';
    resolved += step;
  }
  return resolved;
}

}  // namespace

bool LooksLikeZip(const unsigned char* data, std::size_t size) {
  return size >= 4 && std::memcmp(data, "PK\x03\x04", 4) == 0;
}

bool OfficeDocument::Open(const unsigned char* data, std::size_t size, const ZipLimits& limits) {
  mainPart_.clear();
  limits_ = limits;
  std::string types;
  if (!zip_.Open(data, size, limits) || !ReadPart("[Content_Types].xml", types)) return false;
  OfficeXml xml(types);
  for (;;) {
    const XmlReader::Token token = xml.Next();
    if (token == XmlReader::Token::kDone || token == XmlReader::Token::kError) return false;
    std::string_view partName;
    std::string_view contentType;
    if (token != XmlReader::Token::kStart || xml.local() != "Override" ||
        !xml.Attribute("PartName", &partName) || !xml.Attribute("ContentType", &contentType)) {
      continue;
    }
    for (const MainContentType& main : kMainContentTypes) {
      if (SameIgnoringCase(Decoded(contentType), main.type)) {
        kind_ = main.kind;
        mainPart_ = ResolveTarget("", Decoded(partName));
        return zip_.Find(mainPart_) != nullptr;
      }
    }
  }
}

bool OfficeDocument::ReadPart(std::string_view name, std::string& xml) const {
  const ZipEntry* entry = zip_.Find(name);
  if (entry == nullptr) {
    xml.clear();
    return false;
  }
  return zip_.Read(*entry, xml);
}

bool OfficeDocument::ReadRelationships(std::string_view part,
                                       std::vector<Relationship>& relationships) const {
  relationships.clear();
  const std::size_t slash = part.rfind('/');
  const std::string_view file = slash == std::string_view::npos ? part : part.substr(slash + 1);
  const std::string name = std::string(FolderOf(part)) + "_rels/" + std::string(file) + ".rels";
  if (zip_.Find(name) == nullptr) return true;  // a part without relationships
  std::string rels;
  if (!ReadPart(name, rels)) return false;
  OfficeXml xml(rels);
  for (;;) {
    const XmlReader::Token token = xml.Next();
    if (token == XmlReader::Token::kDone) return true;
    if (token == XmlReader::Token::kError) return false;
    std::string_view id;
    std::string_view type;
    std::string_view target;
    std::string_view mode;
    if (token != XmlReader::Token::kStart || xml.local() != "Relationship" ||
        !xml.Attribute("Id", &id) || !xml.Attribute("Target", &target)) {
      continue;
    }
    if (xml.Attribute("TargetMode", &mode) && mode == "External") continue;
    xml.Attribute("Type", &type);
    relationships.push_back({Decoded(id), Decoded(type), ResolveTarget(part, Decoded(target))});
  }
}

bool OfficeDocument::MainParts(std::vector<std::string>& parts,
                               std::vector<std::string>* names) const {
  parts.clear();
  if (kind_ == OfficeKind::kWord) {
    parts.push_back(mainPart_);
    return true;
  }
  std::vector<Relationship> relationships;
  std::string main;
  if (!ReadRelationships(mainPart_, relationships) || !ReadPart(mainPart_, main)) return false;
  // Workbook: sheets/sheet with a name and r:id; presentation: sldIdLst/sldId with r:id.
  const bool workbook = kind_ == OfficeKind::kExcel;
  const OfficeNamespace ns = workbook ? OfficeNamespace::kSheet : OfficeNamespace::kPresentation;
  const std::string_view element = workbook ? "sheet" : "sldId";
  OfficeXml xml(main);
  for (;;) {
    const XmlReader::Token token = xml.Next();
    if (token == XmlReader::Token::kDone) return true;
    if (token == XmlReader::Token::kError) return false;
    std::string_view id;
    if (token != XmlReader::Token::kStart || !xml.Is(ns, element) ||
        !xml.Attribute("id", &id, true)) {
      continue;
    }
    const std::string wanted = Decoded(id);
    const Relationship* found = nullptr;
    for (const Relationship& relationship : relationships) {
      if (relationship.id == wanted) found = &relationship;
    }
    if (found == nullptr) return false;  // a sheet or slide the package does not hold
    parts.push_back(found->target);
    if (names) {
      std::string_view name;
      names->push_back(xml.Attribute("name", &name) ? Decoded(name) : std::string());
    }
  }
}

bool OfficeDocument::TextView(std::string& utf8) const {
  utf8.clear();
  bool read = false;
  switch (kind_) {
    case OfficeKind::kWord: read = WordText(utf8); break;
    case OfficeKind::kExcel: read = SheetText(utf8); break;
    case OfficeKind::kPowerPoint: read = SlideText(utf8); break;
  }
  if (!read) utf8.clear();
  return read;
}

bool OfficeDocument::XmlView(std::string& utf8) const {
  utf8.clear();
  std::vector<std::string> parts;
  bool read = MainParts(parts, nullptr);
  // The first part is read where the view is made: a document's one part is never copied.
  if (read && !parts.empty()) read = ReadPart(parts[0], utf8);
  std::string xml;
  for (std::size_t i = 1; read && i < parts.size(); ++i) {
    read = ReadPart(parts[i], xml) && utf8.size() + xml.size() <= limits_.maxEntrySize;
    if (read) utf8 += xml;
  }
  if (!read) utf8.clear();
  return read;
}

}  // namespace velmor
