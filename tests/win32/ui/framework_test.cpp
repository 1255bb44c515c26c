#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <thread>

#include "framework/dialog.h"
#include "framework/list_view.h"
#include "framework/message_table.h"
#include "tests/win32/ui/recording_platform.h"
#include "tests/win32/ui/ui_test_ids.h"

namespace velmor {
namespace {

using test::RecordingPlatform;

// --- Dialog data exchange --------------------------------------------------------------

class DataDialog : public fw::CDialog {
 public:
  DataDialog() : CDialog(IDD_DATA_TEST) {
    data().BindText(IDC_NAME, &name);
    data().BindInt(IDC_FIRST_NUMBER, &first);
    data().BindInt(IDC_SECOND_NUMBER, &second);
    data().BindText(IDC_REMARK, &remark);
    data().BindCheck(IDC_FLAG, &flag);
  }
  std::string name = "old name";
  int32_t first = 1;
  int32_t second = 2;
  std::string remark = "old remark";
  int32_t flag = 0;
};

class DataExchangeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dialog.Create(nullptr));
    dialog.Show();
  }
  void Type(int id, const std::string& text) { dialog.SetItemText(id, text); }

  RecordingPlatform platform;
  DataDialog dialog;
};

TEST_F(DataExchangeTest, ShowValuesThenReadControlsRoundTrips) {
  dialog.flag = 1;
  dialog.data().ShowValues();
  EXPECT_EQ(dialog.GetItemText(IDC_NAME), "old name");
  EXPECT_EQ(dialog.GetItemText(IDC_FIRST_NUMBER), "1");
  EXPECT_EQ(dialog.Item(IDC_FLAG).Send(BM_GETCHECK), BST_CHECKED);
  Type(IDC_NAME, "新名字");
  Type(IDC_FIRST_NUMBER, "  -42");
  Type(IDC_SECOND_NUMBER, "17 分");
  dialog.Item(IDC_FLAG).Send(BM_SETCHECK, BST_UNCHECKED);
  ASSERT_TRUE(dialog.data().ReadControls());
  EXPECT_EQ(dialog.name, "新名字");
  EXPECT_EQ(dialog.first, -42);
  EXPECT_EQ(dialog.second, 17);  // text after the digits is ignored
  EXPECT_EQ(dialog.flag, 0);
  EXPECT_TRUE(platform.messages.empty());
}

TEST_F(DataExchangeTest, ARefusedIntegerStopsTheReadingAtItsBox) {
  Type(IDC_NAME, "read");
  Type(IDC_FIRST_NUMBER, "5");
  Type(IDC_SECOND_NUMBER, "abc");
  Type(IDC_REMARK, "never read");
  dialog.Item(IDC_FLAG).Send(BM_SETCHECK, BST_CHECKED);
  EXPECT_FALSE(dialog.data().ReadControls());
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].text, "Please enter an integer.");
  EXPECT_EQ(dialog.name, "read");
  EXPECT_EQ(dialog.first, 5);
  EXPECT_EQ(dialog.second, 2);
  EXPECT_EQ(dialog.remark, "old remark");
  EXPECT_EQ(dialog.flag, 0);
  EXPECT_EQ(::GetFocus(), dialog.GetItem(IDC_SECOND_NUMBER));
  DWORD start = 0, end = 0;
  dialog.Item(IDC_SECOND_NUMBER).Send(EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                                      reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 3u);
}

TEST(ParseLeadingInteger, AcceptsWhatStartsWithAnInteger) {
  struct Case {
    const char* text;
    bool ok;
    int32_t value;
  };
  const Case cases[] = {{"12", true, 12},          {"+7x", true, 7},
                        {" \t-3", true, -3},        {"2147483647", true, INT32_MAX},
                        {"-2147483648", true, INT32_MIN},
                        {"2147483648", false, 0},   {"", false, 0},
                        {"-", false, 0},            {"x1", false, 0},
                        {"１２", false, 0}};
  for (const Case& c : cases) {
    int32_t value = 0;
    EXPECT_EQ(fw::ParseLeadingInteger(c.text, &value), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(value, c.value) << c.text;
    }
  }
}

// --- Message tables ----------------------------------------------------------------------

class TableDialog : public fw::CDialog {
 public:
  TableDialog() : CDialog(IDD_TABLE_TEST) {}
  std::vector<std::string> calls;

 protected:
  BOOL OnInitDialog() override {
    fw::CListView(GetItem(IDC_ITEMS)).SetColumns({{"名称", 80}, {"分数", 60}});
    return TRUE;
  }
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
    static const fw::MessageEntry<TableDialog> kMessages[] = {
        fw::OnCommand(IDC_ACTION, &TableDialog::OnAction),
        fw::OnControl(IDC_NOTE, EN_CHANGE, &TableDialog::OnNoteChanged),
        fw::OnNotify(IDC_ITEMS, NM_CLICK, &TableDialog::OnItemsClick),
        fw::OnMessage(WM_APP + 1, &TableDialog::OnCustom),
    };
    return fw::Dispatch(this, kMessages, message, wParam, lParam, result);
  }
  void OnOK() override { calls.push_back("ok"); }

 private:
  void OnAction() { calls.push_back("action"); }
  void OnNoteChanged() { calls.push_back("note"); }
  LRESULT OnItemsClick(NMHDR*) {
    calls.push_back("click");
    return 0;
  }
  LRESULT OnCustom(WPARAM wParam, LPARAM lParam) { return static_cast<LRESULT>(wParam + lParam); }
};

