// The file-system calls that packing, unpacking and grading make. The programs bind them to
// the Windows API (oblen/editor/win32_file_access.h); native tests use a tree in memory.
// Paths are GBK, folders separated by backslashes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>


namespace velmor {

class FileAccess {
 public:
  struct FolderItem {
    std::string name;
    bool isFolder = false;
    bool isLink = false;  // a symbolic link or reparse point, to a file or a folder
  };

  enum class ReadResult {
    kComplete,    // every byte the file had when it was opened
    kPartial,     // a read failed part-way; the bytes before it were appended
    kCannotOpen,  // nothing appended
    kTooLarge,    // the file is larger than the limit; nothing appended
  };

  virtual ~FileAccess() = default;

  // The items of `folder` in the order the file system lists them, hidden and system items
  // included, "." and ".." left out. False when the folder cannot be listed.
  virtual bool ListFolder(const std::string& folder, std::vector<FolderItem>& items) = 0;

  // Opens `path` for reading while others may read and write it, creating it empty when it
  // is missing, and appends its content to `bytes`.
  virtual ReadResult ReadSharedFile(const std::string& path, std::vector<unsigned char>& bytes,
                                    uint64_t limit) = 0;

  // One attempt to create a folder; failures (it exists, no access) are not reported.
  virtual void CreateFolder(const std::string& path) = 0;

  // Creates or truncates `path` and writes all `size` bytes to it.
  virtual bool WriteWholeFile(const std::string& path, const unsigned char* bytes,
                              std::size_t size) = 0;

  // Whether `target`, resolved as the platform resolves paths, lies strictly below `folder`,
  // resolved the same way (the folder's path, a separator, then at least one more byte;
  // ASCII letters compared without regard to case).
  virtual bool LiesBelow(const std::string& folder, const std::string& target) = 0;

  // Whether `target`, which lies below `folder`, is reached through a link: a component after
  // the folder that is a symbolic link, or on Windows any reparse point (a junction too). What
  // a link leads to lies elsewhere, so nothing below a candidate folder is read or written
  // through one. A component that does not exist ends the check.
  virtual bool PassesLinkBelow(const std::string& folder, const std::string& target) = 0;
};

}  // namespace velmor
