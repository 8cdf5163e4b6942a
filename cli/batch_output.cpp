#include "cli/batch_output.h"

#include <map>
#include <memory>
#include <sstream>

#include "calculation/named_values.h"
#include "calculation/number_format.h"
#include "cli/render.h"
#include "cli/whole_file.h"
#include "json_keys.h"
#include "platform/csv_field.h"
#include "platform/number_text.h"
#include "platform/utf8.h"
#include "tables/database_files.h"
#include "tolerance/thread_class.h"
#include "words/calculation_words.h"
#include "words/message_words.h"
#include "xlsx_workbook.h"

namespace threadgauge {
namespace {

std::string Notices(const BatchRow& row) {
  std::string text;
  for (const Notice& notice : row.notices)
    text += (text.empty() ? "" : "；") + DescribeNotice(notice);
  return text;
}

std::vector<std::string> Cells(const BatchRow& row) {
  std::vector<std::string> cells = {row.designation, PlainDecimal(row.d), PlainDecimal(row.P),
                                    row.thread_class, row.gauge};
  for (const NamedValue& value : kNamedValues) cells.push_back(ShownValue(row.shown, value.field));
  cells.push_back(LimitCaption(MajorLimit(row.shown)));
  cells.push_back(LimitCaption(MinorLimit(row.shown)));
  cells.push_back(Notices(row));
  return cells;
}

// The number format each field is shown in; nothing for the half-angle tolerance, which is
// shown as stored.
std::optional<NumberFormat> FormatOf(OutputField field) {
  switch (field) {
    case OutputField::MajorDeviation:
    case OutputField::PitchDeviation:
    case OutputField::MinorDeviation:
      return NumberFormat::Deviation;
    case OutputField::HalfAngleTolerance:
      return std::nullopt;
    case OutputField::PitchTolerance:
      return NumberFormat::PitchTolerance;
    default:
      return NumberFormat::Size;
  }
}

}  // namespace

std::vector<std::string> BatchColumns() {
  std::vector<std::string> columns = {"螺纹标记", "d (mm)", "P (mm)", "公差带", "量规名称"};
  for (const NamedValue& value : kNamedValues) columns.push_back(value.caption);
  // "最小" for a ring's major diameter (≥), "最大" for a plug's minor diameter (≤).
  columns.push_back("大径界限");
  columns.push_back("小径界限");
  columns.push_back("提示");
  return columns;
}

std::string BatchCsv(const std::vector<BatchRow>& rows) {
  std::vector<std::vector<std::string>> lines = {BatchColumns()};
  for (const BatchRow& row : rows) lines.push_back(Cells(row));
  return SpreadsheetCsv(lines);
}

std::string BatchJsonLine(const BatchRow& row) {
  std::ostringstream out;
  out << "{\"designation\": " << JsonString(row.designation) << ", \"d\": " << PlainDecimal(row.d)
      << ", \"P\": " << PlainDecimal(row.P) << ", \"class\": " << JsonString(row.thread_class)
      << ", \"gauge\": " << JsonString(row.gauge) << ", " << JsonNamedValues(row.shown)
      << ", \"fields\": {";
  for (size_t i = 0; i < kOutputFields.size(); ++i) {
    out << (i ? ", " : "") << JsonString(kFieldKeys[i]) << ": "
        << JsonString(row.shown.Field(kOutputFields[i]));
  }
  out << "}, \"notices\": " << JsonNotices(row.notices) << "}\n";
  return out.str();
}

namespace {

// Excel compares sheet names without case, so "6H" and "6h" need more than their letters.
std::string SheetName(const std::string& thread_class) {
  const auto parsed = ParseThreadClass(thread_class);
  if (!parsed) return thread_class;
  return thread_class + (IsInternal(parsed->position) ? " 内螺纹" : " 外螺纹");
}

std::optional<std::string> WriteWorkbook(const std::vector<BatchRow>& rows,
                                         const std::filesystem::path& file);

}  // namespace

std::optional<std::string> WriteBatchXlsx(const std::vector<BatchRow>& rows,
                                          const std::filesystem::path& file) {
  return WriteWhole(
      file, [&](const std::filesystem::path& temporary) { return WriteWorkbook(rows, temporary); });
}

namespace {

std::optional<std::string> WriteWorkbook(const std::vector<BatchRow>& rows,
                                         const std::filesystem::path& file) {
  const std::string name = Utf8(file);
  Workbook workbook(workbook_new(name.c_str()));
  if (!workbook) return Say({MessageCode::FileUnwritable, {name}});
  lxw_format* header = workbook_add_format(workbook.get());
  format_set_bold(header);
  lxw_format* size = workbook_add_format(workbook.get());
  format_set_num_format(size, "0.000");
  lxw_format* deviation = workbook_add_format(workbook.get());
  format_set_num_format(deviation, "0.0000");

  std::map<std::string, lxw_worksheet*> sheets;  // one per class, in the order first met
  std::map<std::string, lxw_row_t> next_row;
  const std::vector<std::string> columns = BatchColumns();
  for (const BatchRow& row : rows) {
    lxw_worksheet*& sheet = sheets[row.thread_class];
    if (sheet == nullptr) {
      const std::string sheet_name = SheetName(row.thread_class);
      sheet = workbook_add_worksheet(workbook.get(), sheet_name.c_str());
      if (sheet == nullptr) return "无法在 " + name + " 中建立工作表 " + sheet_name;
      for (size_t c = 0; c < columns.size(); ++c) {
        worksheet_write_string(sheet, 0, static_cast<lxw_col_t>(c), columns[c].c_str(), header);
      }
      worksheet_freeze_panes(sheet, 1, 0);
      worksheet_set_column(sheet, 0, 0, 18, nullptr);
      worksheet_set_column(sheet, 1, 3, 8, nullptr);
      worksheet_set_column(sheet, 4, 4, 17, nullptr);
      worksheet_set_column(sheet, 5, static_cast<lxw_col_t>(6 + kNamedValues.size()), 14, nullptr);
      worksheet_set_column(sheet, static_cast<lxw_col_t>(columns.size() - 1),
                           static_cast<lxw_col_t>(columns.size() - 1), 80, nullptr);
      next_row[row.thread_class] = 1;
    }
    const lxw_row_t r = next_row[row.thread_class]++;
    worksheet_write_string(sheet, r, 0, row.designation.c_str(), nullptr);
    worksheet_write_number(sheet, r, 1, row.d, nullptr);
    worksheet_write_number(sheet, r, 2, row.P, nullptr);
    worksheet_write_string(sheet, r, 3, row.thread_class.c_str(), nullptr);
    worksheet_write_string(sheet, r, 4, row.gauge.c_str(), nullptr);
    for (size_t i = 0; i < kNamedValues.size(); ++i) {
      const std::string text = ShownValue(row.shown, kNamedValues[i].field);
      if (text.empty()) continue;
      const auto column = static_cast<lxw_col_t>(5 + i);
      const std::optional<NumberFormat> format = FormatOf(kNamedValues[i].field);
      const std::optional<double> number = row.shown.Number(kNamedValues[i].field);
      if (!format || !number) {
        worksheet_write_string(sheet, r, column, text.c_str(), nullptr);
      } else {
        worksheet_write_number(sheet, r, column, *number,
                               *format == NumberFormat::Deviation ? deviation : size);
      }
    }
    const auto limits = static_cast<lxw_col_t>(5 + kNamedValues.size());
    worksheet_write_string(sheet, r, limits, LimitCaption(MajorLimit(row.shown)), nullptr);
    worksheet_write_string(sheet, r, limits + 1, LimitCaption(MinorLimit(row.shown)), nullptr);
    const std::string notices = Notices(row);
    if (!notices.empty()) {
      worksheet_write_string(sheet, r, static_cast<lxw_col_t>(columns.size() - 1), notices.c_str(),
                             nullptr);
    }
  }
  if (sheets.empty()) workbook_add_worksheet(workbook.get(), nullptr);
  const lxw_error closed = workbook_close(workbook.release());
  if (closed != LXW_NO_ERROR) return "无法写入 " + name + "：" + lxw_strerror(closed);
  return std::nullopt;
}

}  // namespace

}  // namespace threadgauge
