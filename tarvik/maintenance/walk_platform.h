// What the statistics walk needs of the platform beyond the folder listing: whether two paths
// name one file, and a path as the log spells it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace velmor {

// A file as the file system knows it: two spellings of one path, or two hard links to it,
// give the same identity.
struct FileIdentity {
  uint64_t volume = 0;
  uint64_t file = 0;
  bool known = false;  // false when the path names no file that could be asked

  bool SameAs(const FileIdentity& other) const {
    return known && other.known && volume == other.volume && file == other.file;
  }
};

FileIdentity IdentityOf(const std::string& path);

// A path as text of the GBK log: at most `limit` bytes of it, cut on a character boundary,
// converted to GBK (Windows paths are GBK already; elsewhere a name in UTF-8 is converted, a
// character GBK lacks written as a character reference, and a name that is not UTF-8 taken
// for the GBK a Windows archive leaves), with &, <, > and " written as entities.
std::string PathForLog(const std::string& path, std::size_t limit);

}  // namespace velmor
