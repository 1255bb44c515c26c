// A candidate's files, for grading a folder collected after the exam: targets below a
// question's unpack folder are read from the same place below the candidate folder; the rest
// where they are. Nothing is ever written, and a link below the candidate folder is never
// followed: reading through it could reach another candidate's work or the teacher's files.
#pragma once

#include <string>
#include <vector>

#include "oblen/model/file_access.h"

namespace velmor {

class CandidateFiles : public FileAccess {
 public:
  CandidateFiles(FileAccess& files, std::string unpackFolder, std::string root)
      : files_(files), unpackFolder_(std::move(unpackFolder)), root_(std::move(root)) {}

  bool ListFolder(const std::string& folder, std::vector<FolderItem>& items) override {
    return files_.ListFolder(folder, items);
  }
  ReadResult ReadSharedFile(const std::string& path, std::vector<unsigned char>& bytes,
                            uint64_t limit) override;
  void CreateFolder(const std::string&) override {}
  bool WriteWholeFile(const std::string&, const unsigned char*, std::size_t) override {
    return false;
  }
  bool LiesBelow(const std::string& folder, const std::string& target) override {
    return files_.LiesBelow(folder, target);
  }
  bool PassesLinkBelow(const std::string& folder, const std::string& target) override {
    return files_.PassesLinkBelow(folder, target);
  }

  // Why some targets were not read, for a row or a report (UTF-8); empty when all were.
  std::string Note() const;

 private:
  FileAccess& files_;
  std::string unpackFolder_;
  std::string root_;
  std::vector<std::string> linked_;  // targets not read for a link on their way, relative, GBK
};

}  // namespace velmor
