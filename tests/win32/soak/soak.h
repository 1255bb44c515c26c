// Random-command soak runs of the editors' real windows: a seeded chooser of commands, rows
// and typed values, a watcher that visits every window a command opens, and the checks made
// after every step (the window alive, each list showing what the document holds, no message
// the step may not show). A run is replayed exactly from its seed.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "framework/message_table.h"
#include "framework/window.h"
#include "tests/win32/ui/dialog_driver.h"
#include "tests/win32/ui/recording_platform.h"

namespace velmor::test {

using Rows = std::vector<std::vector<std::string>>;

// Steps and seed of a run: `--steps N --seed S` on the command line (2,000 and 1 unless told).
struct SoakRun {
  int steps = 2000;
  uint32_t seed = 1;
  int step = 0;      // the step under way, for the watchdog
  std::string what;  // and what it does
};
SoakRun ReadSoakRun(int argc, char** argv);
// The run of this process, as main read it.
SoakRun& CurrentSoakRun();

// Seeded choices; the same seed gives the same run on every machine.
class Chooser {
 public:
  explicit Chooser(uint32_t seed) : engine_(seed) {}
  // 0 .. count-1 (0 when count is 0).
  int Below(int count);
  bool Percent(int percent) { return Below(100) < percent; }
  template <class T>
  const T& Of(const std::vector<T>& items) {
    return items[static_cast<std::size_t>(Below(static_cast<int>(items.size())))];
  }
  // A row to click: none (-1), one of the rows, or one past them (a stale row).
  int Row(int count);
  // A value to type into a box: empty, numbers with signs and out of range, non-integers,
  // 127-, 128- and 255-byte GBK texts (whole and cut inside a character), CR LF lines.
  std::string Value();

 private:
  std::mt19937 engine_;
};

// A chain of lists, each showing the children of the element selected in the lists above
// it. `rows(path)` gives the rows the document holds for the element at `path` (the
// selected rows of the lists above, outermost first), or nothing when there is no such
// element.
struct ListLevel {
  int listId;
  std::function<std::optional<Rows>(const std::vector<int>& path)> rows;
};

// Checks a step's effect on a chain of lists against the document:
// - the outermost list always shows the document's rows;
// - a list that changed shows nothing or the rows of the element selected above it when
//   the step acted;
// - a list that showed the rows of the selected element before the step, with that
//   selection unchanged, still shows them.
// Lists below may show an element the step left behind (lists refill on clicks only).
class ListChain {
 public:
  ListChain(fw::CWindow& window, std::vector<ListLevel> levels)
      : window_(window), levels_(std::move(levels)) {}
  // Before the step, after the rows it acts on are selected.
  void Before();
  // After the step: adds a test failure for every list that breaks a rule.
  void CheckAfter();
  // The selected row of each list (-1 for none).
  std::vector<int> Selection();

 private:
  std::vector<int> PathAbove(const std::vector<int>& selection, std::size_t level) const;
  Rows Shown(int listId);

