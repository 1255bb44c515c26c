// Feeds arbitrary bytes to the text import and to the Unicode conversions. The import must
// leave a bank that saves and loads back, and keep at most 100 problems in full; each
// conversion must write no more than it reads, give the same bytes in place as beside its
// text, and, for UTF-16, give both views in one pass as two passes give them.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/base/text_encoding.h"
#include "tarvik/model/question_bank.h"
#include "tools/banktool/choice_text.h"

namespace {

bool SameBytes(const void* a, const void* b, std::size_t size) {
  return size == 0 || std::memcmp(a, b, size) == 0;
}

void CheckConversion(velmor::UnicodeText encoding, const uint8_t* data, size_t size) {
  std::string beside;
  const std::size_t lost = velmor::AppendAsGbk(encoding, data, size, beside);
  if (beside.size() > size || lost > beside.size()) std::abort();
  std::vector<unsigned char> inPlace(data, data + size);
  std::size_t lostInPlace = 0;
  const std::size_t written = velmor::ConvertToGbk(encoding, inPlace.data(), inPlace.size(),
                                                   reinterpret_cast<char*>(inPlace.data()), lostInPlace);
  if (written != beside.size() || lostInPlace != lost || !SameBytes(beside.data(), inPlace.data(), written)) {
    std::abort();
  }
  if (encoding == velmor::UnicodeText::kUtf8) {
    std::vector<unsigned char> strict(data, data + size);
    std::size_t strictSize = 0;
    if (velmor::ConvertUtf8TextToGbk(strict.data(), size, reinterpret_cast<char*>(strict.data()),
                                     &strictSize) &&
        (strictSize != beside.size() || !SameBytes(beside.data(), strict.data(), strictSize))) {
      std::abort();
    }
    return;
  }
  std::vector<unsigned char> text(data, data + size);
  std::vector<char> gbk(size + 1);
  std::size_t kept = 0;
  const std::size_t gbkSize = velmor::ConvertUtf16ToGbkRemovingZeros(
      encoding == velmor::UnicodeText::kUtf16BigEndian, text.data(), size, gbk.data(), &kept);
  std::vector<unsigned char> withoutZeros(data, data + size);
  withoutZeros.erase(std::remove(withoutZeros.begin(), withoutZeros.end(), 0), withoutZeros.end());
  if (gbkSize != beside.size() || !SameBytes(beside.data(), gbk.data(), gbkSize) ||
      kept != withoutZeros.size() || !SameBytes(withoutZeros.data(), text.data(), kept)) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  for (velmor::UnicodeText encoding : {velmor::UnicodeText::kUtf8, velmor::UnicodeText::kUtf16LittleEndian,
                                       velmor::UnicodeText::kUtf16BigEndian}) {
    CheckConversion(encoding, data, size);
  }
  std::string utf8;
  velmor::AppendGbkAsUtf8(std::string_view(reinterpret_cast<const char*>(data), size), utf8);

  velmor::QuestionBank bank;
  velmor::ImportReport report =
      velmor::ImportChoiceText(std::string_view(reinterpret_cast<const char*>(data), size), "x", bank);
  if (report.problems.size() > 100 || static_cast<int>(report.problems.size()) > report.problemCount) {
    std::abort();
  }
  velmor::MemorySink saved;
  if (!bank.SaveTo(saved)) std::abort();
  velmor::QuestionBank reloaded;
  velmor::MemorySource again(saved.bytes().data(), saved.bytes().size());
  if (!reloaded.LoadFrom(again)) std::abort();
  int small = 0;
  for (const velmor::Category& category : reloaded.categories()) {
    for (const velmor::BigQuestion& big : category.questions) small += static_cast<int>(big.smallQuestions.size());
  }
  if (small != report.smallQuestions) std::abort();
  return 0;
}
