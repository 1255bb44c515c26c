// Replays the fuzzing corpora of the operation bank and the package data: every file, valid
// or damaged, loads without harm; whatever was read saves to a file that loads completely and
// saves again to the same bytes; unpacking any package writes only inside its folder.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/base/byte_order.h"
#include "oblen/model/operation_bank.h"
#include "oblen/model/package_format.h"
#include "oblen/model/packing.h"
#include "tests/oblen/support/fake_file_access.h"
#include "tests/support/test_files.h"

namespace velmor {
namespace {

void ExpectUnpacksInside(const FilePackage& package) {
  test::FakeFileAccess files;
  files.AddFolder("C:");
  files.AddFolder("C:\\u");
  FilePackage copy;
  copy.unpackFolder.Assign("C:\\u");
  copy.entryCount = package.entryCount;
  copy.data = package.data;
  Unpack(files, copy);
  for (const std::string& path : files.writeAttempts()) {
    EXPECT_EQ(path.rfind("C:\\u\\", 0), 0u) << path;
    EXPECT_EQ(path.find(".."), std::string::npos) << path;
  }
}

TEST(CstCorpus, EveryFileLoadsSafelyAndResavesStably) {
  std::size_t files = 0;
  std::size_t complete = 0;
  for (const auto& entry : std::filesystem::directory_iterator(test::SourcePath("fuzz/corpus/cst"))) {
    SCOPED_TRACE(entry.path().filename().string());
    OperationBank bank;
    if (bank.Load(entry.path().string())) ++complete;
    MemorySink first;
    ASSERT_TRUE(bank.SaveTo(first));
    OperationBank reloaded;
    MemorySource source(first.bytes().data(), first.bytes().size());
    ASSERT_TRUE(reloaded.LoadFrom(source));
    MemorySink second;
    ASSERT_TRUE(reloaded.SaveTo(second));
    EXPECT_EQ(first.bytes(), second.bytes());
    for (const FilePackage& package : bank.packages()) ExpectUnpacksInside(package);
    ++files;
  }
  EXPECT_GE(files, 15u);
  EXPECT_GE(complete, 4u);
  EXPECT_LT(complete, files);  // the corpus holds damaged files too
}

TEST(PackageCorpus, EveryDataAreaIsReadSafelyAndUnpacksInsideItsFolder) {
  std::size_t files = 0;
  std::size_t consistent = 0;
  for (const auto& entry :
       std::filesystem::directory_iterator(test::SourcePath("fuzz/corpus/package"))) {
    SCOPED_TRACE(entry.path().filename().string());
    test::Bytes bytes = test::ReadFileBytes(entry.path().string());
    ASSERT_GE(bytes.size(), 4u);
    FilePackage package;
    package.entryCount = ReadLe32(bytes.data());
    package.data.assign(bytes.begin() + 4, bytes.end());
    if (IsConsistentPackageData(package.data.data(), package.data.size(), package.entryCount)) {
      ++consistent;
    }
    ExpectUnpacksInside(package);
    ++files;
  }
  EXPECT_GE(files, 8u);
  EXPECT_GE(consistent, 4u);
  EXPECT_LT(consistent, files);
}

}  // namespace
}  // namespace velmor
