// What `gauges verify` checks: the engine's integrity check, the triggers that guard the
// records, and the chain of record hashes.
#include <algorithm>

#include "register/gauge_register.h"
#include "register_schema.h"
#include "register_sql.h"

namespace threadgauge {

std::vector<Message> GaugeRegister::IntegrityFaults() const {
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

std::vector<Message> GaugeRegister::MissingTriggers() const {
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

std::vector<BrokenLink> GaugeRegister::BrokenLinks(
    const std::optional<std::string>& gauge_number) const {
  std::vector<BrokenLink> broken;
  int failure = 0;
  const std::vector<InspectionRecord> records =
      gauge_number ? ReadRecords(
                         db_, "WHERE g.number = ? ORDER BY r.id",
                         [&](SqliteStatement& s) { s.BindText(1, *gauge_number); }, &failure)
                   : ReadRecords(db_, "ORDER BY r.id", {}, &failure);
  if (failure != 0) ReadFailed(failure);
  // Each record's link is checked against the stored hash of the record just before it in
  // the whole register, whichever gauge that was.
  auto before = db_.Prepare("SELECT hash FROM records WHERE id < ? ORDER BY id DESC LIMIT 1");
  if (!before) return broken;
  for (const InspectionRecord& r : records) {
    before->Reset();
    before->BindInteger(1, r.id);
    const std::string previous =
        before->Next() == SqliteStatement::Step::Row ? TextOf(before->Read(0)) : "";
    if (r.hash != RecordHash(r, previous)) broken.push_back({r.id, r.gauge_number});
  }
  // The due list reads each record's extreme reading kept beside it; it must be the one
  // its readings give.
  const std::string mismatch =
      "r.wear_side IS NOT (SELECT CASE WHEN r.kind LIKE '%环规' THEN max(pitch_diameter) ELSE "
      "min(pitch_diameter) END FROM readings WHERE record_id = r.id)";
  auto kept = db_.Prepare(
      "SELECT r.id, g.number FROM records r JOIN gauges g ON g.id = "
      "r.gauge_id WHERE " +
      std::string(gauge_number ? "g.number = ?1 AND " : "") + mismatch + " ORDER BY r.id");
  if (!kept) return broken;
  if (gauge_number) kept->BindText(1, *gauge_number);
  while (kept->Next() == SqliteStatement::Step::Row) {
    const auto id = static_cast<long long>(kept->Read(0).number);
    if (std::none_of(broken.begin(), broken.end(), [&](const auto& b) { return b.record == id; })) {
      broken.push_back({id, TextOf(kept->Read(1))});
    }
  }
  std::sort(broken.begin(), broken.end(),
            [](const BrokenLink& a, const BrokenLink& b) { return a.record < b.record; });
  return broken;
}

long long GaugeRegister::RecordCount() const {
  return ReadInteger(db_, "SELECT count(*) FROM records").value_or(0);
}

}  // namespace threadgauge
