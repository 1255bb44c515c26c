#include "tests/win32/soak/soak.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace velmor::test {

namespace {

std::string Describe(const Rows& rows) {
  std::string text = std::to_string(rows.size()) + " rows";
  for (std::size_t i = 0; i < rows.size() && i < 4; ++i) {
    text += i == 0 ? ": [" : " [";
    for (std::size_t c = 0; c < rows[i].size(); ++c) {
      text += (c ? "|" : "") + rows[i][c].substr(0, 24);
    }
    text += "]";
  }
  return rows.size() > 4 ? text + " ..." : text;
}

std::string ClassOf(HWND window) {
  char name[64] = {};
  ::GetClassNameA(window, name, sizeof name);
  return name;
}

bool IsEditClass(const std::string& name) {
  std::string lower = name;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower == "edit" || lower.find("richedit") != std::string::npos;
}

struct ChildScan {
  std::vector<int> ids;
  bool (*wanted)(HWND);
};

BOOL CALLBACK CollectChild(HWND child, LPARAM raw) {
  auto* scan = reinterpret_cast<ChildScan*>(raw);
  if (::IsWindowVisible(child) && ::IsWindowEnabled(child) && scan->wanted(child)) {
    scan->ids.push_back(::GetDlgCtrlID(child));
  }
  return TRUE;
}

std::vector<int> ChildrenOf(HWND window, bool (*wanted)(HWND)) {
  ChildScan scan{{}, wanted};
  ::EnumChildWindows(window, &CollectChild, reinterpret_cast<LPARAM>(&scan));
  return scan.ids;
}

// --- the window watcher ---------------------------------------------------------------------

// No step may take this long: a step that does is taken for a hang.
constexpr DWORD kStepDeadline = 120000;

struct Watch {
  DWORD started = 0;
  HWND owner = nullptr;
  const std::function<void(HWND)>* visit = nullptr;
  std::vector<HWND> open;  // windows seen and not yet gone
  std::vector<std::string> captions;
  bool visiting = false;
};
Watch* g_watch = nullptr;

BOOL CALLBACK LookAtWindow(HWND window, LPARAM) {
  Watch& watch = *g_watch;
  if (window == watch.owner || !::IsWindowVisible(window) || ClassOf(window) != "#32770") {
    return TRUE;
  }
  bool seen = std::find(watch.open.begin(), watch.open.end(), window) != watch.open.end();
  if (seen || watch.visiting) {
    // Still open after its visit, or opened inside one: Esc.
    if (!seen) watch.open.push_back(window);
    ::PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    return TRUE;
  }
  watch.open.push_back(window);
  char caption[256] = {};
  ::GetWindowTextA(window, caption, sizeof caption);
  watch.captions.push_back(caption);
  watch.visiting = true;
  (*watch.visit)(window);
  watch.visiting = false;
  return FALSE;  // one visit a tick; the rest are looked at on the next one
}

BOOL CALLBACK DescribeWindow(HWND window, LPARAM) {
  char caption[256] = {};
  ::GetWindowTextA(window, caption, sizeof caption);
  RECT place{};
  ::GetWindowRect(window, &place);
  HWND owner = ::GetWindow(window, GW_OWNER);
  std::printf("  window %p %s \"%s\"%s%s%s at %ld,%ld %ldx%ld, owner %p\n",
              static_cast<void*>(window), ClassOf(window).c_str(), caption,
              ::IsWindowVisible(window) ? " visible" : " hidden",
              ::IsIconic(window) ? " minimised" : "", ::IsWindowEnabled(window) ? "" : " disabled",
              place.left, place.top, place.right - place.left, place.bottom - place.top,
              static_cast<void*>(owner));
  return TRUE;
}

// A hang cannot end the step: the run ends here, with what is open and how to replay it.
void EndHungStep() {
  const SoakRun& run = CurrentSoakRun();
  std::printf("soak: step %d of seed %u (%s) still runs after %lu s; replay with "
              "scripts/soak.sh %d %u\n",
              run.step, run.seed, run.what.c_str(), kStepDeadline / 1000, run.step + 1, run.seed);
  ::EnumThreadWindows(::GetCurrentThreadId(), &DescribeWindow, 0);
  std::fflush(stdout);
  ::ExitProcess(5);
}

void CALLBACK WatchTick(HWND, UINT, UINT_PTR, DWORD) {
  if (!g_watch) return;
  if (::GetTickCount() - g_watch->started > kStepDeadline) EndHungStep();
  auto& open = g_watch->open;
  open.erase(std::remove_if(open.begin(), open.end(), [](HWND w) { return !::IsWindow(w); }),
             open.end());
  ::EnumThreadWindows(::GetCurrentThreadId(), &LookAtWindow, 0);
}

}  // namespace

