#include "common/base/platform_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace velmor {

bool PlatformFile::OpenExistingForUpdate(const std::string& path) {
  Close();
  if (IsMarkedReadOnly(path)) return false;
  descriptor_ = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
  if (descriptor_ < 0) return false;
  struct stat info;
  if (::fstat(descriptor_, &info) != 0 || !S_ISREG(info.st_mode)) {
    Close();
    return false;
  }
  return true;
}

bool PlatformFile::CreateNew(const std::string& path) {
  Close();
  descriptor_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  return descriptor_ >= 0;
}

bool PlatformFile::is_open() const { return descriptor_ >= 0; }

void PlatformFile::Close() {
  if (descriptor_ >= 0) ::close(descriptor_);
  descriptor_ = -1;
}

std::size_t PlatformFile::ReadSome(void* target, std::size_t size) {
  if (descriptor_ < 0 || size == 0) return 0;
  for (;;) {
    ssize_t count = ::read(descriptor_, target, size);
    if (count >= 0) return static_cast<std::size_t>(count);
    if (errno != EINTR) return 0;
  }
}

bool PlatformFile::WriteAll(const void* source, std::size_t size) {
  if (descriptor_ < 0) return false;
  const char* bytes = static_cast<const char*>(source);
  while (size > 0) {
    ssize_t count = ::write(descriptor_, bytes, size);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return false;
    bytes += count;
    size -= static_cast<std::size_t>(count);
  }
  return true;
}

bool PlatformFile::FlushToDisk() { return descriptor_ >= 0 && ::fsync(descriptor_) == 0; }

int64_t PlatformFile::Size() const {
  struct stat info;
  if (descriptor_ < 0 || ::fstat(descriptor_, &info) != 0) return -1;
  return static_cast<int64_t>(info.st_size);
}

bool IsMarkedReadOnly(const std::string& path) {
  struct stat info;
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

bool IsFolder(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool ReplaceFileWith(const std::string& source, const std::string& target) {
  // Keep the permissions the old file had.
  struct stat info;
  if (::stat(target.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
    ::chmod(source.c_str(), info.st_mode & 07777);
  }
  return std::rename(source.c_str(), target.c_str()) == 0;
}

bool RemoveFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

bool ListFolder(const std::string& folder, std::vector<FolderEntry>* entries) {
  entries->clear();
  DIR* listing = ::opendir(folder.c_str());
  if (!listing) return false;
  while (const dirent* entry = ::readdir(listing)) {
    FolderEntry found;
    found.name = entry->d_name;
    if (found.name == "." || found.name == "..") continue;
    struct stat info;
    std::string path = folder + "/" + found.name;
    const bool known = ::lstat(path.c_str(), &info) == 0;
    found.isFolder = known && S_ISDIR(info.st_mode);
    found.isLink = known && S_ISLNK(info.st_mode);
    entries->push_back(std::move(found));
  }
  ::closedir(listing);
  return true;
}

}  // namespace velmor
