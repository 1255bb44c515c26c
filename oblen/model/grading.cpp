#include "oblen/model/grading.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "common/base/text_encoding.h"
#include "common/office/office_document.h"
#include "oblen/model/pattern_match.h"

namespace velmor {

namespace {

// The report's fixed texts in GBK, spelled out so that every compiler stores the same bytes.
constexpr char kMet[] = "\xd5\xfd\xc8\xb7[+";                 // 正确[+
constexpr char kNotMet[] = "\xb4\xed\xce\xf3[";               // 错误[
constexpr char kScoreHead[] = "\xb5\xc3\xb7\xd6\xa3\xba";     // 得分：
constexpr char kScoreTail[] = "\xa1\xa3\r\n\r\n"              // 。
    "\xb8\xf7\xcc\xe2\xb5\xc3\xb7\xd6\xc7\xe9\xbf\xf6\xc8\xe7\xcf\xc2\xa3\xba\r\n";  // 各题得分情况如下：

// Grading a 32-bit program's candidate files never needs more than this.
constexpr uint64_t kMaxTargetSize = INT32_MAX;

// Zero bytes taken out in place, without a branch per byte; returns the new size.
template <typename Byte>
std::size_t RemoveZeros(Byte* bytes, std::size_t size) {
  auto* first = static_cast<Byte*>(std::memchr(bytes, 0, size));
  if (!first) return size;
  std::size_t kept = static_cast<std::size_t>(first - bytes);
  for (std::size_t i = kept + 1; i < size; ++i) {
    bytes[kept] = bytes[i];
    kept += bytes[i] != 0;
  }
  return kept;
}

// Matches the patterns not met yet against `text`; true when every pattern is then met.
bool MatchUnmet(const std::vector<std::string_view>& patterns, std::string_view text,
                std::vector<bool>& met) {
  bool all = true;
  for (std::size_t i = 0; i < patterns.size(); ++i) {
    if (!met[i]) met[i] = MatchPattern(patterns[i], text);
    all = all && met[i];
  }
  return all;
}

// The patterns against a file's bytes without their zero bytes, then, when that fails and the
// file holds the Unicode text of today's editors, against that text as GBK; true when every
// pattern is met. Memory stays within twice the file: the GBK of a UTF-16 text is made beside
// it, any other text is converted where it lies once its bytes have been matched.
bool MatchBytesAndText(std::vector<unsigned char>& bytes,
                       const std::vector<std::string_view>& patterns, std::vector<bool>& met) {
  // A UTF-16 text needs its zero bytes to be converted, so it is converted before they go.
  std::unique_ptr<char[]> utf16Gbk;
  std::size_t gbkSize = 0;
  const bool utf16 = bytes.size() >= 2 && ((bytes[0] == 0xFF && bytes[1] == 0xFE) ||
                                           (bytes[0] == 0xFE && bytes[1] == 0xFF));
  std::size_t size = bytes.size();
  if (utf16) {
    // The mark's two bytes have no zero among them and stay where they are.
    utf16Gbk.reset(new char[bytes.size()]);
    gbkSize = ConvertUtf16ToGbkRemovingZeros(bytes[0] == 0xFE, bytes.data() + 2, bytes.size() - 2,
                                             utf16Gbk.get(), &size);
    size += 2;
  } else {
    size = RemoveZeros(bytes.data(), bytes.size());
  }
  if (MatchUnmet(patterns, std::string_view(reinterpret_cast<char*>(bytes.data()), size), met)) {
    return true;
  }
  // The bytes have been matched: any other text becomes GBK where it lies (never longer than
  // what it was made from). UTF-8 with its mark is converted whatever it holds; without one,
  // only when it is well formed and holds a multi-byte sequence.
  char* gbk = utf16Gbk.get();
  if (!utf16) {
    gbk = reinterpret_cast<char*>(bytes.data());
    if (size >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
      std::size_t lost = 0;
      gbkSize = ConvertToGbk(UnicodeText::kUtf8, bytes.data() + 3, size - 3, gbk, lost);
    } else if (!ConvertUtf8TextToGbk(bytes.data(), size, gbk, &gbkSize)) {
      return false;
    }
  }
  gbkSize = RemoveZeros(gbk, gbkSize);
  return MatchUnmet(patterns, std::string_view(gbk, gbkSize), met);
}

// The patterns against the text view, then the XML view, of an Office document, each as GBK
// (characters GBK lacks become "?"). A package that cannot be read gives no view.
void MatchOfficeViews(const std::vector<unsigned char>& package,
                      const std::vector<std::string_view>& patterns, std::vector<bool>& met) {
  OfficeDocument document;
  if (!document.Open(package.data(), package.size())) return;
  for (bool xml : {false, true}) {
    std::string view;  // each view's memory is let go before the next is made
    if (!(xml ? document.XmlView(view) : document.TextView(view))) return;
    std::size_t lost = 0;
    view.resize(ConvertToGbk(UnicodeText::kUtf8, reinterpret_cast<unsigned char*>(view.data()),
                             view.size(), view.data(), lost));
    if (MatchUnmet(patterns, view, met)) return;
  }
}

// Which of `patterns` the content of one target file matches, read once however many
// requirements name it: its bytes and Unicode text first, then, for an Office document, its
// views. A requirement met by the bytes alone is met whatever the file holds.
std::vector<bool> MatchTarget(FileAccess& files, const std::string& path,
                              const std::vector<std::string_view>& patterns) {
  std::vector<bool> met(patterns.size(), false);
  std::vector<unsigned char> bytes;
  if (files.ReadSharedFile(path, bytes, kMaxTargetSize) != FileAccess::ReadResult::kComplete ||
      bytes.empty()) {
    return met;
  }
  // Matching the bytes takes their zero bytes out in place; a package is kept as it was read.
  std::vector<unsigned char> package;
  if (LooksLikeZip(bytes.data(), bytes.size())) package = bytes;
  if (MatchBytesAndText(bytes, patterns, met) || package.empty()) return met;
  std::vector<unsigned char>().swap(bytes);
  MatchOfficeViews(package, patterns, met);
  return met;
}

}  // namespace

bool CheckRequirement(FileAccess& files, const Requirement& requirement) {
  if (requirement.description().empty()) return false;
  try {
    return MatchTarget(files, std::string(requirement.targetFile()), {requirement.matchPattern()})[0];
  } catch (const std::bad_alloc&) {
    return false;
  }
}

GradeResult GradeRequirements(FileAccess& files, const OperationQuestion& question) {
  const std::vector<Requirement>& requirements = question.requirements;
  GradeResult result;
  result.met.assign(requirements.size(), false);
  // The requirements that name each target, targets in the order they are first named. A
  // requirement without a description never touches its file.
  std::vector<std::vector<std::size_t>> byTarget;
  std::unordered_map<std::string_view, std::size_t> targetIndex;
  for (std::size_t i = 0; i < requirements.size(); ++i) {
    if (requirements[i].description().empty()) continue;
    auto [place, added] = targetIndex.try_emplace(requirements[i].targetFile(), byTarget.size());
    if (added) byTarget.emplace_back();
    byTarget[place->second].push_back(i);
  }
  // One file is held at a time.
  for (const std::vector<std::size_t>& group : byTarget) {
    std::vector<std::string_view> patterns;
    for (std::size_t i : group) patterns.push_back(requirements[i].matchPattern());
    try {
      std::vector<bool> met =
          MatchTarget(files, std::string(requirements[group.front()].targetFile()), patterns);
      for (std::size_t k = 0; k < group.size(); ++k) result.met[group[k]] = met[k];
    } catch (const std::bad_alloc&) {
    }
  }
  int64_t total = 0;
  std::string lines;
  for (std::size_t i = 0; i < requirements.size(); ++i) {
    const Requirement& requirement = requirements[i];
    lines += requirement.description();
    if (result.met[i]) {
      total += requirement.score();
      lines += kMet;
      lines += std::to_string(requirement.score());
    } else {
      lines += kNotMet;
      lines += requirement.explanation();
    }
    lines += "];\r\n";
  }
  result.total = static_cast<int32_t>(std::clamp<int64_t>(total, INT32_MIN, INT32_MAX));
  result.report = kScoreHead + std::to_string(result.total) + kScoreTail + lines;
  return result;
}

std::string GradeQuestion(FileAccess& files, const OperationQuestion& question) {
  return GradeRequirements(files, question).report;
}

}  // namespace velmor
