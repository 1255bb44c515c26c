// Writes the example banks of examples/ through the editor's own code: every stem is typed
// into a real rich-text control, with fonts, colours and a picture, and saved as the editor
// saves it; the banks are built with the document's own operations.
//   make_examples FOLDER
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <richedit.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common/richtext/rich_content.h"
#include "common/richtext/rich_edit_ctrl_ex.h"
#include "tarvik/model/question_bank.h"

namespace velmor {
namespace {

struct Span {
  std::string text;
  const char* face;
  COLORREF colour;
  DWORD effects;
  LONG twips;
};

const char kSong[] = "宋体";
const char kHei[] = "黑体";

Span Heading(const std::string& text) { return {text, kHei, RGB(160, 0, 0), CFE_BOLD, 280}; }
Span Plain(const std::string& text) { return {text, kSong, RGB(0, 0, 0), 0, 220}; }
Span Stress(const std::string& text) { return {text, kSong, RGB(0, 70, 160), CFE_UNDERLINE, 220}; }

// Pictures drawn in code: top-down rows of blue, green, red.
ContentBlock Gradient(int width, int height) {
  std::vector<unsigned char> pixels(3 * width * height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      unsigned char* p = &pixels[3 * (y * width + x)];
      p[0] = static_cast<unsigned char>(255 - x * 255 / (width - 1));
      p[1] = static_cast<unsigned char>(40 + y * 60 / height);
      p[2] = static_cast<unsigned char>(x * 255 / (width - 1));
    }
  return MakePictureRecord(width, height, pixels.data());
}

ContentBlock BarChart(const std::vector<int>& values) {
  const int width = 40 * static_cast<int>(values.size()) + 20, height = 110;
  std::vector<unsigned char> pixels(3 * width * height, 255);
  const unsigned char colours[][3] = {{200, 120, 40}, {40, 160, 60}, {40, 60, 200}, {160, 40, 160}};
  for (std::size_t i = 0; i < values.size(); ++i) {
    int left = 20 + 40 * static_cast<int>(i);
    for (int y = height - 10 - values[i]; y < height - 10; ++y)
      for (int x = left; x < left + 28; ++x) std::memcpy(&pixels[3 * (y * width + x)], colours[i % 4], 3);
  }
  for (int x = 10; x < width - 5; ++x) std::memset(&pixels[3 * ((height - 10) * width + x)], 0, 3);
  for (int y = 5; y < height - 9; ++y) std::memset(&pixels[3 * (y * width + 10)], 0, 3);
  return MakePictureRecord(width, height, pixels.data());
}

ContentBlock Faces() {
  const int size = 36, width = size * 5 + 40, height = size + 8;
  std::vector<unsigned char> pixels(3 * width * height, 255);
  for (int face = 0; face < 5; ++face) {
    int cx = 20 + face * (size + 5) + size / 2, cy = height / 2;
    unsigned char colour[3] = {static_cast<unsigned char>(40 + face * 30), static_cast<unsigned char>(200 - face * 30),
                               static_cast<unsigned char>(80 + face * 40)};
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        int dx = x - cx, dy = y - cy;
        if (dx * dx + dy * dy <= (size / 2) * (size / 2)) std::memcpy(&pixels[3 * (y * width + x)], colour, 3);
      }
  }
  return MakePictureRecord(width, height, pixels.data());
}

class StemWriter {
 public:
  StemWriter() {
    host_ = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 600, 400, nullptr, nullptr,
                              ::GetModuleHandleA(nullptr), nullptr);
    rich_.Create(ES_MULTILINE | ES_WANTRETURN | WS_VISIBLE, RECT{0, 0, 580, 380}, host_, 1022);
  }
  ~StemWriter() { ::DestroyWindow(host_); }

