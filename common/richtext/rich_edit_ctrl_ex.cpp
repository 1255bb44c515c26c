#include "common/richtext/rich_edit_ctrl_ex.h"

#include <ole2.h>
#include <richole.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "common/base/gbk.h"
#include "common/richtext/bitmap_data_object.h"
#include "common/richtext/dib.h"
#include "common/richtext/rich_content.h"
#include "common/richtext/rtf_load.h"
#include "framework/gdi.h"
#include "framework/platform.h"

namespace velmor {

namespace {

constexpr DWORD kFontDialogFlags = 0x101;  // screen fonts and effects

template <class T>
void SafeRelease(T*& object) {
  if (object) object->Release();
  object = nullptr;
}

void ReportOleFailure(HWND owner, HRESULT status) {
  char text[96];
  std::snprintf(text, sizeof text, "OLE 操作失败，错误代码 0x%08lX。",
                static_cast<unsigned long>(status));
  fw::ReportError(owner, text);
}

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

bool CRichEditCtrlEx::LoadLibrary() {
  static HMODULE library = ::LoadLibraryA("riched20.dll");
  return library != nullptr;
}

bool CRichEditCtrlEx::Create(DWORD style, const RECT& rect, HWND parent, int id) {
  if (!LoadLibrary() || !CControl::Create("RichEdit20A", style | WS_CHILD, rect, parent, id)) {
    return false;
  }
  Send(WM_SETFONT, static_cast<WPARAM>(::SendMessageA(parent, WM_GETFONT, 0, 0)), TRUE);
  return true;
}

bool CRichEditCtrlEx::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                    LRESULT& result) {
  switch (message) {
    case WM_RBUTTONUP:
      result = OnRightButtonUp(wParam, lParam);
      return true;
    case WM_CHAR:
    case WM_IME_CHAR:
      return OnCharacter(message, wParam, lParam, result);
    case WM_COMMAND:
      if (HIWORD(wParam) == 0 && OnMenuCommand(LOWORD(wParam))) {
        result = 0;
        return true;
      }
      return false;
    default:
      return false;
  }
}

namespace {

bool IsGbkTrailByte(WPARAM character) {
  return character >= 0x40 && character <= 0xFE && character != 0x7F;
}

}  // namespace

bool CRichEditCtrlEx::OnCharacter(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  // A double-byte character reaches an ANSI window as two character messages, lead byte
  // first (or as one IME character holding both). Some rich-edit versions take each byte for
  // a character of its own, so the pair is put together here and entered as text.
  char text[3] = {};
  if (message == WM_CHAR && pendingLeadByte_ != 0 && !IsGbkTrailByte(wParam)) {
    pendingLeadByte_ = 0;  // a lead byte without its trail byte is dropped
  }
  if (message == WM_IME_CHAR && HIBYTE(LOWORD(wParam)) != 0) {
    text[0] = static_cast<char>(HIBYTE(LOWORD(wParam)));
    text[1] = static_cast<char>(LOBYTE(LOWORD(wParam)));
  } else if (message == WM_CHAR && pendingLeadByte_ != 0 && IsGbkTrailByte(wParam)) {
    text[0] = static_cast<char>(pendingLeadByte_);
    text[1] = static_cast<char>(wParam & 0xFF);
    pendingLeadByte_ = 0;
  } else if (message == WM_CHAR && wParam < 0x100 &&
             ::IsDBCSLeadByte(static_cast<BYTE>(wParam))) {
    pendingLeadByte_ = static_cast<unsigned char>(wParam);
    result = 0;
    return true;
  } else {
    return false;
  }
  (void)lParam;
  if (GetStyle() & ES_READONLY) {
    result = 0;
    return true;
  }
  Send(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
  result = 0;
  return true;
}

bool CRichEditCtrlEx::SelectionIsEmpty() const {
  // Some rich-edit versions answer the selection-type query with "text" for a bare caret,
  // so a caret is recognised by its range first.
  CHARRANGE range{};
  Send(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
  if (range.cpMin == range.cpMax) return true;
  return LOWORD(Send(EM_SELECTIONTYPE)) == 0;
}

HMENU CRichEditCtrlEx::BuildContextMenu() const {
  HMENU menu = ::CreatePopupMenu();
  auto item = [menu](UINT id, const char* text, bool enabled) {
    ::AppendMenuA(menu, MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED), id, text);
  };
  bool selected = !SelectionIsEmpty();
  item(kMenuUndo, "撤消(&U)", Send(EM_CANUNDO) != 0);
  ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  item(kMenuCut, "剪切(&T)", selected);
  item(kMenuCopy, "复制(&C)", selected);
  item(kMenuPaste, "粘贴(&P)", Send(EM_CANPASTE, 0) != 0);
  item(kMenuClear, "清除(&L)", selected);
  ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  item(kMenuSelectAll, "选择所有　(&A)", true);
  ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  item(kMenuChooseFont, "选择字体(&F)", true);
  return menu;
}

LRESULT CRichEditCtrlEx::OnRightButtonUp(WPARAM wParam, LPARAM lParam) {
  SetFocus();
  HMENU menu = BuildContextMenu();
  POINT cursor;
  ::GetCursorPos(&cursor);
  ::TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, hwnd_, nullptr);
  ::DestroyMenu(menu);
  return DefaultProc(WM_RBUTTONUP, wParam, lParam);
}

bool CRichEditCtrlEx::OnMenuCommand(UINT id) {
  switch (id) {
    case kMenuUndo: Send(EM_UNDO); return true;
    case kMenuCut: Send(WM_CUT); return true;
    case kMenuCopy: Send(WM_COPY); return true;
    case kMenuPaste: Send(WM_PASTE); return true;
    case kMenuClear: Send(WM_CLEAR); return true;
    case kMenuSelectAll: Send(EM_SETSEL, 0, -1); return true;
    case kMenuChooseFont: ChooseTextFont(); return true;
    default: return false;
  }
}

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

void CRichEditCtrlEx::InsertPicture(ContentBlock record, int32_t position) {
  PictureView view;
  if (!ParsePictureRecord(record.data(), record.size(), &view)) return;
  const int32_t width = view.width;
  const int32_t height = view.height;
  const std::size_t rowBytes = std::size_t{3} * static_cast<std::size_t>(width);
  const std::size_t stride = Dib24Stride(width);
  std::vector<unsigned char> bits(stride * static_cast<std::size_t>(height), 0);
  for (int32_t row = 0; row < height; ++row) {
    std::memcpy(bits.data() + stride * static_cast<std::size_t>(height - 1 - row),
                view.pixels() + rowBytes * static_cast<std::size_t>(row), rowBytes);
  }

  HDC display = ::CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
  HDC memory = ::CreateCompatibleDC(display);
  HBITMAP bitmap = ::CreateCompatibleBitmap(display, width, height);
  {
    fw::CSelection selectBitmap(memory, bitmap);
    BITMAPINFOHEADER header = Dib24Header(width, height);
    ::SetDIBits(memory, bitmap, 0, static_cast<UINT>(height), bits.data(),
                reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
  }

  ++pictureCounter_;
  registry_.push_back(PictureEntry{pictureCounter_, kPictureKind, std::move(record)});
  InsertBitmapObject(bitmap, position, pictureCounter_);

  ::DeleteObject(bitmap);
  ::DeleteDC(memory);
  ::DeleteDC(display);
}

bool CRichEditCtrlEx::InsertBitmapObject(HBITMAP bitmap, int32_t position, int32_t user) {
  ILockBytes* bytes = nullptr;
  IStorage* storage = nullptr;
  IRichEditOle* ole = nullptr;
  IOleClientSite* site = nullptr;
  IOleObject* object = nullptr;
  BitmapDataObject* data = new BitmapDataObject(bitmap);

  HRESULT status = ::CreateILockBytesOnHGlobal(nullptr, TRUE, &bytes);
  if (SUCCEEDED(status)) {
    status = ::StgCreateDocfileOnILockBytes(
        bytes, STGM_SHARE_EXCLUSIVE | STGM_CREATE | STGM_READWRITE, 0, &storage);
  }
  if (SUCCEEDED(status)) {
    if (!Send(EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(&ole)) || !ole) status = E_NOINTERFACE;
  }
  if (SUCCEEDED(status)) status = ole->GetClientSite(&site);
  if (SUCCEEDED(status)) {
    FORMATETC format{CF_BITMAP, nullptr, DVASPECT_CONTENT, -1, TYMED_GDI};
    status = ::OleCreateStaticFromData(data, IID_IOleObject, OLERENDER_FORMAT, &format, site,
                                       storage, reinterpret_cast<void**>(&object));
  }
  CLSID classId{};
  if (SUCCEEDED(status)) status = object->GetUserClassID(&classId);
  if (SUCCEEDED(status)) {
    REOBJECT description{};
    description.cbStruct = sizeof description;
    description.cp = REO_CP_SELECTION;
    description.clsid = classId;
    description.poleobj = object;
    description.pstg = storage;
    description.polesite = site;
    description.sizel.cx = description.sizel.cy = 0;
    description.dvaspect = DVASPECT_CONTENT;
    description.dwFlags = 0;
    description.dwUser = static_cast<DWORD>(user);
    if (position != -1) Send(EM_SETSEL, position, position + 1);
    status = ole->InsertObject(&description);
  }

  SafeRelease(object);
  SafeRelease(site);
  SafeRelease(ole);
  SafeRelease(storage);
  SafeRelease(bytes);
  data->Release();
  if (FAILED(status)) {
    ReportOleFailure(::GetParent(hwnd_), status);
    return false;
  }
  return true;
}

void CRichEditCtrlEx::ChooseTextFont() {
  const bool selection = !SelectionIsEmpty();
  CHARFORMATA format{};
  format.cbSize = sizeof format;
  Send(EM_GETCHARFORMAT, selection ? SCF_SELECTION : SCF_DEFAULT,
       reinterpret_cast<LPARAM>(&format));

  LOGFONTA font{};
  font.lfHeight = format.yHeight / 15;
  font.lfWeight = (format.dwEffects & CFE_BOLD) ? FW_BOLD : FW_NORMAL;
  font.lfItalic = (format.dwEffects & CFE_ITALIC) ? 1 : 0;
  font.lfUnderline = (format.dwEffects & CFE_UNDERLINE) ? 1 : 0;
  font.lfStrikeOut = (format.dwEffects & CFE_STRIKEOUT) ? 1 : 0;
  font.lfCharSet = format.bCharSet;
  font.lfPitchAndFamily = format.bPitchAndFamily;
  std::memcpy(font.lfFaceName, format.szFaceName, LF_FACESIZE);
  font.lfFaceName[LF_FACESIZE - 1] = '\0';
  COLORREF colour = format.crTextColor;
  int pointSizeTenths = 0;
  if (!fw::Platform().ShowFontDialog(hwnd_, kFontDialogFlags, &font, &colour, &pointSizeTenths)) {
    return;
  }

  CHARFORMATA chosen{};
  chosen.cbSize = sizeof chosen;
  chosen.dwMask = CFM_FACE | CFM_SIZE | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT |
                  CFM_COLOR | CFM_CHARSET;
  std::memcpy(chosen.szFaceName, font.lfFaceName, LF_FACESIZE);
  chosen.szFaceName[LF_FACESIZE - 1] = '\0';
  chosen.yHeight = pointSizeTenths * 2;
  chosen.dwEffects = (font.lfWeight >= FW_BOLD ? CFE_BOLD : 0) | (font.lfItalic ? CFE_ITALIC : 0) |
                     (font.lfUnderline ? CFE_UNDERLINE : 0) | (font.lfStrikeOut ? CFE_STRIKEOUT : 0);
  chosen.crTextColor = colour;
  chosen.bCharSet = font.lfCharSet;
  chosen.bPitchAndFamily = font.lfPitchAndFamily;
  Send(EM_SETCHARFORMAT, selection ? SCF_SELECTION : SCF_DEFAULT,
       reinterpret_cast<LPARAM>(&chosen));
}

}  // namespace velmor
