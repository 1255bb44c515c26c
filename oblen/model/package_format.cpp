#include "oblen/model/package_format.h"

#include <cstring>

#include "common/base/record.h"
#include "common/base/gbk.h"

namespace velmor {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// A component the platform resolves to the folder itself or its parent: Windows drops
// trailing dots and blanks, so ".", "..", "...", ". ." and " " all name no item of their own.
bool NamesNoItem(std::string_view component) {
  if (component.empty()) return false;  // doubled or leading separators count as one
  for (char c : component) {
    if (c != '.' && c != ' ') return false;
  }
  return true;
}

// A component Windows opens as a device whatever folder it is in ("CON", "nul.txt", "COM1").
bool NamesDevice(std::string_view component) {
  std::string_view base = component.substr(0, component.find('.'));
  while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
  std::string lower;
  for (char c : base) lower += (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
  if (lower == "con" || lower == "prn" || lower == "aux" || lower == "nul" ||
      lower == "conin$" || lower == "conout$") {
    return true;
  }
  return lower.size() == 4 && (lower.compare(0, 3, "com") == 0 || lower.compare(0, 3, "lpt") == 0) &&
         lower[3] >= '1' && lower[3] <= '9';
}

bool IsUnsafeComponent(std::string_view component) {
  return NamesNoItem(component) || NamesDevice(component);
}

}  // namespace

bool PackageEntryReader::Next(PackageEntry& entry) {
  if (damaged_ || position_ == size_) return false;
  PackageEntryHead head;
  if (!ReadRecordAt(data_ + position_, size_ - position_, head)) {
    damaged_ = true;
    return false;
  }
  const int32_t size = head.size;
  const unsigned char kind = head.kind[0];
  const std::size_t contentStart = position_ + PackageEntry::kHeadSize;
  if (size < 0 || static_cast<std::size_t>(size) > size_ - contentStart ||
      (kind != PackageEntry::kFileKind && size != 0)) {
    damaged_ = true;
    return false;
  }
  // The path stays in the data area: an entry's path is a view into it.
  const char* path = reinterpret_cast<const char*>(data_ + position_ + PackageEntry::kPathOffset);
  const void* nul = std::memchr(path, 0, PackageEntry::kPathSize);
  std::string_view relativePath(path, PackageEntry::kPathSize);
  relativePath = nul != nullptr
                     ? relativePath.substr(0, static_cast<const char*>(nul) - path)
                     : relativePath.substr(0, GbkCutLength(relativePath, PackageEntry::kPathSize - 1));
  entry.kind = kind;
  entry.relativePath = relativePath;
  entry.content = data_ + contentStart;
  entry.size = static_cast<std::size_t>(size);
  position_ = contentStart + entry.size;
  return true;
}

bool IsConsistentPackageData(const unsigned char* data, std::size_t size, int64_t entryCount) {
  if (entryCount < 0) return false;
  // Each entry takes at least its head: a count beyond that cannot fit, whatever follows.
  if (static_cast<uint64_t>(entryCount) > size / PackageEntry::kHeadSize) return false;
  PackageEntryReader reader(data, size);
  PackageEntry entry;
  for (int64_t i = 0; i < entryCount; ++i) {
    if (!reader.Next(entry)) return false;
  }
  return reader.position() == size;
}

void AppendEntryHead(std::vector<unsigned char>& data, unsigned char kind,
                     std::string_view relativePath, int32_t size) {
  PackageEntryHead head;
  head.kind[0] = kind;
  GbkCopyToField(head.path.data(), head.path.size(), relativePath);
  head.size = size;
  const std::size_t start = data.size();
  data.resize(start + PackageEntryHead::kSize);
  WriteRecordAt(data.data() + start, head);
}

void SetEntrySize(std::vector<unsigned char>& data, std::size_t headStart, int32_t size) {
  PackageEntryHead head;
  if (headStart > data.size() || !ReadRecordAt(data.data() + headStart, data.size() - headStart, head)) {
    return;
  }
  head.size = size;
  WriteRecordAt(data.data() + headStart, head);
}

std::vector<std::size_t> SeparatorPositions(std::string_view path) {
  std::vector<std::size_t> positions;
  for (std::size_t i = 0; i < path.size();) {
    unsigned char byte = static_cast<unsigned char>(path[i]);
    if (IsSeparator(path[i])) positions.push_back(i);
    i += IsGbkLeadByte(byte) ? 2 : 1;
  }
  return positions;
}

bool IsSafeRelativePath(std::string_view relativePath) {
  if (relativePath.find(':') != std::string_view::npos) return false;
  if (relativePath.size() >= 2 && IsSeparator(relativePath[0]) && IsSeparator(relativePath[1])) {
    return false;
  }
  std::size_t start = 0;
  for (std::size_t separator : SeparatorPositions(relativePath)) {
    if (IsUnsafeComponent(relativePath.substr(start, separator - start))) return false;
    start = separator + 1;
  }
  return !IsUnsafeComponent(relativePath.substr(start));
}

std::string UnpackTargetPath(std::string_view unpackFolder, std::string_view relativePath) {
  // Entries below the root start with a separator; the join needs only one.
  if (!relativePath.empty() && IsSeparator(relativePath[0])) relativePath.remove_prefix(1);
  std::string target(unpackFolder);
  if (relativePath.empty()) return target;
  std::size_t last = GbkFindLastSeparator(unpackFolder);
  if (unpackFolder.empty() || last != unpackFolder.size() - 1) target += '\\';
  target.append(relativePath.data(), relativePath.size());
  return target;
}

}  // namespace velmor
