#include "oblen/editor/win32_file_access.h"

#include <windows.h>

#include "common/base/platform_file.h"
#include "oblen/model/operation_bank.h"
#include "oblen/model/package_format.h"

namespace velmor {

namespace {

// ReadFile and WriteFile take 32-bit sizes; large transfers go in pieces of this size.
constexpr std::size_t kMaxTransfer = 16u << 20;

class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() {
    if (valid()) ::CloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

}  // namespace

bool Win32FileAccess::ListFolder(const std::string& folder, std::vector<FolderItem>& items) {
  std::vector<FolderEntry> entries;
  if (!velmor::ListFolder(folder, &entries)) return false;
  for (FolderEntry& entry : entries) {
    items.push_back(FolderItem{std::move(entry.name), entry.isFolder, entry.isLink});
  }
  return true;
}

FileAccess::ReadResult Win32FileAccess::ReadSharedFile(const std::string& path,
                                                       std::vector<unsigned char>& bytes,
                                                       uint64_t limit) {
  Handle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, createMissingOnRead_ ? OPEN_ALWAYS : OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN,
                            nullptr));
  if (!file.valid()) return ReadResult::kCannotOpen;
  LARGE_INTEGER size;
  if (!::GetFileSizeEx(file.get(), &size)) return ReadResult::kCannotOpen;
  if (size.QuadPart < 0 || static_cast<uint64_t>(size.QuadPart) > limit) {
    return ReadResult::kTooLarge;
  }
  const std::size_t start = bytes.size();
  const std::size_t wanted = static_cast<std::size_t>(size.QuadPart);
  bytes.resize(start + wanted);
  std::size_t done = 0;
  while (done < wanted) {
    DWORD piece = static_cast<DWORD>(wanted - done < kMaxTransfer ? wanted - done : kMaxTransfer);
    DWORD count = 0;
    if (!::ReadFile(file.get(), bytes.data() + start + done, piece, &count, nullptr) ||
        count == 0) {
      break;
    }
    done += count;
  }
  bytes.resize(start + done);
  return done == wanted ? ReadResult::kComplete : ReadResult::kPartial;
}

void Win32FileAccess::CreateFolder(const std::string& path) {
  ::CreateDirectoryA(path.c_str(), nullptr);
}

bool Win32FileAccess::WriteWholeFile(const std::string& path, const unsigned char* bytes,
                                     std::size_t size) {
  // Windows refuses to write a file marked read-only; Wine run by a privileged user would not.
  DWORD attributes = ::GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
    return false;
  }
  // Truncating first keeps the attributes of a file that is there already: creating over a
  // hidden or system file with plain attributes would be refused.
  HANDLE opened = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
  if (opened == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_FILE_NOT_FOUND) {
    opened = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  Handle file(opened);
  if (!file.valid()) return false;
  std::size_t done = 0;
  while (done < size) {
    DWORD piece = static_cast<DWORD>(size - done < kMaxTransfer ? size - done : kMaxTransfer);
    DWORD count = 0;
    if (!::WriteFile(file.get(), bytes + done, piece, &count, nullptr) || count == 0) {
      return false;
    }
    done += count;
  }
  return true;
}

namespace {

// The path as the platform resolves it (relative parts, "." and "..", doubled separators,
// trailing dots and blanks), in the process's code page; empty when it cannot be resolved.
std::string FullPath(const std::string& path) {
  char buffer[MAX_PATH * 2];
  DWORD length = ::GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
  if (length == 0 || length >= sizeof buffer) return std::string();
  return std::string(buffer, length);
}

bool SameIgnoringAsciiCase(const std::string& a, const std::string& b, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i) {
    char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] + 32) : a[i];
    char y = b[i] >= 'A' && b[i] <= 'Z' ? static_cast<char>(b[i] + 32) : b[i];
    if (x != y) return false;
  }
  return true;
}

}  // namespace

bool Win32FileAccess::LiesBelow(const std::string& folder, const std::string& target) {
  std::string resolvedFolder = FullPath(folder);
  std::string resolvedTarget = FullPath(target);
  if (resolvedFolder.empty() || resolvedTarget.empty()) return false;
  // A folder resolves without its trailing separator, except a root such as "c:\".
  if (resolvedFolder.back() != '\\') resolvedFolder += '\\';
  return resolvedTarget.size() > resolvedFolder.size() &&
         SameIgnoringAsciiCase(resolvedFolder, resolvedTarget, resolvedFolder.size());
}

bool Win32FileAccess::PassesLinkBelow(const std::string& folder, const std::string& target) {
  // The target must begin with the folder's text, as the unpack and candidate paths do.
  if (target.size() <= folder.size() || target.compare(0, folder.size(), folder) != 0) return true;
  // Each component after the folder in turn, then the target itself unless it names a folder
  // by a trailing separator (its last component has been looked at already).
  std::vector<std::size_t> ends;
  for (std::size_t separator : SeparatorPositions(target)) {
    if (separator > folder.size()) ends.push_back(separator);
  }
  if (ends.empty() || ends.back() + 1 != target.size()) ends.push_back(target.size());
  for (std::size_t end : ends) {
    const DWORD attributes = ::GetFileAttributesA(target.substr(0, end).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return true;
  }
  return false;
}

std::string DefaultBankPath() {
  char modulePath[MAX_PATH * 2];
  DWORD length = ::GetModuleFileNameA(nullptr, modulePath, sizeof modulePath);
  if (length == 0 || length >= sizeof modulePath) return BankPathBeside("");
  return BankPathBeside(std::string_view(modulePath, length));
}

}  // namespace velmor