// --- runs and choices ----------------------------------------------------------------------

SoakRun ReadSoakRun(int argc, char** argv) {
  SoakRun run;
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], "--steps") == 0) run.steps = std::atoi(argv[i + 1]);
    if (std::strcmp(argv[i], "--seed") == 0) {
      run.seed = static_cast<uint32_t>(std::strtoul(argv[i + 1], nullptr, 10));
    }
  }
  return run;
}

SoakRun& CurrentSoakRun() {
  static SoakRun run;
  return run;
}

int Chooser::Below(int count) {
  if (count <= 0) return 0;
  return static_cast<int>(engine_() % static_cast<uint32_t>(count));
}

int Chooser::Row(int count) {
  int pick = Below(10);
  if (pick == 0) return -1;
  if (pick == 1) return count + Below(2);  // stale: the row is gone, or never was
  return count > 0 ? Below(count) : -1;
}

std::string GbkText(int bytes) {
  std::string text;
  while (static_cast<int>(text.size()) + 2 <= bytes) text += "题";
  if (static_cast<int>(text.size()) < bytes) text += 'x';
  return text;
}

std::string Chooser::Value() {
  switch (Below(16)) {
    case 0: return "";
    case 1: return std::to_string(Below(200));
    case 2: return "-" + std::to_string(Below(50));
    case 3: return "+" + std::to_string(Below(50));
    case 4: return Of(std::vector<std::string>{"2147483647", "-2147483648", "99999999999",
                                               "4294967296"});
    case 5: return Of(std::vector<std::string>{"12abc", "abc", "- 5", "3.5", "  -7", "0x10"});
    case 6: return GbkText(127);
    case 7: return GbkText(128);  // one byte over: a cut falls inside a character
    case 8: return GbkText(255);
    case 9: return GbkText(256);
    case 10: return GbkText(126) + "\xCC";  // ends in a lone lead byte
    case 11: return "第一行\r\n第二行\r\n";
    case 12: return "\r\n";
    case 13: return "*." + Of(std::vector<std::string>{"txt", "doc", "*", "?"});
    default: return Of(std::vector<std::string>{"语文", "数学", "Word 操作", "成绩表"}) +
                    std::to_string(Below(100));
  }
}

RecordingPlatform::FontAnswer RandomFont(Chooser& choose) {
  RecordingPlatform::FontAnswer answer;
  answer.ok = choose.Percent(70);
  std::strcpy(answer.font.lfFaceName, "SimSun");
  answer.font.lfHeight = -(8 + choose.Below(30));
  answer.font.lfWeight = choose.Percent(50) ? FW_BOLD : FW_NORMAL;
  answer.colour = RGB(choose.Below(256), choose.Below(256), choose.Below(256));
  answer.pointSizeTenths = 90 + 10 * choose.Below(20);
  return answer;
}

// --- lists ---------------------------------------------------------------------------------

Rows ListChain::Shown(int listId) {
  DialogDriver driver(window_);
  return driver.Rows(listId);
}

std::vector<int> ListChain::Selection() {
  std::vector<int> selection;
  for (const ListLevel& level : levels_) {
    selection.push_back(fw::CListView(window_.GetItem(level.listId)).FirstSelected());
  }
  return selection;
}

std::vector<int> ListChain::PathAbove(const std::vector<int>& selection, std::size_t level) const {
  return std::vector<int>(selection.begin(), selection.begin() + static_cast<long>(level));
}

void ListChain::Before() {
  selectionBefore_ = Selection();
  shownBefore_.clear();
  matchedBefore_.clear();
  for (std::size_t i = 0; i < levels_.size(); ++i) {
    shownBefore_.push_back(Shown(levels_[i].listId));
    std::optional<Rows> held = levels_[i].rows(PathAbove(selectionBefore_, i));
    matchedBefore_.push_back(held && *held == shownBefore_.back());
  }
}

