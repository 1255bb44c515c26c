// A candidate's turn: 开始做题 puts the question's original files into its unpack folder and
// shows the folder; after the candidate's work 改题 grades the files and shows the report.
#include "framework/platform.h"
#include "oblen/editor/oblen_dlg.h"
#include "oblen/model/grading.h"
#include "oblen/model/packing.h"

namespace velmor {

void COblenDlg::OnStart() {
  if (!SelectedGroup()) {
    fw::Platform().ShowMessage(hwnd(), "请先在题目列表中选择题目！", "提示", MB_OK);
    return;
  }
  const OperationQuestion* question = SelectedOperationQuestion();
  if (!question) return;
  const FilePackage* package = bank_.FindPackage(question->id);
  if (!package) return;
  const std::string folder(package->unpackFolder.text());
  std::string ask = "该操作将会覆盖“" + folder + "”下的文件，你要确定操作吗？";
  if (fw::Platform().ShowMessage(hwnd(), ask, "提示", MB_OKCANCEL) != IDOK) return;
  Unpack(files_, *package);
  fw::Platform().ExecuteShell(nullptr, "open", folder, "", "", SW_SHOW);
}

void COblenDlg::OnGrade() {
  const OperationQuestion* question = SelectedOperationQuestion();
  if (!question) return;
  fw::Platform().ShowMessage(hwnd(), GradeQuestion(files_, *question), "分数公布", MB_OK);
}

}  // namespace velmor
