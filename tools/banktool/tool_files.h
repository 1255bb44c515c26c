// The file system banktool works on, in the bank's own terms: paths are GBK with backslashes,
// as the bank stores them. On Windows that is the system's own file access; elsewhere every
// path becomes a native one (UTF-8, slashes) on its way to the system. Reading never creates
// a file, unlike the programs, which open a missing target as a new empty file.
#pragma once

#include <memory>
#include <string>

#include "oblen/model/file_access.h"

namespace velmor {

std::unique_ptr<FileAccess> MakeToolFileAccess();

// A path given on the command line in the bank's terms; false when it has no GBK spelling.
bool ModelPathOf(const std::string& native, std::string* model);

// Whether a path in the bank's terms names a place on this system: elsewhere than Windows, a
// drive letter or a network path does not.
bool NamesLocalPlace(const std::string& model);

// A path or text given on the command line, for output in UTF-8.
std::string NativeTextToUtf8(const std::string& native);

}  // namespace velmor
