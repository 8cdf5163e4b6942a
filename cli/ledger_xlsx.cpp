#include "cli/ledger_xlsx.h"

#include <memory>

#include "cli/whole_file.h"
#include "platform/utf8.h"
#include "words/message_words.h"
#include "xlsx_workbook.h"

namespace threadgauge {
namespace {

std::optional<std::string> WriteWorkbook(const std::vector<LedgerRow>& rows,
                                         const std::filesystem::path& file) {
  const std::string name = Utf8(file);
  Workbook workbook(workbook_new(name.c_str()));
  if (!workbook) return Say({MessageCode::FileUnwritable, {name}});
  lxw_format* header = workbook_add_format(workbook.get());
  format_set_bold(header);
  lxw_worksheet* sheet = workbook_add_worksheet(workbook.get(), "量规台账");
  if (sheet == nullptr) return "无法在 " + name + " 中建立工作表";
  const std::vector<std::string> columns = LedgerColumns();
  for (size_t c = 0; c < columns.size(); ++c) {
    worksheet_write_string(sheet, 0, static_cast<lxw_col_t>(c), columns[c].c_str(), header);
  }
  worksheet_freeze_panes(sheet, 1, 0);
  worksheet_set_column(sheet, 0, static_cast<lxw_col_t>(columns.size() - 1), 14, nullptr);
  worksheet_set_column(sheet, 2, 2, 18, nullptr);
  lxw_row_t r = 1;
  for (const LedgerRow& row : rows) {
    const GaugeEntry& g = row.gauge;
    const std::vector<std::string> texts = {g.number,
                                            g.thread,
                                            g.kind,
                                            g.length,
                                            g.maker,
                                            g.serial,
                                            g.since,
                                            "",
                                            g.department,
                                            g.keeper,
                                            g.state,
                                            g.notes,
                                            row.last_record.value_or(""),
                                            row.due.day ? DayText(*row.due.day) : "",
                                            row.last_verdict};
    for (size_t c = 0; c < texts.size(); ++c) {
      if (c == 7) {
        worksheet_write_number(sheet, r, 7, g.interval_months, nullptr);
      } else if (!texts[c].empty()) {
        worksheet_write_string(sheet, r, static_cast<lxw_col_t>(c), texts[c].c_str(), nullptr);
      }
    }
    ++r;
  }
  const lxw_error closed = workbook_close(workbook.release());
  if (closed != LXW_NO_ERROR) return "无法写入 " + name + "：" + lxw_strerror(closed);
  return std::nullopt;
}

}  // namespace

std::optional<std::string> WriteLedgerXlsx(const std::vector<LedgerRow>& rows,
                                           const std::filesystem::path& file) {
  return WriteWhole(
      file, [&](const std::filesystem::path& temporary) { return WriteWorkbook(rows, temporary); });
}

}  // namespace threadgauge
