// Oblen's demonstration bank: three tasks a candidate does with Word (or WPS), Excel (or WPS)
// and the file manager. Each task's original files are written into a scratch folder, packed
// as the package dialog packs them (unpacking to "c:\考生文件夹"), and graded by requirements
// whose patterns check the candidate's result: a document's text, its formulas, and for the
// bold title the document's XML, as grading reads a Word or Excel file.
#include <windows.h>

#include <string>
#include <vector>

#include "common/office/document_writer.h"
#include "oblen/editor/win32_file_access.h"
#include "oblen/model/operation_bank.h"
#include "oblen/model/packing.h"
#include "tools/make_examples/make_examples.h"

namespace velmor {
namespace {

const char kUnpackFolder[] = "c:\\考生文件夹";

struct OriginalFile {
  const char* path;  // relative to the task's folder; "\" between folders
  std::string content;
};

std::string Bytes(const std::vector<unsigned char>& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

struct RequirementLine {
  int score;
  const char* description;
  const char* target;  // relative to the unpack folder
  const char* pattern;
  const char* explanation;
};

// Pictures drawn in code, as the capture would give them: top-down rows of blue, green, red.
class Canvas {
 public:
  Canvas(int width, int height) : width_(width), height_(height), pixels_(3 * width * height, 255) {}
  void Fill(int left, int top, int right, int bottom, unsigned char r, unsigned char g,
            unsigned char b) {
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x) {
        unsigned char* p = &pixels_[3 * (y * width_ + x)];
        p[0] = b;
        p[1] = g;
        p[2] = r;
      }
  }
  ContentBlock Picture() const { return MakePictureRecord(width_, height_, pixels_.data()); }

 private:
  int width_, height_;
  std::vector<unsigned char> pixels_;
};

// A page of text with a bold title and a red mark where a word of it is wrong.
ContentBlock NoticePicture() {
  Canvas canvas(180, 110);
  canvas.Fill(0, 0, 180, 14, 60, 90, 160);
  canvas.Fill(1, 14, 179, 109, 250, 250, 250);
  for (int line = 0; line < 6; ++line) {
    int width = line == 0 ? 110 : (line == 5 ? 70 : 150);
    int thick = line == 0 ? 6 : 4;
    canvas.Fill(10, 24 + 13 * line, 10 + width, 24 + thick + 13 * line, 90, 90, 90);
  }
  canvas.Fill(60, 20, 100, 32, 230, 40, 40);
  canvas.Fill(62, 22, 98, 30, 250, 250, 250);
  canvas.Fill(64, 24, 96, 28, 90, 90, 90);
  return canvas.Picture();
}

// A table with a highlighted empty column.
ContentBlock TablePicture() {
  Canvas canvas(200, 90);
  for (int row = 0; row <= 4; ++row) canvas.Fill(5, 5 + 20 * row, 196, 6 + 20 * row, 120, 120, 120);
  for (int column = 0; column <= 5; ++column) {
    canvas.Fill(5 + 38 * column, 5, 6 + 38 * column, 86, 120, 120, 120);
  }
  canvas.Fill(6, 6, 195, 25, 200, 220, 240);
  canvas.Fill(158, 26, 195, 85, 255, 236, 160);
  return canvas.Picture();
}

// A folder and a file moving into it.
ContentBlock FolderPicture() {
  Canvas canvas(170, 80);
  canvas.Fill(90, 20, 120, 28, 230, 180, 60);
  canvas.Fill(90, 28, 160, 72, 240, 200, 80);
  canvas.Fill(10, 22, 40, 62, 250, 250, 250);
  canvas.Fill(10, 22, 40, 23, 80, 80, 80);
  canvas.Fill(10, 61, 40, 62, 80, 80, 80);
  canvas.Fill(10, 22, 11, 62, 80, 80, 80);
  canvas.Fill(39, 22, 40, 62, 80, 80, 80);
  canvas.Fill(50, 40, 78, 44, 40, 120, 200);
  for (int i = 0; i < 8; ++i) canvas.Fill(78 + i, 34 + i, 79 + i, 50 - i, 40, 120, 200);
  return canvas.Picture();
}

bool WriteFile(const std::string& path, const std::string& content) {
  HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = ::WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written,
                        nullptr) && written == content.size();
  ::CloseHandle(file);
  return ok;
}

// Removes `folder` and everything below it: a file left there by an earlier run of other
// tasks would be packed with the new ones.
void RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAA found;
  HANDLE search = ::FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      const std::string path = folder + "\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        ::RemoveDirectoryA(path.c_str());  // a link: removed, never followed
        ::DeleteFileA(path.c_str());
      } else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileA(path.c_str());
      }
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
  }
  ::RemoveDirectoryA(folder.c_str());
}

// Writes the task's original files below `folder` (made fresh) and packs them.
bool AddTask(OperationBank& bank, Win32FileAccess& files, int group, ContentBlock&& description,
             const std::string& folder, const std::vector<OriginalFile>& originals,
             const std::vector<const char*>& folders,
             const std::vector<RequirementLine>& requirements) {
  RemoveTree(folder);
  if (!::CreateDirectoryA(folder.c_str(), nullptr)) return false;
  for (const char* sub : folders) ::CreateDirectoryA((folder + "\\" + sub).c_str(), nullptr);
  for (const OriginalFile& original : originals) {
    if (!WriteFile(folder + "\\" + original.path, original.content)) return false;
  }
  if (!bank.AddQuestion(1, group, std::move(description), 0, 0)) return false;
  int question = static_cast<int>(bank.FindGroup(group)->questions.size()) - 1;
  for (const RequirementLine& line : requirements) {
    std::string target = std::string(kUnpackFolder) + "\\" + line.target;
    bank.AddRequirement(group, question,
                        Requirement::Build(line.description, line.explanation, line.score, target,
                                           line.pattern));
  }
  int32_t id = bank.FindQuestion(group, question)->id;
  return ReplacePackage(bank, files, folder, kUnpackFolder, id);
}

}  // namespace

