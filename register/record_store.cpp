// The inspection records of the register file: written once, read back whole.
#include "register_file.h"
#include "register_sql.h"

namespace threadgauge {
namespace {

constexpr const char* kRecordColumns =
    "r.id, g.number, r.date, r.inspector, r.temperature, r.method, r.element, "
    "r.element_certificate, r.major, r.uncertainty, r.notes, r.replaces, r.thread, r.kind, "
    "r.length, r.database_file, r.database_hash, r.program_version, r.limit_low, r.limit_high, "
    "r.wear_limit, r.has_wear_limit, r.limits_note, r.verdict, r.verdict_text, r.margin_um, "
    "r.created, r.acceptance, r.imported, r.margin_limit, r.coverage_k, r.instrument, "
    "r.instrument_number, r.instrument_certificate, r.instrument_valid_until, r.hash";

InspectionRecord ReadRecord(const SqliteStatement& s) {
  InspectionRecord r;
  r.id = static_cast<long long>(s.Read(0).number);
  r.gauge_number = TextOf(s.Read(1));
  r.date = TextOf(s.Read(2));
  r.inspector = TextOf(s.Read(3));
  r.temperature = s.Read(4).number;
  r.method = MethodOfKey(TextOf(s.Read(5))).value_or(InspectionMethod::Wires);
  r.element = NumberOf(s.Read(6));
  r.element_certificate = TextOf(s.Read(7));
  r.major = NumberOf(s.Read(8));
  r.uncertainty = NumberOf(s.Read(9));
  r.notes = TextOf(s.Read(10));
  if (const auto replaces = NumberOf(s.Read(11))) r.replaces = static_cast<long long>(*replaces);
  r.thread = TextOf(s.Read(12));
  r.kind = TextOf(s.Read(13));
  r.length = TextOf(s.Read(14));
  r.database_file = TextOf(s.Read(15));
  r.database_hash = TextOf(s.Read(16));
  r.program_version = TextOf(s.Read(17));
  r.limit_low = NumberOf(s.Read(18));
  r.limit_high = NumberOf(s.Read(19));
  r.wear_limit = NumberOf(s.Read(20));
  r.has_wear_limit = s.Read(21).number != 0;
  r.limits_note = TextOf(s.Read(22));
  r.verdict = TextOf(s.Read(23));
  r.verdict_text = TextOf(s.Read(24));
  r.margin_um = NumberOf(s.Read(25));
  r.created = TextOf(s.Read(26));
  r.acceptance = s.Read(27).number != 0;
  r.imported = s.Read(28).number != 0;
  r.margin_limit = TextOf(s.Read(29));
  r.coverage_k = NumberOf(s.Read(30));
  r.instrument = {TextOf(s.Read(31)), TextOf(s.Read(32)), TextOf(s.Read(33)), TextOf(s.Read(34))};
  r.hash = TextOf(s.Read(35));
  return r;
}

// The record's columns, in the order of the INSERT.
void BindRecord(SqliteStatement& s, const InspectionRecord& r, long long gauge_id) {
  s.BindInteger(1, r.id);
  s.BindInteger(2, gauge_id);
  s.BindText(3, r.date);
  s.BindText(4, r.inspector);
  s.BindReal(5, r.temperature);
  s.BindText(6, MethodKey(r.method));
  BindOptional(s, 7, r.element);
  s.BindText(8, r.element_certificate);
  BindOptional(s, 9, r.major);
  BindOptional(s, 10, r.uncertainty);
  s.BindText(11, r.notes);
  if (r.replaces) {
    s.BindInteger(12, *r.replaces);
  } else {
    s.BindNull(12);
  }
  s.BindText(13, r.thread);
  s.BindText(14, r.kind);
  s.BindText(15, r.length);
  s.BindText(16, r.database_file);
  s.BindText(17, r.database_hash);
  s.BindText(18, r.program_version);
  BindOptional(s, 19, r.limit_low);
  BindOptional(s, 20, r.limit_high);
  BindOptional(s, 21, r.wear_limit);
  s.BindInteger(22, r.has_wear_limit ? 1 : 0);
  s.BindText(23, r.limits_note);
  s.BindText(24, r.verdict);
  s.BindText(25, r.verdict_text);
  BindOptional(s, 26, r.margin_um);
  s.BindText(27, r.created);
  s.BindInteger(28, r.acceptance ? 1 : 0);
  s.BindInteger(29, r.imported ? 1 : 0);
  s.BindText(30, r.margin_limit);
  BindOptional(s, 31, r.coverage_k);
  s.BindText(32, r.instrument.name);
  s.BindText(33, r.instrument.number);
  s.BindText(34, r.instrument.certificate);
  s.BindText(35, r.instrument.valid_until);
  BindOptional(s, 36, WearSide(r));
  s.BindText(37, r.hash);
}

std::optional<RegisterError> InsertReadings(const SqliteConnection& db,
                                            const std::filesystem::path& path,
                                            const InspectionRecord& r) {
  auto reading = db.Prepare(
      "INSERT INTO readings (record_id, seq, value, pitch_diameter, position) VALUES (?,?,?,?,?)");
  if (!reading) return EngineError(path, db.ErrorCode());
  for (size_t i = 0; i < r.readings.size(); ++i) {
    reading->Reset();
    reading->BindInteger(1, r.id);
    reading->BindInteger(2, static_cast<long long>(i + 1));
    reading->BindReal(3, r.readings[i].value);
    reading->BindReal(4, r.readings[i].pitch_diameter);
    reading->BindText(5, r.readings[i].position);
    if (reading->Next() == SqliteStatement::Step::Error) {
      return EngineError(path, reading->ErrorCode());
    }
  }
  return std::nullopt;
}

std::optional<RegisterError> InsertChecks(const SqliteConnection& db,
                                          const std::filesystem::path& path,
                                          const InspectionRecord& r) {
  auto check = db.Prepare(
      "INSERT INTO check_results (record_id, plug, passed, gauge_number) VALUES (?,?,?,?)");
  if (!check) return EngineError(path, db.ErrorCode());
  for (const CheckPlugResult& result : r.checks) {
    check->Reset();
    check->BindInteger(1, r.id);
    check->BindText(2, result.plug);
    check->BindInteger(3, result.passed ? 1 : 0);
    check->BindText(4, result.gauge_number);
    if (check->Next() == SqliteStatement::Step::Error) {
      return EngineError(path, check->ErrorCode());
    }
  }
  return std::nullopt;
}

}  // namespace

std::vector<InspectionRecord> ReadRecords(const SqliteConnection& db, const std::string& tail,
                                          const std::function<void(SqliteStatement&)>& bind,
                                          int* failure) {
  std::vector<InspectionRecord> records;
  const auto failed = [&](int code) {
    if (failure && *failure == 0) *failure = code;
  };
  auto select = db.Prepare(std::string("SELECT ") + kRecordColumns +
                           " FROM records r JOIN gauges g ON g.id = r.gauge_id " + tail);
  auto readings = db.Prepare(
      "SELECT value, pitch_diameter, position FROM readings WHERE record_id = ? ORDER BY seq");
  // In the order they were entered: the table's own order, not its key's.
  auto checks = db.Prepare(
      "SELECT plug, passed, gauge_number FROM check_results WHERE record_id = ? ORDER BY rowid");
  if (!select || !readings || !checks) {
    failed(db.ErrorCode());
    return records;
  }
  if (bind) bind(*select);
  SqliteStatement::Step step;
  while ((step = select->Next()) == SqliteStatement::Step::Row)
    records.push_back(ReadRecord(*select));
  if (step == SqliteStatement::Step::Error) failed(select->ErrorCode());
  for (InspectionRecord& r : records) {
    readings->Reset();
    readings->BindInteger(1, r.id);
    while ((step = readings->Next()) == SqliteStatement::Step::Row) {
      r.readings.push_back(
          {readings->Read(0).number, readings->Read(1).number, TextOf(readings->Read(2))});
    }
    if (step == SqliteStatement::Step::Error) failed(readings->ErrorCode());
    checks->Reset();
    checks->BindInteger(1, r.id);
    while ((step = checks->Next()) == SqliteStatement::Step::Row) {
      r.checks.push_back(
          {TextOf(checks->Read(0)), checks->Read(1).number != 0, TextOf(checks->Read(2))});
    }
    if (step == SqliteStatement::Step::Error) failed(checks->ErrorCode());
  }
  return records;
}

std::optional<RegisterError> RegisterFile::InsertRecord(const InspectionRecord& r) {
  const auto gauge_id = [&]() -> std::optional<long long> {
    auto select = db_.Prepare("SELECT id FROM gauges WHERE number = ?");
    if (!select) return std::nullopt;
    select->BindText(1, r.gauge_number);
    if (select->Next() != SqliteStatement::Step::Row) return std::nullopt;
    return static_cast<long long>(select->Read(0).number);
  }();
  if (!gauge_id) return RegisterError{{MessageCode::GaugeNumberUnknownUnwritten, {r.gauge_number}}};
  auto insert = db_.Prepare(
      "INSERT INTO records (id, gauge_id, date, inspector, temperature, method, element, "
      "element_certificate, major, uncertainty, notes, replaces, thread, kind, length, "
      "database_file, database_hash, program_version, limit_low, limit_high, wear_limit, "
      "has_wear_limit, limits_note, verdict, verdict_text, margin_um, created, acceptance, "
      "imported, margin_limit, coverage_k, instrument, instrument_number, "
      "instrument_certificate, instrument_valid_until, wear_side, hash) VALUES (?1, ?2, ?3, "
      "?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17, ?18, ?19, ?20, ?21, ?22, "
      "?23, ?24, ?25, ?26, ?27, ?28, ?29, ?30, ?31, ?32, ?33, ?34, ?35, ?36, ?37)");
  if (!insert) return EngineError(path_, db_.ErrorCode());
  SqliteStatement& s = *insert;
  BindRecord(s, r, *gauge_id);
  if (s.Next() == SqliteStatement::Step::Error) {
    if (FaultOf(s.ErrorCode()) == EngineFault::Refused) {
      return RegisterError{
          {MessageCode::CorrectedRecordUnknown, {std::to_string(r.replaces.value_or(0))}}};
    }
    return EngineError(path_, s.ErrorCode());
  }
  if (auto failed = InsertReadings(db_, path_, r)) return failed;
  if (auto failed = InsertChecks(db_, path_, r)) return failed;
  return std::nullopt;
}

std::variant<std::vector<long long>, RegisterError> RegisterFile::AppendRecords(
    const std::vector<InspectionRecord>& records, const Seal& seal) {
  std::vector<long long> ids;
  auto failed = Write([&]() -> std::optional<RegisterError> {
    for (const InspectionRecord& record : records) {
      RecordLink last;
      auto select = db_.Prepare("SELECT id, hash FROM records ORDER BY id DESC LIMIT 1");
      if (!select) return EngineError(path_, db_.ErrorCode());
      switch (select->Next()) {
        case SqliteStatement::Step::Row:
          last = {static_cast<long long>(select->Read(0).number), TextOf(select->Read(1))};
          break;
        case SqliteStatement::Step::Error:
          return EngineError(path_, select->ErrorCode());
        case SqliteStatement::Step::Done:
          break;
      }
      const InspectionRecord sealed = seal(record, last);
      if (auto refused = InsertRecord(sealed)) return refused;
      ids.push_back(sealed.id);
    }
    return std::nullopt;
  });
  if (failed) return *failed;
  return ids;
}

std::vector<InspectionRecord> RegisterFile::Records(
    const std::optional<std::string>& gauge_number) const {
  int failure = 0;
  std::vector<InspectionRecord> records =
      gauge_number ? ReadRecords(
                         db_, "WHERE g.number = ? ORDER BY r.id",
                         [&](SqliteStatement& s) { s.BindText(1, *gauge_number); }, &failure)
                   : ReadRecords(db_, "ORDER BY r.id", {}, &failure);
  if (failure != 0) ReadFailed(failure);
  return records;
}

std::optional<std::string> RegisterFile::GaugeOfRecord(long long id) const {
  auto select = db_.Prepare(
      "SELECT g.number FROM records r JOIN gauges g ON g.id = r.gauge_id WHERE r.id = ?");
  if (!select) return std::nullopt;
  select->BindInteger(1, id);
  if (select->Next() != SqliteStatement::Step::Row) return std::nullopt;
  return TextOf(select->Read(0));
}

std::vector<RecordLink> RegisterFile::Links() const {
  std::vector<RecordLink> links;
  auto select = db_.Prepare("SELECT id, hash FROM records ORDER BY id");
  if (!select) {
    ReadFailed(db_.ErrorCode());
    return links;
  }
  SqliteStatement::Step step;
  while ((step = select->Next()) == SqliteStatement::Step::Row) {
    links.push_back({static_cast<long long>(select->Read(0).number), TextOf(select->Read(1))});
  }
  if (step == SqliteStatement::Step::Error) ReadFailed(select->ErrorCode());
  return links;
}

long long RegisterFile::RecordCount() const {
  return ReadInteger(db_, "SELECT count(*) FROM records").value_or(0);
}

}  // namespace threadgauge
