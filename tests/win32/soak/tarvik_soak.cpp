// The question-bank editor's real window under random commands: every command of its
// table, Enter and Esc, clicks on random rows, random values in its boxes; the answering
// runs, the statistics tool, the about box and the screen capture visited and closed. At the
// end the document is saved through the window and read back into a fresh one.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "common/base/byte_stream.h"
#include "common/navbutton/navigate_button.h"
#include "common/richtext/rich_edit_ctrl_ex.h"
#include "framework/app.h"
#include "tarvik/editor/list_rows.h"
#include "tarvik/editor/tarvik_dlg.h"
#include "tarvik/resources/resource.h"
#include "tests/support/test_files.h"
#include "tests/win32/soak/soak.h"

namespace velmor::test {
namespace {

Bytes Serialised(QuestionBank& bank) {
  MemorySink sink;
  EXPECT_TRUE(bank.SaveTo(sink));
  return sink.bytes();
}

class TarvikSoak {
 public:
  TarvikSoak() : choose_(CurrentSoakRun().seed) {
    ::GetCurrentDirectoryA(sizeof startFolder_, startFolder_);
    ::CreateDirectoryA(dir_.File("cwd").c_str(), nullptr);
    ::SetCurrentDirectoryA(dir_.File("cwd").c_str());
    intact_ = {dir_.File("choice.lst"), dir_.File("peer.lst")};
    intactBytes_ = {ReadFileBytes(SourcePath("examples/choice.lst")),
                    ReadFileBytes(SourcePath("examples/peer-review.lst"))};
    WriteFileBytes(intact_[0], intactBytes_[0]);
    WriteFileBytes(intact_[1], intactBytes_[1]);
    Bytes damaged = ReadFileBytes(intact_[0]);
    damaged.resize(damaged.size() * 2 / 3);
    WriteFileBytes(dir_.File("damaged.lst"), damaged);
    damaged_ = damaged;
  }

  ~TarvikSoak() { ::SetCurrentDirectoryA(startFolder_); }

  void Run() {
    ASSERT_TRUE(dialog_.Create(nullptr));
    dialog_.Show(SW_SHOW);
    RunMainSoak(dialog_, platform_, choose_, CurrentSoakRun(), Levels(), {ID_FILE_EXIT},
                [this](UINT id) { return Plan(id); },
                [this] { SaveAndReadBack(CurrentSoakRun().step, "so far"); });
    if (::testing::Test::HasFailure()) return;
    SaveAndReadBack(CurrentSoakRun().steps, "at the end");
  }

 private:
  std::vector<ListLevel> Levels() {
    const QuestionBank& bank = bank_;
    return {
        {IDC_CATEGORY_LIST, [&bank](const std::vector<int>&) -> std::optional<Rows> {
           return CategoryRows(bank);
         }},
        {IDC_BIG_LIST, [&bank](const std::vector<int>& at) -> std::optional<Rows> {
           const Category* owner = bank.FindCategory(at[0]);
           if (!owner) return std::nullopt;
           return BigQuestionRows(*owner);
         }},
        {IDC_SMALL_LIST, [&bank](const std::vector<int>& at) -> std::optional<Rows> {
           const BigQuestion* owner = bank.FindBigQuestion(at[0], at[1]);
           if (!owner) return std::nullopt;
           return SmallQuestionRows(*owner);
         }},
        {IDC_OPTION_LIST, [&bank](const std::vector<int>& at) -> std::optional<Rows> {
           const SmallQuestion* owner = bank.FindSmallQuestion(at[0], at[1], at[2]);
           if (!owner) return std::nullopt;
           return OptionRows(*owner);
         }},
    };
  }