bool WriteOperationBank(StemWriter& stems, const std::string& path) {
  char temporary[MAX_PATH] = {};
  ::GetTempPathA(sizeof temporary, temporary);
  const std::string scratch = std::string(temporary) + "velmor-operation-examples";
  ::CreateDirectoryA(scratch.c_str(), nullptr);

  OperationBank bank;
  Win32FileAccess files;
  bank.AddGroup("文字处理");
  bank.AddGroup("电子表格");
  bank.AddGroup("文件管理");

  const ContentBlock notice = NoticePicture();
  const ContentBlock table = TablePicture();
  const ContentBlock folder = FolderPicture();
  // A notice as Word opens it, one paragraph a line; the candidate corrects the title, adds
  // the closing date and sets the title bold. Word, WPS and LibreOffice all store a bold run
  // as <w:b/> in its properties, before its text; an edit inside the title may split it into
  // runs, so the bold check reads the title's first words only.
  bool ok = AddTask(
      bank, files, 0,
      stems.Write({Heading("修改通知\r\n"),
                   Plain("用 Word（或 WPS 文字）打开考生文件夹中的“通知.docx”，完成下列操作后"),
                   Stress("按原文件名保存"), Plain("：\r\n"),
                   Plain("1. 把标题中的错别字“运动汇”改为“运动会”；\r\n"),
                   Plain("2. 在正文后另起一段，加上“报名截止时间：10月20日”；\r\n"),
                   Plain("3. 把标题设为粗体。\r\n")},
                  &notice),
      scratch + "\\notice",
      {{"通知.docx", Bytes(WriteWordDocument(
                          {u8"关于举行秋季运动汇的通知", u8"各班同学：",
                           u8"学校定于10月25日举行秋季运动会，请各班做好报名和训练准备。"}))}},
      {},
      {{3, "改正标题中的错别字", "通知.docx", "*关于举行秋季运动会的通知*",
        "标题中的“运动汇”应改为“运动会”"},
       {3, "补充报名截止时间", "通知.docx", "*报名截止时间：10月20日*",
        "正文后应有一段“报名截止时间：10月20日”"},
       {4, "标题设为粗体", "通知.docx", "*<w:b/>*关于举行秋季运动*", "标题应设为粗体"}});

  // A table as Excel opens it, the totals' column empty. A row reads as its cells with a tab
  // between them ("?" matches it); a formula cell adds a line of its own ("E2=SUM(B2:D2)").
  ok = ok && AddTask(
      bank, files, 1,
      stems.Write({Heading("计算总分\r\n"),
                   Plain("用 Excel（或 WPS 表格）打开考生文件夹中的“成绩表.xlsx”，在“总分”一列"),
                   Stress("用公式计算"),
                   Plain("每位同学语文、数学、英语三科的总分（如 =SUM(B2:D2)），然后按原文件名保存。\r\n")},
                  &table),
      scratch + "\\table",
      {{"成绩表.xlsx", Bytes(WriteWorkbook(u8"成绩表",
                                           {{u8"姓名", u8"语文", u8"数学", u8"英语", u8"总分"},
                                            {u8"张明", "92", "88", "95", ""},
                                            {u8"李华", "85", "90", "78", ""},
                                            {u8"王芳", "78", "95", "88", ""}}))}},
      {},
      {{2, "张明的总分", "成绩表.xlsx", "*张明?92?88?95?275*", "张明的总分应为275"},
       {2, "李华的总分", "成绩表.xlsx", "*李华?85?90?78?253*", "李华的总分应为253"},
       {2, "王芳的总分", "成绩表.xlsx", "*王芳?78?95?88?261*", "王芳的总分应为261"},
       {4, "用公式计算总分", "成绩表.xlsx", "*E2=*E3=*E4=*",
        "总分应由公式算出（如 =SUM(B2:D2)），不能直接填数"}});

  ok = ok && AddTask(
      bank, files, 2,
      stems.Write({Heading("整理文件\r\n"),
                   Plain("在考生文件夹中完成下列操作：\r\n"),
                   Plain("1. 新建文件夹“作业”，把“资料”文件夹中的“说明.txt”"),
                   Stress("复制"), Plain("到“作业”文件夹中；\r\n"),
                   Plain("2. 把考生文件夹中的“草稿.txt”改名为“定稿.txt”。\r\n")},
                  &folder),
      scratch + "\\files",
      {{"资料\\说明.txt", "这是需要复制到作业文件夹中的说明文件。\r\n"},
       {"草稿.txt", "作文第一稿：我的家乡。\r\n"}},
      {"资料"},
      {{5, "复制说明文件", "作业\\说明.txt", "*需要复制到作业文件夹中的说明文件*",
        "“作业”文件夹中没有“说明.txt”，或内容不对"},
       {5, "文件改名", "定稿.txt", "*作文第一稿*", "考生文件夹中没有“定稿.txt”"}});

  return ok && bank.Save(path);
}

}  // namespace velmor
