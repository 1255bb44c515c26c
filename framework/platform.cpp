#include "framework/platform.h"

#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

#include <vector>

#include "framework/app.h"

namespace fw {

namespace {

// "a|b|c|d||" -> "a\0b\0c\0d\0\0" as the file dialogs want it.
std::vector<char> FilterForDialog(const std::string& filter) {
  std::vector<char> result(filter.begin(), filter.end());
  for (char& c : result)
    if (c == '|') c = '\0';
  result.push_back('\0');
  result.push_back('\0');
  return result;
}

bool RunFileDialog(HWND owner, const FileDialogRequest& request, std::string* path, bool save) {
  std::vector<char> filter = FilterForDialog(request.filter);
  char file[MAX_PATH] = {};
  request.initialName.copy(file, sizeof file - 1);
  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter.data();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = file;
  dialog.nMaxFile = sizeof file;
  dialog.lpstrDefExt = request.defaultExtension.empty() ? nullptr : request.defaultExtension.c_str();
  dialog.Flags = OFN_HIDEREADONLY | OFN_EXPLORER |
                 (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST);
  BOOL chosen = save ? ::GetSaveFileNameA(&dialog) : ::GetOpenFileNameA(&dialog);
  if (!chosen) return false;
  *path = file;
  return true;
}

class RealPlatform : public PlatformSeam {
 public:
  int ShowMessage(HWND owner, const std::string& text, const std::string& caption,
                  UINT type) override {
    return ::MessageBoxA(owner, text.c_str(), caption.c_str(), type);
  }

  bool ChooseFileToOpen(HWND owner, const FileDialogRequest& request,
                        std::string* path) override {
    return RunFileDialog(owner, request, path, false);
  }

  bool ChooseFileToSave(HWND owner, const FileDialogRequest& request,
                        std::string* path) override {
    return RunFileDialog(owner, request, path, true);
  }

  bool ChooseFolder(HWND owner, const std::string& title, UINT flags,
                    std::string* path) override {
    BROWSEINFOA browse{};
    browse.hwndOwner = owner;
    browse.lpszTitle = title.c_str();
    browse.ulFlags = flags;
    PIDLIST_ABSOLUTE chosen = ::SHBrowseForFolderA(&browse);
    if (!chosen) return false;
    char folder[MAX_PATH] = {};
    if (!::SHGetPathFromIDListA(chosen, folder)) folder[0] = '\0';
    ::CoTaskMemFree(chosen);
    *path = folder;
    return true;
  }

  bool ShowFontDialog(HWND owner, DWORD flags, LOGFONTA* font, COLORREF* colour,
                  int* pointSizeTenths) override {
    CHOOSEFONTA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpLogFont = font;
    dialog.Flags = flags | CF_INITTOLOGFONTSTRUCT;
    dialog.rgbColors = *colour;
    if (!::ChooseFontA(&dialog)) return false;
    *colour = dialog.rgbColors;
    *pointSizeTenths = dialog.iPointSize;
    return true;
  }

  INT_PTR ExecuteShell(HWND owner, const std::string& operation, const std::string& file,
                       const std::string& parameters, const std::string& folder,
                       int show) override {
    return reinterpret_cast<INT_PTR>(::ShellExecuteA(
        owner, operation.empty() ? nullptr : operation.c_str(), file.c_str(),
        parameters.empty() ? nullptr : parameters.c_str(),
        folder.empty() ? nullptr : folder.c_str(), show));
  }
};

RealPlatform g_real;
PlatformSeam* g_seam = &g_real;

}  // namespace

PlatformSeam& Platform() { return *g_seam; }

void SetPlatform(PlatformSeam* seam) { g_seam = seam ? seam : &g_real; }

void ReportError(HWND owner, const std::string& text) {
  Platform().ShowMessage(owner, text, ApplicationTitle(), MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace fw
