// COblenDlg: the operation-question editor window. It edits the process-wide operation bank
// through the group list, the question list of the selected group and the description
// editor; it opens the requirement editor and the package dialog for the selected question,
// starts a question for a candidate and grades it, and loads and saves bank files.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "common/richtext/rich_edit_ctrl_ex.h"
#include "framework/dialog.h"
#include "framework/list_view.h"
#include "framework/message_table.h"
#include "oblen/model/file_access.h"
#include "oblen/model/operation_bank.h"
#include "oblen/resources/resource.h"

namespace velmor {

class COblenDlg : public fw::CDialog {
 public:
  // What the window answers, for dispatch and for drivers that exercise every command.
  static fw::MessageTable<COblenDlg> Messages();

  // `workingBankPath` is "Date.dat" beside the program, the file of the hidden 保存.
  COblenDlg(OperationBank& bank, FileAccess& files, std::string workingBankPath);
  ~COblenDlg() override;

  // A start-up load that stopped part-way: told once the window is up.
  void ReportLoadFailureWhenShown(const std::string& path) { startupLoadFailure_ = path; }

  const std::string& groupName() const { return groupName_; }
  const std::string& currentPath() const { return currentPath_; }
  OperationBank& bank() { return bank_; }
  CRichEditCtrlEx& descriptionEditor() { return description_; }
  fw::CListView groupList() const { return fw::CListView(GetItem(IDC_GROUP_LIST)); }
  fw::CListView questionList() const { return fw::CListView(GetItem(IDC_QUESTION_LIST)); }

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;      // Return outside the editor: asks first, like 退出
  void OnCancel() override;  // Esc, the close box and 退出
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  // Window (oblen_dlg.cpp).
  LRESULT OnPaint(WPARAM wParam, LPARAM lParam);
  LRESULT OnSysCommand(WPARAM wParam, LPARAM lParam);
  LRESULT OnQueryDragIcon(WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(icon_); }
  LRESULT OnShown(WPARAM, LPARAM);
  void OnAbout();
  bool ConfirmExit();

  // Files (oblen_dlg.cpp).
  void OnFileNew();
  void OnFileOpen();
  void OnFileSave();
  void OnFileSaveAs();
  void OnSaveWorkingBank();
  void SaveTo(const std::string& path);
  void ShowFileCaption();
  void ReportLoadFailure(const std::string& path);

  // Groups, questions, requirements, packages (editing_commands.cpp).
  LRESULT OnGroupClick(NMHDR*);
  void OnGroupAdd();
  void OnGroupRename();
  void OnGroupDelete();
  LRESULT OnQuestionClick(NMHDR*);
  void OnQuestionAdd();
  void OnQuestionChange();
  void OnQuestionDelete();
  void OnEditRequirements();
  void OnPackage();
  void OnFont();
  void OnCapture();
  // A candidate's turn: start and grade (candidate_turn.cpp).
  void OnStart();
  void OnGrade();

  void RefillGroups();
  void RefillQuestions(int group);
  // Where the selected rows point: the group row, and the group and question rows, or
  // nothing when a list has no selected row. The rows are not checked against the bank.
  struct QuestionPlace {
    int group;
    int question;
  };
  std::optional<int> SelectedGroup() const;
  std::optional<QuestionPlace> SelectedQuestion() const;
  // The selected question when both rows are selected and in range, null otherwise.
  const OperationQuestion* SelectedOperationQuestion() const;

  OperationBank& bank_;
  FileAccess& files_;
  std::string workingBankPath_;
  std::string groupName_;
  std::string currentPath_;
  std::string startupLoadFailure_;
  CRichEditCtrlEx description_;
  HICON icon_ = nullptr;
  CRITICAL_SECTION refillLock_;
};

}  // namespace velmor
