// The editor window itself: start-up, menus, file commands, the exit confirmation.
#include "tests/win32/tarvik/editor_test_support.h"

#include "tarvik/editor/editor_layout.h"
#include "tarvik/editor/list_rows.h"
#include "tarvik/model/scoring.h"
#include "tests/tarvik/model/lst_images.h"

namespace velmor::test {
namespace {

const char kProgram[] = "Velmor题库编辑器";

TEST_F(EditorTest, StartsWithTheLayoutOfTheBackgroundPicture) {
  EXPECT_EQ(dialog.GetText(), kProgram);
  RECT client = dialog.ClientRect();
  EXPECT_EQ(client.right, 800);
  EXPECT_EQ(client.bottom, 681);
  auto placed = [&](int id) {
    RECT rect = dialog.Item(id).WindowRect();
    ::MapWindowPoints(nullptr, dialog.hwnd(), reinterpret_cast<POINT*>(&rect), 2);
    return std::vector<LONG>{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
  };
  // Every control and picture button where the table (which the background is drawn from)
  // says, at the size it says.
  for (const Placement& place : kControlPlacements) {
    EXPECT_EQ(placed(place.id), (std::vector<LONG>{place.x, place.y, place.width, place.height}))
        << "control " << place.id;
  }
  for (const ButtonPlacement& place : kButtonPlacements) {
    EXPECT_EQ(placed(place.id), (std::vector<LONG>{place.x, place.y, place.width, place.height}))
        << "button " << place.id;
  }

  // The number boxes show 0; the kind boxes are never visible.
  EXPECT_EQ(Box(IDC_OPTION_SCORE), "0");
  EXPECT_EQ(Box(IDC_SMALL_SCORE), "0");
  EXPECT_EQ(Box(IDC_MERGE_TARGET), "0");
  EXPECT_FALSE(dialog.Item(IDC_KIND_CHOICE).GetStyle() & WS_VISIBLE);
  EXPECT_FALSE(dialog.Item(IDOK).GetStyle() & WS_VISIBLE);

  fw::CListView categories = dialog.categoryList();
  EXPECT_EQ(categories.ColumnCount(), 3);
  EXPECT_EQ(dialog.smallQuestionList().ColumnCount(), 4);
  EXPECT_EQ(dialog.optionList().ColumnCount(), 3);
  EXPECT_EQ(dialog.bigQuestionList().ColumnCount(), 2);
  DWORD style = categories.GetExtendedStyle();
  EXPECT_TRUE(style & LVS_EX_FULLROWSELECT);
  EXPECT_TRUE(style & LVS_EX_GRIDLINES);
  EXPECT_TRUE(style & LVS_EX_HEADERDRAGDROP);

  HMENU system = ::GetSystemMenu(dialog.hwnd(), FALSE);
  char item[64] = {};
  ::GetMenuStringA(system, IDM_ABOUTBOX, item, sizeof item, MF_BYCOMMAND);
  EXPECT_STREQ(item, "关于 Tarvik(&A)...");
  HMENU menu = ::GetMenu(dialog.hwnd());
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(::GetMenuItemCount(menu), 3);  // 文件, 运行, 帮助: the tool menu is not attached
}

TEST_F(EditorTest, EnterDoesNothingEscapeAndTheCloseBoxAsk) {
  MSG enter{dialog.GetItem(IDC_CATEGORY_NAME), WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}};
  ::IsDialogMessageA(dialog.hwnd(), &enter);
  EXPECT_FALSE(dialog.ended());
  EXPECT_TRUE(platform.messages.empty());

  platform.messageAnswers.push_back(IDCANCEL);
  MSG escape{dialog.GetItem(IDC_CATEGORY_NAME), WM_KEYDOWN, VK_ESCAPE, 0, 0, {0, 0}};
  ::IsDialogMessageA(dialog.hwnd(), &escape);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].text, "本操作将关闭本系统!你确定要这么做吗?");
  EXPECT_EQ(platform.messages[0].caption, kProgram);
  EXPECT_EQ(platform.messages[0].type & MB_TYPEMASK, static_cast<UINT>(MB_OKCANCEL));
  EXPECT_FALSE(dialog.ended());

