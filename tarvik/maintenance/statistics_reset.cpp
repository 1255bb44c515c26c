#include "tarvik/maintenance/statistics_reset.h"

#include <cstring>
#include <vector>

#include "common/base/file_stream.h"
#include "common/base/platform_file.h"
#include "tarvik/maintenance/walk_platform.h"
#include "tarvik/model/question_bank.h"

namespace velmor {

namespace {

const char kProcessing[] = "处理库文件：%s";
const char kReadFailed[] = "读取库文件失败：%s";
const char kSaveFailed[] = "保存库文件失败：%s";
const char kNotAsRead[] = "库文件无法按原样保存，未改动：%s";
const char kLinkPassed[] = "链接不处理，未改动：%s";

std::string ForLog(const std::string& path) { return PathForLog(path, path.size()); }

// Takes what a save writes and compares it with the file as it is, a piece at a time: the
// file is never held whole a second time.
class SameAsFile : public ByteSink {
 public:
  explicit SameAsFile(ByteSource& file) : file_(file) {}

  bool Write(const void* source, std::size_t size) override {
    const unsigned char* bytes = static_cast<const unsigned char*>(source);
    unsigned char piece[4096];
    while (size > 0) {
      const std::size_t count = size < sizeof piece ? size : sizeof piece;
      if (!file_.Read(piece, count) || std::memcmp(piece, bytes, count) != 0) return false;
      bytes += count;
      size -= count;
    }
    return true;
  }

  // After the last write: nothing of the file is left over.
  bool AtTheEnd() const { return file_.remaining() == 0; }

 private:
  ByteSource& file_;
};

// Whether saving `bank` would write the file at `path` byte for byte. A file the load cut
// down, bytes after the last record, a repeated id, a field with bytes behind its text: each
// would be lost or changed by the save, so such a file is not saved.
bool SavesAsRead(QuestionBank& bank, const std::string& path) {
  FileSource file;
  if (!file.Open(path)) return false;
  SameAsFile same(file);
  return bank.SaveTo(same) && same.AtTheEnd();
}

struct Walker {
  ResetOperation operation;
  CBase& log;
  FileIdentity logFile;
  ResetSummary& summary;

  // An over-long path is shown cut to the walk's 255 bytes.
  void Error(const char* format, const std::string& path, std::size_t limit) {
    log.LogError(format, PathForLog(path, limit).c_str());
    ++summary.errors;
  }

  void Walk(const std::string& folder) {
    // The search pattern "folder\*.*" must fit the walk's buffer.
    if (folder.size() + 4 >= kMaxWalkPath) {
      Error(kReadFailed, folder, kMaxWalkPath - 1);
      return;
    }
    // The whole listing is read before any file is saved: a save replaces its file through a
    // new one, which a listing still open might report as well.
    std::vector<FolderEntry> entries;
    ListFolder(folder, &entries);
    for (const FolderEntry& entry : entries) {
      std::string path = folder + kPathSeparator + entry.name;
      if (path.size() >= kMaxWalkPath) {
        Error(kReadFailed, path, kMaxWalkPath - 1);
        continue;
      }
      if (entry.isLink) {
        // What a link leads to may lie outside the folder, and a save would put a plain file
        // in the link's place.
        ++summary.links;
        Error(kLinkPassed, path, path.size());
      } else if (entry.isFolder) {
        Walk(path);
      } else if (!logFile.SameAs(IdentityOf(path))) {
        ++summary.files;
        const FileOutcome outcome = InitializeBankFile(path, operation, log);
        if (outcome != FileOutcome::kReset) ++summary.errors;
        if (outcome == FileOutcome::kLeftAlone) ++summary.leftAlone;
      }
    }
  }
};

}  // namespace

FileOutcome InitializeBankFile(const std::string& path, ResetOperation operation, CBase& log) {
  log.LogInfo(kProcessing, ForLog(path).c_str());
  QuestionBank bank;
  // Only a file that carries the signature is read past its header: the counts of any other
  // file are no counts, and believing them could read all of it.
  if (!bank.LoadSigned(path)) {
    log.LogError(kReadFailed, ForLog(path).c_str());
    return FileOutcome::kRefused;
  }
  // Compared before the reset: then the reset fields are the only bytes the save changes.
  if (!SavesAsRead(bank, path)) {
    log.LogError(kNotAsRead, ForLog(path).c_str());
    return FileOutcome::kLeftAlone;
  }
  if (operation == ResetOperation::kSelectCounts) {
    bank.ResetSelectCounts();
  } else {
    bank.ResetChoices();
  }
  if (!bank.Save(bank.filePath())) {
    log.LogError(kSaveFailed, ForLog(path).c_str());
    return FileOutcome::kNotSaved;
  }
  return FileOutcome::kReset;
}

ResetSummary InitializeFolder(const std::string& folder, ResetOperation operation,
                              const std::string& logPath, WithoutLog withoutLog) {
  CBase log;
  log.SetFileName(logPath);
  ResetSummary summary;
  // The writer keeps 255 bytes of a name: a longer one would put the log somewhere else.
  summary.logStarted = log.fileName() == logPath && log.StartLog();
  if (!summary.logStarted && withoutLog == WithoutLog::kStop) return summary;
  Walker walker{operation, log, IdentityOf(log.fileName()), summary};
  walker.Walk(folder);
  summary.lostLogLines = log.lostLines();
  return summary;
}

}  // namespace velmor
