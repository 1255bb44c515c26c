// Packing, unpacking and grading on the Windows file system (the ...A functions, GBK paths).
#pragma once

#include <string>

#include "oblen/model/file_access.h"

namespace velmor {

class Win32FileAccess : public FileAccess {
 public:
  // The programs open a missing target to read as a new empty file, as they always have;
  // tools that only look at a candidate's files pass false and never create one.
  explicit Win32FileAccess(bool createMissingOnRead = true)
      : createMissingOnRead_(createMissingOnRead) {}

  bool ListFolder(const std::string& folder, std::vector<FolderItem>& items) override;
  ReadResult ReadSharedFile(const std::string& path, std::vector<unsigned char>& bytes,
                            uint64_t limit) override;
  void CreateFolder(const std::string& path) override;
  bool WriteWholeFile(const std::string& path, const unsigned char* bytes,
                      std::size_t size) override;
  bool LiesBelow(const std::string& folder, const std::string& target) override;
  bool PassesLinkBelow(const std::string& folder, const std::string& target) override;

 private:
  bool createMissingOnRead_;
};

// "Date.dat" in the folder of the running program.
std::string DefaultBankPath();

}  // namespace velmor
