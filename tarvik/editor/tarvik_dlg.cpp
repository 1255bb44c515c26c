#include "tarvik/editor/tarvik_dlg.h"

#include <commctrl.h>

#include <iterator>
#include <memory>

#include "common/base/gbk.h"
#include "framework/app.h"
#include "framework/gdi.h"
#include "framework/message_table.h"
#include "framework/platform.h"
#include "tarvik/editor/about_dlg.h"
#include "tarvik/editor/editor_layout.h"
#include "tarvik/maintenance/tool_tongji.h"
#include "tarvik/resources/resource.h"
#include "tarvik/runtime/select_doing_dlg.h"

namespace velmor {

namespace {

const char kProgramCaption[] = "Velmor题库编辑器";
const char kTemplateCaption[] = "选择题题目制作";
const char kBankFilter[] = "选择题试题 (*.lst)|*.lst|所有文件 (*.*)|*.*||";
const char kWebPage[] = "http://www.velmor-edu.cn/";
constexpr int kClientWidth = 800;
constexpr int kClientHeight = 681;

static_assert(std::size(kButtonPlacements) == CTarvikDlg::kPictureButtons,
              "one picture button for each placement");

}  // namespace

CTarvikDlg::CTarvikDlg(QuestionBank& document)
    : CDialog(IDD_TARVIK_DIALOG), document_(document) {
  data().BindText(IDC_CATEGORY_NAME, &values_.categoryName);
  data().BindText(IDC_SMALL_TEXT, &values_.smallText);
  data().BindCheck(IDC_SINGLE_CHOICE, &values_.singleChoice);
  data().BindText(IDC_OPTION_TEXT, &values_.optionText);
  data().BindInt(IDC_OPTION_SCORE, &values_.optionScore);
  data().BindCheck(IDC_OPTION_IS_ANSWER, &values_.isAnswer);
  data().BindText(IDC_TITLE, &values_.title);
  data().BindInt(IDC_SMALL_SCORE, &values_.smallScore);
  data().BindCheck(IDC_KIND_CHOICE, &values_.kindChoice);
  data().BindCheck(IDC_KIND_QUESTIONNAIRE, &values_.kindQuestionnaire);
  data().BindCheck(IDC_KIND_PEER_REVIEW, &values_.kindPeerReview);
  data().BindInt(IDC_MERGE_TARGET, &values_.mergeTarget);
  data().BindInt(IDC_MERGE_SOURCE, &values_.mergeSource);
  ::InitializeCriticalSection(&refillLock_);
}

CTarvikDlg::~CTarvikDlg() {
  DestroyWindow();
  if (background_) ::DeleteObject(background_);
  if (fieldBrush_) ::DeleteObject(fieldBrush_);
  ::DeleteCriticalSection(&refillLock_);
}

BOOL CTarvikDlg::OnInitDialog() {
  stem_.SubclassDlgItem(IDC_STEM, hwnd());
  for (int i = 0; i < kPictureButtons; ++i) {
    buttons_[i].AttachToTemplateButton(kButtonPlacements[i].id, hwnd());
  }
  data().ShowValues();

  char aboutItem[64] = {};
  if (::LoadStringA(fw::ModuleInstance(), IDS_ABOUTBOX, aboutItem, sizeof aboutItem) > 0) {
    HMENU systemMenu = ::GetSystemMenu(hwnd(), FALSE);
    if (systemMenu) {
      ::AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
      ::AppendMenuA(systemMenu, MF_STRING, IDM_ABOUTBOX, aboutItem);
    }
  }

  icon_ = ::LoadIconA(fw::ModuleInstance(), MAKEINTRESOURCEA(IDR_MAINFRAME));
  Send(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
  Send(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
  ::BringWindowToTop(hwnd());

  RECT window = WindowRect();
  RECT client = ClientRect();
  int width = kClientWidth + (window.right - window.left) - (client.right - client.left);
  int height = kClientHeight + (window.bottom - window.top) - (client.bottom - client.top);
  RECT desktop;
  ::GetWindowRect(::GetDesktopWindow(), &desktop);
  Move((desktop.right - desktop.left - width) / 2, (desktop.bottom - desktop.top - height) / 2,
       width, height);

  SetUpLists();
  SetText(kProgramCaption);
  PlaceControls();
  for (int i = 0; i < kPictureButtons; ++i) {
    buttons_[i].SetBitmaps(kButtonPlacements[i].triple);
    buttons_[i].SetPosition(kButtonPlacements[i].x, kButtonPlacements[i].y);
  }
  background_ = ::LoadBitmapA(fw::ModuleInstance(), MAKEINTRESOURCEA(IDB_BACKGROUND));
  fieldBrush_ = ::CreateSolidBrush(RGB(255, 255, 255));
  return TRUE;
}

void CTarvikDlg::SetUpLists() {
  categoryList().SetColumns({{"编号", 50}, {"名称", 180}, {"总分", 100}});
  smallQuestionList().SetColumns({{"编号", 40}, {"题目要求", 120}, {"题型", 60}, {"分数", 50}});
  optionList().SetColumns({{"编号", 40}, {"选项说明", 150}, {"答案选择", 60}});
  bigQuestionList().SetColumns({{"题号", 60}, {"id", 30}});
}

void CTarvikDlg::PlaceControls() {
  for (const Placement& place : kControlPlacements) {
    Item(place.id).Move(place.x, place.y, place.width, place.height);
  }
}

fw::MessageTable<CTarvikDlg> CTarvikDlg::Messages() {
  static const fw::MessageEntry<CTarvikDlg> kMessages[] = {
      fw::OnMessage(WM_PAINT, &CTarvikDlg::OnPaint),
      fw::OnMessage(WM_ERASEBKGND, &CTarvikDlg::OnEraseBackground),
      fw::OnMessage(WM_SYSCOMMAND, &CTarvikDlg::OnSysCommand),
      fw::OnMessage(WM_QUERYDRAGICON, &CTarvikDlg::OnQueryDragIcon),
      fw::OnMessage(WM_CTLCOLORSTATIC, &CTarvikDlg::OnControlColour),
      fw::OnMessage(WM_CTLCOLORBTN, &CTarvikDlg::OnControlColour),
      // File, help and window commands.
      fw::OnCommand(ID_FILE_NEW, &CTarvikDlg::OnFileNew),
      fw::OnCommand(ID_FILE_OPEN, &CTarvikDlg::OnFileOpen),
      fw::OnCommand(ID_FILE_SAVE, &CTarvikDlg::OnFileSave),
      fw::OnCommand(ID_FILE_SAVE_AS, &CTarvikDlg::OnFileSaveAs),
      fw::OnCommand(ID_FILE_ADD, &CTarvikDlg::OnFileAdd),
      fw::OnCommand(ID_FILE_EXIT, &CTarvikDlg::OnFileExit),
      fw::OnCommand(ID_RUN_ANSWER, &CTarvikDlg::OnRunAnswer),
      fw::OnCommand(ID_RUN_CHECK, &CTarvikDlg::OnRunCheck),
      fw::OnCommand(ID_RUN_STATISTICS, &CTarvikDlg::OnRunStatistics),
      fw::OnCommand(ID_TOOL_RESET_STATISTICS, &CTarvikDlg::OnResetStatisticsTool),
      fw::OnCommand(ID_HELP_ABOUT, &CTarvikDlg::OnAbout),
      fw::OnCommand(IDC_WEB_BANNER, &CTarvikDlg::OnWebPage),
      fw::OnCommand(IDC_KIND_CHOICE, &CTarvikDlg::OnKindChoice),
      fw::OnCommand(IDC_KIND_QUESTIONNAIRE, &CTarvikDlg::OnKindQuestionnaire),
      fw::OnCommand(IDC_KIND_PEER_REVIEW, &CTarvikDlg::OnKindPeerReview),
      // Categories.
      fw::OnCommand(IDC_CATEGORY_ADD, &CTarvikDlg::OnCategoryAdd),
      fw::OnCommand(IDC_CATEGORY_RENAME, &CTarvikDlg::OnCategoryRename),
      fw::OnCommand(IDC_CATEGORY_DELETE, &CTarvikDlg::OnCategoryDelete),
      fw::OnCommand(IDC_CATEGORY_MERGE, &CTarvikDlg::OnCategoryMerge),
      fw::OnNotify(IDC_CATEGORY_LIST, NM_CLICK, &CTarvikDlg::OnCategoryClick),
      // Big questions and the stem editor.
      fw::OnCommand(IDC_BIG_ADD, &CTarvikDlg::OnBigQuestionAdd),
      fw::OnCommand(IDC_BIG_CHANGE, &CTarvikDlg::OnBigQuestionChange),
      fw::OnCommand(IDC_BIG_DELETE, &CTarvikDlg::OnBigQuestionDelete),
      fw::OnNotify(IDC_BIG_LIST, NM_CLICK, &CTarvikDlg::OnBigQuestionClick),
      fw::OnCommand(IDC_STEM_FONT, &CTarvikDlg::OnStemFont),
      fw::OnCommand(IDC_STEM_CAPTURE, &CTarvikDlg::OnStemCapture),
      // Small questions.
      fw::OnCommand(IDC_SMALL_ADD, &CTarvikDlg::OnSmallQuestionAdd),
      fw::OnCommand(IDC_SMALL_CHANGE, &CTarvikDlg::OnSmallQuestionChange),
      fw::OnCommand(IDC_SMALL_DELETE, &CTarvikDlg::OnSmallQuestionDelete),
      fw::OnNotify(IDC_SMALL_LIST, NM_CLICK, &CTarvikDlg::OnSmallQuestionClick),
      // Options.
      fw::OnCommand(IDC_OPTION_ADD, &CTarvikDlg::OnOptionAdd),
      fw::OnCommand(IDC_OPTION_CHANGE, &CTarvikDlg::OnOptionChange),
      fw::OnCommand(IDC_OPTION_DELETE, &CTarvikDlg::OnOptionDelete),
      fw::OnNotify(IDC_OPTION_LIST, NM_CLICK, &CTarvikDlg::OnOptionClick),
  };
  return kMessages;
}

bool CTarvikDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  return fw::Dispatch(this, Messages(), message, wParam, lParam, result);
}

LRESULT CTarvikDlg::OnPaint(WPARAM, LPARAM) {
  PAINTSTRUCT paint;
  HDC dc = ::BeginPaint(hwnd(), &paint);
  if (background_) {
    BITMAP info{};
    ::GetObjectA(background_, sizeof info, &info);
    RECT client = ClientRect();
    HDC source = ::CreateCompatibleDC(dc);
    {
      fw::CSelection selectBackground(source, background_);
      ::SetStretchBltMode(dc, COLORONCOLOR);
      ::StretchBlt(dc, 0, 0, client.right, client.bottom, source, 0, 0, info.bmWidth,
                   info.bmHeight, SRCCOPY);
    }
    ::DeleteDC(source);
  }
  ::EndPaint(hwnd(), &paint);
  return 0;
}

LRESULT CTarvikDlg::OnControlColour(WPARAM wParam, LPARAM lParam) {
  // The two visible check boxes sit on white fields of the background.
  HWND control = reinterpret_cast<HWND>(lParam);
  if (control == GetItem(IDC_SINGLE_CHOICE) || control == GetItem(IDC_OPTION_IS_ANSWER)) {
    ::SetBkColor(reinterpret_cast<HDC>(wParam), RGB(255, 255, 255));
    return reinterpret_cast<LRESULT>(fieldBrush_);
  }
  return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
}

LRESULT CTarvikDlg::OnSysCommand(WPARAM wParam, LPARAM lParam) {
  if ((wParam & 0xFFF0) == IDM_ABOUTBOX) {
    OnAbout();
    return 0;
  }
  return ::DefWindowProcA(hwnd(), WM_SYSCOMMAND, wParam, lParam);
}

LRESULT CTarvikDlg::OnQueryDragIcon(WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(icon_); }

void CTarvikDlg::OnCancel() {
  int answer = fw::Platform().ShowMessage(hwnd(), "本操作将关闭本系统!你确定要这么做吗?",
                                          kProgramCaption, MB_OKCANCEL);
  if (answer == IDOK) EndDialog(IDCANCEL);
}

void CTarvikDlg::OnFileExit() { EndDialog(IDCANCEL); }

// The tool works on files only; what the editor shows stays as it is.
void CTarvikDlg::OnResetStatisticsTool() {
  CToolTongji tool;
  tool.DoModal(hwnd());
}

void CTarvikDlg::OnAbout() {
  CAboutDlg about;
  about.DoModal(hwnd());
}

void CTarvikDlg::OnWebPage() { fw::Platform().ExecuteShell(nullptr, "open", kWebPage, "", "", SW_SHOWNORMAL); }

void CTarvikDlg::SetKind(int kind) {
  values_.kindChoice = kind == 1;
  values_.kindQuestionnaire = kind == 2;
  values_.kindPeerReview = kind == 3;
  document_.SetKind(kind);
  data().ShowValues();
}

void CTarvikDlg::RunAnswering(int32_t mode) {
  CSelectDoingDlg answering;
  // The document as the last command left it: the boxes are not read first.
  auto copy = std::make_unique<QuestionBank>();
  copy->CopyFrom(document_);
  if (mode != 0) copy->SetKind(mode);
  answering.SetBank(copy.get());
  answering.navigator().BuildFromBank(*copy);
  answering.DoModal(hwnd());
  copy.reset();  // the copy goes before the dialog object; nothing flows back
}

void CTarvikDlg::OnFileNew() {
  document_.RemoveAllCategories();
  categoryList().DeleteAllItems();
  smallQuestionList().DeleteAllItems();
  optionList().DeleteAllItems();
  currentPath_.clear();
  values_.title.clear();
  SetText(kTemplateCaption);
}

bool CTarvikDlg::ChooseBankFile(std::string* path) {
  return fw::Platform().ChooseFileToOpen(hwnd(), fw::FileDialogRequest{kBankFilter, "", ""}, path);
}

void CTarvikDlg::ReportLoadFailure(const std::string& path) {
  // What was read is shown, but the author must know it is not the whole file.
  fw::Platform().ShowMessage(hwnd(), "读取题库文件失败：" + path, kProgramCaption,
                             MB_OK | MB_ICONEXCLAMATION);
}

void CTarvikDlg::OnFileOpen() {
  std::string path;
  if (!ChooseBankFile(&path)) return;
  OnFileNew();
  document_.RemoveAllCategories();
  bool loaded = document_.Load(path);
  values_.title = std::string(document_.title().text());
  currentPath_ = path;
  SetText(FileNameOf(path) + " - " + kProgramCaption);
  RefillCategories();
  data().ShowValues();
  if (!loaded) ReportLoadFailure(path);
}

void CTarvikDlg::SaveTo(const std::string& path) {
  document_.SetTitle(values_.title);
  if (!document_.Save(path)) {
    fw::Platform().ShowMessage(hwnd(), "保存题库文件失败：" + path, kProgramCaption,
                               MB_OK | MB_ICONEXCLAMATION);
  }
}

void CTarvikDlg::OnFileSave() {
  if (currentPath_.empty()) {
    OnFileSaveAs();
    return;
  }
  data().ReadControls();
  SaveTo(currentPath_);
}

void CTarvikDlg::OnFileSaveAs() {
  data().ReadControls();
  std::string path;
  if (!fw::Platform().ChooseFileToSave(hwnd(), fw::FileDialogRequest{kBankFilter, "lst", ""},
                                       &path)) {
    return;
  }
  SaveTo(path);
  currentPath_ = path;
  SetText(FileNameOf(path) + " - " + kTemplateCaption);
}

void CTarvikDlg::OnFileAdd() {
  std::string path;
  if (!ChooseBankFile(&path)) return;
  bool appended = document_.AppendFromFile(path);
  RefillCategories();
  data().ShowValues();
  if (!appended) ReportLoadFailure(path);
}

}  // namespace velmor
