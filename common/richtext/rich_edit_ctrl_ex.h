// CRichEditCtrlEx: the rich-text box of both programs. The platform's rich-edit control
// (RichEdit20A) with a context menu, pictures embedded as static OLE objects, and the
// RichContent blob: SaveContent turns text, character formats and pictures into one blob,
// LoadContent rebuilds the control from one.
#pragma once

#include <windows.h>
#include <richedit.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common/base/content_block.h"
#include "common/richtext/rich_content.h"
#include "framework/control.h"

namespace velmor {

// Context-menu commands; they arrive as commands to the control itself.
enum RichEditMenuCommand : UINT {
  kMenuUndo = 101,
  kMenuCut = 102,
  kMenuCopy = 103,
  kMenuPaste = 104,
  kMenuClear = 105,
  kMenuSelectAll = 106,
  kMenuChooseFont = 107,
};

class CRichEditCtrlEx : public fw::CControl {
 public:
  struct PictureEntry {
    int32_t key;   // the user value of the embedded object
    int32_t kind;  // always 1
    ContentBlock record;
  };

  // Loads the rich-edit library; call once before a dialog holding RichEdit20A is made.
  static bool LoadLibrary();

  // Makes the control's own window (instead of attaching to a dialog-template control); it
  // takes its parent's font.
  bool Create(DWORD style, const RECT& rect, HWND parent, int id);

  // Serialises the control into a new blob (the caller owns it). Appends a paragraph break
  // to the control's text, as a side effect of finding the end of the content.
  ContentBlock SaveContent();
  // Replaces the content by the blob's text, formats and pictures. The blob is only read;
  // parts of a damaged blob that reach outside it are left out.
  bool LoadContent(const ContentBlock& blob);
  bool LoadContent(const unsigned char* blob, std::size_t size);
  // Frees every registered picture and empties the text; the picture counter keeps going.
  void ClearContent();

  // Registers the picture record (the control takes it) and embeds it at `position`, or at
  // the selection for -1.
  void InsertPicture(ContentBlock record, int32_t position);
  // Embeds a bitmap as a static picture object with the user value `user`. A failing OLE
  // step is reported as the framework's error message and embeds nothing.
  bool InsertBitmapObject(HBITMAP bitmap, int32_t position, int32_t user);

  void ChooseTextFont();
  // Replaces the whole content by plain text (CR LF becomes one paragraph break).
  void StreamInText(const std::string& text);

  // The context menu with its enable states; the caller destroys it.
  HMENU BuildContextMenu() const;

  int32_t pictureCounter() const { return pictureCounter_; }
  const std::vector<PictureEntry>& pictureRegistry() const { return registry_; }

 protected:
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  LRESULT OnRightButtonUp(WPARAM wParam, LPARAM lParam);
  bool OnCharacter(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  bool OnMenuCommand(UINT id);
  bool SelectionIsEmpty() const;
  CHARFORMATA CharFormatAt(int32_t position);
  void StreamInFormats(const std::string& plain, const std::vector<FormatRun>& runs);
  std::u16string WideText();
  void StreamIn(const std::string& bytes, UINT format);
  std::vector<std::pair<int32_t, int32_t>> EmbeddedObjects();  // (position, user value)

  unsigned char pendingLeadByte_ = 0;  // first half of a double-byte character being typed
  int32_t pictureCounter_ = 0;
  std::vector<PictureEntry> registry_;
};

}  // namespace velmor
