#include "tarvik/runtime/select_main_dlg.h"

#include "framework/gdi.h"
#include "framework/message_table.h"
#include "tarvik/resources/resource.h"

namespace velmor {

CSelectMainDlg::CSelectMainDlg(QuestionBank& bank) : CChildPanel(IDD_QUESTION_PAGE), bank_(bank) {}

CSelectMainDlg::~CSelectMainDlg() {
  DestroyRows();
  DestroyWindow();
}

void CSelectMainDlg::DestroyRows() {
  for (auto& row : rows_) row->DestroyWindow();
  rows_.clear();
}

void CSelectMainDlg::FillPage(const SmallQuestion& question, const OptionPlace& place,
                              int32_t mode) {
  mode_ = mode;
  question_ = &question;
  DestroyRows();
  headerLines_ = QuestionHeaderLines(question);
  rows_.reserve(question.options.size());
  std::vector<int32_t> rowHeights;
  for (std::size_t i = 0; i < question.options.size(); ++i) {
    auto row = std::make_unique<CSelectXuanxiangExDlg>(bank_);
    OptionPlace optionPlace = place;
    optionPlace.option = static_cast<int>(i);
    row->FillOption(question, question.options[i], optionPlace, mode);
    if (!row->Create(hwnd())) continue;  // a row that could not be made takes no room
    rowHeights.push_back(row->rowHeight());
    rows_.push_back(std::move(row));
  }
  const PageLayout layout = LayOutPage(headerLines_.size(), rowHeights);
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    rows_[i]->Move(kOptionRowLeft, layout.rowTops[i], kOptionRowWidth, rowHeights[i]);
    rows_[i]->Show();
  }
  pageHeight_ = layout.height;
}

bool CSelectMainDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  static const fw::MessageEntry<CSelectMainDlg> kMessages[] = {
      fw::OnMessage(WM_PAINT, &CSelectMainDlg::OnPaint),
  };
  return fw::Dispatch(this, kMessages, message, wParam, lParam, result);
}

LRESULT CSelectMainDlg::OnPaint(WPARAM, LPARAM) {
  PAINTSTRUCT paint;
  HDC dc = ::BeginPaint(hwnd(), &paint);
  RECT client = ClientRect();
  ::SetBkMode(dc, TRANSPARENT);
  {
    fw::CSelection brush(dc, ::GetStockObject(WHITE_BRUSH));
    fw::CSelection pen(dc, ::GetStockObject(BLACK_PEN));
    ::Rectangle(dc, 0, 2, client.right, pageHeight_ - 2);
  }
  fw::CGdiObject font(fw::MakePointFont(dc, 10, FW_NORMAL, "宋体"));
  if (font) {
    fw::CSelection selectFont(dc, font.get());
    ::SetTextColor(dc, RGB(0, 0, 0));
    for (std::size_t i = 0; i < headerLines_.size(); ++i) {
      ::TextOutA(dc, 5, 8 + kHeaderLineStep * static_cast<int>(i), headerLines_[i].c_str(),
                 static_cast<int>(headerLines_[i].size()));
    }
  }
  ::EndPaint(hwnd(), &paint);
  return 0;
}

}  // namespace velmor
