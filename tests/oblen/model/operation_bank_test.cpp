#include <gtest/gtest.h>

#include "oblen/model/operation_bank.h"
#include "tests/support/test_files.h"

namespace velmor {
namespace {

ContentBlock Block(const char* text = "task") {
  return ContentBlock::WithPayload(text, std::char_traits<char>::length(text));
}

std::vector<int32_t> Ids(const OperationBank& bank, int group) {
  std::vector<int32_t> ids;
  for (const OperationQuestion& q : bank.FindGroup(group)->questions) ids.push_back(q.id);
  return ids;
}

FilePackage Package(int32_t questionId, const char* folder) {
  FilePackage package;
  package.questionId = questionId;
  package.unpackFolder.Assign(folder);
  return package;
}

TEST(OperationBank, IdsAreGrantedInOrderAndNeverReused) {
  OperationBank bank;
  bank.AddGroup("g");
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(bank.AddQuestion(1, 0, Block(), 0, 0));
  EXPECT_EQ(Ids(bank, 0), (std::vector<int32_t>{1, 2, 3}));
  ASSERT_TRUE(bank.DeleteQuestion(0, 1));
  ASSERT_TRUE(bank.AddQuestion(1, 0, Block(), 0, 0));
  EXPECT_EQ(Ids(bank, 0), (std::vector<int32_t>{1, 3, 4}));
  EXPECT_EQ(bank.usedQuestionIds(), (std::vector<int32_t>{1, 2, 3, 4}));

  bank.Clear();
  EXPECT_EQ(bank.maxQuestionId(), 0);
  EXPECT_TRUE(bank.usedQuestionIds().empty());
  bank.AddGroup("g");
  ASSERT_TRUE(bank.AddQuestion(1, 0, Block(), 0, 0));
  EXPECT_EQ(Ids(bank, 0), (std::vector<int32_t>{1}));
}

TEST(OperationBank, OutOfRangePositionsAndBadBlocksChangeNothing) {
  OperationBank bank;
  ContentBlock block = Block("kept");
  EXPECT_FALSE(bank.AddQuestion(1, 0, std::move(block), 0, 0));
  EXPECT_EQ(block, Block("kept"));  // the caller still owns it
  bank.AddGroup("g");
  EXPECT_FALSE(bank.AddQuestion(1, 0, ContentBlock::FromBytes("\x09\0\0\0", 4), 0, 0));
  EXPECT_FALSE(bank.AddQuestion(1, -1, Block(), 0, 0));
  EXPECT_TRUE(bank.usedQuestionIds().empty());  // refused questions take no id
  ASSERT_TRUE(bank.AddQuestion(1, 0, Block(), 7, 8));
  EXPECT_EQ(bank.FindQuestion(0, 0)->reservedA, 7);
  EXPECT_EQ(bank.FindQuestion(0, 0)->reservedB, 8);

  Requirement requirement = Requirement::Build("d", "e", 1, "t", "p");
  EXPECT_FALSE(bank.RenameGroup(1, "x"));
  EXPECT_FALSE(bank.DeleteGroup(-1));
  EXPECT_FALSE(bank.ReplaceContent(0, 1, Block("new")));
  EXPECT_FALSE(bank.DeleteQuestion(1, 0));
  EXPECT_FALSE(bank.AddRequirement(0, 1, requirement));
  EXPECT_FALSE(bank.ChangeRequirement(0, 0, 0, requirement));
  EXPECT_FALSE(bank.DeleteRequirement(0, 0, 0));
  EXPECT_EQ(bank.FindGroup(0)->name.text(), "g");
  EXPECT_EQ(bank.FindQuestion(0, 0)->description, Block());

  ASSERT_TRUE(bank.ReplaceContent(0, 0, Block("new")));
  EXPECT_EQ(bank.FindQuestion(0, 0)->description, Block("new"));
}

TEST(OperationBank, RequirementListIsEditedInPlace) {
  OperationBank bank;
  bank.AddGroup("g");
  ASSERT_TRUE(bank.AddQuestion(1, 0, Block(), 0, 0));
  ASSERT_TRUE(bank.AddRequirement(0, 0, Requirement::Build("a", "", 1, "", "")));
  ASSERT_TRUE(bank.AddRequirement(0, 0, Requirement::Build("b", "", 2, "", "")));
  ASSERT_TRUE(bank.AddRequirement(0, 0, Requirement::Build("c", "", 3, "", "")));
  ASSERT_TRUE(bank.ChangeRequirement(0, 0, 1, Requirement::Build("B", "", 20, "", "")));
  ASSERT_TRUE(bank.DeleteRequirement(0, 0, 0));
  const auto& list = bank.FindQuestion(0, 0)->requirements;
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].description(), "B");
  EXPECT_EQ(list[0].score(), 20);
  EXPECT_EQ(list[1].description(), "c");
}