TEST(MessageTable, RoutesCommandsNotificationsAndMessages) {
  TableDialog dialog;
  ASSERT_TRUE(dialog.Create(nullptr));
  dialog.Send(WM_COMMAND, MAKEWPARAM(IDC_ACTION, BN_CLICKED),
              reinterpret_cast<LPARAM>(dialog.GetItem(IDC_ACTION)));
  dialog.SetItemText(IDC_NOTE, "x");  // EN_CHANGE from the edit box itself
  NMITEMACTIVATE click{};
  click.hdr.hwndFrom = dialog.GetItem(IDC_ITEMS);
  click.hdr.idFrom = IDC_ITEMS;
  click.hdr.code = NM_CLICK;
  click.iItem = -1;
  dialog.Send(WM_NOTIFY, IDC_ITEMS, reinterpret_cast<LPARAM>(&click));
  click.hdr.code = NM_DBLCLK;  // not in the table
  dialog.Send(WM_NOTIFY, IDC_ITEMS, reinterpret_cast<LPARAM>(&click));
  dialog.Send(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  EXPECT_EQ(dialog.calls, (std::vector<std::string>{"action", "note", "click", "ok"}));
  // A message result passes through the dialog's message result.
  EXPECT_EQ(dialog.Send(WM_APP + 1, 40, 2), 42);
  EXPECT_FALSE(dialog.ended());
  dialog.Send(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  EXPECT_TRUE(dialog.ended());
  EXPECT_EQ(dialog.result(), IDCANCEL);
}

TEST(ListView, ColumnsRowsAndSelection) {
  TableDialog dialog;
  ASSERT_TRUE(dialog.Create(nullptr));
  fw::CListView list(dialog.GetItem(IDC_ITEMS));
  EXPECT_EQ(list.ColumnCount(), 2);
  EXPECT_EQ(list.Send(LVM_GETCOLUMNWIDTH, 1), 60);
  const DWORD look = LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP | LVS_EX_GRIDLINES;
  EXPECT_EQ(list.GetExtendedStyle() & look, look);
  EXPECT_EQ(list.AddItem("第一"), 0);
  EXPECT_EQ(list.AddItem("第二"), 1);
  EXPECT_TRUE(list.SetItemText(1, 1, "5"));
  EXPECT_EQ(list.GetItemText(1, 0), "第二");
  EXPECT_EQ(list.GetItemText(1, 1), "5");
  EXPECT_EQ(list.FirstSelected(), -1);
  list.Select(1);
  EXPECT_EQ(list.FirstSelected(), 1);
  EXPECT_TRUE(list.IsSelected(1));
  list.DeleteAllItems();
  EXPECT_EQ(list.ItemCount(), 0);
  EXPECT_EQ(list.FirstSelected(), -1);
}

// A list's refill lock, as another thread meets it: a critical section lets its owner in
// again, so only a second thread sees whether it is held.
struct ListLock {
  ListLock() { ::InitializeCriticalSection(&section); }
  ~ListLock() {
    if (list) ::RemoveWindowSubclass(list, &ListLock::Procedure, 0);
    ::DeleteCriticalSection(&section);
  }
  bool HeldElsewhere() {
    bool entered = false;
    std::thread other([&] {
      entered = ::TryEnterCriticalSection(&section) != FALSE;
      if (entered) ::LeaveCriticalSection(&section);
    });
    other.join();
    return !entered;
  }
  // Counts the rows the list takes in while the lock is held, and those it takes in without.
  void WatchInserts(HWND watched) {
    list = watched;
    ::SetWindowSubclass(list, &ListLock::Procedure, 0, reinterpret_cast<DWORD_PTR>(this));
  }
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                    UINT_PTR, DWORD_PTR data) {
    auto* self = reinterpret_cast<ListLock*>(data);
    if (message == LVM_INSERTITEMA) {
      ++(self->HeldElsewhere() ? self->insertsInside : self->insertsOutside);
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
  }

  CRITICAL_SECTION section;
  HWND list = nullptr;
  int insertsInside = 0;
  int insertsOutside = 0;
};

// A refill runs with drawing suspended and adds its rows inside the lock it is given;
// afterwards the lock is free again and the list draws again: it has its rows, the whole
// list waits for one repaint, and a later change is drawn as usual.
TEST(ListView, RefillLeavesDrawingOn) {
  TableDialog dialog;
  ASSERT_TRUE(dialog.Create(nullptr));
  dialog.Show();
  fw::CListView list(dialog.GetItem(IDC_ITEMS));
  list.AddItem("旧");
  list.Select(0);
  ListLock lock;
  lock.WatchInserts(list);
  list.Refill({{"第一", "5"}, {"第二"}, {}}, &lock.section);
  EXPECT_EQ(lock.insertsInside, 3);
  EXPECT_EQ(lock.insertsOutside, 0);
  EXPECT_FALSE(lock.HeldElsewhere()) << "the refill kept the lock";
  ASSERT_EQ(list.ItemCount(), 3);
  EXPECT_EQ(list.GetItemText(0, 1), "5");
  EXPECT_EQ(list.GetItemText(1, 0), "第二");
  EXPECT_EQ(list.GetItemText(2, 0), "");
  EXPECT_EQ(list.FirstSelected(), -1);
  EXPECT_TRUE(list.IsVisible());
  RECT pending{};
  EXPECT_TRUE(::GetUpdateRect(list, &pending, FALSE));
  list.Update();
  ASSERT_FALSE(::GetUpdateRect(list, &pending, FALSE));
  list.SetItemText(1, 1, "7");
  EXPECT_TRUE(::GetUpdateRect(list, &pending, FALSE)) << "the list no longer draws";

  // A hidden list stays hidden through a refill.
  list.Show(SW_HIDE);
  list.Refill({{"第三"}});
  EXPECT_FALSE(list.GetStyle() & WS_VISIBLE);
  EXPECT_EQ(list.GetItemText(0, 0), "第三");
}

}  // namespace
}  // namespace velmor
