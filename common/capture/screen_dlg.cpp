#include "common/capture/screen_dlg.h"

#include "common/richtext/dib.h"
#include "common/richtext/rich_edit_ctrl_ex.h"
#include "framework/app.h"
#include "framework/gdi.h"
#include "framework/message_table.h"
#include "framework/platform.h"

namespace velmor {

namespace {

constexpr COLORREF kPanelFrame = RGB(255, 142, 0);
constexpr COLORREF kSelectionOutline = RGB(87, 133, 52);
constexpr int kFirstLineY = 40;
constexpr int kSecondLineY = 60;

CapturePoint PointOf(LPARAM lParam) {
  return {static_cast<int32_t>(static_cast<short>(LOWORD(lParam))),
          static_cast<int32_t>(static_cast<short>(HIWORD(lParam)))};
}

}  // namespace

CScreenDlg::CScreenDlg(UINT templateId, UINT panelBitmapId)
    : CDialog(templateId), panelBitmapId_(panelBitmapId) {}

CScreenDlg::~CScreenDlg() {
  DestroyWindow();
  FreeScreen();
}

HCURSOR CScreenDlg::ChoosingCursor() { return ::LoadCursorA(nullptr, IDC_CROSS); }
HCURSOR CScreenDlg::FixedCursor() { return ::LoadCursorA(nullptr, IDC_SIZEALL); }

void CScreenDlg::FreeScreen() {
  if (screenCopy_) {
    ::SelectObject(screenCopy_, screenOldBitmap_);
    ::DeleteDC(screenCopy_);
  }
  if (screenBitmap_) ::DeleteObject(screenBitmap_);
  if (panelImage_) ::DeleteObject(panelImage_);
  screenCopy_ = nullptr;
  screenBitmap_ = nullptr;
  panelImage_ = nullptr;
  screenBits_.clear();
}

BOOL CScreenDlg::OnInitDialog() {
  FreeScreen();
  HDC display = ::CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
  width_ = ::GetDeviceCaps(display, HORZRES);
  height_ = ::GetDeviceCaps(display, VERTRES);

  screenCopy_ = ::CreateCompatibleDC(display);
  screenBitmap_ = ::CreateCompatibleBitmap(display, width_, height_);
  screenOldBitmap_ = ::SelectObject(screenCopy_, screenBitmap_);
  ::BitBlt(screenCopy_, 0, 0, width_, height_, display, 0, 0, SRCCOPY);

  stride_ = Dib24Stride(width_);
  screenBits_.assign(stride_ * static_cast<std::size_t>(height_), 0);
  BITMAPINFOHEADER header = Dib24Header(width_, height_);
  {
    // The bitmap must not be selected while its bits are read.
    fw::CSelection deselectScreen(screenCopy_, screenOldBitmap_);
    ::GetDIBits(screenCopy_, screenBitmap_, 0, static_cast<UINT>(height_), screenBits_.data(),
                reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
  }
  ::DeleteDC(display);

  infoPanel_ = LeftPanelPlace();
  dragging_ = fixed_ = false;
  panelImage_ = ::LoadBitmapA(fw::ModuleInstance(), MAKEINTRESOURCEA(panelBitmapId_));
  ::SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, width_, height_, SWP_SHOWWINDOW);
  cursor_ = ChoosingCursor();
  return TRUE;
}

bool CScreenDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  static const fw::MessageEntry<CScreenDlg> kMessages[] = {
      fw::OnMessage(WM_PAINT, &CScreenDlg::OnPaint),
      fw::OnMessage(WM_ERASEBKGND, &CScreenDlg::OnEraseBackground),
      fw::OnMessage(WM_MOUSEMOVE, &CScreenDlg::OnMouseMove),
      fw::OnMessage(WM_LBUTTONDOWN, &CScreenDlg::OnLeftButtonDown),
      fw::OnMessage(WM_LBUTTONUP, &CScreenDlg::OnLeftButtonUp),
      fw::OnMessage(WM_LBUTTONDBLCLK, &CScreenDlg::OnLeftDoubleClick),
      fw::OnMessage(WM_RBUTTONUP, &CScreenDlg::OnRightButtonUp),
      fw::OnMessage(WM_SETCURSOR, &CScreenDlg::OnSetCursor),
  };
  return fw::Dispatch(this, kMessages, message, wParam, lParam, result);
}

LRESULT CScreenDlg::OnPaint(WPARAM, LPARAM) {
  PAINTSTRUCT paint;
  HDC dc = ::BeginPaint(hwnd(), &paint);
  if (screenCopy_) ::BitBlt(dc, 0, 0, width_, height_, screenCopy_, 0, 0, SRCCOPY);
  ::EndPaint(hwnd(), &paint);
  return 0;
}

LRESULT CScreenDlg::OnMouseMove(WPARAM, LPARAM lParam) {
  mouse_ = PointOf(lParam);
  if (!fixed_) end_ = mouse_;
  Redraw();
  return 0;
}

LRESULT CScreenDlg::OnLeftButtonDown(WPARAM, LPARAM lParam) {
  if (!fixed_) {
    start_ = end_ = PointOf(lParam);
    dragging_ = true;
  }
  return 0;
}

LRESULT CScreenDlg::OnLeftButtonUp(WPARAM, LPARAM lParam) {
  if (!fixed_ && dragging_) {
    end_ = PointOf(lParam);
    dragging_ = false;
    fixed_ = true;
    cursor_ = FixedCursor();
  }
  return 0;
}

LRESULT CScreenDlg::OnLeftDoubleClick(WPARAM, LPARAM) {
  Accept();
  return 0;
}

