// CTarvikDlg: the question-bank editor window. It edits the process-wide question bank
// through four lists (categories, big questions, small questions, options), the stem editor
// and the boxes of its value set; its menus load, save and add bank files.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "common/navbutton/navigate_button.h"
#include "common/richtext/rich_edit_ctrl_ex.h"
#include "framework/dialog.h"
#include "framework/list_view.h"
#include "framework/message_table.h"
#include "tarvik/editor/list_rows.h"
#include "tarvik/model/question_bank.h"
#include "tarvik/resources/resource.h"

namespace velmor {

class CTarvikDlg : public fw::CDialog {
 public:
  // What the window answers, for dispatch and for drivers that exercise every command.
  static fw::MessageTable<CTarvikDlg> Messages();

  static constexpr int kPictureButtons = 16;

  explicit CTarvikDlg(QuestionBank& document);
  ~CTarvikDlg() override;

  // The value set, in exchange order.
  struct Values {
    std::string categoryName;
    std::string smallText;
    int32_t singleChoice = 0;
    std::string optionText;
    int32_t optionScore = 0;
    int32_t isAnswer = 0;
    std::string title;
    int32_t smallScore = 0;
    int32_t kindChoice = 0;
    int32_t kindQuestionnaire = 0;
    int32_t kindPeerReview = 0;
    int32_t mergeTarget = 0;
    int32_t mergeSource = 0;
  };
  const Values& values() const { return values_; }
  const std::string& currentPath() const { return currentPath_; }
  QuestionBank& document() { return document_; }
  CRichEditCtrlEx& stemEditor() { return stem_; }
  CNavigateButton& pictureButton(int index) { return buttons_[index]; }

  fw::CListView categoryList() const { return fw::CListView(GetItem(IDC_CATEGORY_LIST)); }
  fw::CListView bigQuestionList() const { return fw::CListView(GetItem(IDC_BIG_LIST)); }
  fw::CListView smallQuestionList() const { return fw::CListView(GetItem(IDC_SMALL_LIST)); }
  fw::CListView optionList() const { return fw::CListView(GetItem(IDC_OPTION_LIST)); }

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override {}  // Enter does nothing
  void OnCancel() override;  // Esc and the close box ask first
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  // Window.
  LRESULT OnPaint(WPARAM, LPARAM);
  LRESULT OnEraseBackground(WPARAM, LPARAM) { return 1; }
  LRESULT OnSysCommand(WPARAM wParam, LPARAM lParam);
  LRESULT OnQueryDragIcon(WPARAM, LPARAM);
  LRESULT OnControlColour(WPARAM wParam, LPARAM lParam);
  void PlaceControls();
  void SetUpLists();

  // File, help and window commands.
  void OnFileNew();
  void OnFileOpen();
  void OnFileSave();
  void OnFileSaveAs();
  void OnFileAdd();
  void OnFileExit();
  void OnAbout();
  void OnWebPage();
  void OnKindChoice() { SetKind(1); }
  void OnKindQuestionnaire() { SetKind(2); }
  void OnKindPeerReview() { SetKind(3); }
  void SetKind(int kind);
  // Run commands: the answering dialog on a scratch copy of the document, in the document's
  // own kind (0) or in the answer check or statistics mode.
  void OnRunAnswer() { RunAnswering(0); }
  void OnRunCheck() { RunAnswering(kKindCheckAnswers); }
  void OnRunStatistics() { RunAnswering(kKindStatistics); }
  void OnResetStatisticsTool();
  void RunAnswering(int32_t mode);
  bool ChooseBankFile(std::string* path);
  void SaveTo(const std::string& path);
  void ReportLoadFailure(const std::string& path);

  // Editing commands (editing_commands.cpp).
  void OnCategoryAdd();
  void OnCategoryRename();
  void OnCategoryDelete();
  void OnCategoryMerge();
  LRESULT OnCategoryClick(NMHDR*);
  void OnBigQuestionAdd();
  void OnBigQuestionChange();
  void OnBigQuestionDelete();
  LRESULT OnBigQuestionClick(NMHDR*);
  void OnStemFont();
  void OnStemCapture();
  void OnSmallQuestionAdd();
  void OnSmallQuestionChange();
  void OnSmallQuestionDelete();
  LRESULT OnSmallQuestionClick(NMHDR*);
  void OnOptionAdd();
  void OnOptionChange();
  void OnOptionDelete();
  LRESULT OnOptionClick(NMHDR*);

  // List refills; a refill for an element that does not exist leaves the list as it is.
  void Fill(const fw::CListView& list, const fw::ListRows& rows);
  void RefillCategories();
  void RefillBigQuestions(int category);
  void RefillSmallQuestions(int category, int question);
  void RefillOptions(int category, int question, int small);

  // Where the selected rows point: the row of each list down to the one asked for, or
  // nothing when one of them has no selected row. The rows are not checked against the
  // document; the document refuses a place it does not hold.
  struct BigQuestionPlace {
    int category;
    int question;
  };
  struct SmallQuestionPlace {
    int category;
    int question;
    int small;
  };
  struct OptionPlace {
    int category;
    int question;
    int small;
    int option;
  };
  std::optional<int> SelectedCategory() const;
  std::optional<BigQuestionPlace> SelectedBigQuestion() const;
  std::optional<SmallQuestionPlace> SelectedSmallQuestion() const;
  std::optional<OptionPlace> SelectedOption() const;

  QuestionBank& document_;
  Values values_;
  std::string currentPath_;
  CRichEditCtrlEx stem_;
  CNavigateButton buttons_[kPictureButtons];
  HICON icon_ = nullptr;
  HBITMAP background_ = nullptr;
  HBRUSH fieldBrush_ = nullptr;
  CRITICAL_SECTION refillLock_;
};

}  // namespace velmor
