#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

#include "common/capture/screen_dlg.h"
#include "common/richtext/rich_content.h"
#include "tests/win32/ui/pixels.h"
#include "tests/win32/ui/recording_platform.h"
#include "tests/win32/ui/ui_test_ids.h"

namespace velmor {
namespace {

using test::RecordingPlatform;

// The known pattern painted over the whole screen: red from x, green from y, blue from both.
COLORREF PatternAt(int x, int y) {
  return RGB(x & 255, y & 255, ((x >> 8) * 40 + (y >> 8) * 90 + 7) & 255);
}

LRESULT CALLBACK PatternProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(hwnd, &paint);
    RECT client;
    ::GetClientRect(hwnd, &client);
    int width = client.right, height = client.bottom;
    std::vector<uint32_t> pixels(static_cast<std::size_t>(width * height));
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        COLORREF c = PatternAt(x, y);
        pixels[static_cast<std::size_t>(y * width + x)] =
            (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
      }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    ::SetDIBitsToDevice(dc, 0, 0, width, height, 0, 0, 0, height, pixels.data(), &info,
                        DIB_RGB_COLORS);
    ::EndPaint(hwnd, &paint);
    return 0;
  }
  return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

void PumpMessages(int milliseconds) {
  DWORD until = ::GetTickCount() + static_cast<DWORD>(milliseconds);
  do {
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&message);
      ::DispatchMessageA(&message);
    }
    ::Sleep(10);
  } while (static_cast<int>(until - ::GetTickCount()) > 0);
}

class ScreenCaptureTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &PatternProcedure;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "VelmorTestPattern";
    ::RegisterClassA(&windowClass);
    screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
    screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
    pattern = ::CreateWindowExA(WS_EX_TOPMOST, "VelmorTestPattern", "", WS_POPUP | WS_VISIBLE, 0,
                                0, screenWidth, screenHeight, nullptr, nullptr,
                                ::GetModuleHandleA(nullptr), nullptr);
    ::UpdateWindow(pattern);
    PumpMessages(500);
  }
  static void TearDownTestSuite() { ::DestroyWindow(pattern); }

  void SetUp() override {
    // The screen is copied when the dialog is made: the dialog of the test before must be
    // gone from it, and the pattern drawn again, or the copy holds what is left of that one.
    ::RedrawWindow(pattern, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    PumpMessages(100);
    ASSERT_TRUE(capture.Create(nullptr));
    capture.resultMode = CScreenDlg::kResultPicture;
  }

  void Mouse(UINT message, int x, int y) {
    capture.Send(message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(x, y));
  }
  void Drag(int fromX, int fromY, int toX, int toY) {
    Mouse(WM_MOUSEMOVE, fromX, fromY);
    Mouse(WM_LBUTTONDOWN, fromX, fromY);
    Mouse(WM_MOUSEMOVE, (fromX + toX) / 2, (fromY + toY) / 2);
    Mouse(WM_MOUSEMOVE, toX, toY);
    Mouse(WM_LBUTTONUP, toX, toY);
  }
  // A key as the dialog's message loop would see it.
  void Key(WPARAM key) {
    MSG message{};
    message.hwnd = capture.hwnd();
    message.message = WM_KEYDOWN;
    message.wParam = key;
    ::IsDialogMessageA(capture.hwnd(), &message);
  }
  // The expected record of the screen rectangle, from the pattern.
  static std::vector<unsigned char> ExpectedPixels(int left, int top, int right, int bottom) {
    std::vector<unsigned char> pixels;
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x) {
        COLORREF c = PatternAt(x, y);
        pixels.push_back(GetBValue(c));
        pixels.push_back(GetGValue(c));
        pixels.push_back(GetRValue(c));
      }
    return pixels;
  }
  static std::vector<unsigned char> RecordPixels(const ContentBlock& record) {
    PictureView view;
    if (!ParsePictureRecord(record.data(), record.size(), &view)) return {};
    return std::vector<unsigned char>(view.pixels(),
                                      view.pixels() + 3 * view.width * view.height);
  }

  static int screenWidth;
  static int screenHeight;
  static HWND pattern;
  RecordingPlatform platform;
  CScreenDlg capture{IDD_CAPTURE, IDB_CAPTURE_PANEL};
};

