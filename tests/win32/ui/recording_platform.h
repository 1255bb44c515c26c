// A stand-in for the platform seam: answers as a test tells it and keeps what was asked.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "framework/platform.h"

namespace velmor::test {

class RecordingPlatform : public fw::PlatformSeam {
 public:
  struct Message {
    std::string text;
    std::string caption;
    UINT type;
  };
  struct FontAnswer {
    bool ok = false;
    LOGFONTA font{};
    COLORREF colour = 0;
    int pointSizeTenths = 0;
  };

  RecordingPlatform() { fw::SetPlatform(this); }
  ~RecordingPlatform() override { fw::SetPlatform(nullptr); }

  // What was asked.
  std::vector<Message> messages;
  std::vector<fw::FileDialogRequest> fileRequests;
  std::vector<std::string> folderTitles;
  std::vector<UINT> folderFlags;
  std::vector<LOGFONTA> fontRequests;
  std::vector<COLORREF> fontColours;
  std::vector<std::string> shellFiles;

  // How to answer; an empty queue answers IDOK, or "cancelled".
  std::deque<int> messageAnswers;
  std::deque<std::string> fileAnswers;    // "" = cancel
  std::deque<std::string> folderAnswers;  // "" = cancel; "-" = a folder without a path
  std::deque<FontAnswer> fontAnswers;

  int ShowMessage(HWND, const std::string& text, const std::string& caption,
                  UINT type) override {
    messages.push_back({text, caption, type});
    if (messageAnswers.empty()) return IDOK;
    int answer = messageAnswers.front();
    messageAnswers.pop_front();
    return answer;
  }
  bool ChooseFileToOpen(HWND, const fw::FileDialogRequest& request, std::string* path) override {
    return AnswerFile(request, path);
  }
  bool ChooseFileToSave(HWND, const fw::FileDialogRequest& request, std::string* path) override {
    return AnswerFile(request, path);
  }
  bool ChooseFolder(HWND, const std::string& title, UINT flags, std::string* path) override {
    folderTitles.push_back(title);
    folderFlags.push_back(flags);
    if (folderAnswers.empty() || folderAnswers.front().empty()) {
      if (!folderAnswers.empty()) folderAnswers.pop_front();
      return false;
    }
    *path = folderAnswers.front() == "-" ? std::string() : folderAnswers.front();
    folderAnswers.pop_front();
    return true;
  }
  bool ShowFontDialog(HWND, DWORD, LOGFONTA* font, COLORREF* colour,
                      int* pointSizeTenths) override {
    fontRequests.push_back(*font);
    fontColours.push_back(*colour);
    if (fontAnswers.empty()) return false;
    FontAnswer answer = fontAnswers.front();
    fontAnswers.pop_front();
    if (!answer.ok) return false;
    *font = answer.font;
    *colour = answer.colour;
    *pointSizeTenths = answer.pointSizeTenths;
    return true;
  }
  INT_PTR ExecuteShell(HWND, const std::string&, const std::string& file, const std::string&,
                       const std::string&, int) override {
    shellFiles.push_back(file);
    return 42;
  }

 private:
  bool AnswerFile(const fw::FileDialogRequest& request, std::string* path) {
    fileRequests.push_back(request);
    if (fileAnswers.empty()) return false;
    std::string answer = fileAnswers.front();
    fileAnswers.pop_front();
    if (answer.empty()) return false;
    *path = answer;
    return true;
  }
};

}  // namespace velmor::test
