// A small window that shows the shared components together: the rich-text control with
// formatted text and a picture, the screen capture behind "屏幕截图", and the picture
// buttons. For looking at them under Wine; not part of either program.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <richedit.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "common/capture/screen_dlg.h"
#include "common/navbutton/navigate_button.h"
#include "common/richtext/rich_content.h"
#include "common/richtext/rich_edit_ctrl_ex.h"
#include "framework/app.h"
#include "framework/dialog.h"
#include "framework/message_table.h"
#include "tests/win32/demo/demo_ids.h"

namespace velmor {
namespace {

class CDemoDlg : public fw::CDialog {
 public:
  CDemoDlg() : CDialog(IDD_DEMO) {}

 protected:
  BOOL OnInitDialog() override {
    stem_.SubclassDlgItem(IDC_STEM, hwnd());
    struct Placement {
      int id, triple, x, y;
    };
    const Placement placements[] = {{IDC_FONT, 7, 10, 14},   {IDC_CAPTURE, 8, 10, 100},
                                    {IDC_MERGE, 6, 10, 186}, {IDC_ADD, 3, 90, 282},
                                    {IDC_CHANGE, 4, 159, 282}, {IDC_DELETE, 5, 228, 282},
                                    {IDC_BANNER, 9, 340, 330}};
    int n = 0;
    for (const Placement& place : placements) {
      buttons_[n].AttachToTemplateButton(place.id, hwnd());
      buttons_[n].SetBitmaps(place.triple);
      buttons_[n].SetPosition(place.x, place.y);
      ++n;
    }
    stem_.Move(90, 14, 480, 260);
    FillSample();
    stem_.SetFocus();
    stem_.Send(EM_SETSEL, -1, -1);
    return FALSE;  // the focus is set
  }

  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
    static const fw::MessageEntry<CDemoDlg> kMessages[] = {
        fw::OnCommand(IDC_FONT, &CDemoDlg::OnFont),
        fw::OnCommand(IDC_CAPTURE, &CDemoDlg::OnCapture),
        fw::OnCommand(IDC_ADD, &CDemoDlg::OnSave),
        fw::OnCommand(IDC_DELETE, &CDemoDlg::OnClear),
        fw::OnMessage(WM_CTLCOLORDLG, &CDemoDlg::OnBackground),
    };
    return fw::Dispatch(this, kMessages, message, wParam, lParam, result);
  }

 private:
  void FillSample() {
    stem_.StreamInText("第1题 读图回答：\r\n下图是一段渐变色带，\r\n它从左到右由哪种颜色变为哪种颜色？\r\n");
    Format(0, 9, "黑体", RGB(180, 0, 0), CFE_BOLD, 320);
    Format(9, 20, "宋体", RGB(0, 0, 160), 0, 240);
    Format(20, 40, "宋体", RGB(0, 110, 0), CFE_ITALIC | CFE_UNDERLINE, 240);
    const int width = 160, height = 48;
    std::vector<unsigned char> pixels(3 * width * height);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        unsigned char* p = &pixels[3 * (y * width + x)];
        p[0] = static_cast<unsigned char>(255 - x * 255 / width);  // blue fades out
        p[1] = static_cast<unsigned char>(y * 4);
        p[2] = static_cast<unsigned char>(x * 255 / width);        // red comes in
      }
    stem_.Send(EM_SETSEL, -1, -1);
    stem_.InsertPicture(MakePictureRecord(width, height, pixels.data()), -1);
  }

  void Format(int first, int end, const char* face, COLORREF colour, DWORD effects, LONG twips) {
    CHARFORMATA format{};
    format.cbSize = sizeof format;
    format.dwMask = CFM_FACE | CFM_COLOR | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_SIZE;
    std::strcpy(format.szFaceName, face);
    format.crTextColor = colour;
    format.dwEffects = effects;
    format.yHeight = twips;
    stem_.Send(EM_SETSEL, first, end);
    stem_.Send(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  }

  void OnFont() { stem_.ChooseTextFont(); }
  void OnCapture() { CaptureIntoRichEdit(hwnd(), stem_, IDD_CAPTURE, IDB_CAPTURE_PANEL); }
  void OnSave() {
    ContentBlock blob = stem_.SaveContent();
    char caption[64];
    std::snprintf(caption, sizeof caption, "组件演示 - 内容 %u 字节", static_cast<unsigned>(blob.size()));
    SetText(caption);
  }
  void OnClear() { stem_.ClearContent(); }
  LRESULT OnBackground(WPARAM, LPARAM) {
    static HBRUSH brush = ::CreateSolidBrush(RGB(55, 104, 167));  // the editor's panel
    return reinterpret_cast<LRESULT>(brush);
  }

  CRichEditCtrlEx stem_;
  CNavigateButton buttons_[7];
};

class CDemoApp : public fw::CApplication {
 protected:
  bool InitInstance() override {
    ::OleInitialize(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    CRichEditCtrlEx::LoadLibrary();
    LoadButtonBitmaps(fw::ModuleInstance());
    fw::SetApplicationTitle("组件演示");
    CDemoDlg dialog;
    dialog.DoModal();
    ButtonBitmapLibrary::Free();
    ::OleUninitialize();
    return true;
  }
};

}  // namespace
}  // namespace velmor

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  velmor::CDemoApp app;
  return app.Run(instance);
}