LRESULT CScreenDlg::OnRightButtonUp(WPARAM, LPARAM) {
  fixed_ = false;
  cursor_ = ChoosingCursor();
  Redraw();
  return 0;
}

LRESULT CScreenDlg::OnSetCursor(WPARAM wParam, LPARAM lParam) {
  if (LOWORD(lParam) == HTCLIENT) {
    ::SetCursor(cursor_);
    return TRUE;
  }
  return ::DefWindowProcA(hwnd(), WM_SETCURSOR, wParam, lParam);
}

void CScreenDlg::Redraw() {
  if (!screenCopy_) return;
  infoPanel_ = NextPanelPlace(infoPanel_, mouse_, width_);

  HDC window = ::GetDC(hwnd());
  COLORREF colour = ::GetPixel(window, mouse_.x, mouse_.y);
  if (colour == CLR_INVALID) colour = 0;

  HDC compose = ::CreateCompatibleDC(window);
  HBITMAP image = ::CreateCompatibleBitmap(window, width_, height_);
  HPEN framePen = ::CreatePen(PS_SOLID, 1, kPanelFrame);
  HBRUSH panelBrush = panelImage_ ? ::CreatePatternBrush(panelImage_)
                                  : static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
  {
    fw::CSelection selectImage(compose, image);
    ::BitBlt(compose, 0, 0, width_, height_, screenCopy_, 0, 0, SRCCOPY);

    ::SetBrushOrgEx(compose, infoPanel_.left, infoPanel_.top, nullptr);
    {
      fw::CSelection selectPen(compose, framePen);
      fw::CSelection selectBrush(compose, panelBrush);
      ::Rectangle(compose, infoPanel_.left, infoPanel_.top, infoPanel_.right, infoPanel_.bottom);
    }

    PanelLines lines = (dragging_ || fixed_)
                           ? SelectionLines(start_, end_)
                           : MouseLines(mouse_, GetRValue(colour), GetGValue(colour),
                                        GetBValue(colour));
    ::SetBkMode(compose, TRANSPARENT);
    ::SetTextColor(compose, RGB(255, 255, 255));
    ::TextOutA(compose, infoPanel_.left + 5, kFirstLineY, lines.first.c_str(),
               static_cast<int>(lines.first.size()));
    ::TextOutA(compose, infoPanel_.left + 5, kSecondLineY, lines.second.c_str(),
               static_cast<int>(lines.second.size()));

    if (dragging_ || fixed_) {
      fw::CGdiObject outlinePen(::CreatePen(PS_SOLID, 1, kSelectionOutline));
      fw::CSelection selectOutline(compose, outlinePen.get());
      ::MoveToEx(compose, start_.x, start_.y, nullptr);
      ::LineTo(compose, end_.x, start_.y);
      ::LineTo(compose, end_.x, end_.y);
      ::LineTo(compose, start_.x, end_.y);
      ::LineTo(compose, start_.x, start_.y);
    }

    ::BitBlt(window, 0, 0, width_, height_, compose, 0, 0, SRCCOPY);
  }
  ::DeleteObject(image);
  ::DeleteDC(compose);
  ::DeleteObject(framePen);
  if (panelImage_) ::DeleteObject(panelBrush);
  ::ReleaseDC(hwnd(), window);
}

void CScreenDlg::CopyToClipboard(const CaptureRect& selection) {
  int width = selection.right - selection.left;
  int height = selection.bottom - selection.top;
  HDC part = ::CreateCompatibleDC(screenCopy_);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screenCopy_, width, height);
  {
    fw::CSelection selectBitmap(part, bitmap);
    ::BitBlt(part, 0, 0, width, height, screenCopy_, selection.left, selection.top, SRCCOPY);
  }
  ::DeleteDC(part);
  if (::OpenClipboard(hwnd())) {
    ::EmptyClipboard();
    if (!::SetClipboardData(CF_BITMAP, bitmap)) ::DeleteObject(bitmap);
    ::CloseClipboard();
  } else {
    ::DeleteObject(bitmap);
  }
}

void CScreenDlg::Accept() {
  if (fixed_) {
    CaptureRect selection = NormaliseSelection(start_, end_);
    start_ = {selection.left, selection.top};
    end_ = {selection.right, selection.bottom};
    if (selection.right == selection.left || selection.bottom == selection.top) {
      fw::Platform().ShowMessage(hwnd(), EmptySelectionText(selection), "选择错误！", MB_OK);
    } else {
      CopyToClipboard(selection);
      if (resultMode == kResultPicture) {
        resultPicture = CutPicture(screenBits_.data(), width_, height_, stride_, selection);
      }
    }
  }
  EndDialog(IDOK);
}

void InsertCapturedPicture(HWND owner, CRichEditCtrlEx& target, INT_PTR result,
                           ContentBlock&& picture) {
  if (result != IDOK || picture.empty()) return;
  // The clipboard is only borrowed while the picture goes in; another program may hold it,
  // and the capture the user made must not be lost for that.
  bool borrowed = ::OpenClipboard(owner) != FALSE;
  target.InsertPicture(std::move(picture), -1);
  if (borrowed) ::CloseClipboard();
}

void CaptureIntoRichEdit(HWND owner, CRichEditCtrlEx& target, UINT templateId,
                         UINT panelBitmapId) {
  ::Sleep(50);
  CScreenDlg capture(templateId, panelBitmapId);
  capture.resultMode = CScreenDlg::kResultPicture;
  INT_PTR result = capture.DoModal(owner);
  InsertCapturedPicture(owner, target, result, std::move(capture.resultPicture));
}

}  // namespace velmor
