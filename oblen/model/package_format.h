// The data area of a file package: its entries one after the other, each a 264-byte head
// followed by the file's bytes (all integers little-endian).
//
//   offset  size  field
//        0     1  kind            0 file, anything else a folder
//        1   256  relative path   GBK, at most 255 bytes, zero-terminated; "" for the
//                                 packed folder itself, "\name", "\sub\name" below it
//      257     3  padding
//      260     4  size            bytes of file content that follow; 0 for folders
//      264  size  content
//
// Entries come depth first, each folder before its contents. A data area is consistent when
// its entries fill it exactly; files whose packages are not are refused when loading.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmor {

// The head of an entry in the data area: its kind, its relative path (GBK, zero-terminated),
// three bytes without meaning, and the size of the file bytes that follow it.
struct PackageEntryHead {
  static constexpr std::size_t kSize = 264;
  std::array<unsigned char, 1> kind{};
  std::array<char, 256> path{};
  std::array<char, 3> padding{};
  int32_t size = 0;
  template <typename Io>
  void Fields(Io& io) {
    io(kind);
    io(path);
    io(padding);
    io(size);
  }
};

struct PackageEntry {
  static constexpr std::size_t kHeadSize = PackageEntryHead::kSize;
  static constexpr std::size_t kPathOffset = 1;  // where the path lies in the head
  static constexpr std::size_t kPathSize = 256;
  static constexpr unsigned char kFileKind = 0;
  static constexpr unsigned char kFolderKind = 1;

  unsigned char kind = kFolderKind;
  std::string_view relativePath;  // points into the data area
  const unsigned char* content = nullptr;
  std::size_t size = 0;

  bool isFolder() const { return kind != kFileKind; }
};

// Sets the size in the entry head that starts at `headStart` of `data`.
void SetEntrySize(std::vector<unsigned char>& data, std::size_t headStart, int32_t size);

// Walks the entries of a data area without ever reading outside it.
class PackageEntryReader {
 public:
  PackageEntryReader(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}
  explicit PackageEntryReader(const std::vector<unsigned char>& data)
      : PackageEntryReader(data.data(), data.size()) {}

  // The next entry; false at the end of the area or at an entry that does not fit it (a head
  // cut short, a negative size, content beyond the end, a folder with content).
  bool Next(PackageEntry& entry);

  bool damaged() const { return damaged_; }
  std::size_t position() const { return position_; }

 private:
  const unsigned char* data_;
  std::size_t size_;
  std::size_t position_ = 0;
  bool damaged_ = false;
};

// True when exactly `entryCount` well-formed entries fill the whole area.
bool IsConsistentPackageData(const unsigned char* data, std::size_t size, int64_t entryCount);

// Appends an entry head; the path is cut to 255 bytes on a character boundary.
void AppendEntryHead(std::vector<unsigned char>& data, unsigned char kind,
                     std::string_view relativePath, int32_t size);

// Unpacking stays inside its folder: a relative path with a ".." component (or a component
// the platform would read as one, such as ". ."), a colon (drive letters, alternate data
// streams), two leading separators (a network path) or a device name ("CON", "nul.txt") is
// refused. Separators are '\\' and
// '/', found character by character so that GBK trail bytes never count.
bool IsSafeRelativePath(std::string_view relativePath);

// Where an entry lands: the unpack folder joined with the relative path by one separator;
// the folder itself for the empty path.
std::string UnpackTargetPath(std::string_view unpackFolder, std::string_view relativePath);

// Positions of the separators of `path`, character by character.
std::vector<std::size_t> SeparatorPositions(std::string_view path);

}  // namespace velmor
