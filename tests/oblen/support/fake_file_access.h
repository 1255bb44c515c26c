// A file tree in memory behind the FileAccess seam, for native tests of packing, unpacking
// and grading. Folders list their items in the order they were added (not sorted), so tests
// choose the listing order. Every call that changes the tree is recorded.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "oblen/model/file_access.h"

namespace velmor::test {

class FakeFileAccess : public FileAccess {
 public:
  // Adds a folder or file below an existing folder (a path without separator is a root).
  void AddFolder(const std::string& path);
  void AddFile(const std::string& path, const std::string& content);

  // Faults to simulate.
  void MakeUnreadable(const std::string& path) { unreadable_.insert(path); }
  void FailReadsAfter(const std::string& path, std::size_t bytes) { readCuts_[path] = bytes; }
  void ReportSize(const std::string& path, uint64_t size) { reportedSizes_[path] = size; }
  void MakeUnlistable(const std::string& path) { unlistable_.insert(path); }
  void MakeUnwritable(const std::string& path) { unwritable_.insert(path); }
  // A link in the tree: listed as one, and any path through it passes a link. Reads and
  // writes still reach it, as a file system that follows links would.
  void AddLink(const std::string& path);

  bool IsFolder(const std::string& path) const { return folders_.count(path) != 0; }
  bool HasFile(const std::string& path) const { return files_.count(path) != 0; }
  const std::string& FileContent(const std::string& path) const { return files_.at(path); }
  const std::map<std::string, std::string>& files() const { return files_; }

  // In call order.
  const std::vector<std::string>& folderAttempts() const { return folderAttempts_; }
  const std::vector<std::string>& writeAttempts() const { return writeAttempts_; }
  const std::vector<std::string>& createdByReading() const { return createdByReading_; }

  bool ListFolder(const std::string& folder, std::vector<FolderItem>& items) override;
  ReadResult ReadSharedFile(const std::string& path, std::vector<unsigned char>& bytes,
                            uint64_t limit) override;
  void CreateFolder(const std::string& path) override;
  // Lexical: the folder's path and a backslash begin the target (ASCII case ignored).
  bool LiesBelow(const std::string& folder, const std::string& target) override;
  bool PassesLinkBelow(const std::string& folder, const std::string& target) override;
  bool WriteWholeFile(const std::string& path, const unsigned char* bytes,
                      std::size_t size) override;

 private:
  bool ParentExists(const std::string& path) const;
  void AddToParent(const std::string& path, bool isFolder);

  std::set<std::string> folders_;
  std::map<std::string, std::string> files_;
  std::map<std::string, std::vector<FolderItem>> listings_;
  std::set<std::string> unreadable_, unlistable_, unwritable_, links_;
  std::map<std::string, std::size_t> readCuts_;
  std::map<std::string, uint64_t> reportedSizes_;
  std::vector<std::string> folderAttempts_, writeAttempts_, createdByReading_;
};

}  // namespace velmor::test
