#include <windows.h>

#include "common/base/gbk.h"
#include "tarvik/maintenance/html_log.h"
#include "tarvik/maintenance/walk_platform.h"

namespace velmor {

FileIdentity IdentityOf(const std::string& path) {
  FileIdentity identity;
  // No access asked for, every sharing allowed: a file another program holds is still told.
  HANDLE file = ::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return identity;
  BY_HANDLE_FILE_INFORMATION information;
  if (::GetFileInformationByHandle(file, &information)) {
    identity.volume = information.dwVolumeSerialNumber;
    identity.file = uint64_t{information.nFileIndexHigh} << 32 | information.nFileIndexLow;
    identity.known = true;
  }
  ::CloseHandle(file);
  return identity;
}

std::string PathForLog(const std::string& path, std::size_t limit) {
  return EscapeHtml(std::string_view(path).substr(0, GbkCutLength(path, limit)));
}

}  // namespace velmor
