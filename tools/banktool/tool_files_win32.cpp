#include "oblen/editor/win32_file_access.h"
#include "common/base/text_encoding.h"
#include "tools/banktool/tool_files.h"

namespace velmor {

std::unique_ptr<FileAccess> MakeToolFileAccess() {
  return std::make_unique<Win32FileAccess>(/*createMissingOnRead=*/false);
}

bool ModelPathOf(const std::string& native, std::string* model) {
  *model = native;
  return true;
}

bool NamesLocalPlace(const std::string&) { return true; }

std::string NativeTextToUtf8(const std::string& native) { return GbkToUtf8(native); }

}  // namespace velmor