  fw::CWindow& window_;
  std::vector<ListLevel> levels_;
  std::vector<Rows> shownBefore_;
  std::vector<bool> matchedBefore_;
  std::vector<int> selectionBefore_;
};

// The messages a step may show: exact texts, or texts that begin with a prefix.
struct AllowedMessages {
  std::vector<std::string> exact;
  std::vector<std::string> prefixes;
  std::vector<std::string> captions;  // any text under these captions
  bool Allows(const RecordingPlatform::Message& message) const;
};
// Adds a failure for each message shown since `from` that `allowed` does not allow.
void CheckMessages(const RecordingPlatform& platform, std::size_t from,
                   const AllowedMessages& allowed);

// Runs `action` while watching for windows of this thread besides `owner`. A window that
// shows is handed once to `visit`, which works in it and closes it; one that stays open is
// closed with Esc. Windows that open while a visit runs are closed with Esc. Returns the
// captions of the windows handed to `visit`, in order.
std::vector<std::string> WithWindowVisits(HWND owner, const std::function<void()>& action,
                                          const std::function<void(HWND)>& visit);

// What a window opened by a command may do while it is worked in.
struct InnerWindow {
  std::vector<UINT> skip;          // commands not to send (those that end the window)
  std::vector<ListLevel> levels;   // its lists, checked after each step
  AllowedMessages allowed;         // the messages its commands may show
};
// What one command of an editor's main window may do, set up before it is sent.
struct CommandPlan {
  AllowedMessages allowed;
  // The window it opens is handed to `visit` (which must close it); without one, a command
  // that opens a window fails the step.
  std::function<void(HWND)> visit;
  // A message beginning with this must be shown (a failure must be told).
  std::string mustShow;
  // Checks of its own after the step.
  std::function<void()> after;
};

// The main loop of a soak run over an editor's main window: each step types or ticks, clicks
// a random row of a list the table answers clicks of, or sends a random command of the
// table or Enter or Esc (`plan` sets up the answers and says what the command may do).
// After each step the window must answer and not have ended, its lists must pass `levels`
// and no message or window may appear that the plan does not allow. Stops at the first
// failing step and prints how to replay it. Every 10,000 steps `checkpoint` runs (a long run
// saves and reads back there, so that its bank is compared while it still holds something).
template <class T>
void RunMainSoak(T& dialog, RecordingPlatform& platform, Chooser& choose, const SoakRun& run,
                 const std::vector<ListLevel>& levels, const std::vector<UINT>& skip,
                 const std::function<CommandPlan(UINT)>& plan,
                 const std::function<void()>& checkpoint);

// Works in a window by its own table: `steps` random commands and row clicks on random
// rows, values typed into its edit boxes and its check boxes flipped.
template <class T>
void RandomStepsIn(HWND window, fw::MessageTable<T> table, const InnerWindow& inner,
                   Chooser& choose, RecordingPlatform& platform, int steps);

// An answer to the font dialog: a random size, weight and colour, or cancelled.
RecordingPlatform::FontAnswer RandomFont(Chooser& choose);

// The edit boxes (rich edits included) and the check boxes of a window.
std::vector<int> EditBoxes(HWND window);
std::vector<int> CheckBoxes(HWND window);
// Types a random value into a random edit box, or flips a random check box.
void TypeOrTick(HWND window, Chooser& choose);
// Random presses of the left button at points of the window's client area.
void RandomClicks(HWND window, Chooser& choose, int count);
// The window still answers messages.
bool Answers(HWND window);

// A GBK text of exactly `bytes` bytes made of double-byte characters (and a last ASCII
// letter when `bytes` is odd).
std::string GbkText(int bytes);

// --- template definitions ---------------------------------------------------------------

template <class T>
void RunMainSoak(T& dialog, RecordingPlatform& platform, Chooser& choose, const SoakRun& run,
                 const std::vector<ListLevel>& levels, const std::vector<UINT>& skip,
                 const std::function<CommandPlan(UINT)>& plan,
                 const std::function<void()>& checkpoint) {
  DialogDriver driver(dialog);
  ListChain chain(dialog, levels);
  fw::UserActions actions = fw::UserActionsOf(T::Messages());
  std::vector<UINT> commands{IDOK, IDCANCEL};
  for (UINT id : actions.commands) {
    bool skipped = false;
    for (UINT s : skip) skipped = skipped || s == id;
    if (!skipped) commands.push_back(id);
  }
  for (int step = 0; step < run.steps; ++step) {
    CurrentSoakRun().step = step;
    if (step > 0 && step % 10000 == 0) {
      std::printf("soak: step %d\n", step);
      std::fflush(stdout);
      checkpoint();
      platform.messages.clear();
      if (::testing::Test::HasFailure()) {
        std::printf("soak: the check before step %d of seed %u failed; replay with scripts/soak.sh %d %u\n",
                    step, run.seed, step + 1, run.seed);
        return;
      }
    }
    int kind = choose.Below(10);
    std::string what;
    CommandPlan planned;
    std::function<void()> act;
    if (kind < 3) {
      what = "type or tick";
      act = [&] { TypeOrTick(dialog.hwnd(), choose); };
    } else if (kind < 5) {
      int list = static_cast<int>(choose.Of(actions.clickedControls));
      int row = choose.Row(fw::CListView(dialog.GetItem(list)).ItemCount());
      what = "click on list " + std::to_string(list) + " row " + std::to_string(row);
      driver.SelectOnly(list, row);
      act = [&driver, list, row] { driver.NotifyClick(list, row); };
    } else {
      UINT id = choose.Of(commands);
      what = "command " + std::to_string(id);
      planned = plan(id);
      act = [&driver, id] { driver.Command(static_cast<int>(id)); };
    }
    SCOPED_TRACE("seed " + std::to_string(run.seed) + " step " + std::to_string(step) + ": " +
                 what);
    CurrentSoakRun().what = what;
    chain.Before();
    std::size_t shown = platform.messages.size();
    std::function<void(HWND)> visit = planned.visit;
    std::vector<std::string> windows = WithWindowVisits(
        dialog.hwnd(), act, visit ? visit : [](HWND window) {
          ::SendMessageA(window, WM_COMMAND, IDCANCEL, 0);
        });
    EXPECT_TRUE(Answers(dialog.hwnd())) << "the window no longer answers";
    EXPECT_FALSE(dialog.ended()) << "the window ended";
    if (!visit) {
      for (const std::string& caption : windows) ADD_FAILURE() << "unexpected window: " << caption;
    }
    chain.CheckAfter();
    CheckMessages(platform, shown, planned.allowed);
    if (!planned.mustShow.empty()) {
      bool told = false;
      for (std::size_t i = shown; i < platform.messages.size(); ++i) {
        told = told || platform.messages[i].text.rfind(planned.mustShow, 0) == 0;
      }
      if (!told) {
        std::string seen;
        for (std::size_t i = shown; i < platform.messages.size(); ++i) {
          seen += " \"" + platform.messages[i].text + "\"";
        }
        ADD_FAILURE() << "no message \"" << planned.mustShow << "...\"; shown:" << seen;
      }
    }
    if (planned.after) planned.after();
    platform.messages.clear();
    platform.messageAnswers.clear();
    platform.fileAnswers.clear();
    platform.folderAnswers.clear();
    platform.fontAnswers.clear();
    platform.fileRequests.clear();
    platform.shellFiles.clear();
    if (::testing::Test::HasFailure()) {
      std::printf("soak: step %d of seed %u failed; replay with scripts/soak.sh %d %u\n", step,
                  run.seed, step + 1, run.seed);
      return;
    }
  }
}

template <class T>
void RandomStepsIn(HWND window, fw::MessageTable<T> table, const InnerWindow& inner,
                   Chooser& choose, RecordingPlatform& platform, int steps) {
  fw::CWindow wrapped(window);
  DialogDriver driver(wrapped);
  ListChain chain(wrapped, inner.levels);
  fw::UserActions actions = fw::UserActionsOf(table);
  std::vector<UINT> commands;
  for (UINT id : actions.commands) {
    bool skipped = false;
    for (UINT s : inner.skip) skipped = skipped || s == id;
    if (!skipped) commands.push_back(id);
  }
  for (int step = 0; step < steps && !::testing::Test::HasFailure(); ++step) {
    int kind = choose.Below(10);
    if (kind < 4) {
      TypeOrTick(window, choose);
      continue;
    }
    std::size_t shown = platform.messages.size();
    if (kind < 6 && !actions.clickedControls.empty()) {
      int list = static_cast<int>(choose.Of(actions.clickedControls));
      int row = choose.Row(fw::CListView(wrapped.GetItem(list)).ItemCount());
      SCOPED_TRACE("inner step " + std::to_string(step) + ": click on list " +
                   std::to_string(list) + " row " + std::to_string(row));
      driver.SelectOnly(list, row);
      chain.Before();
      driver.NotifyClick(list, row);
      chain.CheckAfter();
      CheckMessages(platform, shown, AllowedMessages{});
      continue;
    }
    if (commands.empty()) continue;
    UINT id = choose.Of(commands);
    SCOPED_TRACE("inner step " + std::to_string(step) + ": command " + std::to_string(id));
    chain.Before();
    driver.Command(static_cast<int>(id));
    chain.CheckAfter();
    CheckMessages(platform, shown, inner.allowed);
  }
}

}  // namespace velmor::test
