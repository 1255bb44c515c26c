// CPackFileDlg: packs a folder of original files into the package of one question, or
// removes that package. The unpack folder is where 开始做题 puts the files for a candidate.
#pragma once

#include <cstdint>
#include <string>

#include "framework/dialog.h"
#include "framework/message_table.h"
#include "oblen/model/file_access.h"
#include "oblen/model/operation_bank.h"
#include "oblen/resources/resource.h"

namespace velmor {

class CPackFileDlg : public fw::CDialog {
 public:
  // What the window answers, for dispatch and for drivers that exercise every command.
  static fw::MessageTable<CPackFileDlg> Messages();

  static constexpr char kDefaultUnpackFolder[] = "c:\\考生文件夹";

  CPackFileDlg(OperationBank& bank, FileAccess& files, int32_t questionId);

  const std::string& sourceFolder() const { return sourceFolder_; }
  const std::string& unpackFolder() const { return unpackFolder_; }

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;  // the hidden default 确定 (Return): read the boxes and close
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  void OnBrowse();
  void OnPack();
  void OnRemove();

  OperationBank& bank_;
  FileAccess& files_;
  int32_t questionId_;
  std::string sourceFolder_;
  std::string unpackFolder_ = kDefaultUnpackFolder;
};

}  // namespace velmor
