#include "tests/oblen/support/fake_file_access.h"

#include <stdexcept>

#include "common/base/gbk.h"

namespace velmor::test {

namespace {

std::string Parent(const std::string& path) {
  std::size_t separator = GbkFindLastSeparator(path);
  return separator == std::string::npos ? std::string() : path.substr(0, separator);
}

std::string Name(const std::string& path) {
  std::size_t separator = GbkFindLastSeparator(path);
  return separator == std::string::npos ? path : path.substr(separator + 1);
}

}  // namespace

bool FakeFileAccess::ParentExists(const std::string& path) const {
  std::string parent = Parent(path);
  return parent.empty() || folders_.count(parent) != 0;
}

void FakeFileAccess::AddToParent(const std::string& path, bool isFolder) {
  std::string parent = Parent(path);
  if (!parent.empty()) listings_[parent].push_back(FolderItem{Name(path), isFolder});
}

void FakeFileAccess::AddFolder(const std::string& path) {
  if (!ParentExists(path)) throw std::logic_error("no parent folder for " + path);
  if (folders_.insert(path).second) AddToParent(path, true);
}

void FakeFileAccess::AddFile(const std::string& path, const std::string& content) {
  if (!ParentExists(path)) throw std::logic_error("no parent folder for " + path);
  if (files_.count(path) == 0) AddToParent(path, false);
  files_[path] = content;
}

void FakeFileAccess::AddLink(const std::string& path) {
  if (!ParentExists(path)) throw std::logic_error("no parent folder for " + path);
  listings_[Parent(path)].push_back(FolderItem{Name(path), false, true});
  folders_.insert(path);  // it leads to a folder; a walk must not go down it
  links_.insert(path);
}

bool FakeFileAccess::ListFolder(const std::string& folder, std::vector<FolderItem>& items) {
  if (folders_.count(folder) == 0 || unlistable_.count(folder) != 0) return false;
  auto listing = listings_.find(folder);
  if (listing != listings_.end()) items.insert(items.end(), listing->second.begin(), listing->second.end());
  return true;
}

FileAccess::ReadResult FakeFileAccess::ReadSharedFile(const std::string& path,
                                                      std::vector<unsigned char>& bytes,
                                                      uint64_t limit) {
  if (unreadable_.count(path) != 0 || folders_.count(path) != 0) return ReadResult::kCannotOpen;
  if (files_.count(path) == 0) {
    if (path.empty() || !ParentExists(path)) return ReadResult::kCannotOpen;
    AddFile(path, std::string());
    createdByReading_.push_back(path);
  }
  const std::string& content = files_[path];
  auto reported = reportedSizes_.find(path);
  uint64_t size = reported != reportedSizes_.end() ? reported->second : content.size();
  if (size > limit) return ReadResult::kTooLarge;
  std::size_t count = content.size();
  auto cut = readCuts_.find(path);
  if (cut != readCuts_.end() && cut->second < count) count = cut->second;
  bytes.insert(bytes.end(), content.begin(), content.begin() + static_cast<std::ptrdiff_t>(count));
  return count == content.size() ? ReadResult::kComplete : ReadResult::kPartial;
}

void FakeFileAccess::CreateFolder(const std::string& path) {
  folderAttempts_.push_back(path);
  if (path.empty() || folders_.count(path) != 0 || files_.count(path) != 0) return;
  if (ParentExists(path)) AddFolder(path);
}

bool FakeFileAccess::WriteWholeFile(const std::string& path, const unsigned char* bytes,
                                    std::size_t size) {
  writeAttempts_.push_back(path);
  if (unwritable_.count(path) != 0 || folders_.count(path) != 0 || !ParentExists(path) ||
      Parent(path).empty()) {
    return false;
  }
  AddFile(path, std::string(reinterpret_cast<const char*>(bytes), size));
  return true;
}

bool FakeFileAccess::LiesBelow(const std::string& folder, const std::string& target) {
  std::string prefix = folder;
  if (prefix.empty() || prefix.back() != '\\') prefix += '\\';
  if (target.size() <= prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    char a = prefix[i] >= 'A' && prefix[i] <= 'Z' ? static_cast<char>(prefix[i] + 32) : prefix[i];
    char b = target[i] >= 'A' && target[i] <= 'Z' ? static_cast<char>(target[i] + 32) : target[i];
    if (a != b) return false;
  }
  return true;
}

bool FakeFileAccess::PassesLinkBelow(const std::string& folder, const std::string& target) {
  for (const std::string& link : links_) {
    if (link.size() > folder.size() && target.compare(0, link.size(), link) == 0 &&
        (target.size() == link.size() || target[link.size()] == '\\')) {
      return true;
    }
  }
  return false;
}

}  // namespace velmor::test
