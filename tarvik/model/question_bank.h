// The question bank: the document of the question-bank editor.
//
// A four-level tree (categories, big questions, small questions, options) plus the file
// header image, trailer records, the question-id registry and the path of the last load.
// Elements are addressed by 0-based position within their parent; an operation given a
// position out of range returns false and changes nothing.
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

namespace velmor {

using Text128 = FixedText<128>;

enum BankKind : int32_t {
  kKindNone = 0,
  kKindChoice = 1,
  kKindQuestionnaire = 2,
  kKindPeerReview = 3,
  kKindCheckAnswers = 101,  // only in a run copy
  kKindStatistics = 201,    // only in a run copy
};

// The 356-byte header image of a bank file. Bytes no field names hold what the last load
// read (zero in a bank never loaded) and are written back as they are.
class BankHeader {
 public:
  static constexpr std::size_t kSize = 356;
  static constexpr std::size_t kSignatureOffset = 0;
  static constexpr std::size_t kSignatureSize = 16;
  static constexpr std::size_t kTitleOffset = 92;
  static constexpr std::size_t kKindOffset = 220;
  static constexpr std::size_t kVersionOffset = 344;
  static constexpr std::size_t kTrailerCountOffset = 348;
  static constexpr std::size_t kCategoryCountOffset = 352;
  static constexpr int32_t kFormatVersion = 2;

  // Whether the header starts with the bank signature "综合评估问卷" and its terminator.
  bool HasSignature() const;
  int32_t kind() const { return Field(kKindOffset); }
  int32_t formatVersion() const { return Field(kVersionOffset); }
  int32_t trailerCount() const { return Field(kTrailerCountOffset); }
  int32_t categoryCount() const { return Field(kCategoryCountOffset); }

  void set_kind(int32_t kind) { SetField(kKindOffset, kind); }
  void set_formatVersion(int32_t version) { SetField(kVersionOffset, version); }
  void set_trailerCount(int32_t count) { SetField(kTrailerCountOffset, count); }
  void set_categoryCount(int32_t count) { SetField(kCategoryCountOffset, count); }

  const unsigned char* titleCopy() const { return bytes_.data() + kTitleOffset; }
  unsigned char* titleCopy() { return bytes_.data() + kTitleOffset; }

  std::array<unsigned char, kSize>& bytes() { return bytes_; }
  const std::array<unsigned char, kSize>& bytes() const { return bytes_; }

  friend bool operator==(const BankHeader& a, const BankHeader& b) { return a.bytes_ == b.bytes_; }

 private:
  int32_t Field(std::size_t offset) const { return ReadLe32(bytes_.data() + offset); }
  void SetField(std::size_t offset, int32_t value) { WriteLe32(bytes_.data() + offset, value); }

  std::array<unsigned char, kSize> bytes_{};
};

struct ChoiceOption {
  Text128 text;
  int32_t score = 0;
  int32_t chosen = 0;
  int32_t isAnswer = 0;
  int32_t selectCount = 0;
};

struct SmallQuestion {
  Text128 text;
  int32_t singleChoice = 1;
  int32_t score = 0;
  int32_t reserved = 0;
  std::vector<ChoiceOption> options;
};

struct BigQuestion {
  int32_t id = 0;
  int32_t reservedA = 0;
  int32_t reservedB = 0;
  std::vector<SmallQuestion> smallQuestions;
  ContentBlock content;  // the stem; always well formed (see ContentBlock::IsWellFormed)
};

struct Category {
  Text128 name;
  std::vector<BigQuestion> questions;
};

class QuestionBank {
 public:
  static constexpr std::size_t kMaxPathLength = 511;

  QuestionBank() = default;
  QuestionBank(const QuestionBank&) = delete;
  QuestionBank& operator=(const QuestionBank&) = delete;

  // Read access for the editor lists and the answering views.
  const std::vector<Category>& categories() const { return categories_; }
  const Text128& title() const { return title_; }
  const BankHeader& header() const { return header_; }
  const std::vector<TrailerRecord>& trailerRecords() const { return trailerRecords_; }
  int32_t maxQuestionId() const { return registry_.maxId(); }
  const std::vector<int32_t>& usedQuestionIds() const { return registry_.usedIds(); }
  const std::string& filePath() const { return filePath_; }

  // Element look-up; null when a position is out of range.
  const Category* FindCategory(int category) const;
  const BigQuestion* FindBigQuestion(int category, int question) const;
  const SmallQuestion* FindSmallQuestion(int category, int question, int small) const;
  const ChoiceOption* FindOption(int category, int question, int small, int option) const;

  void SetTitle(std::string_view title) { title_.Assign(title); }
  void SetKind(int32_t kind) { header_.set_kind(kind); }
  // Ticks or unticks an option, as an answering run does in its own copy.
  bool SetChosen(int category, int question, int small, int option, int32_t chosen);

  // Categories.
  void AddCategory(std::string_view name);
  bool RenameCategory(int category, std::string_view name);
  bool DeleteCategory(int category);
  void RemoveAllCategories();
  // Moves the big questions of category `source` behind those of `target` and removes the
  // source; both numbers 1-based. Equal numbers are refused.
  bool MergeCategories(int32_t target, int32_t source);

  // Big questions. The block must be well formed. On success the bank owns it (it is moved
  // from); on failure the caller keeps it untouched.
  bool AddBigQuestion(int category, int32_t requestedId, ContentBlock&& content,
                      int32_t reservedA, int32_t reservedB);
  bool ReplaceContent(int category, int question, ContentBlock&& content);
  bool DeleteBigQuestion(int category, int question);

  // Small questions.
  bool AddSmallQuestion(int category, int question, std::string_view text, int32_t singleChoice,
                        int32_t score);
  bool ChangeSmallQuestion(int category, int question, int small, std::string_view text,
                           int32_t singleChoice, int32_t score);
  bool DeleteSmallQuestion(int category, int question, int small);

  // Options.
  bool AddOption(int category, int question, int small, std::string_view text, int32_t score,
                 int32_t isAnswer, int32_t chosen, int32_t selectCount);
  bool ChangeOption(int category, int question, int small, int option, std::string_view text,
                    int32_t score, int32_t isAnswer);
  bool DeleteOption(int category, int question, int small, int option);

  // Whole-bank operations.
  bool AppendFromFile(const std::string& path);
  void Clear();
  void CopyFrom(const QuestionBank& source);
  int32_t GrantQuestionId(int32_t requested) { return registry_.Grant(requested); }
  void ResetSelectCounts();
  void ResetChoices();

  // The .lst file format. Load keeps whatever was read before a failure; Save never damages
  // the previous file (it is replaced only once the new one is complete).
  bool Load(const std::string& path);
  bool Save(const std::string& path);
  // Load for callers that must not take a foreign file for a bank: a file whose header lacks
  // the signature is refused right after the header, before any count in it is believed
  // (header() then tells why).
  bool LoadSigned(const std::string& path);

  // The same formats over byte streams. LoadFrom starts with the bank cleared.
  bool LoadFrom(ByteSource& source, bool signedOnly = false);
  bool SaveTo(ByteSink& sink);

 private:
  Category* MutableCategory(int category);
  BigQuestion* MutableBigQuestion(int category, int question);
  SmallQuestion* MutableSmallQuestion(int category, int question, int small);
  void PrepareHeaderForSave();
  bool LoadFile(const std::string& path, bool signedOnly);

  std::vector<Category> categories_;
  Text128 title_;
  BankHeader header_;
  std::vector<TrailerRecord> trailerRecords_;
  QuestionIdRegistry registry_;
  std::string filePath_;
};

}  // namespace velmor
