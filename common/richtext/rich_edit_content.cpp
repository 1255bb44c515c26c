// CRichEditCtrlEx's content: the blob saved from the control's text, formats and pictures,
// and loaded back into it as one RTF stream.
#include <richole.h>

#include <algorithm>
#include <cstring>

#include "common/base/gbk.h"
#include "common/richtext/rich_content.h"
#include "common/richtext/rich_edit_ctrl_ex.h"
#include "common/richtext/rtf_load.h"

namespace velmor {

namespace {

struct TextStream {
  const char* text;
  std::size_t left;
};

DWORD CALLBACK GiveBytes(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* given) {
  TextStream* stream = reinterpret_cast<TextStream*>(cookie);
  std::size_t count = stream->left < static_cast<std::size_t>(wanted) ? stream->left
                                                                      : static_cast<std::size_t>(wanted);
  std::memcpy(buffer, stream->text, count);
  stream->text += count;
  stream->left -= count;
  *given = static_cast<LONG>(count);
  return 0;
}

bool SameRun(const CHARFORMATA& a, const CHARFORMATA& b) {
  return std::strcmp(a.szFaceName, b.szFaceName) == 0 && a.crTextColor == b.crTextColor &&
         a.dwEffects == b.dwEffects;
}

// A stored format's fields as the control takes them, every field named.
CHARFORMATA FormatOf(const CharFormatFields& fields) {
  CHARFORMATA format{};
  format.cbSize = sizeof format;
  format.dwMask = kRunFormatMask;
  format.dwEffects = fields.effects;
  format.yHeight = fields.height;
  format.yOffset = fields.offset;
  format.crTextColor = fields.colour;
  format.bCharSet = fields.charset;
  format.bPitchAndFamily = fields.pitchAndFamily;
  GbkCopyToField(format.szFaceName, sizeof format.szFaceName, fields.face);
  return format;
}

// Whether `current` (a selection's format) holds every field `wanted` sets.
bool Holds(const CHARFORMATA& current, const CHARFORMATA& wanted) {
  const DWORD mask = wanted.dwMask;
  if ((current.dwMask & mask) != mask) return false;
  const DWORD effects = mask & (CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT |
                                CFM_PROTECTED | CFM_LINK);
  if ((current.dwEffects ^ wanted.dwEffects) & effects) return false;
  if ((mask & CFM_COLOR) && (((current.dwEffects ^ wanted.dwEffects) & CFE_AUTOCOLOR) ||
                             current.crTextColor != wanted.crTextColor)) {
    return false;
  }
  if ((mask & CFM_SIZE) && current.yHeight != wanted.yHeight) return false;
  if ((mask & CFM_OFFSET) && current.yOffset != wanted.yOffset) return false;
  if ((mask & CFM_CHARSET) && current.bCharSet != wanted.bCharSet) return false;
  if ((mask & CFM_FACE) && (std::strcmp(current.szFaceName, wanted.szFaceName) != 0 ||
                            current.bPitchAndFamily != wanted.bPitchAndFamily)) {
    return false;
  }
  return true;
}

FormatRun MakeRun(int32_t first, int32_t end, CHARFORMATA format) {
  format.dwMask = kRunFormatMask;
  FormatRun run;
  run.first = first;
  run.end = end;
  static_assert(sizeof(CHARFORMATA) == kCharFormatSize, "the stored format is CHARFORMATA");
  std::memcpy(run.format.data(), &format, kCharFormatSize);
  return run;
}

}  // namespace

CHARFORMATA CRichEditCtrlEx::CharFormatAt(int32_t position) {
  Send(EM_SETSEL, position, position + 1);
  CHARFORMATA format{};
  format.cbSize = sizeof format;
  Send(EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  return format;
}

std::vector<std::pair<int32_t, int32_t>> CRichEditCtrlEx::EmbeddedObjects() {
  std::vector<std::pair<int32_t, int32_t>> objects;
  IRichEditOle* ole = nullptr;
  if (!Send(EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(&ole)) || !ole) return objects;
  LONG count = ole->GetObjectCount();
  for (LONG index = 0; index < count; ++index) {
    REOBJECT object{};
    object.cbStruct = sizeof object;
    if (SUCCEEDED(ole->GetObject(index, &object, REO_GETOBJ_NO_INTERFACES))) {
      objects.emplace_back(object.cp, static_cast<int32_t>(object.dwUser));
    }
  }
  ole->Release();
  std::sort(objects.begin(), objects.end());
  return objects;
}

ContentBlock CRichEditCtrlEx::SaveContent() {
  char buffer[kMaxRichTextBytes + 1] = {};
  int textLength = ::GetWindowTextA(hwnd_, buffer, sizeof buffer);
  if (textLength < 0) textLength = 0;
  std::string text(buffer, static_cast<std::size_t>(textLength));

  // The first character of the last line, after one more paragraph break, ends the content.
  Send(EM_SETSEL, -1, -1);
  Send(EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>("\r\n"));
  LRESULT lastLine = Send(EM_GETLINECOUNT) - 1;
  int32_t end = static_cast<int32_t>(Send(EM_LINEINDEX, lastLine));
  if (end < 1) end = 1;

  std::vector<FormatRun> runs;
  CHARFORMATA current = CharFormatAt(0);
  int32_t runStart = 0;
  for (int32_t i = 1; i < end; ++i) {
    CHARFORMATA format = CharFormatAt(i);
    if (!SameRun(format, current)) {
      runs.push_back(MakeRun(runStart, i, current));
      current = format;
      runStart = i;
    }
  }
  runs.push_back(MakeRun(runStart, end, current));

  std::vector<const ContentBlock*> pictures;
  for (const auto& [position, user] : EmbeddedObjects()) {
    if (position < 0 || position >= textLength) continue;
    for (PictureEntry& entry : registry_) {
      if (entry.key == user) {
        SetPicturePosition(entry.record, position);
        pictures.push_back(&entry.record);
        break;
      }
    }
  }
  return BuildRichContent(end - 1, text, runs, pictures);
}

bool CRichEditCtrlEx::LoadContent(const ContentBlock& blob) {
  return LoadContent(blob.data(), blob.size());
}

bool CRichEditCtrlEx::LoadContent(const unsigned char* blob, std::size_t size) {
  RichContentParts parts = blob ? ParseRichContent(blob, size) : RichContentParts{};
  // The control holds no more text than it saves. A longer text comes from no stem saved
  // here, would be cut on the next save anyway, and one long line of it takes Wine's control
  // time in the square of its length (minutes at 100,000 characters) or brings it down.
  parts.text.resize(GbkCutLength(parts.text, kMaxRichTextBytes));
  // Every format run and picture would otherwise repaint the control on its own.
  fw::RedrawSuspended quiet(hwnd());
  StreamInText(parts.text);
  if (!parts.runs.empty()) StreamInFormats(parts.text, parts.runs);
  for (const PictureView& picture : parts.pictures) {
    if (picture.width == 0 || picture.height == 0) continue;  // nothing to show
    InsertPicture(ContentBlock::FromBytes(picture.record, picture.length), picture.position);
  }
  return true;
}

// The formats the runs end with go in as one RTF stream over the text already in the control,
// so that it is laid out once. Each span the stream did not give whole is then set whole:
// Wine's reader writes no offsets, protected text, links or odd sizes, and leaves automatic
// colour undefined. A stream that did not give back the text is undone by putting `plain`
// in again, and then every span is set that way. The outcome is that of setting every run
// in turn, with the fields the stored format holds (a run's mask bits beyond them would
// have the control read fields it was never given).
void CRichEditCtrlEx::StreamInFormats(const std::string& plain, const std::vector<FormatRun>& runs) {
  const std::u16string text = WideText();
  if (text.empty()) return;
  unsigned char base[kCharFormatSize];
  CHARFORMATA first = CharFormatAt(0);
  std::memcpy(base, &first, sizeof base);
  std::vector<FormatSpan> spans =
      ResolveRuns(ReadCharFormat(base), static_cast<int32_t>(text.size()), runs);
  // A stream that ends with a paragraph break gives that break up to the control's own.
  std::u16string streamed = text;
  if (text.back() == u'\r') {
    streamed += u'\r';
    spans.back().end += 1;
  }
  std::string rtf = BuildRtf(streamed, spans, ::GetACP());

  CHARFORMAT2A defaults{};
  defaults.cbSize = sizeof defaults;
  Send(EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&defaults));
  StreamIn(rtf, SF_RTF);
  CHARFORMAT2A after{};
  after.cbSize = sizeof after;
  Send(EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&after));
  if (std::memcmp(&defaults, &after, sizeof after) != 0) {
    Send(EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&defaults));
  }
  if (WideText() != text) StreamInText(plain);

  const int32_t length = static_cast<int32_t>(text.size());
  for (const FormatSpan& span : spans) {
    const int32_t end = std::min(span.end, length);
    if (span.first >= end) continue;
    CHARFORMATA wanted = FormatOf(span.format);
    Send(EM_SETSEL, span.first, end);
    CHARFORMATA current{};
    current.cbSize = sizeof current;
    Send(EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&current));
    if (!Holds(current, wanted)) Send(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&wanted));
  }
}

