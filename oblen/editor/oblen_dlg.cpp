#include "oblen/editor/oblen_dlg.h"

#include <shlobj.h>

#include "common/base/gbk.h"
#include "framework/app.h"
#include "framework/message_table.h"
#include "framework/platform.h"
#include "oblen/editor/about_dlg.h"

namespace velmor {

namespace {

const char kProgramCaption[] = "Oblen";
const char kMessageCaption[] = "提示";
const char kBankFilter[] = "操作题试题 (*.cst)|*.cst|所有文件 (*.*)|*.*||";
const char kExitQuestion[] = "本操作将关闭本系统!你确定要这么做吗?";
// Posted at the end of the set-up: the first thing the window does once it is up.
constexpr UINT kShownMessage = WM_APP + 1;

}  // namespace

COblenDlg::COblenDlg(OperationBank& bank, FileAccess& files, std::string workingBankPath)
    : CDialog(IDD_OBLEN_DIALOG),
      bank_(bank),
      files_(files),
      workingBankPath_(std::move(workingBankPath)) {
  data().BindText(IDC_GROUP_NAME, &groupName_);
  ::InitializeCriticalSection(&refillLock_);
}

COblenDlg::~COblenDlg() {
  DestroyWindow();
  ::DeleteCriticalSection(&refillLock_);
}

BOOL COblenDlg::OnInitDialog() {
  description_.SubclassDlgItem(IDC_DESCRIPTION, hwnd());
  data().ShowValues();

  char aboutItem[64] = {};
  if (::LoadStringA(fw::ModuleInstance(), IDS_ABOUTBOX, aboutItem, sizeof aboutItem) > 0) {
    if (HMENU systemMenu = ::GetSystemMenu(hwnd(), FALSE)) {
      ::AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
      ::AppendMenuA(systemMenu, MF_STRING, IDM_ABOUTBOX, aboutItem);
    }
  }
  icon_ = ::LoadIconA(fw::ModuleInstance(), MAKEINTRESOURCEA(IDR_MAINFRAME));
  Send(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
  Send(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));

  groupList().SetColumns({{"编号", 50}, {"名称", 580}});
  questionList().SetColumns({{"题号", 60}, {"id", 30}});
  RefillGroups();
  if (!startupLoadFailure_.empty()) ::PostMessageA(hwnd(), kShownMessage, 0, 0);
  return TRUE;
}

fw::MessageTable<COblenDlg> COblenDlg::Messages() {
  static const fw::MessageEntry<COblenDlg> kMessages[] = {
      fw::OnMessage(WM_PAINT, &COblenDlg::OnPaint),
      fw::OnMessage(WM_SYSCOMMAND, &COblenDlg::OnSysCommand),
      fw::OnMessage(WM_QUERYDRAGICON, &COblenDlg::OnQueryDragIcon),
      fw::OnMessage(kShownMessage, &COblenDlg::OnShown),
      // Files and help.
      fw::OnCommand(ID_FILE_NEW, &COblenDlg::OnFileNew),
      fw::OnCommand(ID_FILE_OPEN, &COblenDlg::OnFileOpen),
      fw::OnCommand(ID_FILE_SAVE, &COblenDlg::OnFileSave),
      fw::OnCommand(ID_FILE_SAVE_AS, &COblenDlg::OnFileSaveAs),
      fw::OnCommand(ID_FILE_EXIT, &COblenDlg::OnCancel),
      fw::OnCommand(ID_HELP_ABOUT, &COblenDlg::OnAbout),
      fw::OnCommand(IDC_SAVE_WORKING_BANK, &COblenDlg::OnSaveWorkingBank),
      // Groups.
      fw::OnNotify(IDC_GROUP_LIST, NM_CLICK, &COblenDlg::OnGroupClick),
      fw::OnCommand(IDC_GROUP_ADD, &COblenDlg::OnGroupAdd),
      fw::OnCommand(IDC_GROUP_RENAME, &COblenDlg::OnGroupRename),
      fw::OnCommand(IDC_GROUP_DELETE, &COblenDlg::OnGroupDelete),
      // Questions and their description.
      fw::OnNotify(IDC_QUESTION_LIST, NM_CLICK, &COblenDlg::OnQuestionClick),
      fw::OnCommand(IDC_QUESTION_ADD, &COblenDlg::OnQuestionAdd),
      fw::OnCommand(IDC_QUESTION_CHANGE, &COblenDlg::OnQuestionChange),
      fw::OnCommand(IDC_QUESTION_DELETE, &COblenDlg::OnQuestionDelete),
      fw::OnCommand(IDC_DESCRIPTION_FONT, &COblenDlg::OnFont),
      fw::OnCommand(IDC_DESCRIPTION_CAPTURE, &COblenDlg::OnCapture),
      fw::OnCommand(IDC_EDIT_REQUIREMENTS, &COblenDlg::OnEditRequirements),
      fw::OnCommand(IDC_PACKAGE, &COblenDlg::OnPackage),
      // A candidate's turn.
      fw::OnCommand(IDC_START, &COblenDlg::OnStart),
      fw::OnCommand(IDC_GRADE, &COblenDlg::OnGrade),
  };
  return kMessages;
}

bool COblenDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  return fw::Dispatch(this, Messages(), message, wParam, lParam, result);
}

