#include "tools/banktool/class_report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

#include "common/office/xml_reader.h"

namespace velmor {

namespace {

constexpr char kStyle[] = R"(
@page { size: A4; margin: 15mm; }
body { font-family: "SimSun", "WenQuanYi Micro Hei", sans-serif; max-width: 900px; margin: 1.5em auto;
       padding: 0 1em; color: #111; line-height: 1.5; }
h1 { font-size: 20pt; margin-bottom: .2em; }
h2 { font-size: 14pt; border-bottom: 1px solid #444; margin-top: 1.4em; }
table { border-collapse: collapse; width: 100%; }
th, td { text-align: left; padding: .2em .5em; border-bottom: 1px solid #ddd; vertical-align: top; }
td.n, th.n { text-align: right; white-space: nowrap; }
.summary { width: auto; } .summary td { border: none; padding: .1em 1.2em .1em 0; }
td.facility { white-space: nowrap; } table.items td:first-child { min-width: 16em; }
.question td { font-weight: bold; background: #f2f2f2; }
.bar .track { fill: #e6e6e6; } .bar .fill { fill: #3b6bb5; }
.histogram .bin { fill: #3b6bb5; } .histogram text { font-size: 11px; fill: #222; }
.mark { display: inline-block; padding: 0 .4em; margin-right: .3em; border: 1px solid; font-size: 10pt; }
.hard { color: #b00020; } .easy { color: #8a6d00; } .flat { color: #5b2a86; }
.advice { font-size: 10pt; color: #333; }
.missing { color: #b00020; }
tr, .histogram { break-inside: avoid; page-break-inside: avoid; }
)";


// The sheet's notes (English, for scripts) in the page's language.
std::string ChineseNote(std::string note) {
  const std::pair<std::string, std::string> phrases[] = {
      {"no such folder", u8"文件夹不存在"},
      {"the folder cannot be written in GBK", u8"文件夹名无法用 GBK 表示"},
      {"not followed, a link: ", u8"链接不予跟随："},
  };
  for (const auto& [english, chinese] : phrases) {
    for (std::size_t at = note.find(english); at != std::string::npos; at = note.find(english, at)) {
      note.replace(at, english.size(), chinese);
      at += chinese.size();
    }
  }
  return note;
}

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  return text;
}

// A facility as a bar of 120 pixels and its figure beside it.
std::string Bar(double facility) {
  const int width = static_cast<int>(std::lround(std::clamp(facility, 0.0, 1.0) * 120));
  return "<svg class=\"bar\" width=\"120\" height=\"12\" role=\"img\"><rect class=\"track\" "
         "width=\"120\" height=\"12\"/><rect class=\"fill\" width=\"" + std::to_string(width) +
         "\" height=\"12\"/></svg> " + FigureText(facility);
}

std::string Marks(const ItemFigures& item) {
  std::string marks;
  if (item.hard) {
    marks += u8"<span class=\"mark hard\">太难</span><span class=\"advice\">几乎没有人做到：任务可能太难，"
             u8"或者模式要求的比任务说的更多。</span> ";
  }
  if (item.easy) {
    marks += u8"<span class=\"mark easy\">太易</span><span class=\"advice\">几乎人人做到：任务可能太容易，"
             u8"或者原始文件本来就能匹配模式。</span> ";
  }
  if (item.flat) {
    marks += u8"<span class=\"mark flat\">区分度低</span><span class=\"advice\">好的和弱的考生做得差不多："
             u8"检查模式是否真的检查了该检查的内容。</span>";
  }
  return marks;
}

std::string Discrimination(const ClassFigures& figures, const ItemFigures& item) {
  return figures.discriminationKnown ? FigureText(item.discrimination) : u8"—";
}

std::string Histogram(const ClassFigures& figures) {
  const int bins = static_cast<int>(figures.histogram.size());
  const int most = std::max(1, *std::max_element(figures.histogram.begin(), figures.histogram.end()));
  const int width = 640;
  const int height = 200;
  const int top = 20;  // room for the counts above the tallest bar
  const int barWidth = std::max(4, (width - 40) / bins);
  std::string svg = "<svg class=\"histogram\" width=\"" + std::to_string(40 + barWidth * bins) +
                    "\" height=\"" + std::to_string(top + height + 30) + "\" role=\"img\" aria-label=\"" +
                    u8"总分分布" + "\">";
  for (int i = 0; i < bins; ++i) {
    const int count = figures.histogram[static_cast<std::size_t>(i)];
    const int barHeight = count * height / most;
    const int x = 30 + i * barWidth;
    const int64_t from = i * figures.binWidth;
    const int64_t to = std::min<int64_t>(from + figures.binWidth - 1, std::max<int64_t>(figures.fullScore, 0));
    const std::string range = from == to ? std::to_string(from) : std::to_string(from) + "-" + std::to_string(to);
    svg += "<rect class=\"bin\" x=\"" + std::to_string(x + 1) + "\" y=\"" +
           std::to_string(top + height - barHeight) + "\" width=\"" + std::to_string(barWidth - 2) +
           "\" height=\"" + std::to_string(barHeight) + "\"><title>" + range + u8"分：" +
           std::to_string(count) + u8"人</title></rect>";
    if (count > 0) {
      svg += "<text x=\"" + std::to_string(x + barWidth / 2) + "\" y=\"" +
             std::to_string(top - 4 + height - barHeight) + "\" text-anchor=\"middle\">" +
             std::to_string(count) + "</text>";
    }
    svg += "<text x=\"" + std::to_string(x + barWidth / 2) + "\" y=\"" + std::to_string(top + height + 16) +
           "\" text-anchor=\"middle\">" + range + "</text>";
  }
  svg += "<line x1=\"30\" y1=\"" + std::to_string(top + height) + "\" x2=\"" +
         std::to_string(30 + barWidth * bins) + "\" y2=\"" + std::to_string(top + height) +
         "\" stroke=\"#222\"/></svg>";
  return svg;
}

}  // namespace

std::string ClassReportHtml(const std::string& bankName, const std::vector<ClassQuestion>& questions,
                            const std::vector<CandidateResult>& candidates, const ClassFigures& figures) {
  std::string page = u8"<!DOCTYPE html>\n<html lang=\"zh-CN\"><head><meta charset=\"utf-8\">"
                     u8"<title>班级成绩报告</title><style>";
  page += kStyle;
  page += u8"</style></head><body>\n<h1>班级成绩报告</h1><p>" + XmlEscaped(bankName) + "</p>\n";

  // The class.
  page += u8"<h2>全班</h2><table class=\"summary\"><tr><td>参加人数</td><td class=\"n\" id=\"candidates\">" +
          std::to_string(figures.candidates) + u8"</td><td>平均分</td><td class=\"n\" id=\"mean\">" +
          Number(figures.mean) + u8"</td><td>中位数</td><td class=\"n\" id=\"median\">" +
          Number(figures.median) + u8"</td></tr><tr><td>最高分</td><td class=\"n\" id=\"highest\">" +
          std::to_string(figures.highest) + u8"</td><td>最低分</td><td class=\"n\" id=\"lowest\">" +
          std::to_string(figures.lowest) + u8"</td><td>满分（" + std::to_string(figures.fullScore) +
          u8"分）人数</td><td class=\"n\" id=\"full-marks\">" + std::to_string(figures.fullMarks) +
          "</td></tr></table>\n";
  page += Histogram(figures) + "\n";
  std::string missing;
  for (const CandidateResult& candidate : candidates) {
    if (!candidate.graded) missing += "<li>" + XmlEscaped(candidate.folder) + u8"：" + XmlEscaped(ChineseNote(candidate.note)) + "</li>";
  }
  if (!missing.empty()) {
    page += u8"<p class=\"missing\">以下文件夹不存在或无法读取，按 0 分计，不计入上面和下面的统计：</p><ul class=\"missing\">" +
            missing + "</ul>\n";
  }
  if (!figures.discriminationKnown) {
    page += u8"<p class=\"advice\" id=\"too-small\">参加人数少于 " + std::to_string(kSmallestClass) +
            u8" 人，区分度无从判断。</p>\n";
  }

  // The questions and their requirements.
  page += u8"<h2>各题与各项要求</h2><table class=\"items\"><tr><th>题目与要求</th><th class=\"n\">分值</th>"
          u8"<th>通过率</th><th class=\"n\">区分度</th><th>提示</th></tr>\n";
  for (std::size_t q = 0; q < questions.size(); ++q) {
    const ItemFigures& item = figures.questions[q];
    page += "<tr class=\"question\"><td>Q" + std::to_string(questions[q].id) + " " + XmlEscaped(questions[q].title) +
            "</td><td class=\"n\">" + std::to_string(questions[q].fullScore) + "</td><td class=\"facility\">" + Bar(item.facility) +
            "</td><td class=\"n\">" + Discrimination(figures, item) + "</td><td></td></tr>\n";
    for (std::size_t r = 0; r < questions[q].requirements.size(); ++r) {
      const ClassRequirement& requirement = questions[q].requirements[r];
      const ItemFigures& figure = figures.requirements[q][r];
      page += "<tr class=\"requirement\"><td>Q" + std::to_string(questions[q].id) + " R" + std::to_string(r + 1) +
              " " + XmlEscaped(requirement.description) + "</td><td class=\"n\">" + std::to_string(requirement.score) +
              "</td><td class=\"facility\">" + Bar(figure.facility) + "</td><td class=\"n\">" + Discrimination(figures, figure) +
              "</td><td>" + Marks(figure) + "</td></tr>\n";
    }
  }
  page += "</table>\n";

  // The candidates.
  page += u8"<h2>各位考生</h2><table class=\"candidates\"><tr><th>文件夹</th><th class=\"n\">总分</th>"
          u8"<th>没有做到的要求</th></tr>\n";
  for (const CandidateResult& candidate : candidates) {
    std::string unmet;
    if (candidate.graded) {
      for (std::size_t q = 0; q < questions.size(); ++q) {
        for (std::size_t r = 0; r < questions[q].requirements.size(); ++r) {
          if (candidate.met[q][r]) continue;
          const ClassRequirement& requirement = questions[q].requirements[r];
          unmet += "<li>Q" + std::to_string(questions[q].id) + " " + XmlEscaped(requirement.description) + u8"：" +
                   XmlEscaped(requirement.explanation) + "</li>";
        }
      }
    } else {
      unmet = "<li class=\"missing\">" + XmlEscaped(ChineseNote(candidate.note)) + "</li>";
    }
    page += "<tr><td>" + XmlEscaped(candidate.folder) + "</td><td class=\"n\">" + std::to_string(candidate.total) +
            "</td><td>" + (unmet.empty() ? std::string(u8"全部做到") : "<ul>" + unmet + "</ul>") +
            "</td></tr>\n";
  }
  page += "</table>\n</body></html>\n";
  return page;
}

}  // namespace velmor
