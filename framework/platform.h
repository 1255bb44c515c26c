// The one seam for what a test cannot click: message boxes, the file and folder choosers,
// the font dialog and the shell. The programs use the real calls; Windows tests install a
// recorder that answers as told and keeps what was asked.
#pragma once

#include <windows.h>

#include <string>

namespace fw {

struct FileDialogRequest {
  // Filter in the "name|pattern|name|pattern||" form of our file dialogs.
  std::string filter;
  std::string defaultExtension;
  std::string initialName;
};

class PlatformSeam {
 public:
  virtual ~PlatformSeam() = default;

  // MessageBoxA; returns the button chosen (IDOK, IDYES ...).
  virtual int ShowMessage(HWND owner, const std::string& text, const std::string& caption,
                          UINT type) = 0;
  // The open and save file dialogs; false when the user cancelled.
  virtual bool ChooseFileToOpen(HWND owner, const FileDialogRequest& request,
                                std::string* path) = 0;
  virtual bool ChooseFileToSave(HWND owner, const FileDialogRequest& request,
                                std::string* path) = 0;
  // The shell's folder browser with these BIF_ flags, rooted at the desktop; false when the
  // user cancelled. A chosen folder without a file-system path gives an empty path.
  virtual bool ChooseFolder(HWND owner, const std::string& title, UINT flags,
                            std::string* path) = 0;
  // The font dialog, started from `font` and `colour`; on OK also gives the chosen size in
  // tenths of a point. False when the user cancelled.
  virtual bool ShowFontDialog(HWND owner, DWORD flags, LOGFONTA* font, COLORREF* colour,
                          int* pointSizeTenths) = 0;
  // ShellExecuteA; returns its result (above 32 on success).
  virtual INT_PTR ExecuteShell(HWND owner, const std::string& operation, const std::string& file,
                               const std::string& parameters, const std::string& folder,
                               int show) = 0;
};

// The seam in force: the real platform unless a test installed another.
PlatformSeam& Platform();
// Installs `seam` (null: the real platform again). The caller keeps ownership.
void SetPlatform(PlatformSeam* seam);

// The framework's error message: a message box with the application's title.
void ReportError(HWND owner, const std::string& text);

}  // namespace fw
