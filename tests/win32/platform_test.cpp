// Facts of the Windows platform the programs rely on, checked where they run.
#include <gtest/gtest.h>
#include <windows.h>

#include "tarvik/model/question_bank.h"
#include "tests/support/test_files.h"

namespace velmor {
namespace {

TEST(WindowsPlatform, TheAnsiCodePageIsGbk) { EXPECT_EQ(GetACP(), 936u); }

TEST(WindowsPlatform, GbkLiteralsAreGbkBytes) {
  EXPECT_EQ(std::string("综合评估问卷"), "\xd7\xdb\xba\xcf\xc6\xc0\xb9\xc0\xce\xca\xbe\xed");
}

TEST(WindowsPlatform, BanksSaveAndLoadUnderGbkPaths) {
  test::TempDir dir;
  std::string path = dir.path() + "\\题库\xb1\xed.lst";  // 表: a trail byte in the name
  QuestionBank bank;
  bank.SetTitle("中文标题");
  bank.AddCategory("分类");
  ASSERT_TRUE(bank.Save(path));
  DWORD attributes = GetFileAttributesA(path.c_str());
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
  QuestionBank loaded;
  ASSERT_TRUE(loaded.Load(path));
  EXPECT_EQ(loaded.title().text(), "中文标题");
  EXPECT_EQ(loaded.categories().at(0).name.text(), "分类");
}

}  // namespace
}  // namespace velmor
