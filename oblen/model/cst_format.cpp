// The .cst file (and "Date.dat"): a 356-byte header, then every group with its questions,
// the trailer records, and the packages. All integers are 32-bit little-endian; nothing is
// padded.
//
//   group block        8 + n   name length n (0..127), question count, n name bytes
//   question block    20 + d   id, reservedA, reservedB, description length d,
//                              requirement count r, then the description block (d bytes),
//                    + 1288r   then the requirement records
//   trailer record        76
//   package record       272   data size, question id, unpack folder[256], entry count,
//                              data reference (written as 0, ignored when read), then the
//                              data area (data size bytes, see package_format.h)
#include <algorithm>
#include <array>
#include <cstring>

#include "common/base/file_stream.h"
#include "common/base/question_record.h"
#include "common/base/record.h"
#include "oblen/model/operation_bank.h"
#include "oblen/model/package_format.h"

namespace velmor {

namespace {

// A group's name length and question count, then the name's bytes.
struct GroupRecord {
  static constexpr std::size_t kSize = 8;
  int32_t nameLength = 0, questionCount = 0;
  template <typename Io>
  void Fields(Io& io) {
    io(nameLength);
    io(questionCount);
  }
};

// A package: the size of its data area, which follows the record, and where it unpacks.
struct PackageRecord {
  static constexpr std::size_t kSize = FilePackage::kRecordSize;
  int32_t dataSize = 0, questionId = 0;
  std::array<char, 256> unpackFolder{};
  int32_t entryCount = 0;
  int32_t dataReference = 0;  // written as 0, ignored when read
  template <typename Io>
  void Fields(Io& io) {
    io(dataSize);
    io(questionId);
    io(unpackFolder);
    io(entryCount);
    io(dataReference);
  }
};

constexpr int32_t kMaxNameLength = 127;

// "Oblenquest文件" in GBK and its terminator.
constexpr char kMagic[] = "Oblenquest\xce\xc4\xbc\xfe";

bool ReadPackage(ByteSource& source, FilePackage& package) {
  PackageRecord record;
  if (!ReadRecord(source, record)) return false;
  if (record.dataSize < 0 || record.entryCount < 0 ||
      static_cast<uint64_t>(record.dataSize) > source.remaining()) {
    return false;
  }
  package.questionId = record.questionId;
  package.unpackFolder.AssignRaw(record.unpackFolder.data());
  package.entryCount = record.entryCount;
  package.data.resize(static_cast<std::size_t>(record.dataSize));
  return (record.dataSize == 0 || source.Read(package.data.data(), package.data.size())) &&
         IsConsistentPackageData(package.data.data(), package.data.size(), record.entryCount);
}

}  // namespace

std::string_view OperationBankHeader::MagicText() { return kMagic; }

bool OperationBankHeader::HasMagic() const {
  return std::memcmp(bytes_.data(), kMagic, sizeof kMagic - 1) == 0;
}

bool OperationBank::LoadFrom(ByteSource& source, bool signedOnly) {
  Clear();
  if (!source.Read(header_.bytes().data(), OperationBankHeader::kSize)) return false;
  // Before any count of a foreign file is believed.
  if (signedOnly && !header_.HasMagic()) return false;

  const int32_t groupCount = header_.groupCount();
  if (groupCount < 0) return false;
  for (int32_t g = 0; g < groupCount; ++g) {
    if (header_.formatVersion() != OperationBankHeader::kFormatVersion) return false;
    GroupRecord groupRecord;
    if (!ReadRecord(source, groupRecord)) return false;
    if (groupRecord.nameLength < 0 || groupRecord.nameLength > kMaxNameLength ||
        groupRecord.questionCount < 0) {
      return false;
    }
    char name[kMaxNameLength + 1];
    if (!source.Read(name, static_cast<std::size_t>(groupRecord.nameLength))) return false;
    AddGroup(std::string_view(name, static_cast<std::size_t>(groupRecord.nameLength)));
    const int group = static_cast<int>(groups_.size() - 1);

    for (int32_t q = 0; q < groupRecord.questionCount; ++q) {
      QuestionRecord record;
      if (!ReadRecord(source, record)) return false;
      if (record.contentSize < static_cast<int32_t>(ContentBlock::kLengthWordSize) ||
          static_cast<uint64_t>(record.contentSize) > source.remaining() || record.childCount < 0) {
        return false;
      }
      ContentBlock description = ContentBlock::Allocate(static_cast<std::size_t>(record.contentSize));
      if (!source.Read(description.data(), description.size()) || !description.IsWellFormed()) {
        return false;
      }
      // A record the bank refuses ends the load here: its requirements must not go to the
      // question before it.
      if (!AddQuestion(record.id, group, std::move(description), record.reservedA,
                       record.reservedB)) {
        return false;
      }
      OperationQuestion& question = groups_[group].questions.back();

      // Only as many records as the rest of the file can hold are reserved.
      const uint64_t fitting = source.remaining() / Requirement::kSize;
      question.requirements.reserve(
          static_cast<std::size_t>(std::min<uint64_t>(fitting, record.childCount)));
      for (int32_t r = 0; r < record.childCount; ++r) {
        unsigned char bytes[Requirement::kSize];
        if (!source.Read(bytes, sizeof bytes)) return false;
        question.requirements.push_back(Requirement::FromBytes(bytes));
      }
    }
  }

  const int32_t trailerCount = header_.trailerCount();
  if (trailerCount < 0) return false;
  for (int32_t t = 0; t < trailerCount; ++t) {
    TrailerRecord trailer;
    if (!source.Read(trailer.bytes.data(), TrailerRecord::kSize)) return false;
    trailerRecords_.push_back(trailer);
  }

  const int32_t packageCount = header_.packageCount();
  if (packageCount < 0) return false;
  for (int32_t p = 0; p < packageCount; ++p) {
    FilePackage package;
    if (!ReadPackage(source, package)) return false;
    packages_.push_back(std::move(package));
  }
  return true;
}

bool OperationBank::Load(const std::string& path) { return LoadFile(path, false); }

bool OperationBank::LoadSigned(const std::string& path) { return LoadFile(path, true); }

bool OperationBank::LoadFile(const std::string& path, bool signedOnly) {
  Clear();
  FileSource source;
  if (path.find('\0') != std::string::npos || !source.Open(path)) return false;
  return LoadFrom(source, signedOnly);
}

void OperationBank::PrepareHeaderForSave() {
  std::memcpy(header_.bytes().data(), kMagic, sizeof kMagic);  // the terminator included
  header_.set_formatVersion(OperationBankHeader::kFormatVersion);
  header_.set_trailerCount(static_cast<int32_t>(trailerRecords_.size()));
  header_.set_groupCount(static_cast<int32_t>(groups_.size()));
  header_.set_packageCount(static_cast<int32_t>(packages_.size()));
}

bool OperationBank::SaveTo(ByteSink& sink) {
  PrepareHeaderForSave();
  if (!sink.Write(header_.bytes().data(), OperationBankHeader::kSize)) return false;

  for (const QuestionGroup& group : groups_) {
    const std::string_view name = group.name.text();  // at most 127 bytes by construction
    GroupRecord groupRecord{static_cast<int32_t>(name.size()),
                            static_cast<int32_t>(group.questions.size())};
    if (!WriteRecord(sink, groupRecord) || !sink.Write(name.data(), name.size())) return false;
    for (const OperationQuestion& question : group.questions) {
      QuestionRecord record{question.id, question.reservedA, question.reservedB,
                            static_cast<int32_t>(question.description.size()),
                            static_cast<int32_t>(question.requirements.size())};
      if (!WriteRecord(sink, record) ||
          !sink.Write(question.description.data(), question.description.size())) {
        return false;
      }
      for (const Requirement& requirement : question.requirements) {
        if (!sink.Write(requirement.bytes().data(), Requirement::kSize)) return false;
      }
    }
  }

  for (const TrailerRecord& trailer : trailerRecords_) {
    if (!sink.Write(trailer.bytes.data(), TrailerRecord::kSize)) return false;
  }

  for (const FilePackage& package : packages_) {
    PackageRecord record{static_cast<int32_t>(package.data.size()), package.questionId,
                         package.unpackFolder.bytes(), package.entryCount, 0};
    if (!WriteRecord(sink, record)) return false;
    if (!package.data.empty() && !sink.Write(package.data.data(), package.data.size())) {
      return false;
    }
  }
  return true;
}

bool OperationBank::Save(const std::string& path) {
  SafeFileWriter writer;
  if (path.find('\0') != std::string::npos || !writer.Begin(path)) return false;
  return SaveTo(writer) && writer.Commit();
}

}  // namespace velmor
