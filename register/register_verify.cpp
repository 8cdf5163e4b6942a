// What `gauges verify` checks in the register file: the engine's integrity check, the
// triggers that guard the records, the extreme reading kept beside each record.
#include "register_file.h"
#include "register_schema.h"
#include "register_sql.h"

namespace threadgauge {

std::vector<Message> RegisterFile::IntegrityFaults() const {
  std::vector<Message> faults;
  auto check = db_.Prepare("PRAGMA integrity_check(100)");
  if (!check) return {{MessageCode::EngineCode, {std::to_string(db_.ErrorCode())}}};
  SqliteStatement::Step step;
  while ((step = check->Next()) == SqliteStatement::Step::Row) {
    const std::string line = TextOf(check->Read(0));
    if (line != "ok") faults.push_back({MessageCode::EngineReport, {line}});
  }
  if (step == SqliteStatement::Step::Error)
    faults.push_back({MessageCode::EngineCode, {std::to_string(check->ErrorCode())}});
  return faults;
}

std::vector<Message> RegisterFile::MissingGuards() const {
  std::vector<Message> missing;
  auto select = db_.Prepare("SELECT sql FROM sqlite_master WHERE type = 'trigger' AND name = ?");
  if (!select) return {{MessageCode::EngineCode, {std::to_string(db_.ErrorCode())}}};
  for (const RegisterTrigger& trigger : RegisterTriggers()) {
    select->Reset();
    select->BindText(1, trigger.name);
    if (select->Next() != SqliteStatement::Step::Row) {
      missing.push_back({MessageCode::TriggerMissing, {trigger.name}});
    } else if (TextOf(select->Read(0)) != trigger.sql) {
      missing.push_back({MessageCode::TriggerChanged, {trigger.name}});
    }
  }
  return missing;
}

std::vector<BrokenLink> RegisterFile::WearSidesAmiss(
    const std::optional<std::string>& gauge_number) const {
  std::vector<BrokenLink> amiss;
  // The due list reads each record's extreme reading kept beside it; it must be the one
  // its readings give.
  const std::string mismatch =
      "r.wear_side IS NOT (SELECT CASE WHEN r.kind LIKE '%环规' THEN max(pitch_diameter) ELSE "
      "min(pitch_diameter) END FROM readings WHERE record_id = r.id)";
  auto kept = db_.Prepare(
      "SELECT r.id, g.number FROM records r JOIN gauges g ON g.id = "
      "r.gauge_id WHERE " +
      std::string(gauge_number ? "g.number = ?1 AND " : "") + mismatch + " ORDER BY r.id");
  if (!kept) return amiss;
  if (gauge_number) kept->BindText(1, *gauge_number);
  while (kept->Next() == SqliteStatement::Step::Row) {
    amiss.push_back({static_cast<long long>(kept->Read(0).number), TextOf(kept->Read(1))});
  }
  return amiss;
}

}  // namespace threadgauge