  platform.messageAnswers.push_back(IDOK);
  dialog.Send(WM_CLOSE);  // the dialog manager posts the cancel command
  MSG message;
  while (::PeekMessageA(&message, dialog.hwnd(), 0, 0, PM_REMOVE)) ::DispatchMessageA(&message);
  EXPECT_EQ(platform.messages.size(), 2u);
  EXPECT_TRUE(dialog.ended());
  EXPECT_EQ(dialog.result(), IDCANCEL);
}

TEST_F(EditorTest, ExitFromTheMenuClosesWithoutAQuestion) {
  AddCategory("unsaved");
  Menu(ID_FILE_EXIT);
  EXPECT_TRUE(dialog.ended());
  EXPECT_TRUE(platform.messages.empty());
}

TEST_F(EditorTest, SaveWithoutAPathIsSaveAsAndCancellingKeepsTheTitle) {
  TempDir dir;
  bank.SetTitle("old");
  Type(IDC_TITLE, "新标题");
  platform.fileAnswers.push_back("");  // cancel
  Menu(ID_FILE_SAVE);
  ASSERT_EQ(platform.fileRequests.size(), 1u);
  EXPECT_EQ(platform.fileRequests[0].defaultExtension, "lst");
  EXPECT_EQ(platform.fileRequests[0].filter, "选择题试题 (*.lst)|*.lst|所有文件 (*.*)|*.*||");
  EXPECT_EQ(bank.title().text(), "old");
  EXPECT_EQ(dialog.currentPath(), "");

  std::string path = dir.File("期中.lst");
  platform.fileAnswers.push_back(path);
  AddCategory("第一章");
  Menu(ID_FILE_SAVE);
  EXPECT_EQ(dialog.currentPath(), path);
  EXPECT_EQ(dialog.GetText(), "期中.lst - 选择题题目制作");
  QuestionBank saved;
  ASSERT_TRUE(saved.Load(path));
  EXPECT_EQ(saved.title().text(), "新标题");
  EXPECT_EQ(saved.categories().at(0).name.text(), "第一章");

  // Now Save writes to the path without asking.
  AddCategory("第二章");
  Menu(ID_FILE_SAVE);
  EXPECT_EQ(platform.fileRequests.size(), 2u);
  ASSERT_TRUE(saved.Load(path));
  EXPECT_EQ(saved.categories().size(), 2u);
  EXPECT_TRUE(platform.messages.empty());
}

TEST_F(EditorTest, OpenShowsTheBankAndNamesTheFileInTheCaption) {
  TempDir dir;
  ByteImage image;
  LstHeader(image, 2, "问卷", 2, 0, 2);
  LstCategory(image, "甲", 1);
  LstBigQuestion(image, 5, 0, 0, 101, 0);
  LstCategory(image, "乙", 0);
  std::string path = dir.File("问卷.lst");
  WriteFileBytes(path, image.bytes());
  platform.fileAnswers.push_back(path);
  Menu(ID_FILE_OPEN);
  EXPECT_EQ(dialog.GetText(), "问卷.lst - Velmor题库编辑器");
  EXPECT_EQ(Column(IDC_CATEGORY_LIST, 1), (std::vector<std::string>{"甲", "乙"}));
  EXPECT_EQ(Box(IDC_TITLE), "问卷");
  EXPECT_EQ(dialog.currentPath(), path);
  EXPECT_EQ(bank.header().kind(), 2);  // the stored kind; the kind boxes stay as they were
  EXPECT_EQ(dialog.Item(IDC_KIND_QUESTIONNAIRE).Send(BM_GETCHECK), BST_UNCHECKED);
  EXPECT_TRUE(platform.messages.empty());
}

