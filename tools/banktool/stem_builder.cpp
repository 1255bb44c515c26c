#include "tools/banktool/stem_builder.h"

#include <algorithm>

#include "common/base/byte_order.h"
#include "common/base/gbk.h"
#include "common/base/text_encoding.h"
#include "common/richtext/rtf_load.h"

namespace velmor {

namespace {

constexpr uint8_t kGb2312Charset = 134;
constexpr std::size_t kFormatHeight = 12;  // offsets in the stored character format
constexpr std::size_t kFormatColour = 20;
constexpr std::size_t kFormatCharset = 24;
constexpr std::size_t kFormatFace = 26;

// The characters of GBK text as the control counts them: a double-byte character and CR LF
// each one.
int32_t CharacterCount(std::string_view gbk) {
  int32_t count = 0;
  for (std::size_t i = 0; i < gbk.size(); ++i, ++count) {
    const unsigned char byte = static_cast<unsigned char>(gbk[i]);
    if (i + 1 < gbk.size() && (IsGbkLeadByte(byte) || (byte == '\r' && gbk[i + 1] == '\n'))) ++i;
  }
  return count;
}

bool Shows(const TextFormat& format) {
  return format.bold || format.italic || format.underline || format.coloured ||
         format.halfPoints > 0 || !format.face.empty();
}

// The stored character format of a run: the effects always, the rest where the run says it.
FormatRun RunOf(int32_t first, int32_t end, const TextFormat& format) {
  FormatRun run;
  run.first = first;
  run.end = end;
  unsigned char* bytes = run.format.data();
  WriteLe32(bytes, static_cast<int32_t>(kCharFormatSize));
  uint32_t mask = kMaskBold | kMaskItalic | kMaskUnderline;
  const uint32_t effects = (format.bold ? kMaskBold : 0) | (format.italic ? kMaskItalic : 0) |
                           (format.underline ? kMaskUnderline : 0);
  if (format.halfPoints > 0) {
    mask |= kMaskSize;
    WriteLe32(bytes + kFormatHeight, format.halfPoints * 10);
  }
  if (format.coloured) {
    mask |= kMaskColour;
    const uint32_t rgb = format.rgb;
    WriteLe32(bytes + kFormatColour,
              static_cast<int32_t>((rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16));
  }
  if (!format.face.empty()) {
    mask |= kMaskFace | kMaskCharset;
    bytes[kFormatCharset] = format.eastAsian ? kGb2312Charset : 0;
    GbkCopyToField(reinterpret_cast<char*>(bytes + kFormatFace), kFaceBytes,
                   Utf8ToGbkLossy(format.face));
  }
  WriteLe32(bytes + 4, static_cast<int32_t>(mask));
  WriteLe32(bytes + 8, static_cast<int32_t>(effects));
  return run;
}

}  // namespace

void StemBuilder::Paragraph(const ImportLine& line, std::size_t first, std::size_t end) {
  if (!started_ && first == end && line.pictures.empty()) return;  // "1." alone: the stem starts below
  if (started_) {
    text_ += "\r\n";
    ++characters_;
    lastFormat_.reset();
  }
  started_ = true;
  auto pictureAt = [&](std::size_t p) { return std::clamp(line.pictures[p].at, first, end); };
  std::size_t span = 0;
  std::size_t picture = 0;
  for (std::size_t at = first;;) {
    for (; picture < line.pictures.size() && pictureAt(picture) <= at; ++picture) {
      PlacePicture(line, line.pictures[picture].index);
    }
    if (at >= end) break;
    std::size_t stop = end;
    if (picture < line.pictures.size()) stop = std::min(stop, pictureAt(picture));
    while (span < line.spans.size() && line.spans[span].end <= at) ++span;
    const TextFormat* format = nullptr;
    if (span < line.spans.size()) {
      if (line.spans[span].first > at) {
        stop = std::min(stop, line.spans[span].first);
      } else {
        format = &line.spans[span].format;
        stop = std::min(stop, line.spans[span].end);
      }
    }
    AppendText(std::string_view(line.text).substr(at, stop - at), format);
    at = stop;
  }
}

ContentBlock StemBuilder::Finish(int line) {
  if (text_.size() > kMaxRichTextBytes) {
    std::size_t cut = GbkCutLength(text_, kMaxRichTextBytes);
    if (cut > 0 && text_[cut - 1] == '\r') --cut;
    text_.resize(cut);
    const int32_t kept = CharacterCount(text_);
    for (FormatRun& run : runs_) run.end = std::min(run.end, kept);
    runs_.erase(std::remove_if(runs_.begin(), runs_.end(), [](const FormatRun& run) { return run.first >= run.end; }),
                runs_.end());
    const std::size_t pictures = records_.size() + pastTheCut_;
    records_.erase(std::remove_if(records_.begin(), records_.end(),
                                  [kept](const std::pair<int32_t, ContentBlock>& record) { return record.first >= kept; }),
                   records_.end());
    characters_ = kept;
    std::string what = "the stem cut to " + std::to_string(kMaxRichTextBytes) + " bytes";
    if (records_.size() < pictures) {
      what += ", " + std::to_string(pictures - records_.size()) + " pictures after the cut left out";
    }
    report_(what, line);
  }
  std::vector<const ContentBlock*> pictures;
  for (const auto& record : records_) pictures.push_back(&record.second);
  return BuildRichContent(characters_, text_, runs_, pictures);
}

void StemBuilder::AppendText(std::string_view utf8, const TextFormat* format) {
  const std::string gbk = Utf8ToGbkLossy(utf8);
  const int32_t count = CharacterCount(gbk);
  if (count == 0) return;
  if (format && Shows(*format)) {
    if (lastFormat_ && *lastFormat_ == *format && !runs_.empty() && runs_.back().end == characters_) {
      runs_.back().end += count;
    } else {
      runs_.push_back(RunOf(characters_, characters_ + count, *format));
      lastFormat_ = *format;
    }
  } else {
    lastFormat_.reset();
  }
  text_ += gbk;
  characters_ += count;
}

void StemBuilder::PlacePicture(const ImportLine& line, std::size_t index) {
  if (text_.size() >= kMaxRichTextBytes) {
    // Its place falls where the text will be cut: it is not decoded at all.
    ++pastTheCut_;
    text_ += ' ';
    ++characters_;
    lastFormat_.reset();
    return;
  }
  std::string problem;
  ContentBlock record = pictures_ ? pictures_->Picture(index, &problem) : ContentBlock();
  if (!pictures_) problem = "a picture that cannot be read, left out";
  if (!problem.empty()) report_(problem, line.number);
  if (record.empty()) return;
  if (pictureBytes_ + record.size() > kMaxPictureBytes) {
    report_("a picture left out: the stem's pictures would pass " + std::to_string(kMaxPictureBytes >> 20) + " MB",
            line.number);
    return;
  }
  pictureBytes_ += record.size();
  SetPicturePosition(record, characters_);
  records_.emplace_back(characters_, std::move(record));
  text_ += ' ';
  ++characters_;
  lastFormat_.reset();
}

}  // namespace velmor
