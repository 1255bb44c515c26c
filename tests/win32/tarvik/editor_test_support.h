// Drives the real editor window the way a user's actions do: button commands, list clicks
// (select the row, then the click notification), typing into boxes, menu commands.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "tarvik/editor/tarvik_dlg.h"
#include "tarvik/resources/resource.h"
#include "tests/support/test_files.h"
#include "tests/win32/ui/dialog_driver.h"
#include "tests/win32/ui/recording_platform.h"

namespace velmor::test {

class EditorTest : public ::testing::Test, protected DialogDriver {
 protected:
  EditorTest() : DialogDriver(dialog) {}
  void SetUp() override { ASSERT_TRUE(dialog.Create(nullptr)); }

  // Builds a little tree through the window: categories, then big questions in the first.
  void AddCategory(const std::string& name) {
    Type(IDC_CATEGORY_NAME, name);
    Command(IDC_CATEGORY_ADD);
  }
  void AddBigQuestion(int category, const std::string& stem) {
    ClickRow(IDC_CATEGORY_LIST, category);
    dialog.stemEditor().StreamInText(stem);
    Command(IDC_BIG_ADD);
  }
  void AddSmallQuestion(const std::string& text, bool single, int score) {
    Type(IDC_SMALL_TEXT, text);
    Check(IDC_SINGLE_CHOICE, single);
    Type(IDC_SMALL_SCORE, std::to_string(score));
    Command(IDC_SMALL_ADD);
  }
  void AddOption(const std::string& text, int score, bool answer) {
    Type(IDC_OPTION_TEXT, text);
    Type(IDC_OPTION_SCORE, std::to_string(score));
    Check(IDC_OPTION_IS_ANSWER, answer);
    Command(IDC_OPTION_ADD);
  }

  RecordingPlatform platform;
  QuestionBank bank;
  CTarvikDlg dialog{bank};
};

}  // namespace velmor::test
