#include "tarvik/runtime/select_doing_dlg.h"

#include "framework/gdi.h"
#include "framework/message_table.h"
#include "tarvik/resources/resource.h"
#include "tarvik/runtime/answer_layout.h"

namespace velmor {

namespace {

constexpr int kWindowWidth = 780;
constexpr int kWindowHeight = 580;
const RECT kNavigatorPlace = {6, 32, 6 + 159, 32 + 508};
const RECT kStemPlace = {175, 37, 175 + 580, 37 + 195};
const RECT kViewPlace = {175, 237, 755, 525};
const COLORREF kFrameColour = RGB(59, 117, 118);

}  // namespace

CSelectDoingDlg::CSelectDoingDlg() : CDialog(IDD_ANSWERING), navigator_(this) {}

CSelectDoingDlg::~CSelectDoingDlg() {
  view_.reset();
  DestroyWindow();
  if (controlBrush_) ::DeleteObject(controlBrush_);
}

BOOL CSelectDoingDlg::OnInitDialog() {
  controlBrush_ = ::CreateSolidBrush(RGB(254, 254, 255));
  ::BringWindowToTop(hwnd());
  RECT desktop;
  ::GetWindowRect(::GetDesktopWindow(), &desktop);
  Move((desktop.right - desktop.left - kWindowWidth) / 2,
       (desktop.bottom - desktop.top - kWindowHeight) / 2, kWindowWidth, kWindowHeight);

  navigator_.Create(hwnd());
  navigator_.Move(kNavigatorPlace.left, kNavigatorPlace.top,
                  kNavigatorPlace.right - kNavigatorPlace.left,
                  kNavigatorPlace.bottom - kNavigatorPlace.top);
  navigator_.Show();

  stem_.SubclassDlgItem(IDC_STEM, hwnd());
  stem_.Move(kStemPlace.left, kStemPlace.top, kStemPlace.right - kStemPlace.left,
             kStemPlace.bottom - kStemPlace.top);

  viewRect_ = kViewPlace;
  ShowQuestion(nullptr, QuestionPlace{});

  SetText(bank_ ? std::string(bank_->title().text()) : std::string());
  SetItemText(IDC_SCORE_LINE, bank_ ? ScoreLine(*bank_) : std::string());
  navigator_.SelectFirst();
  return TRUE;
}

void CSelectDoingDlg::ShowQuestion(const BigQuestion* question, const QuestionPlace& place) {
  if (!bank_) return;
  view_.reset();  // its window and pages go first
  view_ = std::make_unique<CTimuDlg>(*bank_);
  if (!view_->Create(hwnd())) {
    view_.reset();
    return;
  }
  // Placed before it is filled, so that its scroll range is that of the height it shows.
  view_->Move(viewRect_.left, viewRect_.top, viewRect_.right - viewRect_.left,
              viewRect_.bottom - viewRect_.top);
  view_->Show();
  view_->FillQuestion(question, place, mode());
  if (question) stem_.LoadContent(question->content);
}

bool CSelectDoingDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                    LRESULT& result) {
  static const fw::MessageEntry<CSelectDoingDlg> kMessages[] = {
      fw::OnMessage(WM_PAINT, &CSelectDoingDlg::OnPaint),
      fw::OnMessage(WM_CTLCOLORDLG, &CSelectDoingDlg::OnControlColour),
      fw::OnMessage(WM_CTLCOLORSTATIC, &CSelectDoingDlg::OnControlColour),
      fw::OnMessage(WM_CTLCOLOREDIT, &CSelectDoingDlg::OnControlColour),
      fw::OnMessage(WM_CTLCOLORBTN, &CSelectDoingDlg::OnControlColour),
      fw::OnMessage(WM_CTLCOLORLISTBOX, &CSelectDoingDlg::OnControlColour),
      fw::OnMessage(WM_CTLCOLORSCROLLBAR, &CSelectDoingDlg::OnControlColour),
      fw::OnMessage(WM_CTLCOLORMSGBOX, &CSelectDoingDlg::OnControlColour),
  };
  return fw::Dispatch(this, kMessages, message, wParam, lParam, result);
}

LRESULT CSelectDoingDlg::OnPaint(WPARAM, LPARAM) {
  PAINTSTRUCT paint;
  HDC dc = ::BeginPaint(hwnd(), &paint);
  RECT client = ClientRect();
  const int w = client.right;
  const int h = client.bottom;
  fw::CGdiObject pen(::CreatePen(PS_SOLID, 1, kFrameColour));
  fw::CSelection selectPen(dc, pen.get());
  fw::CSelection selectBrush(dc, ::GetStockObject(WHITE_BRUSH));
  ::Rectangle(dc, 0, 0, w, h);
  ::Rectangle(dc, 3, 24, w - 3, h - 5);
  ::Rectangle(dc, 167, 31, w - 10, h - 10);
  ::EndPaint(hwnd(), &paint);
  return 0;
}

LRESULT CSelectDoingDlg::OnControlColour(WPARAM wParam, LPARAM) {
  HDC dc = reinterpret_cast<HDC>(wParam);
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, RGB(0, 0, 0));
  return reinterpret_cast<LRESULT>(controlBrush_);
}

}  // namespace velmor