TEST(OperationBank, GroupNamesAreCutOnCharacterBoundaries) {
  OperationBank bank;
  bank.AddGroup(std::string(200, 'n'));
  EXPECT_EQ(bank.FindGroup(0)->name.text(), std::string(127, 'n'));
  // 126 ASCII bytes and a double-byte character: the character does not fit and goes whole.
  ASSERT_TRUE(bank.RenameGroup(0, std::string(126, 'a') + "组"));
  EXPECT_EQ(bank.FindGroup(0)->name.text(), std::string(126, 'a'));
  bank.AddGroup("");
  EXPECT_TRUE(bank.FindGroup(1)->name.empty());
  ASSERT_TRUE(bank.DeleteGroup(0));
  EXPECT_EQ(bank.groups().size(), 1u);
}

TEST(OperationBank, PackagesAreBoundByIdAndOutliveTheirQuestion) {
  OperationBank bank;
  bank.AddGroup("g");
  ASSERT_TRUE(bank.AddQuestion(1, 0, Block(), 0, 0));
  ASSERT_TRUE(bank.AddQuestion(1, 0, Block(), 0, 0));
  bank.AppendPackage(Package(2, "first"));
  bank.AppendPackage(Package(1, "other"));
  bank.AppendPackage(Package(2, "second"));
  EXPECT_EQ(bank.FindPackage(2)->unpackFolder.text(), "first");
  EXPECT_EQ(bank.FindPackage(3), nullptr);

  ASSERT_TRUE(bank.DeleteQuestion(0, 1));
  EXPECT_NE(bank.FindPackage(2), nullptr);

  // After a save and reload the largest id is 1, so the next question gets 2 and finds the
  // package that was left behind.
  MemorySink sink;
  ASSERT_TRUE(bank.SaveTo(sink));
  OperationBank reloaded;
  MemorySource source(sink.bytes().data(), sink.bytes().size());
  ASSERT_TRUE(reloaded.LoadFrom(source));
  ASSERT_TRUE(reloaded.AddQuestion(1, 0, Block(), 0, 0));
  EXPECT_EQ(reloaded.FindQuestion(0, 1)->id, 2);
  EXPECT_EQ(reloaded.FindPackage(2)->unpackFolder.text(), "first");

  reloaded.RemovePackage(2);
  EXPECT_EQ(reloaded.FindPackage(2)->unpackFolder.text(), "second");
  reloaded.RemovePackage(9);  // none: nothing happens
  EXPECT_EQ(reloaded.packages().size(), 2u);
}

TEST(OperationBank, BankPathBesideTheProgram) {
  struct Case {
    std::string module;
    std::string expected;
  };
  const Case cases[] = {
      {"C:\\Program\\Oblen.exe", "C:\\Program\\Date.dat"},
      {"C:\\考生\\Oblen.exe", "C:\\考生\\Date.dat"},
      // A trail byte 0x5C is part of its character, not a separator.
      {std::string("C:\\dir\\\x81\x5c.exe"), "C:\\dir\\Date.dat"},
      {"Oblen.exe", "Date.dat"},
  };
  for (const Case& c : cases) EXPECT_EQ(BankPathBeside(c.module), c.expected) << c.module;
}

TEST(Requirement, BuiltRecordsHoldCutTextsCategoryOneAndZeros) {
  std::string longText = std::string(254, 'x') + "组";  // 256 bytes: the character goes
  Requirement r = Requirement::Build(longText, "e", -7, "t", std::string(300, 'p'));
  EXPECT_EQ(r.description(), std::string(254, 'x'));
  EXPECT_EQ(r.matchPattern(), std::string(255, 'p'));
  EXPECT_EQ(r.score(), -7);
  EXPECT_EQ(r.category(), 1);
  test::ByteImage expected;
  expected.Field(std::string(254, 'x'), 256).Field("e", 256).Int32(-7).Int32(1).Field("t", 256)
      .Field(std::string(255, 'p'), 256).Zeros(256);
  EXPECT_TRUE(std::equal(r.bytes().begin(), r.bytes().end(), expected.bytes().begin()));

  // A field a file filled to the brim reads as its first 255 bytes.
  test::Bytes raw(1288, 'q');
  Requirement full = Requirement::FromBytes(raw.data());
  EXPECT_EQ(full.description(), std::string(255, 'q'));
  EXPECT_EQ(full.matchPattern(), std::string(255, 'q'));
}

}  // namespace
}  // namespace velmor
