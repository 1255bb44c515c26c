// COblenApp: the operation-question editor program. The process-wide operation bank is
// loaded from "Date.dat" beside the program before the window exists; the program runs the
// editor window modally and ends with it.
#pragma once

#include "framework/app.h"
#include "oblen/editor/win32_file_access.h"
#include "oblen/model/operation_bank.h"

namespace velmor {

class COblenApp : public fw::CApplication {
 public:
  COblenApp();
  OperationBank& bank() { return bank_; }

 protected:
  bool InitInstance() override;

 private:
  OperationBank bank_;
  Win32FileAccess files_;
  std::string bankPath_;
  bool loadFailed_ = false;
};

}  // namespace velmor
