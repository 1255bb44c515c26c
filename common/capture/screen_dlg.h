// CScreenDlg: freezes the screen, shows the frozen copy full-screen and lets the user drag a
// rectangle over it, with an information panel giving coordinates and the colour under the
// mouse. On acceptance the rectangle goes to the clipboard as a bitmap and, in result mode 3,
// becomes a picture record for the rich-text control.
#pragma once

#include <windows.h>

#include <vector>

#include "common/base/content_block.h"
#include "common/capture/capture_geometry.h"
#include "framework/dialog.h"

namespace velmor {

class CScreenDlg : public fw::CDialog {
 public:
  static constexpr int32_t kResultPicture = 3;

  // The empty full-screen template and the 172 x 100 panel image of the program.
  CScreenDlg(UINT templateId, UINT panelBitmapId);
  ~CScreenDlg() override;

  int32_t resultMode = 0;
  // The picture made on acceptance in result mode 3; empty until then. The caller takes it.
  ContentBlock resultPicture;

  // State, for the caller's and tests' eyes.
  const CaptureRect& infoPanel() const { return infoPanel_; }
  bool dragging() const { return dragging_; }
  bool fixed() const { return fixed_; }
  CapturePoint startPoint() const { return start_; }
  CapturePoint endPoint() const { return end_; }
  HCURSOR cursor() const { return cursor_; }
  static HCURSOR ChoosingCursor();
  static HCURSOR FixedCursor();

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override { Accept(); }
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  LRESULT OnPaint(WPARAM, LPARAM);
  LRESULT OnEraseBackground(WPARAM, LPARAM) { return 1; }
  LRESULT OnMouseMove(WPARAM, LPARAM lParam);
  LRESULT OnLeftButtonDown(WPARAM, LPARAM lParam);
  LRESULT OnLeftButtonUp(WPARAM, LPARAM lParam);
  LRESULT OnLeftDoubleClick(WPARAM, LPARAM);
  LRESULT OnRightButtonUp(WPARAM, LPARAM);
  LRESULT OnSetCursor(WPARAM wParam, LPARAM lParam);

  void Redraw();
  void Accept();
  void CopyToClipboard(const CaptureRect& selection);
  void FreeScreen();

  UINT panelBitmapId_;
  int32_t width_ = 0;
  int32_t height_ = 0;
  HDC screenCopy_ = nullptr;
  HBITMAP screenBitmap_ = nullptr;
  HGDIOBJ screenOldBitmap_ = nullptr;
  std::vector<unsigned char> screenBits_;
  std::size_t stride_ = 0;
  HBITMAP panelImage_ = nullptr;
  CapturePoint mouse_;
  CaptureRect infoPanel_;
  bool dragging_ = false;
  bool fixed_ = false;
  CapturePoint start_;
  CapturePoint end_;
  HCURSOR cursor_ = nullptr;
};

// What the "屏幕截图" buttons of both editors do: wait 50 ms, run the capture in result mode 3
// and, when it ends with OK and made a picture, insert it at the rich-text control's selection.
class CRichEditCtrlEx;
void CaptureIntoRichEdit(HWND owner, CRichEditCtrlEx& target, UINT templateId,
                         UINT panelBitmapId);
// The second half: a capture that ended with `result` inserts its picture, whether or not the
// clipboard can be had.
void InsertCapturedPicture(HWND owner, CRichEditCtrlEx& target, INT_PTR result,
                           ContentBlock&& picture);

}  // namespace velmor
