#include "tarvik/maintenance/statistics_reset.h"

#include <vector>

#include "common/base/gbk.h"
#include "common/base/platform_file.h"
#include "tarvik/model/question_bank.h"

namespace velmor {

namespace {

const char kProcessing[] = "处理库文件：%s";
const char kReadFailed[] = "读取库文件失败：%s";
const char kSaveFailed[] = "保存库文件失败：%s";

// The part of an over-long path the log shows: at most 255 bytes, on a character boundary.
std::string CutForLog(const std::string& path) {
  return path.substr(0, GbkCutLength(path, kMaxWalkPath - 1));
}

void LogReadFailure(CBase& log, const std::string& path) {
  log.LogError(kReadFailed, EscapeHtml(path).c_str());
}

void Walk(const std::string& folder, ResetOperation operation, CBase& log,
          ResetSummary& summary) {
  // The search pattern "folder\*.*" must fit the walk's buffer.
  if (folder.size() + 4 >= kMaxWalkPath) {
    LogReadFailure(log, CutForLog(folder));
    ++summary.errors;
    return;
  }
  // The whole listing is read before any file is saved: a save replaces its file through a
  // new one, which a listing still open might report as well.
  std::vector<FolderEntry> entries;
  ListFolder(folder, &entries);
  for (const FolderEntry& entry : entries) {
    std::string path = folder + kPathSeparator + entry.name;
    if (path.size() >= kMaxWalkPath) {
      LogReadFailure(log, CutForLog(path));
      ++summary.errors;
      continue;
    }
    if (entry.isFolder) {
      Walk(path, operation, log, summary);
    } else {
      ++summary.files;
      if (!InitializeBankFile(path, operation, log)) ++summary.errors;
    }
  }
}

}  // namespace

bool InitializeBankFile(const std::string& path, ResetOperation operation, CBase& log) {
  log.LogInfo(kProcessing, EscapeHtml(path).c_str());
  QuestionBank bank;
  // Load also takes a file of 356 bytes or more that holds no categories; only a bank that
  // loaded whole and carries the signature is written back.
  if (!bank.Load(path) || !bank.header().HasSignature()) {
    LogReadFailure(log, path);
    return false;
  }
  if (operation == ResetOperation::kSelectCounts) {
    bank.ResetSelectCounts();
  } else {
    bank.ResetChoices();
  }
  if (!bank.Save(bank.filePath())) {
    log.LogError(kSaveFailed, EscapeHtml(path).c_str());
    return false;
  }
  return true;
}

ResetSummary InitializeFolder(const std::string& folder, ResetOperation operation,
                              const std::string& logPath) {
  CBase log;
  log.SetFileName(logPath);
  log.StartLog();
  ResetSummary summary;
  Walk(folder, operation, log, summary);
  return summary;
}

}  // namespace velmor
