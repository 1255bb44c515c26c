// Replays the fuzzing corpus: every file, valid or damaged, loads without harm, and whatever
// was read saves to a file that loads completely and saves again to the same bytes.
#include <gtest/gtest.h>

#include <filesystem>

#include "tarvik/model/question_bank.h"
#include "tests/support/test_files.h"

namespace velmor {
namespace {

TEST(LstCorpus, EveryFileLoadsSafelyAndResavesStably) {
  std::string folder = test::SourcePath("fuzz/corpus/lst");
  std::size_t files = 0;
  std::size_t complete = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    SCOPED_TRACE(entry.path().filename().string());
    QuestionBank bank;
    if (bank.Load(entry.path().string())) ++complete;
    MemorySink first;
    ASSERT_TRUE(bank.SaveTo(first));
    QuestionBank reloaded;
    MemorySource source(first.bytes().data(), first.bytes().size());
    ASSERT_TRUE(reloaded.LoadFrom(source));
    MemorySink second;
    ASSERT_TRUE(reloaded.SaveTo(second));
    EXPECT_EQ(first.bytes(), second.bytes());
    ++files;
  }
  EXPECT_GE(files, 10u);
  EXPECT_GE(complete, 3u);
  EXPECT_LT(complete, files);  // the corpus holds damaged files too
}

}  // namespace
}  // namespace velmor