TEST_F(EditorTest, APartialOpenShowsWhatWasReadSaysSoAndSavesToThatPath) {
  TempDir dir;
  ByteImage image;
  LstHeader(image, 1, "cut", 2, 0, 3);
  LstCategory(image, "one", 0);
  LstCategory(image, "two", 0);
  Bytes bytes = image.bytes();
  bytes.insert(bytes.end(), 60, 'x');  // the third category record is cut
  std::string path = dir.File("cut.lst");
  WriteFileBytes(path, bytes);
  platform.fileAnswers.push_back(path);
  Menu(ID_FILE_OPEN);
  EXPECT_EQ(Column(IDC_CATEGORY_LIST, 1), (std::vector<std::string>{"one", "two"}));
  EXPECT_EQ(dialog.GetText(), "cut.lst - Velmor题库编辑器");
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].text, "读取题库文件失败：" + path);
  EXPECT_EQ(platform.messages[0].caption, kProgram);

  Menu(ID_FILE_SAVE);
  QuestionBank saved;
  ASSERT_TRUE(saved.Load(path));
  EXPECT_EQ(saved.categories().size(), 2u);
}

TEST_F(EditorTest, AFailedSaveSaysSoAndLeavesTheOldFile) {
  TempDir dir;
  std::string path = dir.File("locked.lst");
  WriteFileBytes(path, Bytes(400, 7));
  SetReadOnly(path, true);
  platform.fileAnswers.push_back(path);
  Menu(ID_FILE_SAVE_AS);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].text, "保存题库文件失败：" + path);
  EXPECT_EQ(platform.messages[0].caption, kProgram);
  EXPECT_EQ(ReadFileBytes(path), Bytes(400, 7));
  EXPECT_EQ(dialog.GetText(), "locked.lst - 选择题题目制作");  // caption and path as for any save
  EXPECT_EQ(dialog.currentPath(), path);
}

TEST_F(EditorTest, NewEmptiesAllButTheBigQuestionList) {
  AddCategory("a");
  AddBigQuestion(0, "stem");
  ClickRow(IDC_BIG_LIST, 0);
  AddSmallQuestion("s", true, 1);
  ClickRow(IDC_SMALL_LIST, 0);
  AddOption("o", 1, true);
  Type(IDC_TITLE, "t");
  dialog.data().ReadControls();
  Menu(ID_FILE_NEW);
  EXPECT_TRUE(bank.categories().empty());
  EXPECT_TRUE(Rows(IDC_CATEGORY_LIST).empty());
  EXPECT_TRUE(Rows(IDC_SMALL_LIST).empty());
  EXPECT_TRUE(Rows(IDC_OPTION_LIST).empty());
  EXPECT_EQ(Rows(IDC_BIG_LIST).size(), 1u);
  EXPECT_EQ(dialog.GetText(), "选择题题目制作");
  EXPECT_EQ(dialog.values().title, "");
  EXPECT_EQ(Box(IDC_TITLE), "t");  // until the next show of the values
}

TEST_F(EditorTest, AddFileAppendsAndKeepsPathAndCaption) {
  TempDir dir;
  QuestionBank other;
  other.AddCategory("外来");
  std::string path = dir.File("other.lst");
  ASSERT_TRUE(other.Save(path));
  AddCategory("本地");
  platform.fileAnswers.push_back(path);
  Menu(ID_FILE_ADD);
  EXPECT_EQ(Column(IDC_CATEGORY_LIST, 1), (std::vector<std::string>{"本地", "外来"}));
  EXPECT_EQ(dialog.GetText(), kProgram);
  EXPECT_EQ(dialog.currentPath(), "");

  std::string broken = dir.File("broken.lst");
  WriteFileBytes(broken, Bytes(10, 1));
  platform.fileAnswers.push_back(broken);
  Menu(ID_FILE_ADD);
  EXPECT_EQ(Rows(IDC_CATEGORY_LIST).size(), 2u);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].text, "读取题库文件失败：" + broken);
}

TEST_F(EditorTest, KindBoxesSetTheDocumentsKind) {
  Command(IDC_KIND_QUESTIONNAIRE);
  EXPECT_EQ(bank.header().kind(), 2);
  EXPECT_EQ(dialog.Item(IDC_KIND_QUESTIONNAIRE).Send(BM_GETCHECK), BST_CHECKED);
  Command(IDC_KIND_PEER_REVIEW);
  EXPECT_EQ(bank.header().kind(), 3);
  EXPECT_EQ(dialog.Item(IDC_KIND_QUESTIONNAIRE).Send(BM_GETCHECK), BST_UNCHECKED);
  Command(IDC_KIND_CHOICE);
  EXPECT_EQ(bank.header().kind(), 1);
}

