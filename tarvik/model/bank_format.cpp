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
#include <cstring>

#include "common/base/file_stream.h"
#include "tarvik/model/question_bank.h"

namespace velmor {

namespace {

constexpr std::size_t kCategoryRecordSize = 132;
constexpr std::size_t kNameSize = 128;
constexpr std::size_t kBigQuestionRecordSize = 20;
constexpr std::size_t kSmallQuestionRecordSize = 20;
constexpr std::size_t kOptionRecordSize = 20;
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

// Writes a record whose last field is the text length, then the text itself.
bool WriteRecordWithText(ByteSink& sink, unsigned char (&record)[20], const Text128& text) {
  std::size_t length = text.text().size();  // at most 127 by construction of the field
  WriteLe32(record + 16, static_cast<int32_t>(length));
  return sink.Write(record, sizeof record) && sink.Write(text.c_str(), length);
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
    unsigned char categoryRecord[kCategoryRecordSize];
    if (!source.Read(categoryRecord, sizeof categoryRecord)) return false;
    AddCategory(std::string_view(reinterpret_cast<const char*>(categoryRecord), kNameSize));
    const int category = static_cast<int>(categories_.size() - 1);

    const int32_t questionCount = ReadLe32(categoryRecord + kNameSize);
    for (int32_t q = 0; q < questionCount; ++q) {
      unsigned char record[kBigQuestionRecordSize];
      if (!source.Read(record, sizeof record)) return false;
      const int32_t contentSize = ReadLe32(record + 12);
      if (contentSize < static_cast<int32_t>(ContentBlock::kLengthWordSize) ||
          static_cast<uint64_t>(contentSize) > source.remaining()) {
        return false;
      }
      ContentBlock content = ContentBlock::Allocate(static_cast<std::size_t>(contentSize));
      if (!source.Read(content.data(), content.size()) || !content.IsWellFormed()) return false;
      // A record the document refuses ends the load here: nothing after it may be attached to
      // the question before it.
      if (!AddBigQuestion(category, ReadLe32(record), std::move(content), ReadLe32(record + 4),
                          ReadLe32(record + 8))) {
        return false;
      }
      const int question = static_cast<int>(categories_[category].questions.size() - 1);

      const int32_t smallCount = ReadLe32(record + 16);
      for (int32_t s = 0; s < smallCount; ++s) {
        unsigned char smallRecord[kSmallQuestionRecordSize];
        char text[128];
        if (!source.Read(smallRecord, sizeof smallRecord) ||
            !ReadCountedText(source, ReadLe32(smallRecord + 16), text)) {
          return false;
        }
        // The stored reserved value is not taken over: in memory it is always 0.
        if (!AddSmallQuestion(category, question, text, ReadLe32(smallRecord + 8),
                              ReadLe32(smallRecord))) {
          return false;
        }
        const int small =
            static_cast<int>(categories_[category].questions[question].smallQuestions.size() - 1);

        const int32_t optionCount = ReadLe32(smallRecord + 12);
        for (int32_t o = 0; o < optionCount; ++o) {
          unsigned char optionRecord[kOptionRecordSize];
          if (!source.Read(optionRecord, sizeof optionRecord) ||
              !ReadCountedText(source, ReadLe32(optionRecord + 16), text)) {
            return false;
          }
          if (!AddOption(category, question, small, text, ReadLe32(optionRecord),
                         ReadLe32(optionRecord + 8), ReadLe32(optionRecord + 4),
                         ReadLe32(optionRecord + 12))) {
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
    unsigned char categoryRecord[kCategoryRecordSize];
    std::memcpy(categoryRecord, category.name.bytes().data(), kNameSize);
    WriteLe32(categoryRecord + kNameSize, static_cast<int32_t>(category.questions.size()));
    if (!sink.Write(categoryRecord, sizeof categoryRecord)) return false;

    for (const BigQuestion& question : category.questions) {
      unsigned char record[kBigQuestionRecordSize];
      WriteLe32(record, question.id);
      WriteLe32(record + 4, question.reservedA);
      WriteLe32(record + 8, question.reservedB);
      WriteLe32(record + 12, static_cast<int32_t>(question.content.size()));
      WriteLe32(record + 16, static_cast<int32_t>(question.smallQuestions.size()));
      if (!sink.Write(record, sizeof record) ||
          !sink.Write(question.content.data(), question.content.size())) {
        return false;
      }

      for (const SmallQuestion& small : question.smallQuestions) {
        unsigned char smallRecord[kSmallQuestionRecordSize];
        WriteLe32(smallRecord, small.score);
        WriteLe32(smallRecord + 4, small.reserved);
        WriteLe32(smallRecord + 8, small.singleChoice);
        WriteLe32(smallRecord + 12, static_cast<int32_t>(small.options.size()));
        if (!WriteRecordWithText(sink, smallRecord, small.text)) return false;

        for (const ChoiceOption& option : small.options) {
          unsigned char optionRecord[kOptionRecordSize];
          WriteLe32(optionRecord, option.score);
          WriteLe32(optionRecord + 4, option.chosen);
          WriteLe32(optionRecord + 8, option.isAnswer);
          WriteLe32(optionRecord + 12, option.selectCount);
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
