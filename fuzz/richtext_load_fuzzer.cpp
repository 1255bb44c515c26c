// Feeds arbitrary bytes to the content-blob reader: every part it returns must lie inside the
// input, and rebuilding a blob from the parts must give a blob that parses to the same parts.
// The runs resolved over the text must cover it span by span, each character as setting
// every run on it in turn leaves it, and make an RTF stream; the stem as printed must close
// every span it opens.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <string>

#include "common/richtext/rich_content.h"
#include "common/richtext/rtf_load.h"
#include "tools/banktool/paper_export.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  velmor::RichContentParts parts = velmor::ParseRichContent(data, size);
  std::vector<velmor::ContentBlock> pictures;
  std::vector<const velmor::ContentBlock*> pointers;
  for (const velmor::PictureView& view : parts.pictures) {
    if (view.record < data || view.record + view.length > data + size) std::abort();
    pictures.push_back(velmor::ContentBlock::FromBytes(view.record, view.length));
  }
  for (const velmor::ContentBlock& picture : pictures) pointers.push_back(&picture);
  velmor::ContentBlock rebuilt =
      velmor::BuildRichContent(parts.characterCount, parts.text, parts.runs, pointers);
  velmor::RichContentParts again = velmor::ParseRichContent(rebuilt.data(), rebuilt.size());
  if (again.text != parts.text || again.runs.size() != parts.runs.size() ||
      again.pictures.size() != parts.pictures.size()) {
    std::abort();
  }
  const int32_t length = static_cast<int32_t>(std::min<std::size_t>(parts.text.size(), 4096));
  std::vector<velmor::FormatSpan> spans =
      velmor::ResolveRuns(velmor::CharFormatFields{}, length, parts.runs);
  int32_t covered = 0;
  for (const velmor::FormatSpan& span : spans) {
    if (span.first != covered || span.end <= span.first) std::abort();
    covered = span.end;
  }
  if (covered != length) std::abort();
  // Small enough to check against setting every run on every character in turn.
  if (static_cast<std::size_t>(length) * parts.runs.size() <= 20000) {
    std::vector<velmor::CharFormatFields> at(static_cast<std::size_t>(length));
    for (const velmor::FormatRun& run : parts.runs) {
      int32_t first = run.first, end = run.end < 0 ? length : run.end;
      if (first < 0) continue;
      if (first > end) std::swap(first, end);
      const velmor::CharFormatFields change = velmor::ReadCharFormat(run.format.data());
      for (int32_t i = first; i < std::min(end, length); ++i) {
        at[static_cast<std::size_t>(i)] = velmor::MergeCharFormat(at[static_cast<std::size_t>(i)], change);
      }
    }
    for (const velmor::FormatSpan& span : spans) {
      for (int32_t i = span.first; i < span.end; ++i) {
        if (!(at[static_cast<std::size_t>(i)] == span.format)) std::abort();
      }
      if (span.end < length && at[static_cast<std::size_t>(span.end)] == span.format) std::abort();
    }
  }
  std::u16string text(parts.text.begin(), parts.text.begin() + length);
  if (velmor::BuildRtf(text, spans, 936).compare(0, 6, "{\\rtf1") != 0) std::abort();
  const std::string html = velmor::StemHtml(data, size);
  std::size_t opened = 0, closed = 0;
  for (std::size_t at = html.find("<span"); at != std::string::npos; at = html.find("<span", at + 1)) ++opened;
  for (std::size_t at = html.find("</span>"); at != std::string::npos; at = html.find("</span>", at + 1)) ++closed;
  if (opened != closed) std::abort();
  return 0;
}
