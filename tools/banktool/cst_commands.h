// banktool's commands for operation banks (.cst files and "Date.dat").
#pragma once

#include <string>
#include <string_view>

#include "oblen/model/operation_bank.h"

namespace velmor {

// The bank as one JSON object, texts converted to UTF-8.
std::string DumpOperationBank(const OperationBank& bank);

// True when `path` holds an operation bank: its first bytes are the magic text, or, for a
// file too short or foreign to tell, its name ends in ".cst" or ".dat".
bool LooksLikeOperationBank(const std::string& path);

}  // namespace velmor