// Minimised, the window shows its icon in the middle of the client area.
LRESULT COblenDlg::OnPaint(WPARAM wParam, LPARAM lParam) {
  if (!::IsIconic(hwnd())) return ::DefWindowProcA(hwnd(), WM_PAINT, wParam, lParam);
  PAINTSTRUCT paint;
  HDC dc = ::BeginPaint(hwnd(), &paint);
  Send(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  RECT client = ClientRect();
  int x = (client.right - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
  int y = (client.bottom - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
  ::DrawIcon(dc, x, y, icon_);
  ::EndPaint(hwnd(), &paint);
  return 0;
}

LRESULT COblenDlg::OnSysCommand(WPARAM wParam, LPARAM lParam) {
  if ((wParam & 0xFFF0) == IDM_ABOUTBOX) {
    OnAbout();
    return 0;
  }
  return ::DefWindowProcA(hwnd(), WM_SYSCOMMAND, wParam, lParam);
}

LRESULT COblenDlg::OnShown(WPARAM, LPARAM) {
  ReportLoadFailure(startupLoadFailure_);
  startupLoadFailure_.clear();
  return 0;
}

void COblenDlg::OnAbout() {
  oblen::CAboutDlg about;
  about.DoModal(hwnd());
}

bool COblenDlg::ConfirmExit() {
  return fw::Platform().ShowMessage(hwnd(), kExitQuestion, kMessageCaption, MB_OKCANCEL) == IDOK;
}

void COblenDlg::OnCancel() {
  if (ConfirmExit()) EndDialog(IDCANCEL);
}

// Return after typing a group name would end the program without saving: it asks first.
void COblenDlg::OnOK() {
  if (!ConfirmExit()) return;
  data().ReadControls();
  EndDialog(IDOK);
}

// --- Files -----------------------------------------------------------------------------------

void COblenDlg::ShowFileCaption() { SetText(FileNameOf(currentPath_) + " - " + kProgramCaption); }

void COblenDlg::SaveTo(const std::string& path) {
  if (!bank_.Save(path)) {
    fw::Platform().ShowMessage(hwnd(), "保存题库文件失败：" + path, kMessageCaption,
                               MB_OK | MB_ICONEXCLAMATION);
  }
}

void COblenDlg::ReportLoadFailure(const std::string& path) {
  // What was read is shown, but the author must know it is not the whole file.
  fw::Platform().ShowMessage(hwnd(), "读取题库文件失败：" + path, kMessageCaption,
                             MB_OK | MB_ICONEXCLAMATION);
}

void COblenDlg::OnFileNew() {
  bank_.Clear();
  groupList().DeleteAllItems();
  questionList().DeleteAllItems();
  currentPath_.clear();
  SetText(kProgramCaption);
}

void COblenDlg::OnFileOpen() {
  std::string path;
  if (!fw::Platform().ChooseFileToOpen(hwnd(), fw::FileDialogRequest{kBankFilter, "", ""}, &path)) {
    return;
  }
  OnFileNew();
  bool loaded = bank_.Load(path);
  currentPath_ = path.substr(0, GbkCutLength(path, 511));
  ShowFileCaption();
  RefillGroups();
  data().ShowValues();
  if (!loaded) ReportLoadFailure(path);
}

void COblenDlg::OnFileSave() {
  if (currentPath_.empty()) {
    OnFileSaveAs();
    return;
  }
  SaveTo(currentPath_);
}

void COblenDlg::OnFileSaveAs() {
  data().ReadControls();
  std::string path;
  if (!fw::Platform().ChooseFileToSave(hwnd(), fw::FileDialogRequest{kBankFilter, "cst", ""},
                                       &path)) {
    return;
  }
  SaveTo(path);
  currentPath_ = path.substr(0, GbkCutLength(path, 511));
  ShowFileCaption();
}

void COblenDlg::OnSaveWorkingBank() { SaveTo(workingBankPath_); }

}  // namespace velmor
