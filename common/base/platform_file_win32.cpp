#include "common/base/platform_file.h"

#include <windows.h>

namespace velmor {

namespace {

HANDLE AsHandle(void* handle) { return static_cast<HANDLE>(handle); }

// ReadFile and WriteFile take 32-bit sizes; large transfers go in pieces of this size.
constexpr std::size_t kMaxTransfer = 64u << 20;

}  // namespace

bool PlatformFile::OpenExistingForUpdate(const std::string& path) {
  Close();
  HANDLE handle = ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  handle_ = handle;
  // Wine and some file systems open a read-only file for writing all the same.
  if (IsMarkedReadOnly(path)) {
    Close();
    return false;
  }
  return true;
}

bool PlatformFile::CreateNew(const std::string& path) {
  Close();
  HANDLE handle = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  handle_ = handle;
  return true;
}

bool PlatformFile::is_open() const { return AsHandle(handle_) != INVALID_HANDLE_VALUE; }

void PlatformFile::Close() {
  if (is_open()) ::CloseHandle(AsHandle(handle_));
  handle_ = INVALID_HANDLE_VALUE;
}

std::size_t PlatformFile::ReadSome(void* target, std::size_t size) {
  if (!is_open() || size == 0) return 0;
  DWORD wanted = static_cast<DWORD>(size < kMaxTransfer ? size : kMaxTransfer);
  DWORD count = 0;
  if (!::ReadFile(AsHandle(handle_), target, wanted, &count, nullptr)) return 0;
  return count;
}

bool PlatformFile::WriteAll(const void* source, std::size_t size) {
  if (!is_open()) return false;
  const char* bytes = static_cast<const char*>(source);
  while (size > 0) {
    DWORD wanted = static_cast<DWORD>(size < kMaxTransfer ? size : kMaxTransfer);
    DWORD count = 0;
    if (!::WriteFile(AsHandle(handle_), bytes, wanted, &count, nullptr) || count == 0) {
      return false;
    }
    bytes += count;
    size -= count;
  }
  return true;
}

bool PlatformFile::FlushToDisk() { return is_open() && ::FlushFileBuffers(AsHandle(handle_)); }

int64_t PlatformFile::Size() const {
  LARGE_INTEGER size;
  if (!is_open() || !::GetFileSizeEx(AsHandle(handle_), &size)) return -1;
  return size.QuadPart;
}

bool IsMarkedReadOnly(const std::string& path) {
  DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY) &&
         (attributes & FILE_ATTRIBUTE_READONLY);
}

bool IsFolder(const std::string& path) {
  DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool ReplaceFileWith(const std::string& source, const std::string& target) {
  return ::MoveFileExA(source.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool RemoveFile(const std::string& path) { return ::DeleteFileA(path.c_str()) != 0; }

bool ListFolder(const std::string& folder, std::vector<FolderEntry>* entries) {
  entries->clear();
  WIN32_FIND_DATAA found;
  HANDLE search = ::FindFirstFileA((folder + "\\*.*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  do {
    FolderEntry entry;
    entry.name = found.cFileName;
    if (entry.name == "." || entry.name == "..") continue;
    entry.isLink = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    entry.isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !entry.isLink;
    entries->push_back(std::move(entry));
  } while (::FindNextFileA(search, &found));
  ::FindClose(search);
  return true;
}

}  // namespace velmor
