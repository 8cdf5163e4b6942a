#include "words/gauge_set_table.h"

#include "platform/csv_field.h"
#include "words/calculation_words.h"

namespace threadgauge {

std::vector<std::string> GaugeSetColumns() {
  return {"量规名称", "大径", "中径", "小径", "半角公差(′)", "螺距公差", "三针/测球直径", "M/E 值"};
}

std::vector<std::vector<std::string>> GaugeSetCells(const GaugeSet& set) {
  std::vector<std::vector<std::string>> cells;
  for (const GaugeSetRow& row : set.rows) {
    cells.push_back({row.gauge, row.major, row.pitch, row.minor, row.half_angle,
                     row.pitch_tolerance, row.element, row.measurement});
  }
  return cells;
}

namespace {

std::string TabSeparated(const std::vector<std::string>& cells) {
  std::string line;
  for (size_t i = 0; i < cells.size(); ++i) line += (i ? "\t" : "") + cells[i];
  return line + "\r\n";
}

}  // namespace

std::string GaugeSetCsv(const GaugeSet& set) {
  std::vector<std::vector<std::string>> rows = {GaugeSetColumns()};
  for (auto& row : GaugeSetCells(set)) rows.push_back(std::move(row));
  // What the reader must know goes with the table: which class the gauges use, what is
  // missing and why.
  for (const Notice& notice : set.notices) rows.push_back({"提示", DescribeNotice(notice)});
  return SpreadsheetCsv(rows);
}

std::string GaugeSetTabSeparated(const GaugeSet& set) {
  std::string text = TabSeparated(GaugeSetColumns());
  for (const auto& row : GaugeSetCells(set)) text += TabSeparated(row);
  return text;
}

}  // namespace threadgauge
