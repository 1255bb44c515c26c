#include "oblen/model/grading.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "oblen/model/pattern_match.h"
#include "oblen/model/unicode_text.h"

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

}  // namespace

bool CheckRequirement(FileAccess& files, const Requirement& requirement) {
  if (requirement.description().empty()) return false;
  try {
    std::vector<unsigned char> bytes;
    FileAccess::ReadResult result =
        files.ReadSharedFile(std::string(requirement.targetFile()), bytes, kMaxTargetSize);
    if (result != FileAccess::ReadResult::kComplete || bytes.empty()) return false;
    // A UTF-16 text needs its zero bytes for a conversion; any other text is matched, and
    // converted, without them. Large files are never copied.
    const bool utf16 = bytes.size() >= 2 && ((bytes[0] == 0xFF && bytes[1] == 0xFE) ||
                                             (bytes[0] == 0xFE && bytes[1] == 0xFF));
    std::vector<unsigned char> original;
    if (utf16) original = bytes;
    // The bytes as they are, without their zero bytes, first: what was met stays met.
    bytes.erase(std::remove(bytes.begin(), bytes.end(), 0), bytes.end());
    if (MatchPattern(requirement.matchPattern(),
                     std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()))) {
      return true;
    }
    // Then a Unicode text of today's editors, as GBK.
    const std::vector<unsigned char>& text = utf16 ? original : bytes;
    std::optional<DetectedText> unicode = DetectUnicodeText(text.data(), text.size());
    if (!unicode) return false;
    std::string gbk;
    if (!files.ConvertToGbk(unicode->encoding, text.data() + unicode->markSize,
                            text.size() - unicode->markSize, gbk)) {
      return false;
    }
    gbk.erase(std::remove(gbk.begin(), gbk.end(), '\0'), gbk.end());
    return MatchPattern(requirement.matchPattern(), gbk);
  } catch (const std::bad_alloc&) {
    return false;
  }
}

GradeResult GradeRequirements(FileAccess& files, const OperationQuestion& question) {
  GradeResult result;
  int64_t total = 0;
  std::string lines;
  for (const Requirement& requirement : question.requirements) {
    const bool met = CheckRequirement(files, requirement);
    result.met.push_back(met);
    lines += requirement.description();
    if (met) {
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
