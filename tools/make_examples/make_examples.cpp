// Writes the example banks of examples/ through the editors' own code: every stem and task
// description is typed into a real rich-text control, with fonts, colours and a picture, and
// saved as the editor saves it; the banks are built with the documents' own operations, and
// Oblen's demonstration bank "Date.dat" packs real folders of original files.
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
#include "tools/make_examples/make_examples.h"

namespace velmor {
namespace {

struct OptionLine {
  const char* text;
  int score;
  int isAnswer;
  int selectCount;
};

void AddSmall(QuestionBank& bank, int category, int question, const char* text, int single,
              int score, const std::vector<OptionLine>& options) {
  bank.AddSmallQuestion(category, question, text, single, score);
  int small = static_cast<int>(bank.FindBigQuestion(category, question)->smallQuestions.size()) - 1;
  for (const OptionLine& option : options) {
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
  const std::vector<OptionLine> levels = {
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
                 velmor::WritePeerReview(stems, folder + "\\peer-review.lst") &&
                 velmor::WriteOperationBank(stems, folder + "\\Date.dat");
  ::OleUninitialize();
  std::printf(written ? "wrote the example banks\n" : "could not write the example banks\n");
  return written ? 0 : 1;
}
