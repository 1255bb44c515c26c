#include <gtest/gtest.h>
#include <windows.h>

#include "common/navbutton/navigate_button.h"
#include "framework/app.h"
#include "framework/dialog.h"
#include "tests/win32/ui/pixels.h"
#include "tests/win32/ui/ui_test_ids.h"

namespace velmor {
namespace {

using test::BitmapPixels;
using test::Canvas;

constexpr uint32_t kSentinel = 0xFF00FF;

class ButtonDialog : public fw::CDialog {
 public:
  ButtonDialog() : CDialog(IDD_BUTTON_TEST) {}
  CNavigateButton add;
  CNavigateButton merge;
  CNavigateButton banner;

 protected:
  BOOL OnInitDialog() override {
    add.AttachToTemplateButton(IDC_ADD_BUTTON, hwnd());
    merge.AttachToTemplateButton(IDC_MERGE_BUTTON, hwnd());
    banner.AttachToTemplateButton(IDC_BANNER_BUTTON, hwnd());
    add.SetBitmaps(3);
    merge.SetBitmaps(6);
    banner.SetBitmaps(20);  // beyond the library
    add.SetPosition(20, 30);
    merge.SetPosition(100, 30);
    banner.SetPosition(20, 100);
    return TRUE;
  }
};

class NavigateButtonTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { LoadButtonBitmaps(fw::ModuleInstance()); }
  static void TearDownTestSuite() { ButtonBitmapLibrary::Free(); }
  void SetUp() override { ASSERT_TRUE(dialog.Create(nullptr)); }