std::u16string CRichEditCtrlEx::WideText() {
  GETTEXTLENGTHEX length{GTL_NUMCHARS | GTL_PRECISE, 1200};
  LRESULT count = Send(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0);
  if (count <= 0) return std::u16string();
  std::u16string text(static_cast<std::size_t>(count) + 1, u'\0');
  GETTEXTEX get{};
  get.cb = static_cast<DWORD>(text.size() * sizeof(char16_t));
  get.flags = GT_DEFAULT;
  get.codepage = 1200;
  LRESULT got = Send(EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get),
                     reinterpret_cast<LPARAM>(&text[0]));
  text.resize(got > 0 ? std::min(static_cast<std::size_t>(got), text.size()) : 0);
  return text;
}

void CRichEditCtrlEx::ClearContent() {
  registry_.clear();
  StreamInText(std::string());
}

void CRichEditCtrlEx::StreamInText(const std::string& text) { StreamIn(text, SF_TEXT); }

void CRichEditCtrlEx::StreamIn(const std::string& bytes, UINT format) {
  TextStream stream{bytes.c_str(), bytes.size()};
  EDITSTREAM edit{};
  edit.dwCookie = reinterpret_cast<DWORD_PTR>(&stream);
  edit.pfnCallback = &GiveBytes;
  Send(EM_STREAMIN, format, reinterpret_cast<LPARAM>(&edit));
}

}  // namespace velmor