  ContentBlock Write(const std::vector<Span>& spans, const ContentBlock* picture = nullptr) {
    rich_.ClearContent();
    for (const Span& span : spans) {
      rich_.Send(EM_SETSEL, -1, -1);
      CHARFORMATA format{};
      format.cbSize = sizeof format;
      format.dwMask = CFM_FACE | CFM_COLOR | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_SIZE | CFM_CHARSET;
      std::strcpy(format.szFaceName, span.face);
      format.crTextColor = span.colour;
      format.dwEffects = span.effects;
      format.yHeight = span.twips;
      format.bCharSet = GB2312_CHARSET;
      rich_.Send(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
      rich_.Send(EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(span.text.c_str()));
    }
    if (picture) {
      rich_.Send(EM_SETSEL, -1, -1);
      rich_.InsertPicture(picture->Clone(), -1);
    }
    return rich_.SaveContent();
  }

 private:
  HWND host_ = nullptr;
  CRichEditCtrlEx rich_;
};

struct OptionSpec {
  const char* text;
  int score;
  int isAnswer;
  int selectCount;
};

void AddSmall(QuestionBank& bank, int category, int question, const char* text, int single,
              int score, const std::vector<OptionSpec>& options) {
  bank.AddSmallQuestion(category, question, text, single, score);
  int small = static_cast<int>(bank.FindBigQuestion(category, question)->smallQuestions.size()) - 1;
  for (const OptionSpec& option : options) {
    bank.AddOption(category, question, small, option.text, option.score, option.isAnswer, 0,
                   option.selectCount);
  }
}

int LastQuestion(const QuestionBank& bank, int category) {
  return static_cast<int>(bank.FindCategory(category)->questions.size()) - 1;
}

bool WriteChoiceBank(StemWriter& stems, const std::string& path) {
  QuestionBank bank;
  bank.SetTitle("七年级信息技术期中测试");
  bank.SetKind(kKindChoice);
  bank.AddCategory("计算机基础");
  bank.AddCategory("网络与安全");

  ContentBlock chart = BarChart({40, 75, 55, 90});
  bank.AddBigQuestion(0, 1, stems.Write({Heading("一、读图回答\r\n"),
                                         Plain("下图是某班同学一周使用计算机的时间统计，"),
                                         Stress("每一根柱子代表一个小组"), Plain("。\r\n")},
                                        &chart), 0, 0);
  AddSmall(bank, 0, 0, "哪个小组使用计算机的时间最长？", 1, 5,
           {{"第一组", 0, 0, 0}, {"第二组", 0, 0, 0}, {"第三组", 0, 0, 0}, {"第四组", 0, 1, 0}});
  AddSmall(bank, 0, 0, "下列设备中，属于输入设备的有（多选）", 0, 6,
           {{"键盘", 0, 1, 0}, {"鼠标", 0, 1, 0}, {"显示器", 0, 0, 0}, {"打印机", 0, 0, 0}});

  ContentBlock band = Gradient(200, 40);
  bank.AddBigQuestion(0, 1, stems.Write({Heading("二、观察颜色\r\n"),
                                         Plain("观察下面的色带，回答问题。\r\n")},
                                        &band), 0, 0);
  AddSmall(bank, 0, LastQuestion(bank, 0), "色带从左到右由哪种颜色变为哪种颜色？", 1, 4,
           {{"蓝色变为红色", 0, 1, 0}, {"红色变为蓝色", 0, 0, 0}, {"绿色变为黄色", 0, 0, 0}});

  bank.AddBigQuestion(1, 1, stems.Write({Heading("三、网络安全常识\r\n"),
                                         Plain("请根据所学知识作答，"),
                                         Stress("注意有的题目不止一个答案"), Plain("。")}),
                      0, 0);
  AddSmall(bank, 1, 0, "设置密码时，下列做法正确的有（多选）", 0, 6,
           {{"使用字母和数字的组合", 0, 1, 0}, {"定期更换密码", 0, 1, 0},
            {"用自己的生日作密码", 0, 0, 0}, {"把密码告诉好朋友", 0, 0, 0}});
  AddSmall(bank, 1, 0, "收到陌生人发来的链接，应该怎么做？", 1, 4,
           {{"立即打开看看", 0, 0, 0}, {"不打开，告诉老师或家长", 0, 1, 0}, {"转发给同学", 0, 0, 0}});
  return bank.Save(path);
}

bool WriteQuestionnaire(StemWriter& stems, const std::string& path) {
  QuestionBank bank;
  bank.SetTitle("课后服务满意度调查");
  bank.SetKind(kKindQuestionnaire);
  bank.AddCategory("课后服务");
  ContentBlock faces = Faces();
  bank.AddBigQuestion(0, 1, stems.Write({Heading("课后服务问卷\r\n"),
                                         Plain("本问卷不记名，请根据你的"), Stress("真实感受"),
                                         Plain("作答。\r\n")},
                                        &faces), 0, 0);
  AddSmall(bank, 0, 0, "你对课后服务的内容满意吗？", 1, 0,
           {{"非常满意", 5, 0, 12}, {"满意", 4, 0, 20}, {"一般", 3, 0, 6}, {"不满意", 2, 0, 2},
            {"很不满意", 1, 0, 1}});
  AddSmall(bank, 0, 0, "你希望增加哪些活动？（可多选）", 0, 0,
           {{"体育锻炼", 0, 0, 25}, {"科学实验", 0, 0, 18}, {"阅读写作", 0, 0, 9}, {"艺术表演", 0, 0, 14}});
  bank.AddCategory("作业安排");
  bank.AddBigQuestion(1, 1, stems.Write({Plain("关于课后作业，请选择最符合你的情况的一项。")}), 0, 0);
  AddSmall(bank, 1, 0, "你每天完成作业大约需要多长时间？", 1, 0,
           {{"半小时以内", 3, 0, 10}, {"半小时到一小时", 2, 0, 22}, {"一小时以上", 1, 0, 9}});
  return bank.Save(path);
}

bool WritePeerReview(StemWriter& stems, const std::string& path) {
  QuestionBank bank;
  bank.SetTitle("小组合作综合互评表");
  bank.SetKind(kKindPeerReview);
  bank.AddCategory("合作表现");
  ContentBlock chart = BarChart({60, 80, 50});
  bank.AddBigQuestion(0, 1, stems.Write({Heading("小组合作互评\r\n"),
                                         Plain("请为本组同学在项目中的表现打分，"),
                                         Stress("每项只选一个等级"), Plain("。\r\n")},
                                        &chart), 0, 0);
  const std::vector<OptionSpec> levels = {
      {"优秀", 10, 0, 0}, {"良好", 8, 0, 0}, {"合格", 6, 0, 0}, {"待改进", 3, 0, 0}};
  AddSmall(bank, 0, 0, "积极参与小组讨论", 1, 10, levels);
  AddSmall(bank, 0, 0, "按时完成分工任务", 1, 10, levels);
  AddSmall(bank, 0, 0, "主动帮助组内同伴", 1, 10, levels);
  return bank.Save(path);
}

}  // namespace
}  // namespace velmor

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_examples FOLDER\n");
    return 64;
  }
  ::OleInitialize(nullptr);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&controls);
  std::string folder = argv[1];
  velmor::StemWriter stems;
  bool written = velmor::WriteChoiceBank(stems, folder + "\\choice.lst") &&
                 velmor::WriteQuestionnaire(stems, folder + "\\questionnaire.lst") &&
                 velmor::WritePeerReview(stems, folder + "\\peer-review.lst");
  ::OleUninitialize();
  std::printf(written ? "wrote the example banks\n" : "could not write the example banks\n");
  return written ? 0 : 1;
}