  // Draws `button` through the dialog's owner-draw request onto a fresh canvas.
  void Draw(CNavigateButton& button, UINT state, Canvas& canvas) {
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_BUTTON;
    item.CtlID = static_cast<UINT>(button.GetId());
    item.itemAction = ODA_DRAWENTIRE;
    item.itemState = state;
    item.hwndItem = button.hwnd();
    item.hDC = canvas.dc();
    item.rcItem = RECT{0, 0, canvas.width(), canvas.height()};
    dialog.Send(WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
  }
  std::vector<uint32_t> Drawn(const Canvas& canvas) {
    std::vector<uint32_t> pixels;
    for (int y = 0; y < canvas.height(); ++y) {
      std::vector<uint32_t> row = canvas.Row(y);
      pixels.insert(pixels.end(), row.begin(), row.end());
    }
    return pixels;
  }
  void MouseMove(CNavigateButton& button, int x, int y) {
    button.Send(WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
  }

  ButtonDialog dialog;
};

TEST_F(NavigateButtonTest, TheLibraryHoldsFortyBitmapsOfTheTableSizes) {
  int width = 0, height = 0;
  for (int n = 0; n < ButtonBitmapLibrary::kCount; ++n) {
    ASSERT_NE(ButtonBitmapLibrary::Entry(n), nullptr) << n;
  }
  EXPECT_EQ(ButtonBitmapLibrary::Entry(40), nullptr);
  BitmapPixels(ButtonBitmapLibrary::Entry(9), &width, &height);
  EXPECT_EQ(width, 60);
  EXPECT_EQ(height, 26);
  BitmapPixels(ButtonBitmapLibrary::Entry(11), &width, &height);
  EXPECT_EQ(height, 25);
  BitmapPixels(ButtonBitmapLibrary::Entry(27), &width, &height);
  EXPECT_EQ(width, 215);
  EXPECT_EQ(height, 14);
}

TEST_F(NavigateButtonTest, SetPositionSizesTheButtonToItsNormalBitmap) {
  RECT rect = dialog.add.WindowRect();
  EXPECT_EQ(rect.right - rect.left, 60);
  EXPECT_EQ(rect.bottom - rect.top, 26);
  POINT corner{rect.left, rect.top};
  ::ScreenToClient(dialog.hwnd(), &corner);
  EXPECT_EQ(corner.x, 20);
  EXPECT_EQ(corner.y, 30);
  EXPECT_EQ(dialog.merge.bitmapWidth(), 60);
  EXPECT_EQ(dialog.merge.bitmapHeight(), 60);
  EXPECT_EQ(dialog.banner.bitmapWidth(), 0);
  EXPECT_TRUE(dialog.add.GetStyle() & BS_OWNERDRAW);
}

TEST_F(NavigateButtonTest, NormalAndHoverFacesShowTheirBitmaps) {
  Canvas normal(60, 26, kSentinel);
  Draw(dialog.add, 0, normal);
  EXPECT_EQ(Drawn(normal), BitmapPixels(ButtonBitmapLibrary::Entry(9)));

  MouseMove(dialog.add, 5, 5);
  EXPECT_TRUE(dialog.add.hover());
  EXPECT_EQ(::GetCapture(), dialog.add.hwnd());
  Canvas hover(60, 26, kSentinel);
  Draw(dialog.add, 0, hover);
  EXPECT_EQ(Drawn(hover), BitmapPixels(ButtonBitmapLibrary::Entry(10)));
  EXPECT_NE(Drawn(hover), Drawn(normal));

  MouseMove(dialog.add, 30, 10);  // still inside: nothing changes
  EXPECT_TRUE(dialog.add.hover());
  MouseMove(dialog.add, -3, 10);  // leaving
  EXPECT_FALSE(dialog.add.hover());
  EXPECT_NE(::GetCapture(), dialog.add.hwnd());
  Canvas left(60, 26, kSentinel);
  Draw(dialog.add, 0, left);
  EXPECT_EQ(Drawn(left), Drawn(normal));
}

TEST_F(NavigateButtonTest, PressedFaceOnlyUnderThePointerStretchedToTheNormalSize) {
  Canvas notOver(60, 26, kSentinel);
  Draw(dialog.add, ODS_SELECTED, notOver);
  EXPECT_EQ(Drawn(notOver), BitmapPixels(ButtonBitmapLibrary::Entry(9)));

  MouseMove(dialog.add, 5, 5);
  Canvas pressed(60, 26, kSentinel);
  Draw(dialog.add, ODS_SELECTED, pressed);
  std::vector<uint32_t> source = BitmapPixels(ButtonBitmapLibrary::Entry(11));  // 60 x 25
  std::vector<uint32_t> top(source.begin(), source.begin() + 60);
  std::vector<uint32_t> bottom(source.end() - 60, source.end());
  EXPECT_EQ(pressed.Row(0), top);
  EXPECT_EQ(pressed.Row(25), bottom);
  for (uint32_t pixel : Drawn(pressed)) ASSERT_NE(pixel, kSentinel);
  ::ReleaseCapture();
}

TEST_F(NavigateButtonTest, ADisabledButtonIsAnEmptyWhiteRoundedFrame) {
  Canvas disabled(60, 26, kSentinel);
  Draw(dialog.add, ODS_DISABLED, disabled);
  EXPECT_EQ(disabled.At(30, 13), 0xFFFFFFu);  // no picture inside
  EXPECT_EQ(disabled.At(30, 0), 0x000000u);   // the frame, in the default black pen
  EXPECT_EQ(disabled.At(0, 13), 0x000000u);
  EXPECT_EQ(disabled.At(0, 0), kSentinel);    // outside the rounded corner
  for (int x = 2; x < 58; ++x) ASSERT_EQ(disabled.At(x, 13), 0xFFFFFFu) << x;
}

TEST_F(NavigateButtonTest, ATripleBeyondTheLibraryDrawsNothing) {
  Canvas canvas(60, 26, kSentinel);
  Draw(dialog.banner, 0, canvas);
  MouseMove(dialog.banner, 1, 1);
  Draw(dialog.banner, ODS_SELECTED, canvas);
  for (uint32_t pixel : Drawn(canvas)) ASSERT_EQ(pixel, kSentinel);
  ::ReleaseCapture();
}

TEST_F(NavigateButtonTest, LosingTheMouseToAnotherWindowEndsTheHover) {
  RECT rect = dialog.add.WindowRect();
  ::SetCursorPos(rect.left + 5, rect.top + 5);
  MouseMove(dialog.add, 5, 5);
  ::SetCapture(dialog.merge.hwnd());  // the pointer is still over the button
  EXPECT_TRUE(dialog.add.hover());
  MouseMove(dialog.add, 5, 5);
  ::SetCursorPos(rect.right + 200, rect.bottom + 200);
  ::SetCapture(dialog.merge.hwnd());  // and now elsewhere, as under a dialog it opened
  EXPECT_FALSE(dialog.add.hover());
  ::ReleaseCapture();
}

TEST_F(NavigateButtonTest, AfterAClickTheButtonStillSeesThePointerLeave) {
  RECT rect = dialog.add.WindowRect();
  ::SetCursorPos(rect.left + 5, rect.top + 5);
  MouseMove(dialog.add, 5, 5);
  dialog.add.Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  dialog.add.Send(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_TRUE(dialog.add.hover());
  EXPECT_EQ(::GetCapture(), dialog.add.hwnd());
  MouseMove(dialog.add, 100, 5);
  EXPECT_FALSE(dialog.add.hover());
  EXPECT_NE(::GetCapture(), dialog.add.hwnd());
}

TEST_F(NavigateButtonTest, AClickReachesTheParentAsACommand) {
  struct Parent : ButtonDialog {
    int clicks = 0;
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) override {
      if (message == WM_COMMAND && LOWORD(wParam) == IDC_ADD_BUTTON) {
        ++clicks;
        ::SetCursorPos(900, 900);  // as the pointer goes elsewhere in a dialog the click opens
        result = 0;
        return true;
      }
      return false;
    }
  } parent;
  ASSERT_TRUE(parent.Create(nullptr));
  RECT rect = parent.add.WindowRect();
  ::SetCursorPos(rect.left + 5, rect.top + 5);
  parent.add.Send(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  ASSERT_TRUE(parent.add.hover());
  parent.add.Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  parent.add.Send(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(parent.clicks, 1);
  EXPECT_EQ(::GetFocus(), parent.add.hwnd());
  EXPECT_FALSE(parent.add.hover());  // no stale hover face once the pointer is gone
}

}  // namespace
}  // namespace velmor
