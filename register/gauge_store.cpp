// The gauges of the register file and its settings.
#include "register_file.h"
#include "register_sql.h"

namespace threadgauge {
namespace {

constexpr const char* kGaugeColumns =
    "number, thread, kind, length, maker, serial, since, interval_months, department, keeper, "
    "state, notes";

void BindGauge(SqliteStatement& s, const GaugeEntry& g) {
  s.BindText(1, g.number);
  s.BindText(2, g.thread);
  s.BindText(3, g.kind);
  s.BindText(4, g.length);
  s.BindText(5, g.maker);
  s.BindText(6, g.serial);
  s.BindText(7, g.since);
  s.BindInteger(8, g.interval_months);
  s.BindText(9, g.department);
  s.BindText(10, g.keeper);
  s.BindText(11, g.state);
  s.BindText(12, g.notes);
}

GaugeEntry ReadGauge(const SqliteStatement& s) {
  GaugeEntry g;
  g.number = TextOf(s.Read(0));
  g.thread = TextOf(s.Read(1));
  g.kind = TextOf(s.Read(2));
  g.length = TextOf(s.Read(3));
  g.maker = TextOf(s.Read(4));
  g.serial = TextOf(s.Read(5));
  g.since = TextOf(s.Read(6));
  g.interval_months = static_cast<int>(s.Read(7).number);
  g.department = TextOf(s.Read(8));
  g.keeper = TextOf(s.Read(9));
  g.state = TextOf(s.Read(10));
  g.notes = TextOf(s.Read(11));
  return g;
}

}  // namespace

std::optional<RegisterError> RegisterFile::InsertGauges(const std::vector<GaugeEntry>& gauges) {
  return Write([&] { return InsertGaugeRows(gauges); });
}

std::optional<RegisterError> RegisterFile::Receive(const std::vector<GaugeEntry>& gauges,
                                                   const std::vector<InspectionRecord>& records) {
  return Write([&]() -> std::optional<RegisterError> {
    if (ReadInteger(db_, "SELECT count(*) FROM gauges").value_or(1) != 0) {
      return RegisterError{{MessageCode::CopyTargetNotEmpty, {Where()}}};
    }
    if (auto failed = InsertGaugeRows(gauges)) return failed;
    for (const InspectionRecord& record : records) {
      if (auto failed = InsertRecord(record)) return failed;
    }
    return std::nullopt;
  });
}

std::optional<RegisterError> RegisterFile::InsertGaugeRows(const std::vector<GaugeEntry>& gauges) {
  auto insert = db_.Prepare(std::string("INSERT INTO gauges (") + kGaugeColumns +
                            ") VALUES (?,?,?,?,?,?,?,?,?,?,?,?)");
  if (!insert) return EngineError(path_, db_.ErrorCode());
  for (const GaugeEntry& gauge : gauges) {
    insert->Reset();
    BindGauge(*insert, gauge);
    if (insert->Next() == SqliteStatement::Step::Error) {
      if (FaultOf(insert->ErrorCode()) == EngineFault::Refused) {
        return RegisterError{{MessageCode::GaugeNumberTaken, {gauge.number}}};
      }
      return EngineError(path_, insert->ErrorCode());
    }
  }
  return std::nullopt;
}

std::optional<RegisterError> RegisterFile::UpdateGauge(const GaugeEntry& gauge) {
  return Write([&]() -> std::optional<RegisterError> {
    auto update = db_.Prepare(
        "UPDATE gauges SET thread=?2, kind=?3, length=?4, maker=?5, serial=?6, since=?7, "
        "interval_months=?8, department=?9, keeper=?10, state=?11, notes=?12 WHERE number=?1");
    if (!update) return EngineError(path_, db_.ErrorCode());
    BindGauge(*update, gauge);
    if (update->Next() == SqliteStatement::Step::Error) {
      return EngineError(path_, update->ErrorCode());
    }
    if (ReadInteger(db_, "SELECT changes()").value_or(0) == 0) {
      return RegisterError{{MessageCode::GaugeNumberUnknown, {gauge.number}}};
    }
    return std::nullopt;
  });
}

std::optional<GaugeEntry> RegisterFile::FindGauge(const std::string& number) const {
  auto select =
      db_.Prepare(std::string("SELECT ") + kGaugeColumns + " FROM gauges WHERE number = ?");
  if (!select) {
    ReadFailed(db_.ErrorCode());
    return std::nullopt;
  }
  select->BindText(1, number);
  switch (select->Next()) {
    case SqliteStatement::Step::Row:
      return ReadGauge(*select);
    case SqliteStatement::Step::Error:
      ReadFailed(select->ErrorCode());
      return std::nullopt;
    case SqliteStatement::Step::Done:
      break;
  }
  return std::nullopt;
}

std::vector<GaugeEntry> RegisterFile::Gauges() const {
  std::vector<GaugeEntry> gauges;
  gauges.reserve(static_cast<size_t>(ReadInteger(db_, "SELECT count(*) FROM gauges").value_or(0)));
  auto select =
      db_.Prepare(std::string("SELECT ") + kGaugeColumns + " FROM gauges ORDER BY number");
  if (!select) {
    ReadFailed(db_.ErrorCode());
    return gauges;
  }
  SqliteStatement::Step step;
  while ((step = select->Next()) == SqliteStatement::Step::Row)
    gauges.push_back(ReadGauge(*select));
  if (step == SqliteStatement::Step::Error) ReadFailed(select->ErrorCode());
  return gauges;
}

void RegisterFile::ForEachGauge(
    const std::function<void(GaugeEntry&, const std::vector<RecordFacts>&)>& visit) const {
  // The gauges in 编号 order, each joined to its records through the index that holds all the
  // due list reads of them: one statement, no record read twice.
  auto select = db_.Prepare(
      "SELECT g.number, g.thread, g.kind, g.length, g.maker, g.serial, g.since, "
      "g.interval_months, g.department, g.keeper, g.state, g.notes, r.id, r.date, r.verdict, "
      "r.kind, r.replaces, r.wear_limit, r.wear_side FROM gauges g LEFT JOIN records r "
      "ON r.gauge_id = g.id ORDER BY g.number");
  if (!select) {
    ReadFailed(db_.ErrorCode());
    return;
  }
  std::optional<GaugeEntry> gauge;
  std::vector<RecordFacts> facts;
  SqliteStatement::Step step;
  while ((step = select->Next()) == SqliteStatement::Step::Row) {
    if (!gauge || gauge->number != select->Text(0)) {
      if (gauge) visit(*gauge, facts);
      gauge = ReadGauge(*select);
      facts.clear();
    }
    if (const auto id = select->NumberOrNull(12)) {
      RecordFacts f;
      f.id = static_cast<long long>(*id);
      f.date = select->Text(13);
      f.verdict = select->Text(14);
      f.ring = IsRing(select->Text(15));
      if (const auto replaces = select->NumberOrNull(16)) {
        f.replaces = static_cast<long long>(*replaces);
      }
      f.wear_limit = select->NumberOrNull(17);
      f.wear_side = select->NumberOrNull(18);
      facts.push_back(std::move(f));
    }
  }
  if (gauge) visit(*gauge, facts);
  if (step == SqliteStatement::Step::Error) ReadFailed(select->ErrorCode());
}

std::string RegisterFile::Setting(const std::string& key) const {
  auto select = db_.Prepare("SELECT value FROM settings WHERE key = ?");
  if (!select) {
    ReadFailed(db_.ErrorCode());
    return "";
  }
  select->BindText(1, key);
  const auto step = select->Next();
  if (step == SqliteStatement::Step::Error) ReadFailed(select->ErrorCode());
  return step == SqliteStatement::Step::Row ? TextOf(select->Read(0)) : "";
}

std::optional<RegisterError> RegisterFile::SetSetting(const std::string& key,
                                                      const std::string& value) {
  return Write([&]() -> std::optional<RegisterError> {
    auto upsert = db_.Prepare(
        "INSERT INTO settings (key, value) VALUES (?1, ?2) "
        "ON CONFLICT(key) DO UPDATE SET value = excluded.value");
    if (!upsert) return EngineError(path_, db_.ErrorCode());
    upsert->BindText(1, key);
    upsert->BindText(2, value);
    if (upsert->Next() == SqliteStatement::Step::Error) {
      return EngineError(path_, upsert->ErrorCode());
    }
    return std::nullopt;
  });
}

}  // namespace threadgauge
