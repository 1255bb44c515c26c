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
#include <cstring>

#include "common/base/file_stream.h"
#include "oblen/model/operation_bank.h"
#include "oblen/model/package_format.h"

namespace velmor {

namespace {

constexpr std::size_t kGroupHeadSize = 8;
constexpr int32_t kMaxNameLength = 127;
constexpr std::size_t kQuestionHeadSize = 20;
constexpr std::size_t kPackageFolderOffset = 8;
constexpr std::size_t kPackageEntryCountOffset = 264;
constexpr std::size_t kPackageReferenceOffset = 268;

// "Oblenquest文件" in GBK and its terminator.
constexpr char kMagic[] = "Oblenquest\xce\xc4\xbc\xfe";

bool ReadPackage(ByteSource& source, FilePackage& package) {
  unsigned char record[FilePackage::kRecordSize];
  if (!source.Read(record, sizeof record)) return false;
  const int32_t dataSize = ReadLe32(record);
  const int32_t entryCount = ReadLe32(record + kPackageEntryCountOffset);
  if (dataSize < 0 || entryCount < 0 || static_cast<uint64_t>(dataSize) > source.remaining()) {
    return false;
  }
  package.questionId = ReadLe32(record + 4);
  package.unpackFolder.AssignRaw(record + kPackageFolderOffset);
  package.entryCount = entryCount;
  package.data.resize(static_cast<std::size_t>(dataSize));
  return (dataSize == 0 || source.Read(package.data.data(), package.data.size())) &&
         IsConsistentPackageData(package.data.data(), package.data.size(), entryCount);
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
    unsigned char groupHead[kGroupHeadSize];
    if (!source.Read(groupHead, sizeof groupHead)) return false;
    const int32_t nameLength = ReadLe32(groupHead);
    const int32_t questionCount = ReadLe32(groupHead + 4);
    if (nameLength < 0 || nameLength > kMaxNameLength || questionCount < 0) return false;
    char name[kMaxNameLength + 1];
    if (!source.Read(name, static_cast<std::size_t>(nameLength))) return false;
    AddGroup(std::string_view(name, static_cast<std::size_t>(nameLength)));
    const int group = static_cast<int>(groups_.size() - 1);

    for (int32_t q = 0; q < questionCount; ++q) {
      unsigned char head[kQuestionHeadSize];
      if (!source.Read(head, sizeof head)) return false;
      const int32_t descriptionSize = ReadLe32(head + 12);
      const int32_t requirementCount = ReadLe32(head + 16);
      if (descriptionSize < static_cast<int32_t>(ContentBlock::kLengthWordSize) ||
          static_cast<uint64_t>(descriptionSize) > source.remaining() || requirementCount < 0) {
        return false;
      }
      ContentBlock description = ContentBlock::Allocate(static_cast<std::size_t>(descriptionSize));
      if (!source.Read(description.data(), description.size()) || !description.IsWellFormed()) {
        return false;
      }
      // A record the bank refuses ends the load here: its requirements must not go to the
      // question before it.
      if (!AddQuestion(ReadLe32(head), group, std::move(description), ReadLe32(head + 4),
                       ReadLe32(head + 8))) {
        return false;
      }
      OperationQuestion& question = groups_[group].questions.back();

      // Only as many records as the rest of the file can hold are reserved.
      const uint64_t fitting = source.remaining() / Requirement::kSize;
      question.requirements.reserve(
          static_cast<std::size_t>(std::min<uint64_t>(fitting, requirementCount)));
      for (int32_t r = 0; r < requirementCount; ++r) {
        unsigned char record[Requirement::kSize];
        if (!source.Read(record, sizeof record)) return false;
        question.requirements.push_back(Requirement::FromBytes(record));
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
    unsigned char groupHead[kGroupHeadSize];
    WriteLe32(groupHead, static_cast<int32_t>(name.size()));
    WriteLe32(groupHead + 4, static_cast<int32_t>(group.questions.size()));
    if (!sink.Write(groupHead, sizeof groupHead) || !sink.Write(name.data(), name.size())) {
      return false;
    }
    for (const OperationQuestion& question : group.questions) {
      unsigned char head[kQuestionHeadSize];
      WriteLe32(head, question.id);
      WriteLe32(head + 4, question.reservedA);
      WriteLe32(head + 8, question.reservedB);
      WriteLe32(head + 12, static_cast<int32_t>(question.description.size()));
      WriteLe32(head + 16, static_cast<int32_t>(question.requirements.size()));
      if (!sink.Write(head, sizeof head) ||
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
    unsigned char record[FilePackage::kRecordSize];
    WriteLe32(record, static_cast<int32_t>(package.data.size()));
    WriteLe32(record + 4, package.questionId);
    std::memcpy(record + kPackageFolderOffset, package.unpackFolder.bytes().data(),
                decltype(package.unpackFolder)::kSize);
    WriteLe32(record + kPackageEntryCountOffset, package.entryCount);
    WriteLe32(record + kPackageReferenceOffset, 0);
    if (!sink.Write(record, sizeof record)) return false;
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