int ScreenCaptureTest::screenWidth = 0;
int ScreenCaptureTest::screenHeight = 0;
HWND ScreenCaptureTest::pattern = nullptr;

TEST_F(ScreenCaptureTest, TheDialogCoversTheScreenAndStartsChoosing) {
  RECT rect = capture.WindowRect();
  EXPECT_EQ(rect.left, 0);
  EXPECT_EQ(rect.top, 0);
  EXPECT_EQ(rect.right, screenWidth);
  EXPECT_EQ(rect.bottom, screenHeight);
  EXPECT_TRUE(capture.infoPanel() == LeftPanelPlace());
  EXPECT_FALSE(capture.dragging());
  EXPECT_FALSE(capture.fixed());
  EXPECT_EQ(capture.cursor(), CScreenDlg::ChoosingCursor());
}

TEST_F(ScreenCaptureTest, ADragMakesTheRecordAndTheClipboardBitmap) {
  Drag(30, 40, 70, 60);
  EXPECT_TRUE(capture.fixed());
  EXPECT_EQ(capture.cursor(), CScreenDlg::FixedCursor());
  Key(VK_RETURN);
  EXPECT_TRUE(capture.ended());
  EXPECT_EQ(capture.result(), IDOK);
  ASSERT_EQ(capture.resultPicture.size(), 3u * 40 * 20 + 23);
  PictureView view;
  ASSERT_TRUE(ParsePictureRecord(capture.resultPicture.data(), capture.resultPicture.size(), &view));
  EXPECT_EQ(view.width, 40);
  EXPECT_EQ(view.height, 20);
  EXPECT_EQ(view.position, 0);
  EXPECT_EQ(RecordPixels(capture.resultPicture), ExpectedPixels(30, 40, 70, 60));
  EXPECT_TRUE(platform.messages.empty());

  ASSERT_TRUE(::OpenClipboard(nullptr));
  HBITMAP clip = static_cast<HBITMAP>(::GetClipboardData(CF_BITMAP));
  ASSERT_NE(clip, nullptr);
  int width = 0, height = 0;
  std::vector<uint32_t> clipPixels = test::BitmapPixels(clip, &width, &height);
  ::CloseClipboard();
  EXPECT_EQ(width, 40);
  EXPECT_EQ(height, 20);
  COLORREF corner = PatternAt(30, 40);
  EXPECT_EQ(clipPixels[0], static_cast<uint32_t>((GetRValue(corner) << 16) |
                                                 (GetGValue(corner) << 8) | GetBValue(corner)));
}

TEST_F(ScreenCaptureTest, ABackwardDragGivesTheSamePicture) {
  Drag(70, 60, 30, 40);
  Key(VK_RETURN);
  EXPECT_EQ(RecordPixels(capture.resultPicture), ExpectedPixels(30, 40, 70, 60));
}

TEST_F(ScreenCaptureTest, SelectionsOnTheTopAndBottomLinesKeepThoseLines) {
  Drag(300, 0, 310, 4);
  Key(VK_RETURN);
  EXPECT_EQ(RecordPixels(capture.resultPicture), ExpectedPixels(300, 0, 310, 4));

  CScreenDlg bottom(IDD_CAPTURE, IDB_CAPTURE_PANEL);
  ASSERT_TRUE(bottom.Create(nullptr));
  bottom.resultMode = CScreenDlg::kResultPicture;
  int last = screenHeight - 1;
  bottom.Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(300, last - 3));
  bottom.Send(WM_LBUTTONUP, 0, MAKELPARAM(310, last));
  bottom.Send(WM_LBUTTONDBLCLK, 0, MAKELPARAM(310, last));
  EXPECT_EQ(RecordPixels(bottom.resultPicture), ExpectedPixels(300, last - 3, 310, last));
}