void ListChain::CheckAfter() {
  std::vector<int> selection = Selection();
  for (std::size_t i = 0; i < levels_.size(); ++i) {
    Rows shown = Shown(levels_[i].listId);
    std::string which = "list " + std::to_string(levels_[i].listId);
    if (i == 0) {
      std::optional<Rows> held = levels_[0].rows({});
      EXPECT_TRUE(held && *held == shown)
          << which << " shows " << Describe(shown) << "; the document holds "
          << (held ? Describe(*held) : "nothing");
      continue;
    }
    std::vector<int> acted = PathAbove(selectionBefore_, i);
    if (shown != shownBefore_[i]) {
      if (shown.empty()) continue;
      std::optional<Rows> held = levels_[i].rows(acted);
      EXPECT_TRUE(held && *held == shown)
          << which << " was refilled with " << Describe(shown)
          << "; the element the step acted on holds " << (held ? Describe(*held) : "nothing");
    } else if (matchedBefore_[i] && PathAbove(selection, i) == acted) {
      std::optional<Rows> held = levels_[i].rows(acted);
      if (held) {
        EXPECT_EQ(*held, shown) << which << " kept " << Describe(shown)
                                << " while its element came to hold " << Describe(*held);
      }
    }
  }
}

// --- messages ------------------------------------------------------------------------------

bool AllowedMessages::Allows(const RecordingPlatform::Message& message) const {
  const std::string& text = message.text;
  for (const std::string& caption : captions) {
    if (message.caption == caption) return true;
  }
  for (const std::string& allowed : exact) {
    if (text == allowed) return true;
  }
  for (const std::string& prefix : prefixes) {
    if (text.compare(0, prefix.size(), prefix) == 0) return true;
  }
  return false;
}

void CheckMessages(const RecordingPlatform& platform, std::size_t from,
                   const AllowedMessages& allowed) {
  for (std::size_t i = from; i < platform.messages.size(); ++i) {
    EXPECT_TRUE(allowed.Allows(platform.messages[i]))
        << "unexpected message: \"" << platform.messages[i].text << "\" ("
        << platform.messages[i].caption << ")";
  }
}

// --- windows -------------------------------------------------------------------------------

std::vector<std::string> WithWindowVisits(HWND owner, const std::function<void()>& action,
                                          const std::function<void(HWND)>& visit) {
  Watch watch;
  watch.started = ::GetTickCount();
  watch.owner = owner;
  watch.visit = &visit;
  Watch* outer = g_watch;
  g_watch = &watch;
  UINT_PTR timer = ::SetTimer(nullptr, 0, 20, &WatchTick);
  action();
  ::KillTimer(nullptr, timer);
  g_watch = outer;
  return watch.captions;
}

std::vector<int> EditBoxes(HWND window) {
  return ChildrenOf(window, [](HWND child) { return IsEditClass(ClassOf(child)); });
}

std::vector<int> CheckBoxes(HWND window) {
  return ChildrenOf(window, [](HWND child) {
    if (ClassOf(child) != "Button") return false;
    LONG type = ::GetWindowLongA(child, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE ||
           type == BS_AUTO3STATE;
  });
}

void TypeOrTick(HWND window, Chooser& choose) {
  std::vector<int> boxes = EditBoxes(window);
  std::vector<int> ticks = CheckBoxes(window);
  if (!ticks.empty() && (boxes.empty() || choose.Percent(20))) {
    HWND box = ::GetDlgItem(window, choose.Of(ticks));
    bool checked = ::SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
    ::SendMessageA(box, BM_SETCHECK, checked ? BST_UNCHECKED : BST_CHECKED, 0);
    return;
  }
  if (boxes.empty()) return;
  ::SetDlgItemTextA(window, choose.Of(boxes), choose.Value().c_str());
}

void RandomClicks(HWND window, Chooser& choose, int count) {
  RECT client;
  ::GetClientRect(window, &client);
  for (int i = 0; i < count && client.right > 0 && client.bottom > 0; ++i) {
    POINT point{choose.Below(client.right), choose.Below(client.bottom)};
    HWND target = window;
    for (;;) {
      HWND child = ::ChildWindowFromPointEx(target, point,
                                            CWP_SKIPINVISIBLE | CWP_SKIPDISABLED);
      if (!child || child == target) break;
      ::MapWindowPoints(target, child, &point, 1);
      target = child;
    }
    LPARAM at = MAKELPARAM(point.x, point.y);
    // The release waits in the queue: a control that follows the mouse in a loop of its own
    // after the press (a scroll bar's thumb) finds it there, as it would a real release.
    ::PostMessageA(target, WM_LBUTTONUP, 0, at);
    ::SendMessageA(target, WM_LBUTTONDOWN, MK_LBUTTON, at);
    if (choose.Percent(30)) {
      ::SendMessageA(target, WM_MOUSEWHEEL, MAKEWPARAM(0, choose.Percent(50) ? 120 : -120), at);
    }
  }
}

bool Answers(HWND window) {
  DWORD_PTR result = 0;
  return ::IsWindow(window) &&
         ::SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &result) != 0;
}

}  // namespace velmor::test