  // A bank file to open or add: an intact one, a damaged one, one that is not there, one
  // this run saved (to open only), or the dialog cancelled.
  CommandPlan FileToRead(bool opening) {
    KeepOperandsSmall();
    CommandPlan plan;
    int pick = choose_.Below(opening ? 6 : 5);
    std::string path;
    if (pick < 2) {
      path = intact_[static_cast<std::size_t>(pick)];
    } else if (pick == 2) {
      path = dir_.File("damaged.lst");
    } else if (pick == 3) {
      path = dir_.File("missing.lst");
    } else if (pick == 5 && !saved_.empty()) {
      path = choose_.Of(saved_);
    }
    platform_.fileAnswers.push_back(path);
    if (pick == 2 || pick == 3) {
      plan.allowed.prefixes = {"读取题库文件失败："};
      // Save after opening either makes it whole (the window takes the opened path).
      if (StillBad(path)) plan.mustShow = "读取题库文件失败：" + path;
    }
    return plan;
  }

  // Saving after an open writes the bank over the file opened (intact, damaged or missing);
  // added again and again, such a file would double the bank each time. Past 1 MB each is
  // made again as it was at the start (the missing one removed).
  void KeepOperandsSmall() {
    auto size = [](const std::string& path) -> uint64_t {
      WIN32_FILE_ATTRIBUTE_DATA data{};
      if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
      return (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
    };
    constexpr uint64_t kLimit = 1u << 20;
    for (std::size_t i = 0; i < intact_.size(); ++i) {
      if (size(intact_[i]) > kLimit) WriteFileBytes(intact_[i], intactBytes_[i]);
    }
    if (size(dir_.File("damaged.lst")) > kLimit) WriteFileBytes(dir_.File("damaged.lst"), damaged_);
    if (size(dir_.File("missing.lst")) > kLimit) ::DeleteFileA(dir_.File("missing.lst").c_str());
  }

  // The damaged file as made, or the missing one still missing.
  bool StillBad(const std::string& path) {
    if (::GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) return true;
    return path == dir_.File("damaged.lst") && ReadFileBytes(path) == damaged_;
  }

  void FileToSave() {
    if (choose_.Percent(20)) {
      platform_.fileAnswers.push_back("");
      return;
    }
    std::string path = dir_.File("saved" + std::to_string(choose_.Below(3)) + ".lst");
    platform_.fileAnswers.push_back(path);
    if (std::find(saved_.begin(), saved_.end(), path) == saved_.end()) saved_.push_back(path);
  }

  CommandPlan Plan(UINT id) {
    CommandPlan plan;
    plan.allowed.exact = {"Please enter an integer."};
    switch (id) {
      case ID_FILE_OPEN:
      case ID_FILE_ADD:
        return FileToRead(id == ID_FILE_OPEN);
      case ID_FILE_SAVE:
      case ID_FILE_SAVE_AS:
        FileToSave();
        break;
      case IDCANCEL:
        platform_.messageAnswers.push_back(IDCANCEL);
        plan.allowed.exact = {"本操作将关闭本系统!你确定要这么做吗?"};
        plan.mustShow = plan.allowed.exact[0];
        break;
      case ID_RUN_ANSWER:
      case ID_RUN_CHECK:
      case ID_RUN_STATISTICS: {
        // A run works on a copy: the document stays byte for byte as it was.
        auto before = std::make_shared<Bytes>(Serialised(bank_));
        plan.visit = [this](HWND window) {
          RandomClicks(window, choose_, 1 + choose_.Below(4));
          ::SendMessageA(window, WM_COMMAND, IDCANCEL, 0);
        };
        plan.after = [this, before] {
          EXPECT_TRUE(Serialised(bank_) == *before) << "a run changed the document";
        };
        break;
      }
      case ID_TOOL_RESET_STATISTICS:
        plan.allowed.exact = {"请输入题库目录!"};
        plan.visit = [this](HWND window) {
          for (int i = choose_.Below(3); i > 0; --i) TypeOrTick(window, choose_);
          RandomClicks(window, choose_, choose_.Below(3));
          ::SendMessageA(window, WM_COMMAND, IDCANCEL, 0);
        };
        break;
      case ID_HELP_ABOUT:
        plan.visit = [](HWND window) { ::SendMessageA(window, WM_COMMAND, IDOK, 0); };
        break;
      case IDC_STEM_FONT: {
        platform_.fontAnswers.push_back(RandomFont(choose_));
        break;
      }
      case IDC_STEM_CAPTURE:
        plan.allowed.captions = {"选择错误！"};
        plan.visit = [this](HWND window) { Capture(window); };
        break;
      default:
        break;
    }
    return plan;
  }

  // A small drag on the frozen screen, then taken with a double click, Enter or Esc.
  void Capture(HWND window) {
    int x = choose_.Below(900), y = choose_.Below(700);
    LPARAM from = MAKELPARAM(x, y);
    LPARAM to = MAKELPARAM(x + choose_.Below(80), y + choose_.Below(60));
    ::SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, from);
    ::SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, to);
    ::SendMessageA(window, WM_LBUTTONUP, 0, to);
    int end = choose_.Below(3);
    if (end == 0) ::SendMessageA(window, WM_LBUTTONDBLCLK, MK_LBUTTON, to);
    ::SendMessageA(window, WM_COMMAND, end == 1 ? IDOK : IDCANCEL, 0);
  }

