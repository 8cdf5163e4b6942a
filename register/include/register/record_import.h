#pragma once

#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "register/calendar.h"
#include "register/gauge_register.h"
#include "register/inspection.h"

namespace threadgauge {

// A keeper's inspection history from a spreadsheet: one row an inspection, with the
// headings 编号, 检定日期, 检定员, 方法 (三针, 钢球 or 校对塞规), 测针或钢球直径 and 读数 (several
// readings, or for check plugs 通过/不通过/- for GO, NOT-GO and wear, separated by blanks
// or "；"), and optionally 不确定度 (µm), 证书号 and 备注. Each good row is decided as an
// inspection is decided now and marked imported; every other row is named by the line it
// starts on.
struct RecordImport {
  std::string encoding;
  std::vector<InspectionRecord> good;  // by gauge and date, ready to stamp and store
  std::vector<Message> problems;
  std::vector<std::string> ignored_columns;
};
// The message when the file cannot be read as a history at all.
std::variant<RecordImport, Message> ReadRecordsCsv(std::string_view bytes,
                                                   const GaugeRegister& gauges, LimitsCache& limits,
                                                   const Day& today);

}  // namespace threadgauge
