// A big question's stem made from parts of imported lines: each part a paragraph (CR LF between
// them), the formats its spans say as format runs, each picture as a picture record on a
// placeholder character of its own, where the rich-text control puts it back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/base/content_block.h"
#include "common/richtext/rich_content.h"
#include "tools/banktool/choice_importer.h"

namespace velmor {

class StemBuilder {
 public:
  // What is to be told (a picture left out or made smaller, the text cut) with its line number.
  using Report = std::function<void(const std::string& what, int line)>;

  StemBuilder(PictureSource* pictures, Report report) : pictures_(pictures), report_(std::move(report)) {}

  // Bytes [first, end) of the line as the next paragraph, with every picture of the line: one
  // that stands outside the bytes goes to their nearer end.
  void Paragraph(const ImportLine& line, std::size_t first, std::size_t end);

  // The content blob. A text longer than the control holds is cut on a character boundary
  // (with the runs and pictures past the cut), and that is told against `line`.
  ContentBlock Finish(int line);

 private:
  void AppendText(std::string_view utf8, const TextFormat* format);
  void PlacePicture(const ImportLine& line, std::size_t index);

  // The pictures of one stem together: a blob the editor and the bank file can still carry.
  static constexpr std::size_t kMaxPictureBytes = std::size_t{64} << 20;

  PictureSource* pictures_;
  Report report_;
  bool started_ = false;
  std::string text_;  // GBK
  int32_t characters_ = 0;
  std::vector<FormatRun> runs_;
  std::vector<std::pair<int32_t, ContentBlock>> records_;  // by position
  std::optional<TextFormat> lastFormat_;                   // of runs_.back() while it can grow
  std::size_t pictureBytes_ = 0;
  std::size_t pastTheCut_ = 0;  // pictures that stood where the text is cut
};

}  // namespace velmor
