// CNavigateButton: the owner-drawn picture button of the question-bank editor. It draws one
// of three library bitmaps (normal, hover, pressed) and tracks the mouse to switch between
// the normal and the hover face.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "framework/control.h"

namespace velmor {

// The process-wide list of the 40 button bitmaps, resources 144 to 183; triple k is entries
// 3k (normal), 3k + 1 (hover) and 3k + 2 (pressed).
class ButtonBitmapLibrary {
 public:
  static constexpr UINT kFirstResource = 144;
  static constexpr int kCount = 40;

  // Loads the bitmaps of `module` in ascending resource order; an entry whose resource is
  // missing holds no bitmap. Loading again replaces the earlier bitmaps.
  static void Load(HINSTANCE module);
  static void Free();
  // Entry n, or null beyond the list or for a missing resource.
  static HBITMAP Entry(int n);
};

inline void LoadButtonBitmaps(HINSTANCE module) { ButtonBitmapLibrary::Load(module); }

class CNavigateButton : public fw::CControl {
 public:
  enum class Face { kNormal, kHover, kPressed, kDisabled };

  // Makes the template button owner-drawn and attaches to it.
  bool AttachToTemplateButton(int id, HWND parent);

  void SetBitmaps(int triple);
  void SetPosition(int32_t x, int32_t y);

  bool hover() const { return hover_; }
  int32_t bitmapWidth() const { return bitmapWidth_; }
  int32_t bitmapHeight() const { return bitmapHeight_; }
  // The face an owner-draw request with these state flags shows.
  Face FaceFor(UINT itemState) const;

  bool OnDrawItem(DRAWITEMSTRUCT* item) override;

 protected:
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  LRESULT OnMouseMove(WPARAM wParam, LPARAM lParam);
  LRESULT OnLeftButton(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnCaptureChanged(WPARAM wParam, LPARAM lParam);
  void EndHoverIfPointerLeft();

  bool hover_ = false;
  COLORREF faceColour_ = RGB(255, 255, 255);
  HBITMAP normal_ = nullptr;
  HBITMAP hoverBitmap_ = nullptr;
  HBITMAP pressed_ = nullptr;
  int32_t x_ = 0;
  int32_t y_ = 0;
  int32_t bitmapWidth_ = 0;
  int32_t bitmapHeight_ = 0;
};

}  // namespace velmor
