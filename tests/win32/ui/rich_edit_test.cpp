#include <gtest/gtest.h>
#include <windows.h>
#include <richedit.h>

#include <cstring>

#include "common/base/byte_order.h"
#include "common/capture/screen_dlg.h"
#include "common/richtext/rich_content.h"
#include "common/richtext/rich_edit_ctrl_ex.h"
#include "framework/dialog.h"
#include "tests/win32/ui/recording_platform.h"
#include "tests/win32/ui/ui_test_ids.h"

namespace velmor {
namespace {

using test::RecordingPlatform;

class RichDialog : public fw::CDialog {
 public:
  RichDialog() : CDialog(IDD_RICH_TEST) {}
  CRichEditCtrlEx rich;

 protected:
  BOOL OnInitDialog() override {
    rich.SubclassDlgItem(IDC_RICH, hwnd());
    return TRUE;
  }
};

class RichEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dialog.Create(nullptr));
    ASSERT_NE(dialog.rich.hwnd(), nullptr);
  }

  void Type(const std::string& text) {
    rich().Send(EM_SETSEL, -1, -1);
    rich().Send(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
  }
  void Format(int32_t first, int32_t end, const char* face, COLORREF colour, DWORD effects,
              LONG twips) {
    CHARFORMATA format{};
    format.cbSize = sizeof format;
    format.dwMask = CFM_FACE | CFM_COLOR | CFM_BOLD | CFM_ITALIC | CFM_SIZE;
    std::strcpy(format.szFaceName, face);
    format.crTextColor = colour;
    format.dwEffects = effects;
    format.yHeight = twips;
    rich().Send(EM_SETSEL, first, end);
    rich().Send(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  }
  CHARFORMATA FormatAt(CRichEditCtrlEx& control, int32_t position) {
    control.Send(EM_SETSEL, position, position + 1);
    CHARFORMATA format{};
    format.cbSize = sizeof format;
    control.Send(EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    return format;
  }
  CRichEditCtrlEx& rich() { return dialog.rich; }

  RecordingPlatform platform;
  RichDialog dialog;
};

// 4 x 3 pixels, every pixel different.
std::vector<unsigned char> TestPixels(int32_t width, int32_t height) {
  std::vector<unsigned char> pixels(static_cast<std::size_t>(3 * width * height));
  for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<unsigned char>(i * 37 + 11);
  return pixels;
}

TEST_F(RichEditTest, AnEmptyControlSavesA101ByteBlob) {
  ContentBlock blob = rich().SaveContent();
  ASSERT_EQ(blob.size(), 101u);
  EXPECT_EQ(ReadLe32(blob.data()), 101);
  EXPECT_EQ(ReadLe32(blob.data() + 16), 0);  // characters
  EXPECT_EQ(ReadLe32(blob.data() + 20), 0);  // pictures
  EXPECT_EQ(ReadLe32(blob.data() + 24), 1);  // text bytes: the NUL
  EXPECT_EQ(ReadLe32(blob.data() + 28), 1);  // one run
  EXPECT_EQ(blob.data()[32], 0);
  EXPECT_EQ(ReadLe32(blob.data() + 33), 0);  // run [0, 1)
  EXPECT_EQ(ReadLe32(blob.data() + 37), 1);
  EXPECT_EQ(ReadLe32(blob.data() + 41), 60);
  EXPECT_EQ(static_cast<uint32_t>(ReadLe32(blob.data() + 45)), 0xF800003Fu);
}

TEST_F(RichEditTest, TextFormatsAndAPictureSurviveAReloadIntoAFreshControl) {
  Type("Hello 世界\r\nsecond line");
  Format(0, 5, "Arial", RGB(200, 0, 0), CFE_BOLD, 240);
  Format(5, 21, "宋体", RGB(0, 0, 180), CFE_ITALIC, 200);
  std::vector<unsigned char> pixels = TestPixels(4, 3);
  rich().Send(EM_SETSEL, 6, 6);
  rich().InsertPicture(MakePictureRecord(4, 3, pixels.data()), -1);
  EXPECT_EQ(rich().pictureCounter(), 1);
  ASSERT_EQ(rich().pictureRegistry().size(), 1u);

  ContentBlock blob = rich().SaveContent();
  ASSERT_TRUE(blob.IsWellFormed());
  RichContentParts saved = ParseRichContent(blob.data(), blob.size());
  ASSERT_EQ(saved.pictures.size(), 1u);
  EXPECT_EQ(saved.pictures[0].position, 6);
  EXPECT_EQ(saved.pictures[0].width, 4);
  EXPECT_EQ(saved.pictures[0].height, 3);
  EXPECT_EQ(0, std::memcmp(saved.pictures[0].pixels(), pixels.data(), pixels.size()));
  EXPECT_EQ(saved.pictures[0].length, 3u * 4 * 3 + 23);
  EXPECT_EQ(saved.text.substr(0, 6), "Hello ");
  EXPECT_EQ(saved.text.substr(7), "世界\r\nsecond line");
  ASSERT_GE(saved.runs.size(), 2u);
  EXPECT_EQ(saved.runs[0].first, 0);
  EXPECT_EQ(saved.runs[0].end, 5);
  EXPECT_EQ(saved.characterCount, 21);  // 20 typed, 1 picture

  RichDialog fresh;
  ASSERT_TRUE(fresh.Create(nullptr));
  ASSERT_TRUE(fresh.rich.LoadContent(blob));
  EXPECT_EQ(fresh.rich.pictureRegistry().size(), 1u);
  CHARFORMATA bold = FormatAt(fresh.rich, 2);
  EXPECT_STREQ(bold.szFaceName, "Arial");
  EXPECT_EQ(bold.crTextColor, RGB(200, 0, 0));
  EXPECT_TRUE(bold.dwEffects & CFE_BOLD);
  CHARFORMATA italic = FormatAt(fresh.rich, 9);
  EXPECT_STREQ(italic.szFaceName, "宋体");
  EXPECT_EQ(italic.crTextColor, RGB(0, 0, 180));
  EXPECT_TRUE(italic.dwEffects & CFE_ITALIC);

  ContentBlock again = fresh.rich.SaveContent();
  RichContentParts reloaded = ParseRichContent(again.data(), again.size());
  EXPECT_EQ(reloaded.text, saved.text);
  ASSERT_EQ(reloaded.pictures.size(), 1u);
  EXPECT_EQ(reloaded.pictures[0].position, 6);
  EXPECT_EQ(0, std::memcmp(reloaded.pictures[0].pixels(), pixels.data(), pixels.size()));
  ASSERT_GE(reloaded.runs.size(), saved.runs.size());
  for (std::size_t i = 0; i + 1 < saved.runs.size(); ++i) {
    EXPECT_EQ(reloaded.runs[i].first, saved.runs[i].first);
    EXPECT_EQ(reloaded.runs[i].end, saved.runs[i].end);
  }
}

TEST_F(RichEditTest, NeighboursDifferingOnlyInSizeShareOneRun) {
  Type("ab");
  Format(0, 1, "Arial", RGB(0, 0, 0), 0, 200);
  Format(1, 2, "Arial", RGB(0, 0, 0), 0, 400);
  Format(2, 3, "Arial", RGB(0, 0, 0), 0, 200);  // the paragraph mark
  ContentBlock blob = rich().SaveContent();
  RichContentParts parts = ParseRichContent(blob.data(), blob.size());
  ASSERT_EQ(parts.runs.size(), 1u);
  EXPECT_EQ(parts.runs[0].first, 0);
  EXPECT_EQ(parts.runs[0].end, 3);

  RichDialog fresh;
  ASSERT_TRUE(fresh.Create(nullptr));
  fresh.rich.LoadContent(blob);
  EXPECT_EQ(FormatAt(fresh.rich, 0).yHeight, 200);
  EXPECT_EQ(FormatAt(fresh.rich, 1).yHeight, 200);
}

// The runs of a blob, one line each, for a failure message.
std::string RunsOf(const ContentBlock& blob) {
  std::string lines;
  for (const FormatRun& run : ParseRichContent(blob.data(), blob.size()).runs) {
    char line[320];
    int at = std::snprintf(line, sizeof line, "%d-%d:", run.first, run.end);
    for (std::size_t k = 0; k < 60 && at < 240; ++k) at += std::snprintf(line + at, sizeof line - at, " %02x", run.format[k]);
    lines += line;
    lines += ' ';
    lines += reinterpret_cast<const char*>(run.format.data() + 26);
    lines += '\n';
  }
  return lines;
}

// Loading puts the formats in as one stream and mends what the stream missed; whatever the
// runs, the control must end as it would with every run set on its own, in turn.
TEST_F(RichEditTest, LoadingEndsAsSettingEveryRunInTurn) {
  struct Given {
    int32_t first, end;
    DWORD mask, effects;
    LONG height, offset;
    COLORREF colour;
    BYTE charset, pitch;
    const char* face;
  };
  auto run = [](const Given& given) {
    CHARFORMATA format{};
    format.cbSize = sizeof format;
    format.dwMask = given.mask;
    format.dwEffects = given.effects;
    format.yHeight = given.height;
    format.yOffset = given.offset;
    format.crTextColor = given.colour;
    format.bCharSet = given.charset;
    format.bPitchAndFamily = given.pitch;
    std::strncpy(format.szFaceName, given.face, LF_FACESIZE - 1);
    FormatRun stored;
    stored.first = given.first;
    stored.end = given.end;
    std::memcpy(stored.format.data(), &format, sizeof format);
    return stored;
  };
  const DWORD all = kRunFormatMask;
  const DWORD b = CFE_BOLD, i = CFE_ITALIC, u = CFE_UNDERLINE, auto_ = CFE_AUTOCOLOR;
  struct Case {
    const char* name;
    std::string text;
    std::vector<Given> runs;
  } cases[] = {
      {"saved runs, GBK faces", "第一题 Hello 世界\r\n第二行",
       {{0, 4, all, b, 240, 0, RGB(200, 0, 0), 134, 2, "宋体"},
        {4, 10, all, i | u, 180, 0, RGB(0, 0, 180), 0, 0x22, "Arial"},
        {10, 20, all, auto_, 210, 0, 0, 134, 0x31, "黑体"}}},
      {"strike, protected, link, raised and lowered", "abcdefghij",
       {{0, 3, all, CFE_STRIKEOUT, 200, 40, RGB(1, 2, 3), 0, 0, "Courier New"},
        {3, 6, all, CFE_PROTECTED, 200, -60, RGB(1, 2, 3), 0, 0, "Courier New"},
        {6, 11, all, CFE_LINK, 200, 0, RGB(4, 5, 6), 0, 0, "Courier New"}}},
      {"sizes and offsets RTF cannot write", "odd sizes",
       {{0, 4, all, 0, 195, 15, RGB(9, 9, 9), 0, 0, "Arial"},
        {4, 10, all, b, 233, -7, RGB(9, 9, 9), 0, 0, "Arial"}}},
      {"partial masks over each other", "word word word word",
       {{0, 19, CFM_SIZE, 0, 300, 0, 0, 0, 0, ""},
        {2, 12, CFM_BOLD | CFM_COLOR, b, 0, 0, RGB(0, 128, 0), 0, 0, ""},
        {8, 17, CFM_FACE, 0, 0, 0, 0, 0, 0x12, "Times New Roman"},
        {5, 6, CFM_ITALIC, i, 0, 0, 0, 0, 0, ""}}},
      {"reversed, open-ended, negative and beyond the end", "0123456789",
       {{7, 2, all, b, 220, 0, RGB(10, 0, 0), 0, 0, "Arial"},
        {8, -1, all, i, 260, 0, RGB(0, 10, 0), 0, 0, "Arial"},
        {-1, 5, all, u, 280, 0, RGB(0, 0, 10), 0, 0, "Arial"},
        {9, 400, CFM_UNDERLINE, u, 0, 0, 0, 0, 0, ""}}},
      {"paragraph ends, tabs and RTF's own characters", "a\\b{c}\td\r\n\r\nlast\r\n",
       {{0, 5, all, b, 200, 0, RGB(3, 3, 3), 0, 0, "Arial"},
        {5, 16, all, 0, 240, 0, RGB(7, 7, 7), 134, 0, "宋体"}}},
      {"control characters and a lone line feed", std::string("x\x01y\x1fz\nw", 7),
       {{0, 8, all, b, 200, 0, RGB(3, 3, 3), 0, 0, "Arial"}}},
      {"mask bits beyond the stored format", "extra bits",
       {{0, 10, all | 0x00800000, b, 200, 0, 0, 0, 0, "Arial"}}},
      {"a long face with RTF's separators", "face",
       {{0, 4, all, 0, 200, 0, 0, 0, 0, "A;{b}\\c face name longer than 31"}}},
      {"runs past the paragraph mark", "ab",
       {{0, 3, all, b, 200, 0, RGB(1, 1, 1), 0, 0, "Arial"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<FormatRun> runs;
    for (const Given& given : c.runs) runs.push_back(run(given));
    ContentBlock blob = BuildRichContent(static_cast<int32_t>(c.text.size()), c.text, runs, {});

    RichDialog loaded, reference;
    ASSERT_TRUE(loaded.Create(nullptr));
    ASSERT_TRUE(reference.Create(nullptr));
    ASSERT_TRUE(loaded.rich.LoadContent(blob));
    reference.rich.StreamInText(c.text);
    for (const FormatRun& stored : runs) {
      CHARFORMATA format;
      std::memcpy(&format, stored.format.data(), sizeof format);
      reference.rich.Send(EM_SETSEL, stored.first, stored.end);
      reference.rich.Send(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    }
    CHARFORMATA loadedDefault{}, referenceDefault{};
    loadedDefault.cbSize = referenceDefault.cbSize = sizeof(CHARFORMATA);
    loaded.rich.Send(EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&loadedDefault));
    reference.rich.Send(EM_GETCHARFORMAT, SCF_DEFAULT,
                        reinterpret_cast<LPARAM>(&referenceDefault));
    EXPECT_EQ(0, std::memcmp(&loadedDefault, &referenceDefault, sizeof loadedDefault));
    ContentBlock got = loaded.rich.SaveContent();
    ContentBlock want = reference.rich.SaveContent();
    ASSERT_EQ(got.size(), want.size());
    EXPECT_EQ(0, std::memcmp(got.data(), want.data(), got.size())) << RunsOf(got) << "want\n" << RunsOf(want);
  }
}

// A capture that ended with OK goes in even while another window holds the clipboard; one
// that was cancelled or made nothing does not.
TEST_F(RichEditTest, ACapturedPictureGoesInWhileTheClipboardIsBusy) {
  std::vector<unsigned char> pixels = TestPixels(4, 3);
  HWND other = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                 nullptr, nullptr);
  ASSERT_TRUE(::OpenClipboard(other));
  InsertCapturedPicture(dialog.hwnd(), rich(), IDCANCEL, MakePictureRecord(4, 3, pixels.data()));
  InsertCapturedPicture(dialog.hwnd(), rich(), IDOK, ContentBlock());
  EXPECT_EQ(rich().pictureCounter(), 0);
  InsertCapturedPicture(dialog.hwnd(), rich(), IDOK, MakePictureRecord(4, 3, pixels.data()));
  ::CloseClipboard();
  ::DestroyWindow(other);
  EXPECT_EQ(rich().pictureCounter(), 1);
  ContentBlock blob = rich().SaveContent();
  EXPECT_EQ(ParseRichContent(blob.data(), blob.size()).pictures.size(), 1u);
}

TEST_F(RichEditTest, SavingTwiceAddsOneMoreParagraph) {
  Type("x");
  ContentBlock first = rich().SaveContent();
  ContentBlock second = rich().SaveContent();
  EXPECT_EQ(ParseRichContent(first.data(), first.size()).text, "x");
  EXPECT_EQ(ParseRichContent(second.data(), second.size()).text, "x\r\n");
  EXPECT_EQ(ReadLe32(second.data() + 16), ReadLe32(first.data() + 16) + 1);
}

TEST_F(RichEditTest, AnUnregisteredObjectIsNotSavedAndLeavesItsPlaceholder) {
  Type("ab");
  HDC screen = ::GetDC(nullptr);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 5, 5);
  ::ReleaseDC(nullptr, screen);
  rich().Send(EM_SETSEL, 1, 1);
  ASSERT_TRUE(rich().InsertBitmapObject(bitmap, -1, 999));  // as a paste would embed it
  ::DeleteObject(bitmap);
  ContentBlock blob = rich().SaveContent();
  RichContentParts parts = ParseRichContent(blob.data(), blob.size());
  EXPECT_TRUE(parts.pictures.empty());
  EXPECT_EQ(parts.text.size(), 3u);  // a, the placeholder, b
  EXPECT_EQ(parts.text[0], 'a');
  EXPECT_EQ(parts.text[2], 'b');

  RichDialog fresh;
  ASSERT_TRUE(fresh.Create(nullptr));
  fresh.rich.LoadContent(blob);
  EXPECT_EQ(fresh.rich.GetText().size(), 3u);
}

TEST_F(RichEditTest, ClearingKeepsTheCounterAndLoadingKeepsTheRegistry) {
  std::vector<unsigned char> pixels = TestPixels(2, 2);
  rich().InsertPicture(MakePictureRecord(2, 2, pixels.data()), -1);
  rich().InsertPicture(MakePictureRecord(2, 2, pixels.data()), -1);
  ContentBlock blob = rich().SaveContent();
  EXPECT_EQ(ParseRichContent(blob.data(), blob.size()).pictures.size(), 2u);
  rich().ClearContent();
  EXPECT_TRUE(rich().pictureRegistry().empty());
  EXPECT_EQ(rich().GetText(), "");
  EXPECT_EQ(rich().pictureCounter(), 2);

  rich().InsertPicture(MakePictureRecord(2, 2, pixels.data()), -1);
  rich().LoadContent(blob);  // keeps the earlier record registered
  EXPECT_EQ(rich().pictureRegistry().size(), 3u);
  EXPECT_EQ(rich().pictureCounter(), 5);
  ContentBlock after = rich().SaveContent();
  EXPECT_EQ(ParseRichContent(after.data(), after.size()).pictures.size(), 2u);
}

TEST_F(RichEditTest, TextBeyond8191BytesIsCutAndStillLoads) {
  std::string line(99, 'w');
  for (int i = 0; i < 100; ++i) Type(line + "\r\n");  // 10,000 bytes
  ContentBlock blob = rich().SaveContent();
  EXPECT_EQ(ReadLe32(blob.data() + 24), 8192);
  RichContentParts parts = ParseRichContent(blob.data(), blob.size());
  EXPECT_EQ(parts.text.size(), 8191u);
  ASSERT_FALSE(parts.runs.empty());
  EXPECT_GT(parts.runs.back().end, 8191);  // runs still reach the real end

  RichDialog fresh;
  ASSERT_TRUE(fresh.Create(nullptr));
  EXPECT_TRUE(fresh.rich.LoadContent(blob));
  EXPECT_EQ(fresh.rich.GetText().size(), 8191u);

  // A text no save here makes: one line of 60,000 bytes with a character across the limit.
  std::string foreign = std::string(8190, 'a') + "\xcc\xe2" + std::string(51808, 'b');
  FormatRun bold;
  bold.first = 0;
  bold.end = -1;
  CHARFORMATA format{};
  format.cbSize = sizeof format;
  format.dwMask = CFM_BOLD;
  format.dwEffects = CFE_BOLD;
  std::memcpy(bold.format.data(), &format, sizeof format);
  EXPECT_TRUE(fresh.rich.LoadContent(BuildRichContent(60000, foreign, {bold}, {})));
  EXPECT_EQ(fresh.rich.GetText(), std::string(8190, 'a'));
  EXPECT_TRUE(FormatAt(fresh.rich, 8189).dwEffects & CFE_BOLD);
}

TEST_F(RichEditTest, DamagedBlobsLoadWhatLiesInside) {
  std::vector<unsigned char> pixels = TestPixels(3, 2);
  Type("damaged");
  rich().Send(EM_SETSEL, 2, 2);
  rich().InsertPicture(MakePictureRecord(3, 2, pixels.data()), -1);
  ContentBlock good = rich().SaveContent();
  std::vector<unsigned char> bytes(good.data(), good.data() + good.size());

  struct Damage {
    std::size_t offset;
    int32_t value;
  };
  const Damage damages[] = {
      {0, 0x7fffffff},  // length word beyond the blob
      {20, 1000},       // picture count
      {24, 1 << 30},    // text byte count
      {28, -1},         // run count
      {28, 1 << 24},
  };
  for (const Damage& damage : damages) {
    std::vector<unsigned char> copy = bytes;
    WriteLe32(copy.data() + damage.offset, damage.value);
    RichDialog fresh;
    ASSERT_TRUE(fresh.Create(nullptr));
    EXPECT_TRUE(fresh.rich.LoadContent(copy.data(), copy.size()));
  }
  // Every cut of the blob loads.
  for (std::size_t size = 0; size <= bytes.size(); size += 7) {
    RichDialog fresh;
    ASSERT_TRUE(fresh.Create(nullptr));
    EXPECT_TRUE(fresh.rich.LoadContent(bytes.data(), size));
  }
  // A format claiming a larger structure is handed over at its real size.
  std::vector<unsigned char> copy = bytes;
  std::size_t firstRun = 32 + static_cast<std::size_t>(ReadLe32(copy.data() + 24));
  WriteLe32(copy.data() + firstRun + 8, 100000);
  RichDialog fresh;
  ASSERT_TRUE(fresh.Create(nullptr));
  EXPECT_TRUE(fresh.rich.LoadContent(copy.data(), copy.size()));
}

TEST_F(RichEditTest, ContextMenuEnablesWhatTheSelectionAllows) {
  auto state = [](HMENU menu, UINT id) { return ::GetMenuState(menu, id, MF_BYCOMMAND); };
  rich().Send(EM_SETSEL, 0, 0);
  HMENU empty = rich().BuildContextMenu();
  EXPECT_EQ(::GetMenuItemCount(empty), 10);
  EXPECT_TRUE(state(empty, kMenuCut) & MF_GRAYED);
  EXPECT_TRUE(state(empty, kMenuCopy) & MF_GRAYED);
  EXPECT_TRUE(state(empty, kMenuClear) & MF_GRAYED);
  EXPECT_FALSE(state(empty, kMenuSelectAll) & MF_GRAYED);
  EXPECT_FALSE(state(empty, kMenuChooseFont) & MF_GRAYED);
  char text[64] = {};
  ::GetMenuStringA(empty, kMenuSelectAll, text, sizeof text, MF_BYCOMMAND);
  EXPECT_STREQ(text, "选择所有\xa1\xa1(&A)");
  ::DestroyMenu(empty);

  Type("select me");
  rich().Send(WM_COMMAND, kMenuSelectAll);
  HMENU selected = rich().BuildContextMenu();
  EXPECT_FALSE(state(selected, kMenuCut) & MF_GRAYED);
  EXPECT_FALSE(state(selected, kMenuCopy) & MF_GRAYED);
  EXPECT_FALSE(state(selected, kMenuClear) & MF_GRAYED);
  EXPECT_FALSE(state(selected, kMenuUndo) & MF_GRAYED);  // the typing can be undone
  ::DestroyMenu(selected);

  rich().Send(WM_COMMAND, kMenuClear);
  EXPECT_EQ(rich().GetText(), "");
  rich().Send(WM_COMMAND, kMenuUndo);
  EXPECT_EQ(rich().GetText(), "select me");
}

TEST_F(RichEditTest, ChooseTextFontAppliesTheChoiceToTheSelection) {
  Type("font");
  Format(0, 4, "Arial", RGB(0, 0, 0), CFE_BOLD, 300);
  rich().Send(EM_SETSEL, 0, 2);
  RecordingPlatform::FontAnswer answer;
  answer.ok = true;
  std::strcpy(answer.font.lfFaceName, "宋体");
  answer.font.lfWeight = FW_NORMAL;
  answer.font.lfItalic = 1;
  answer.font.lfCharSet = GB2312_CHARSET;
  answer.colour = RGB(0, 128, 0);
  answer.pointSizeTenths = 160;
  platform.fontAnswers.push_back(answer);
  rich().ChooseTextFont();
  ASSERT_EQ(platform.fontRequests.size(), 1u);
  EXPECT_EQ(platform.fontRequests[0].lfHeight, 20);  // 300 twips / 15
  EXPECT_EQ(platform.fontRequests[0].lfWeight, FW_BOLD);
  EXPECT_STREQ(platform.fontRequests[0].lfFaceName, "Arial");

  CHARFORMATA chosen = FormatAt(rich(), 0);
  EXPECT_STREQ(chosen.szFaceName, "宋体");
  EXPECT_EQ(chosen.yHeight, 320);
  EXPECT_EQ(chosen.crTextColor, RGB(0, 128, 0));
  EXPECT_TRUE(chosen.dwEffects & CFE_ITALIC);
  EXPECT_FALSE(chosen.dwEffects & CFE_BOLD);
  EXPECT_STREQ(FormatAt(rich(), 3).szFaceName, "Arial");  // outside the selection

  // Cancelling changes nothing.
  rich().Send(EM_SETSEL, 0, 2);
  rich().ChooseTextFont();
  EXPECT_STREQ(FormatAt(rich(), 0).szFaceName, "宋体");
}

TEST_F(RichEditTest, TypedDoubleByteCharactersArriveWhole) {
  // "测试" typed: each character as its lead and trail byte, then one as an IME character.
  for (WPARAM byte : {0xB2, 0xE2, 0xCA, 0xD4}) rich().Send(WM_CHAR, byte, 1);
  rich().Send(WM_CHAR, 'a', 1);
  rich().Send(WM_IME_CHAR, 0xD6D0, 1);  // 中
  EXPECT_EQ(rich().GetText(), "测试a中");
  rich().Send(EM_UNDO);
  EXPECT_NE(rich().GetText(), "测试a中");  // typing can be undone
  rich().Send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
  rich().Send(WM_CHAR, 0xB2, 1);  // a lead byte whose trail byte never comes
  rich().Send(WM_CHAR, ' ', 1);
  rich().Send(WM_CHAR, 'b', 1);
  EXPECT_EQ(rich().GetText(), " b");
}

TEST_F(RichEditTest, AControlMadeByItselfTakesItsParentsFont) {
  CRichEditCtrlEx own;
  ASSERT_TRUE(own.Create(ES_MULTILINE | WS_VISIBLE, RECT{0, 0, 100, 50}, dialog.hwnd(), 2000));
  HFONT parentFont = reinterpret_cast<HFONT>(dialog.Send(WM_GETFONT));
  ASSERT_NE(parentFont, nullptr);
  LOGFONTA expected{};
  ::GetObjectA(parentFont, sizeof expected, &expected);
  own.Send(EM_SETSEL, 0, 0);
  CHARFORMATA format{};
  format.cbSize = sizeof format;
  own.Send(EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
  EXPECT_STREQ(format.szFaceName, expected.lfFaceName);
  EXPECT_EQ(own.GetParent(), dialog.hwnd());
}

TEST_F(RichEditTest, AFailedEmbeddingIsReportedAndChangesNothing) {
  Type("keep");
  rich().Send(EM_SETSEL, 1, 1);
  EXPECT_FALSE(rich().InsertBitmapObject(nullptr, -1, 7));
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_NE(platform.messages[0].text.find("OLE"), std::string::npos);
  EXPECT_EQ(rich().GetText(), "keep");
}

}  // namespace
}  // namespace velmor
