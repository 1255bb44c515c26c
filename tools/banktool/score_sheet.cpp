#include "tools/banktool/score_sheet.h"

#include <cstdio>

namespace velmor {

namespace {

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

std::string Share(int met, int candidates) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f%%", candidates > 0 ? 100.0 * met / candidates : 0.0);
  return text;
}

// How many of the listed folders met each requirement of the one question.
std::vector<int> MetCounts(const std::vector<CandidateResult>& candidates, const ClassQuestion& question) {
  std::vector<int> counts(question.requirements.size(), 0);
  for (const CandidateResult& candidate : candidates) {
    for (std::size_t r = 0; r < counts.size(); ++r) counts[r] += candidate.met[0][r] ? 1 : 0;
  }
  return counts;
}

// The rows of the facility and the discrimination, after the folder and the total columns.
std::string FigureRows(const ClassFigures& figures, char separator, bool noteColumn, const char* lineEnd) {
  std::string rows;
  for (bool facility : {true, false}) {
    rows += facility ? "facility" : "discrimination";
    rows += separator;
    auto cell = [&](const ItemFigures& item) {
      rows += separator;
      if (facility) {
        rows += FigureText(item.facility);
      } else if (figures.discriminationKnown) {
        rows += FigureText(item.discrimination);
      }
    };
    for (const ItemFigures& item : figures.questions) cell(item);
    for (const std::vector<ItemFigures>& items : figures.requirements) {
      for (const ItemFigures& item : items) cell(item);
    }
    if (noteColumn) rows += separator;
    rows += lineEnd;
  }
  return rows;
}

std::string ExamHeader(const std::vector<ClassQuestion>& questions, char separator) {
  std::string header = "folder";
  header += separator;
  header += "total";
  for (const ClassQuestion& question : questions) header += separator + ("Q" + std::to_string(question.id));
  for (const ClassQuestion& question : questions) {
    for (std::size_t r = 0; r < question.requirements.size(); ++r) {
      header += separator + ("Q" + std::to_string(question.id) + " R" + std::to_string(r + 1));
    }
  }
  return header;
}

std::string ExamRow(const CandidateResult& candidate, const std::string& folder, char separator) {
  std::string row = folder + separator + std::to_string(candidate.total);
  for (int32_t total : candidate.questionTotals) row += separator + std::to_string(total);
  for (const std::vector<bool>& met : candidate.met) {
    for (bool one : met) row += separator + std::string(one ? "1" : "0");
  }
  return row;
}

}  // namespace

std::string CsvText(const std::string& utf8) {
  std::string cell = utf8;
  if (!cell.empty() && (cell[0] == '=' || cell[0] == '+' || cell[0] == '-' || cell[0] == '@' ||
                        cell[0] == '\t' || cell[0] == '\r')) {
    cell.insert(0, 1, '\'');
  }
  if (cell.find_first_of(",\"\r\n") == std::string::npos) return cell;
  std::string quoted = "\"";
  for (char c : cell) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

std::string QuestionTable(const std::vector<CandidateResult>& candidates, const ClassQuestion& question) {
  std::string table = "folder\ttotal";
  for (std::size_t i = 0; i < question.requirements.size(); ++i) table += "\tR" + std::to_string(i + 1);
  table += "\n";
  for (const CandidateResult& candidate : candidates) {
    table += candidate.folder + "\t" + std::to_string(candidate.total);
    for (bool met : candidate.met[0]) table += met ? "\t1" : "\t0";
    if (!candidate.note.empty()) table += "\t" + candidate.note;
    table += "\n";
  }
  table += "share met\t";
  for (int count : MetCounts(candidates, question)) {
    table += "\t" + Share(count, static_cast<int>(candidates.size()));
  }
  return table + "\n";
}

std::string QuestionCsv(const std::vector<CandidateResult>& candidates, const ClassQuestion& question) {
  std::string csv = std::string(kByteOrderMark) + "folder,total";
  int number = 0;
  for (const ClassRequirement& requirement : question.requirements) {
    ++number;
    const std::string name = requirement.description.empty() ? "#" + std::to_string(number)
                                                              : requirement.description;
    csv += "," + CsvText(name + " (" + std::to_string(requirement.score) + ")");
  }
  csv += ",note\r\n";
  for (const CandidateResult& candidate : candidates) {
    csv += CsvText(candidate.folder) + "," + std::to_string(candidate.total);
    for (bool met : candidate.met[0]) csv += met ? ",1" : ",0";
    csv += "," + CsvText(candidate.note) + "\r\n";
  }
  csv += "share met,";
  for (int count : MetCounts(candidates, question)) {
    csv += "," + Share(count, static_cast<int>(candidates.size()));
  }
  return csv + ",\r\n";
}

std::string ExamTable(const std::vector<CandidateResult>& candidates, const std::vector<ClassQuestion>& questions,
                      const ClassFigures& figures) {
  std::string table = ExamHeader(questions, '\t') + "\n";
  for (const CandidateResult& candidate : candidates) {
    table += ExamRow(candidate, candidate.folder, '\t');
    if (!candidate.note.empty()) table += "\t" + candidate.note;
    table += "\n";
  }
  return table + FigureRows(figures, '\t', false, "\n");
}

std::string ExamCsv(const std::vector<CandidateResult>& candidates, const std::vector<ClassQuestion>& questions,
                    const ClassFigures& figures) {
  std::string csv = kByteOrderMark + ExamHeader(questions, ',') + ",note\r\n";
  for (const CandidateResult& candidate : candidates) {
    csv += ExamRow(candidate, CsvText(candidate.folder), ',') + "," + CsvText(candidate.note) + "\r\n";
  }
  return csv + FigureRows(figures, ',', true, "\r\n");
}

}  // namespace velmor
