#include "tools/banktool/choice_text.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "common/base/text_encoding.h"

namespace velmor {

ImportReport ImportChoiceText(std::string_view text, std::string_view defaultCategory,
                              QuestionBank& bank) {
  std::vector<ImportLine> lines;
  // Lines are cut in the file's own encoding (a line feed byte, or unit, ends one), then each
  // line becomes GBK, the bank's text, once; what could not be read is told with its line.
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  std::optional<DetectedText> unicode = DetectUnicodeText(bytes, text.size());
  const std::size_t unit = unicode && unicode->encoding != UnicodeText::kUtf8 ? 2 : 1;
  const bool bigEndian = unicode && unicode->encoding == UnicodeText::kUtf16BigEndian;
  std::size_t start = unicode ? unicode->markSize : 0;
  const std::size_t size = text.size() - (text.size() - start) % unit;
  auto isLineFeed = [&](std::size_t at) {
    return unit == 1 ? bytes[at] == '\n'
                     : bytes[at + (bigEndian ? 1 : 0)] == '\n' && bytes[at + (bigEndian ? 0 : 1)] == 0;
  };
  std::string gbk, utf8;
  int number = 0;
  while (start <= size) {
    std::size_t end = start;
    while (end < size && !isLineFeed(end)) end += unit;
    gbk.clear();
    std::size_t replaced = 0;
    if (unicode) {
      replaced = AppendAsGbk(unicode->encoding, bytes + start, end - start, gbk);
    } else {
      gbk.assign(text.substr(start, end - start));
    }
    const std::size_t zeros = static_cast<std::size_t>(std::count(gbk.begin(), gbk.end(), '\0'));
    gbk.erase(std::remove(gbk.begin(), gbk.end(), '\0'), gbk.end());
    utf8.clear();
    replaced += AppendGbkAsUtf8(gbk, utf8);
    ImportLine line;
    line.number = ++number;
    line.text = utf8;
    line.replaced = replaced;
    line.zeros = zeros;
    lines.push_back(std::move(line));
    start = end + unit;
  }
  return ImportChoiceLines(std::move(lines), defaultCategory, "line", nullptr, bank);
}

}  // namespace velmor
