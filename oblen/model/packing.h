// Packing a folder tree into a file package and unpacking it for the candidate.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "oblen/model/file_access.h"
#include "oblen/model/operation_bank.h"

namespace velmor {

// Walks `sourceFolder` depth first (each folder's entry before its contents, items in
// listing order) into a new package for `questionId` that unpacks into `unpackFolder` (cut
// to 255 bytes). A folder that cannot be listed contributes only its own entry; a file that
// cannot be opened is packed empty, one that cannot be read completely with the bytes read.
// An item whose relative path would not fit its 255-byte field is left out with everything
// below it. Links (to files or folders) are left out. Fails, leaving `package` as it was,
// when the source folder text is empty, when the data would exceed 2^31 - 1 bytes, or when
// memory runs out.
bool BuildPackage(FileAccess& files, const std::string& sourceFolder,
                  const std::string& unpackFolder, int32_t questionId, FilePackage& package);

// Builds a new package and, only when that succeeded, removes the first package of the
// question and appends the new one at the end of the bank's list.
bool ReplacePackage(OperationBank& bank, FileAccess& files, const std::string& sourceFolder,
                    const std::string& unpackFolder, int32_t questionId);

struct UnpackResult {
  struct Skipped {
    std::string relativePath;
    bool refused = false;  // it would leave the folder; otherwise it could not be written
    bool throughLink = false;  // refused: a link below the folder lies on its way
  };
  int filesWritten = 0;
  int filesFailed = 0;     // could not be created or written
  int entriesRefused = 0;  // relative paths that would leave the unpack folder
  std::vector<Skipped> skipped;  // refused and failed entries, in package order
};

// Restores the entries below the package's unpack folder: folders are created with every
// missing ancestor (outermost first), files are created or overwritten; files already there
// that the package does not hold are left alone. Entries whose paths would leave the folder,
// by their text or through a link below it, are skipped. A package with an empty unpack
// folder is not unpacked at all.
UnpackResult Unpack(FileAccess& files, const FilePackage& package);
// The same into `folder` instead of the stored unpack folder.
UnpackResult Unpack(FileAccess& files, const FilePackage& package, std::string_view folder);

}  // namespace velmor
