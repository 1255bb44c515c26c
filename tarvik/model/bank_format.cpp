// The .lst file: a 356-byte header, then every category with everything under it in tree
// order, then the trailer records. All integers are 32-bit little-endian.
//
//   category record     132  name[128], big-question count
//   big-question record  20  id, reservedA, reservedB, contentSize, small-question count,
//                            followed by the content block (contentSize bytes)
//   small-question rec.  20  score, reserved, singleChoice, option count, textLength,
//                            followed by textLength text bytes (no terminator)
//   option record        20  score, chosen, isAnswer, selectCount, textLength, then the text
//   trailer record       76
#include <array>
#include <cstring>

#include "common/base/file_stream.h"
#include "common/base/question_record.h"
#include "common/base/record.h"
#include "tarvik/model/question_bank.h"

namespace velmor {

namespace {

struct CategoryRecord {
  static constexpr std::size_t kSize = 132;
  std::array<char, 128> name{};
  int32_t questionCount = 0;
  template <typename Io>
  void Fields(Io& io) {
    io(name);
    io(questionCount);
  }
};

// A small question or an option: four numbers, then the length of the text that follows
// the record (no terminator).
struct SmallQuestionRecord {
  static constexpr std::size_t kSize = 20;
  int32_t score = 0, reserved = 0, singleChoice = 0, optionCount = 0, textLength = 0;
  template <typename Io>
  void Fields(Io& io) {
    io(score);
    io(reserved);
    io(singleChoice);
    io(optionCount);
    io(textLength);
  }
};

struct OptionRecord {
  static constexpr std::size_t kSize = 20;
  int32_t score = 0, chosen = 0, isAnswer = 0, selectCount = 0, textLength = 0;
  template <typename Io>
  void Fields(Io& io) {
    io(score);
    io(chosen);
    io(isAnswer);
    io(selectCount);
    io(textLength);
  }
};

constexpr int32_t kMaxTextLength = 127;

// "综合评估问卷" in GBK and its terminator.
constexpr unsigned char kSignature[13] = {0xd7, 0xdb, 0xba, 0xcf, 0xc6, 0xc0, 0xb9,
                                          0xc0, 0xce, 0xca, 0xbe, 0xed, 0x00};

// A counted text: a length of at most 127 read from its record, then the bytes.
bool ReadCountedText(ByteSource& source, int32_t length, char (&text)[128]) {
  if (length < 0 || length > kMaxTextLength) return false;
  if (!source.Read(text, static_cast<std::size_t>(length))) return false;
  text[length] = '\0';
  return true;
}

// Writes a record whose last field is the length of its text, then the text itself.
template <typename Record>
bool WriteRecordWithText(ByteSink& sink, Record record, const Text128& text) {
  const std::string_view bytes = text.text();  // at most 127 by construction of the field
  record.textLength = static_cast<int32_t>(bytes.size());
  return WriteRecord(sink, record) && sink.Write(bytes.data(), bytes.size());
}

}  // namespace

bool BankHeader::HasSignature() const {
  return std::memcmp(bytes_.data() + kSignatureOffset, kSignature, sizeof kSignature) == 0;
}

bool QuestionBank::LoadFrom(ByteSource& source, bool signedOnly) {
  Clear();
  if (!source.Read(header_.bytes().data(), BankHeader::kSize)) return false;
  title_.AssignRaw(header_.titleCopy());
  // Before any count of a foreign file is believed.
  if (signedOnly && !header_.HasSignature()) return false;

  const int32_t categoryCount = header_.categoryCount();
  for (int32_t c = 0; c < categoryCount; ++c) {
    // Inside the loop, as the format has always been read: a file of another version loads
    // as an empty bank when it has no categories, and stops before the first one otherwise.
    if (header_.formatVersion() != BankHeader::kFormatVersion) return false;
    CategoryRecord categoryRecord;
    if (!ReadRecord(source, categoryRecord)) return false;
    AddCategory(std::string_view(categoryRecord.name.data(), categoryRecord.name.size()));
    const int category = static_cast<int>(categories_.size() - 1);

    for (int32_t q = 0; q < categoryRecord.questionCount; ++q) {
      QuestionRecord record;
      if (!ReadRecord(source, record)) return false;
      if (record.contentSize < static_cast<int32_t>(ContentBlock::kLengthWordSize) ||
          static_cast<uint64_t>(record.contentSize) > source.remaining()) {
        return false;
      }
      ContentBlock content = ContentBlock::Allocate(static_cast<std::size_t>(record.contentSize));
      if (!source.Read(content.data(), content.size()) || !content.IsWellFormed()) return false;
      // A record the document refuses ends the load here: nothing after it may be attached to
      // the question before it.
      if (!AddBigQuestion(category, record.id, std::move(content), record.reservedA,
                          record.reservedB)) {
        return false;
      }
      const int question = static_cast<int>(categories_[category].questions.size() - 1);

      for (int32_t s = 0; s < record.childCount; ++s) {
        SmallQuestionRecord smallRecord;
        char text[128];
        if (!ReadRecord(source, smallRecord) ||
            !ReadCountedText(source, smallRecord.textLength, text)) {
          return false;
        }
        // The stored reserved value is not taken over: in memory it is always 0.
        if (!AddSmallQuestion(category, question, text, smallRecord.singleChoice,
                              smallRecord.score)) {
          return false;
        }
        const int small =
            static_cast<int>(categories_[category].questions[question].smallQuestions.size() - 1);

        for (int32_t o = 0; o < smallRecord.optionCount; ++o) {
          OptionRecord optionRecord;
          if (!ReadRecord(source, optionRecord) ||
              !ReadCountedText(source, optionRecord.textLength, text)) {
            return false;
          }
          if (!AddOption(category, question, small, text, optionRecord.score,
                         optionRecord.isAnswer, optionRecord.chosen, optionRecord.selectCount)) {
            return false;
          }
        }
      }
    }
  }

  // A cut inside the trailer still loads: the complete records before the cut are kept.
  const int32_t trailerCount = header_.trailerCount();
  for (int32_t t = 0; t < trailerCount; ++t) {
    TrailerRecord trailer;
    if (!source.Read(trailer.bytes.data(), TrailerRecord::kSize)) break;
    trailerRecords_.push_back(trailer);
  }
  return true;
}

bool QuestionBank::Load(const std::string& path) { return LoadFile(path, false); }

bool QuestionBank::LoadSigned(const std::string& path) { return LoadFile(path, true); }

bool QuestionBank::LoadFile(const std::string& path, bool signedOnly) {
  // A path the bank could not remember would make a later save go elsewhere.
  if (path.size() > kMaxPathLength || path.find('\0') != std::string::npos) return false;
  filePath_ = path;
  Clear();
  FileSource source;
  if (!source.Open(path)) return false;
  return LoadFrom(source, signedOnly);
}

void QuestionBank::PrepareHeaderForSave() {
  std::memcpy(header_.bytes().data() + BankHeader::kSignatureOffset, kSignature,
              sizeof kSignature);
  header_.set_formatVersion(BankHeader::kFormatVersion);
  header_.set_categoryCount(static_cast<int32_t>(categories_.size()));
  header_.set_trailerCount(static_cast<int32_t>(trailerRecords_.size()));
  std::memcpy(header_.titleCopy(), title_.bytes().data(), Text128::kSize);
}

bool QuestionBank::SaveTo(ByteSink& sink) {
  PrepareHeaderForSave();
  if (!sink.Write(header_.bytes().data(), BankHeader::kSize)) return false;

  for (const Category& category : categories_) {
    CategoryRecord categoryRecord{category.name.bytes(),
                                  static_cast<int32_t>(category.questions.size())};
    if (!WriteRecord(sink, categoryRecord)) return false;

    for (const BigQuestion& question : category.questions) {
      QuestionRecord record{question.id, question.reservedA, question.reservedB,
                            static_cast<int32_t>(question.content.size()),
                            static_cast<int32_t>(question.smallQuestions.size())};
      if (!WriteRecord(sink, record) ||
          !sink.Write(question.content.data(), question.content.size())) {
        return false;
      }

      for (const SmallQuestion& small : question.smallQuestions) {
        SmallQuestionRecord smallRecord{small.score, small.reserved, small.singleChoice,
                                        static_cast<int32_t>(small.options.size())};
        if (!WriteRecordWithText(sink, smallRecord, small.text)) return false;

        for (const ChoiceOption& option : small.options) {
          OptionRecord optionRecord{option.score, option.chosen, option.isAnswer,
                                    option.selectCount};
          if (!WriteRecordWithText(sink, optionRecord, option.text)) return false;
        }
      }
    }
  }

  for (const TrailerRecord& trailer : trailerRecords_) {
    if (!sink.Write(trailer.bytes.data(), TrailerRecord::kSize)) return false;
  }
  return true;
}

bool QuestionBank::Save(const std::string& path) {
  SafeFileWriter writer;
  if (!writer.Begin(path)) return false;
  return SaveTo(writer) && writer.Commit();
}

}  // namespace velmor
