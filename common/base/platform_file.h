// The few file-system calls the file formats need, over POSIX descriptors or Win32 handles.
// Paths are GBK on Windows (the ...A functions) and passed through unchanged elsewhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace velmor {

class PlatformFile {
 public:
  PlatformFile() = default;
  ~PlatformFile() { Close(); }
  PlatformFile(const PlatformFile&) = delete;
  PlatformFile& operator=(const PlatformFile&) = delete;

  // Opens an existing file with read and write access, as the bank formats require: a file
  // carrying the read-only mark does not open, even for a privileged user.
  bool OpenExistingForUpdate(const std::string& path);

  // Creates a file that must not exist yet, for writing.
  bool CreateNew(const std::string& path);

  bool is_open() const;
  void Close();

  // Reads at most `size` bytes at the current position; returns how many were read, 0 at the
  // end of the file or on an error.
  std::size_t ReadSome(void* target, std::size_t size);

  // Writes all `size` bytes at the current position, retrying partial transfers.
  bool WriteAll(const void* source, std::size_t size);

  // Pushes everything written down to the disk.
  bool FlushToDisk();

  // Size of the open file in bytes, or -1 when it cannot be told.
  int64_t Size() const;

 private:
#ifdef _WIN32
  void* handle_ = reinterpret_cast<void*>(static_cast<intptr_t>(-1));
#else
  int descriptor_ = -1;
#endif
};

// True when `path` names an existing file that carries the read-only mark (the read-only
// attribute on Windows, no write permission bit elsewhere).
bool IsMarkedReadOnly(const std::string& path);

// True when `path` names an existing folder.
bool IsFolder(const std::string& path);

// Moves `source` over `target` in one step, replacing a previous target.
bool ReplaceFileWith(const std::string& source, const std::string& target);

bool RemoveFile(const std::string& path);

// The separator of path components: '\\' on Windows, '/' elsewhere.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

struct FolderEntry {
  std::string name;
  // A real folder. A link to a folder (a junction, a symbolic link) counts as no folder, so
  // that a walk down the tree cannot go round in a circle.
  bool isFolder = false;
  // A symbolic link (elsewhere than Windows) or a reparse point (a junction, a symbolic link),
  // to a file or a folder: what it leads to lies outside the walk and is not followed.
  bool isLink = false;
};

// The entries of `folder` in the order the file system lists them, hidden and system items
// included, "." and ".." left out. False, with no entries, when the folder cannot be listed.
bool ListFolder(const std::string& folder, std::vector<FolderEntry>* entries);

}  // namespace velmor