TEST_F(ScreenCaptureTest, ThePanelKeepsOutOfTheMousesWay) {
  Mouse(WM_MOUSEMOVE, 400, 400);
  EXPECT_TRUE(capture.infoPanel() == LeftPanelPlace());
  Mouse(WM_MOUSEMOVE, 20, 20);
  EXPECT_TRUE(capture.infoPanel() == RightPanelPlace(screenWidth));
  Mouse(WM_MOUSEMOVE, 400, 400);
  EXPECT_TRUE(capture.infoPanel() == RightPanelPlace(screenWidth));
  Mouse(WM_MOUSEMOVE, screenWidth - 20, 50);
  EXPECT_TRUE(capture.infoPanel() == LeftPanelPlace());
}

TEST_F(ScreenCaptureTest, ARightClickReturnsToChoosing) {
  Drag(100, 100, 150, 130);
  ASSERT_TRUE(capture.fixed());
  Mouse(WM_MOUSEMOVE, 200, 200);
  EXPECT_EQ(capture.endPoint().x, 150);  // fixed: the end point stays
  Mouse(WM_RBUTTONUP, 200, 200);
  EXPECT_FALSE(capture.fixed());
  EXPECT_EQ(capture.cursor(), CScreenDlg::ChoosingCursor());
  EXPECT_EQ(capture.startPoint().x, 100);  // points keep their values
  Mouse(WM_MOUSEMOVE, 210, 220);
  EXPECT_EQ(capture.endPoint().x, 210);  // and the end point follows the mouse again
  Drag(400, 300, 420, 310);
  Key(VK_RETURN);
  EXPECT_EQ(RecordPixels(capture.resultPicture), ExpectedPixels(400, 300, 420, 310));
}

TEST_F(ScreenCaptureTest, ADoubleClickWhileChoosingReportsAnEmptySelection) {
  Mouse(WM_LBUTTONDOWN, 50, 60);
  Mouse(WM_LBUTTONUP, 50, 60);
  Mouse(WM_LBUTTONDBLCLK, 50, 60);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].text, "上60,下60,左50,右50");
  EXPECT_EQ(platform.messages[0].caption, "选择错误！");
  EXPECT_EQ(platform.messages[0].type, static_cast<UINT>(MB_OK));
  EXPECT_TRUE(capture.ended());
  EXPECT_EQ(capture.result(), IDOK);
  EXPECT_TRUE(capture.resultPicture.empty());
}

TEST_F(ScreenCaptureTest, EnterWithoutASelectionAndEscapeMakeNothing) {
  ASSERT_TRUE(::OpenClipboard(nullptr));
  ::EmptyClipboard();
  ::CloseClipboard();
  Mouse(WM_MOUSEMOVE, 300, 300);
  Key(VK_RETURN);
  EXPECT_TRUE(capture.ended());
  EXPECT_EQ(capture.result(), IDOK);
  EXPECT_TRUE(capture.resultPicture.empty());
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_FALSE(::IsClipboardFormatAvailable(CF_BITMAP));

  CScreenDlg escaped(IDD_CAPTURE, IDB_CAPTURE_PANEL);
  ASSERT_TRUE(escaped.Create(nullptr));
  escaped.resultMode = CScreenDlg::kResultPicture;
  escaped.Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  escaped.Send(WM_LBUTTONUP, 0, MAKELPARAM(90, 90));
  MSG message{};
  message.hwnd = escaped.hwnd();
  message.message = WM_KEYDOWN;
  message.wParam = VK_ESCAPE;
  ::IsDialogMessageA(escaped.hwnd(), &message);
  EXPECT_TRUE(escaped.ended());
  EXPECT_EQ(escaped.result(), IDCANCEL);
  EXPECT_TRUE(escaped.resultPicture.empty());
  EXPECT_FALSE(::IsClipboardFormatAvailable(CF_BITMAP));
}

TEST_F(ScreenCaptureTest, ClipboardOnlyModeMakesNoRecord) {
  capture.resultMode = 0;
  Drag(10, 200, 20, 210);
  Key(VK_RETURN);
  EXPECT_TRUE(capture.resultPicture.empty());
  EXPECT_TRUE(::IsClipboardFormatAvailable(CF_BITMAP));
}

}  // namespace
}  // namespace velmor
