// The Oblen window tests: the real main window over a bank of our own, the framework's
// recorder in place of message boxes and file dialogs, and a watcher that closes any modal
// window a command opens (so that a command which must open none fails instead of hanging).
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "oblen/editor/oblen_dlg.h"
#include "oblen/editor/win32_file_access.h"
#include "oblen/resources/resource.h"
#include "tests/support/test_files.h"
#include "tests/win32/ui/dialog_driver.h"
#include "tests/win32/ui/recording_platform.h"

namespace velmor::test {

// Runs `action`; every visible window of this thread that appears meanwhile, other than
// `owner`, is noted by its caption and closed with Esc. Returns the captions.
std::vector<std::string> CaptionsOfModalWindows(HWND owner, void (*action)(void*), void* context);

// A description block as the editor makes it from plain text.
ContentBlock Description(const std::string& text);

class OblenTest : public ::testing::Test, protected DialogDriver {
 protected:
  OblenTest() : DialogDriver(dialog) {}
  void SetUp() override { ASSERT_TRUE(dialog.Create(nullptr)); }

  void AddGroup(const std::string& name) {
    Type(IDC_GROUP_NAME, name);
    Command(IDC_GROUP_ADD);
  }
  void AddQuestion(int group, const std::string& text) {
    ClickRow(IDC_GROUP_LIST, group);
    dialog.descriptionEditor().StreamInText(text);
    Command(IDC_QUESTION_ADD);
  }
  std::string EditorText() {
    std::string text = dialog.descriptionEditor().GetText();
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.pop_back();
    return text;
  }
  // The commands of this kind that opened a window, by caption.
  std::vector<std::string> ModalWindowsOf(int command) {
    struct Context {
      OblenTest* test;
      int command;
    } context{this, command};
    return CaptionsOfModalWindows(
        dialog.hwnd(),
        [](void* raw) {
          auto* run = static_cast<Context*>(raw);
          run->test->Command(run->command);
        },
        &context);
  }

  TempDir dir;
  RecordingPlatform platform;
  OperationBank bank;
  Win32FileAccess files;
  COblenDlg dialog{bank, files, dir.File("Date.dat")};
};

}  // namespace velmor::test
