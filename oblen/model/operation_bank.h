// The operation bank: the document of the operation-question editor.
//
// Named groups of operation questions; each question has a task description (a content
// block), graded requirements and an id that binds it to at most one file package. Besides
// the tree the bank keeps the file header image, trailer records, the packages and the
// question-id registry. Elements are addressed by 0-based position within their parent; an
// operation given a position out of range returns false and changes nothing.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/base/byte_order.h"
#include "common/base/byte_stream.h"
#include "common/base/content_block.h"
#include "common/base/fixed_text.h"
#include "common/base/question_id_registry.h"
#include "common/base/trailer_record.h"
#include "oblen/model/requirement.h"

namespace velmor {

// The 356-byte header image of an operation-bank file. Bytes no field names hold what the
// last load read (zero in a bank never loaded) and are written back as they are.
class OperationBankHeader {
 public:
  static constexpr std::size_t kSize = 356;
  static constexpr std::size_t kMagicSize = 16;
  static constexpr std::size_t kPackageCountOffset = 224;
  static constexpr std::size_t kVersionOffset = 344;
  static constexpr std::size_t kTrailerCountOffset = 348;
  static constexpr std::size_t kGroupCountOffset = 352;
  static constexpr int32_t kFormatVersion = 1;

  // "Oblenquest文件" in GBK, without its terminator.
  static std::string_view MagicText();
  // Whether the header starts with the magic text.
  bool HasMagic() const;

  int32_t packageCount() const { return Field(kPackageCountOffset); }
  int32_t formatVersion() const { return Field(kVersionOffset); }
  int32_t trailerCount() const { return Field(kTrailerCountOffset); }
  int32_t groupCount() const { return Field(kGroupCountOffset); }

  void set_packageCount(int32_t count) { SetField(kPackageCountOffset, count); }
  void set_formatVersion(int32_t version) { SetField(kVersionOffset, version); }
  void set_trailerCount(int32_t count) { SetField(kTrailerCountOffset, count); }
  void set_groupCount(int32_t count) { SetField(kGroupCountOffset, count); }

  std::array<unsigned char, kSize>& bytes() { return bytes_; }
  const std::array<unsigned char, kSize>& bytes() const { return bytes_; }

  friend bool operator==(const OperationBankHeader& a, const OperationBankHeader& b) {
    return a.bytes_ == b.bytes_;
  }

 private:
  int32_t Field(std::size_t offset) const { return ReadLe32(bytes_.data() + offset); }
  void SetField(std::size_t offset, int32_t value) { WriteLe32(bytes_.data() + offset, value); }

  std::array<unsigned char, kSize> bytes_{};
};

struct OperationQuestion {
  int32_t id = 0;
  int32_t reservedA = 0;
  int32_t reservedB = 0;
  ContentBlock description;  // always well formed (see ContentBlock::IsWellFormed)
  std::vector<Requirement> requirements;
};

struct QuestionGroup {
  FixedText<128> name;
  std::vector<OperationQuestion> questions;
};

// A packed copy of a folder of original files, bound to a question by id. The data area is
// the concatenation of the package entries (see package_format.h) and is kept verbatim.
struct FilePackage {
  static constexpr std::size_t kRecordSize = 272;

  int32_t questionId = 0;
  FixedText<256> unpackFolder;
  int32_t entryCount = 0;
  std::vector<unsigned char> data;
};

class OperationBank {
 public:
  OperationBank() = default;
  OperationBank(const OperationBank&) = delete;
  OperationBank& operator=(const OperationBank&) = delete;

  const OperationBankHeader& header() const { return header_; }
  const std::vector<QuestionGroup>& groups() const { return groups_; }
  const std::vector<TrailerRecord>& trailerRecords() const { return trailerRecords_; }
  const std::vector<FilePackage>& packages() const { return packages_; }
  int32_t maxQuestionId() const { return registry_.maxId(); }
  const std::vector<int32_t>& usedQuestionIds() const { return registry_.usedIds(); }

  // Element look-up; null when a position is out of range.
  const QuestionGroup* FindGroup(int group) const;
  const OperationQuestion* FindQuestion(int group, int question) const;

  // Empties the tree, trailers, packages and the id registry; the header stays.
  void Clear();

  // Groups. Names are cut to 127 bytes on a character boundary.
  void AddGroup(std::string_view name);
  bool RenameGroup(int group, std::string_view name);
  bool DeleteGroup(int group);

  // Questions. The description must be well formed; on success the bank owns it (it is
  // moved from), on failure the caller keeps it untouched. The id is granted by the registry
  // from `requestedId`.
  bool AddQuestion(int32_t requestedId, int group, ContentBlock&& description,
                   int32_t reservedA, int32_t reservedB);
  bool ReplaceContent(int group, int question, ContentBlock&& description);
  // The question's package stays in the bank: packages are bound by id, not owned.
  bool DeleteQuestion(int group, int question);

  // The requirement list of one question.
  bool AddRequirement(int group, int question, const Requirement& requirement);
  bool ChangeRequirement(int group, int question, int requirement, const Requirement& value);
  bool DeleteRequirement(int group, int question, int requirement);

  // Packages: the first one in list order with the question id wins.
  const FilePackage* FindPackage(int32_t questionId) const;
  void RemovePackage(int32_t questionId);
  void AppendPackage(FilePackage&& package);

  // The .cst format (also "Date.dat"). Load keeps whatever was read before a failure; Save
  // never damages the previous file (it is replaced only once the new one is complete).
  bool Load(const std::string& path);
  bool Save(const std::string& path);
  // Load for callers that must not take a foreign file for a bank: a file whose header lacks
  // the magic text is refused right after the header, before any count in it is believed.
  bool LoadSigned(const std::string& path);

  // The same format over byte streams. LoadFrom starts with the bank cleared.
  bool LoadFrom(ByteSource& source, bool signedOnly = false);
  bool SaveTo(ByteSink& sink);

 private:
  QuestionGroup* MutableGroup(int group);
  OperationQuestion* MutableQuestion(int group, int question);
  void PrepareHeaderForSave();
  bool LoadFile(const std::string& path, bool signedOnly);

  OperationBankHeader header_;
  std::vector<QuestionGroup> groups_;
  std::vector<TrailerRecord> trailerRecords_;
  std::vector<FilePackage> packages_;
  QuestionIdRegistry registry_;
};

// The working bank beside the program: the folder of `modulePath` (up to and including its
// last separator) followed by "Date.dat".
std::string BankPathBeside(std::string_view modulePath);

}  // namespace velmor
