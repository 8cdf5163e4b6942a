#pragma once

#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "register/calendar.h"
#include "register/due.h"
#include "register/gauge_register.h"

namespace threadgauge {

// A gauge as the ledger lists it: its entry, the day of its last counting record, when it is
// next due and why, and what the last record decided.
struct LedgerRow {
  GaugeEntry gauge;
  std::optional<std::string> last_record;
  GaugeDue due;
  std::string last_verdict;
};
// Every gauge's row, from one reading of the gauges and one of the records' facts.
std::vector<LedgerRow> LedgerRows(const GaugeRegister& register_file);

// In use and due on or before `on` + `days` (overdue ones included), or due now whatever
// the day: its last record did not conform, or it was never inspected.
bool DueWithin(const LedgerRow& row, const Day& on, long days);

// "2027-12-07（已过期 3 天）", "—", with the reason when there is one: the due column.
std::string DueText(const GaugeDue& due, const Day& on);

// The ledger's column headings, which an import matches and an export writes.
std::vector<std::string> LedgerColumns();
// The ledger's heading of a gauge's field as the register names it ("keeper" → "保管人"); any
// other text as it is.
std::string FieldHeading(const std::string& field);

// The ledger as CSV, UTF-8 with a byte-order mark so that Excel and WPS read the Chinese.
std::string LedgerCsv(const std::vector<LedgerRow>& rows);

// A ledger read from CSV: UTF-8 with or without a byte-order mark, or GBK as Excel on
// Chinese Windows saves it; `encoding` says which was read. Columns are matched by their
// headings; every row that cannot be taken is named by its line number.
struct LedgerImport {
  std::string encoding;
  std::vector<GaugeEntry> good;
  std::vector<Message> problems;
  std::vector<std::string> ignored_columns;
};
// The message when the file cannot be read as a ledger at all. `registered` holds the
// numbers already in the register: a row repeating one is a problem.
std::variant<LedgerImport, Message> ReadLedgerCsv(std::string_view bytes, const Day& today,
                                                  const std::set<std::string>& registered);

}  // namespace threadgauge