  // Saved through the window: the file holds the document's bytes, and a fresh document
  // reads all of it back with every category, big and small question in place.
  void SaveAndReadBack(int steps, const char* when) {
    std::string path = dir_.File("final.lst");
    platform_.fileAnswers.push_back(path);
    DialogDriver(dialog_).Menu(ID_FILE_SAVE_AS);
    for (const auto& message : platform_.messages) {
      EXPECT_EQ(message.text, "Please enter an integer.") << "saving told this";
    }
    EXPECT_TRUE(ReadFileBytes(path) == Serialised(bank_)) << "the file is not the document";
    QuestionBank fresh;
    ASSERT_TRUE(fresh.Load(path));
    EXPECT_EQ(Shape(fresh), Shape(bank_)) << "the saved bank reads back otherwise";
    std::printf("soak: %d steps, %zu categories %s, %zu bytes saved\n", steps,
                bank_.categories().size(), when, ReadFileBytes(path).size());
  }

  // Category names with the small-question count of each big question.
  static std::vector<std::string> Shape(const QuestionBank& bank) {
    std::vector<std::string> shape;
    for (const Category& category : bank.categories()) {
      std::string line(category.name.text());
      for (const BigQuestion& question : category.questions) {
        line += " " + std::to_string(question.smallQuestions.size());
      }
      shape.push_back(line);
    }
    return shape;
  }

  char startFolder_[MAX_PATH] = {};
  TempDir dir_;
  std::vector<std::string> intact_;
  std::vector<Bytes> intactBytes_;
  std::vector<std::string> saved_;
  Bytes damaged_;
  RecordingPlatform platform_;
  QuestionBank bank_;
  CTarvikDlg dialog_{bank_};
  Chooser choose_;
};

TEST(TarvikSoak, RandomCommandsKeepTheListsTrueAndTheBankWhole) {
  TarvikSoak soak;
  soak.Run();
}

}  // namespace
}  // namespace velmor::test

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  velmor::test::CurrentSoakRun() = velmor::test::ReadSoakRun(argc, argv);
  if (FAILED(::OleInitialize(nullptr))) return 3;
  INITCOMMONCONTROLSEX controls{sizeof controls, 0xFF};
  ::InitCommonControlsEx(&controls);
  if (!velmor::CRichEditCtrlEx::LoadLibrary()) return 4;
  fw::SetApplicationTitle("Velmor题库编辑器");
  velmor::LoadButtonBitmaps(fw::ModuleInstance());
  int result = RUN_ALL_TESTS();
  velmor::ButtonBitmapLibrary::Free();
  ::OleUninitialize();
  return result;
}
