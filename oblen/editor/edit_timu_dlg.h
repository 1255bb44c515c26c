// CEditTimuDlg: the requirement editor of one operation question. Every add, change and
// delete acts on the bank at once; closing the dialog in any way keeps what was done.
#pragma once

#include <cstdint>
#include <string>

#include "framework/dialog.h"
#include "framework/list_view.h"
#include "framework/message_table.h"
#include "oblen/model/operation_bank.h"
#include "oblen/resources/resource.h"

namespace velmor {

class CEditTimuDlg : public fw::CDialog {
 public:
  // What the window answers, for dispatch and for drivers that exercise every command.
  static fw::MessageTable<CEditTimuDlg> Messages();

  // The question edited: question `question` of group `group` of `bank`.
  CEditTimuDlg(OperationBank& bank, int group, int question);
  ~CEditTimuDlg() override;

  // The field values, in exchange order.
  struct Values {
    int32_t score = 0;
    std::string description;
    std::string target;
    std::string pattern;
    std::string explanation;
  };
  const Values& values() const { return values_; }
  fw::CListView requirementList() const { return fw::CListView(GetItem(IDC_REQUIREMENT_LIST)); }

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  LRESULT OnListClick(NMHDR*);
  void OnAdd();
  void OnChange();
  void OnDelete();
  void Refill();
  int SelectedRequirement() const;
  // The requirement the value set describes.
  Requirement RequirementFromValues() const;

  OperationBank& bank_;
  int group_;
  int question_;
  Values values_;
  CRITICAL_SECTION refillLock_;
};

}  // namespace velmor
