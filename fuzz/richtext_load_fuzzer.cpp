// Feeds arbitrary bytes to the content-blob reader: every part it returns must lie inside the
// input, and rebuilding a blob from the parts must give a blob that parses to the same parts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "common/richtext/rich_content.h"

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
  return 0;
}