TEST_F(EditorTest, TheBannerOpensTheWebPage) {
  Command(IDC_WEB_BANNER);
  ASSERT_EQ(platform.shellFiles.size(), 1u);
  EXPECT_EQ(platform.shellFiles[0].rfind("http://", 0), 0u);
}

// Closes the about box once the modal loop runs, after noting what it shows.
std::string g_aboutCaption;
std::string g_aboutText;
void CALLBACK CloseAbout(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND about = ::FindWindowA(nullptr, "关于 Velmor题库编辑器");
  if (!about) return;
  ::KillTimer(nullptr, timer);
  char text[128] = {};
  ::GetWindowTextA(about, text, sizeof text);
  g_aboutCaption = text;
  ::GetDlgItemTextA(about, IDC_ABOUT_TEXT, text, sizeof text);
  g_aboutText = text;
  ::PostMessageA(about, WM_COMMAND, IDOK, 0);
}

TEST_F(EditorTest, TheAboutBoxOpensFromTheMenuAndTheSystemMenu) {
  for (int round = 0; round < 2; ++round) {
    g_aboutCaption.clear();
    ::SetTimer(nullptr, 0, 50, &CloseAbout);
    if (round == 0) {
      Menu(ID_HELP_ABOUT);
    } else {
      dialog.Send(WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    }
    EXPECT_EQ(g_aboutCaption, "关于 Velmor题库编辑器");
    EXPECT_EQ(g_aboutText, "Velmor题库编辑器 v1.0 版");
  }
}

// Inside a modal run: what the answering window shows, then a tick on its first visible
// option row, then closing it.
struct RunVisit {
  HWND editor = nullptr;
  std::string caption;
  std::string scoreLine;
  bool ticked = false;
};
RunVisit g_run;

BOOL CALLBACK TickFirstRow(HWND window, LPARAM) {
  if (::GetDlgCtrlID(window) != IDC_OPTION_TICK || !::IsWindowVisible(window)) return TRUE;
  ::SendMessageA(::GetParent(window), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(300, 10));
  g_run.ticked = true;
  return FALSE;
}

BOOL CALLBACK FindOwnedWindow(HWND window, LPARAM found) {
  if (::GetWindow(window, GW_OWNER) != g_run.editor || !::IsWindowVisible(window)) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

void CALLBACK VisitRun(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND answering = nullptr;
  ::EnumThreadWindows(::GetCurrentThreadId(), &FindOwnedWindow,
                      reinterpret_cast<LPARAM>(&answering));
  if (!answering) return;
  ::KillTimer(nullptr, timer);
  char text[256] = {};
  ::GetWindowTextA(answering, text, sizeof text);
  g_run.caption = text;
  ::GetDlgItemTextA(answering, IDC_SCORE_LINE, text, sizeof text);
  g_run.scoreLine = text;
  ::EnumChildWindows(answering, &TickFirstRow, 0);
  ::PostMessageA(answering, WM_COMMAND, IDCANCEL, 0);
}

TEST_F(EditorTest, AnAnswerCheckRunsOnACopyAndLeavesTheDocumentAsItWas) {
  TempDir dir;
  ASSERT_TRUE(bank.Load(SourcePath("examples/choice.lst")));
  ASSERT_TRUE(bank.Save(dir.File("before.lst")));
  Type(IDC_TITLE, "未保存的标题");  // typed, not saved: the run shows the document's title
  g_run = RunVisit{};
  g_run.editor = dialog.hwnd();
  ::SetTimer(nullptr, 0, 50, &VisitRun);
  Menu(ID_RUN_CHECK);
  EXPECT_EQ(g_run.caption, std::string(bank.title().text()));
  EXPECT_EQ(g_run.scoreLine,
            "校对选择题答案，总得分：" + std::to_string(GetTotalScore(bank)) + "分！");
  EXPECT_TRUE(g_run.ticked);
  ASSERT_TRUE(bank.Save(dir.File("after.lst")));
  EXPECT_EQ(ReadFileBytes(dir.File("after.lst")), ReadFileBytes(dir.File("before.lst")));
  EXPECT_EQ(bank.header().kind(), kKindChoice);
}

}  // namespace
}  // namespace velmor::test
