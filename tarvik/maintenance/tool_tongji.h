// CToolTongji: the statistics initialisation tool. The teacher names a folder (typed, or
// chosen with 浏览) and presses one of the two resets; every question bank under the folder
// is reset in place and the run is logged to "c:\a.htm". The dialog stays open afterwards.
#pragma once

#include <string>

#include "framework/dialog.h"
#include "tarvik/maintenance/statistics_reset.h"
#include "tarvik/resources/resource.h"

namespace velmor {

class CToolTongji : public fw::CDialog {
 public:
  CToolTongji();

  const std::string& folder() const { return folder_; }

 protected:
  BOOL OnInitDialog() override;
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  void OnBrowse();
  void OnResetCounts() { Reset(ResetOperation::kSelectCounts); }
  void OnResetChoices() { Reset(ResetOperation::kChoices); }
  void Reset(ResetOperation operation);

  std::string folder_;
};

}  // namespace velmor
