// The inspection records of a register on a server: numbered and linked one at a time
// whoever else records at the same moment, signed by the server, read back whole.
#include <map>

#include "server_store.h"

namespace threadgauge {
namespace {

constexpr const char* kRecordColumns =
    "r.id, g.number, r.date, r.inspector, r.temperature, r.method, r.element, "
    "r.element_certificate, r.major, r.uncertainty, r.notes, r.replaces, r.thread, r.kind, "
    "r.length, r.database_file, r.database_hash, r.program_version, r.limit_low, r.limit_high, "
    "r.wear_limit, r.has_wear_limit, r.limits_note, r.verdict, r.verdict_text, r.margin_um, "
    "r.created, r.acceptance, r.imported, r.margin_limit, r.coverage_k, r.instrument, "
    "r.instrument_number, r.instrument_certificate, r.instrument_valid_until, r.hash";

// Any number: one key for the lock that numbers the records one after the other.
constexpr const char* kChainLock = "SELECT pg_advisory_xact_lock(1502965)";

InspectionRecord RecordOfRow(const PgResult& rows, int row) {
  const auto text = [&](int column) { return rows.Cell(row, column).value_or(""); };
  const auto number = [&](int column) { return OptionalNumber(rows.Cell(row, column)); };
  InspectionRecord r;
  r.id = std::stoll(text(0));
  r.gauge_number = text(1);
  r.date = text(2);
  r.inspector = text(3);
  r.temperature = number(4).value_or(20);
  r.method = MethodOfKey(text(5)).value_or(InspectionMethod::Wires);
  r.element = number(6);
  r.element_certificate = text(7);
  r.major = number(8);
  r.uncertainty = number(9);
  r.notes = text(10);
  if (const auto replaces = rows.Cell(row, 11)) r.replaces = std::stoll(*replaces);
  r.thread = text(12);
  r.kind = text(13);
  r.length = text(14);
  r.database_file = text(15);
  r.database_hash = text(16);
  r.program_version = text(17);
  r.limit_low = number(18);
  r.limit_high = number(19);
  r.wear_limit = number(20);
  r.has_wear_limit = text(21) == "1";
  r.limits_note = text(22);
  r.verdict = text(23);
  r.verdict_text = text(24);
  r.margin_um = number(25);
  r.created = text(26);
  r.acceptance = text(27) == "1";
  r.imported = text(28) == "1";
  r.margin_limit = text(29);
  r.coverage_k = number(30);
  r.instrument = {text(31), text(32), text(33), text(34)};
  r.hash = text(35);
  return r;
}

std::vector<PgParameter> RecordParameters(const InspectionRecord& r) {
  const auto flag = [](bool on) { return std::string(on ? "1" : "0"); };
  return {std::to_string(r.id),
          r.gauge_number,
          r.date,
          r.inspector,
          ExactText(r.temperature),
          std::string(MethodKey(r.method)),
          OptionalText(r.element),
          r.element_certificate,
          OptionalText(r.major),
          OptionalText(r.uncertainty),
          r.notes,
          r.replaces ? PgParameter(std::to_string(*r.replaces)) : std::nullopt,
          r.thread,
          r.kind,
          r.length,
          r.database_file,
          r.database_hash,
          r.program_version,
          OptionalText(r.limit_low),
          OptionalText(r.limit_high),
          OptionalText(r.wear_limit),
          flag(r.has_wear_limit),
          r.limits_note,
          r.verdict,
          r.verdict_text,
          OptionalText(r.margin_um),
          r.created,
          flag(r.acceptance),
          flag(r.imported),
          r.margin_limit,
          OptionalText(r.coverage_k),
          r.instrument.name,
          r.instrument.number,
          r.instrument.certificate,
          r.instrument.valid_until,
          OptionalText(WearSide(r)),
          r.hash};
}

constexpr const char* kInsertRecord =
    "INSERT INTO records (id, gauge_id, date, inspector, temperature, method, element, "
    "element_certificate, major, uncertainty, notes, replaces, thread, kind, length, "
    "database_file, database_hash, program_version, limit_low, limit_high, wear_limit, "
    "has_wear_limit, limits_note, verdict, verdict_text, margin_um, created, acceptance, "
    "imported, margin_limit, coverage_k, instrument, instrument_number, "
    "instrument_certificate, instrument_valid_until, wear_side, hash) SELECT $1, g.id, $3, $4, "
    "$5, $6, $7, $8, $9, $10, $11, $12, $13, $14, $15, $16, $17, $18, $19, $20, $21, $22, $23, "
    "$24, $25, $26, $27, $28, $29, $30, $31, $32, $33, $34, $35, $36, $37 FROM gauges g "
    "WHERE g.number = $2";

}  // namespace

std::optional<RegisterError> RegisterServer::InsertRecord(const InspectionRecord& r,
                                                          MessageCode action) {
  const auto inserted = db_.Exec(kInsertRecord, RecordParameters(r));
  if (const auto* error = std::get_if<PgError>(&inserted)) {
    if (error->sqlstate == "23503") {
      return RegisterError{
          {MessageCode::CorrectedRecordUnknown, {std::to_string(r.replaces.value_or(0))}}};
    }
    return Refusal(*error, action, RegisterRole::Inspector);
  }
  if (std::get<PgResult>(inserted).affected() == 0) {
    return RegisterError{{MessageCode::GaugeNumberUnknownUnwritten, {r.gauge_number}}};
  }
  for (size_t i = 0; i < r.readings.size(); ++i) {
    const MeasuredReading& reading = r.readings[i];
    const auto done = db_.Exec(
        "INSERT INTO readings (record_id, seq, value, pitch_diameter, position) "
        "VALUES ($1, $2, $3, $4, $5)",
        {std::to_string(r.id), std::to_string(i + 1), ExactText(reading.value),
         ExactText(reading.pitch_diameter), reading.position});
    if (const auto* error = std::get_if<PgError>(&done)) {
      return Refusal(*error, action, RegisterRole::Inspector);
    }
  }
  for (size_t i = 0; i < r.checks.size(); ++i) {
    const CheckPlugResult& check = r.checks[i];
    const auto done = db_.Exec(
        "INSERT INTO check_results (record_id, seq, plug, passed, gauge_number) "
        "VALUES ($1, $2, $3, $4, $5)",
        {std::to_string(r.id), std::to_string(i + 1), check.plug, check.passed ? "1" : "0",
         check.gauge_number});
    if (const auto* error = std::get_if<PgError>(&done)) {
      return Refusal(*error, action, RegisterRole::Inspector);
    }
  }
  return std::nullopt;
}

std::variant<std::vector<long long>, RegisterError> RegisterServer::AppendRecords(
    const std::vector<InspectionRecord>& records, const Seal& seal) {
  constexpr MessageCode action = MessageCode::ActionRecordInspection;
  std::vector<long long> ids;
  auto failed = Change(
      [&]() -> std::optional<RegisterError> {
        // One desk at a time takes the next number and the last link; the others wait.
        if (const auto locked = db_.Exec(kChainLock); std::holds_alternative<PgError>(locked)) {
          return Refusal(std::get<PgError>(locked), action, RegisterRole::Inspector);
        }
        const auto signer = db_.Exec(
            "SELECT coalesce((SELECT display_name FROM people WHERE login = session_user), "
            "session_user::text)");
        if (const auto* error = std::get_if<PgError>(&signer)) {
          return Refusal(*error, action, RegisterRole::Inspector);
        }
        for (const InspectionRecord& record : records) {
          const auto last = db_.Exec("SELECT id, hash FROM records ORDER BY id DESC LIMIT 1");
          if (const auto* error = std::get_if<PgError>(&last)) {
            return Refusal(*error, action, RegisterRole::Inspector);
          }
          RecordLink link;
          if (const PgResult& row = std::get<PgResult>(last); row.rows() == 1) {
            link = {std::stoll(row.Cell(0, 0).value_or("0")), row.Cell(0, 1).value_or("")};
          }
          InspectionRecord signed_record = record;
          // On a server the record is signed by who is signed in (the server writes the
          // same), except a record made elsewhere and brought in whole.
          if (!record.imported)
            signed_record.inspector = std::get<PgResult>(signer).Cell(0, 0).value_or("");
          const InspectionRecord sealed = seal(signed_record, link);
          if (auto refused = InsertRecord(sealed, action)) return refused;
          ids.push_back(sealed.id);
        }
        return std::nullopt;
      },
      action, RegisterRole::Inspector);
  if (failed) return *failed;
  return ids;
}

std::vector<InspectionRecord> RegisterServer::Records(
    const std::optional<std::string>& gauge_number) const {
  std::vector<InspectionRecord> records;
  const std::string chosen = gauge_number ? " WHERE g.number = $1" : "";
  const std::vector<PgParameter> parameters =
      gauge_number ? std::vector<PgParameter>{*gauge_number} : std::vector<PgParameter>{};
  const auto rows =
      Read(std::string("SELECT ") + kRecordColumns +
               " FROM records r JOIN gauges g ON g.id = r.gauge_id" + chosen + " ORDER BY r.id",
           parameters);
  const auto readings = Read(
      "SELECT x.record_id, x.value, x.pitch_diameter, x.position FROM readings x "
      "JOIN records r ON r.id = x.record_id JOIN gauges g ON g.id = r.gauge_id" +
          chosen + " ORDER BY x.record_id, x.seq",
      parameters);
  const auto checks = Read(
      "SELECT x.record_id, x.plug, x.passed, x.gauge_number FROM check_results x "
      "JOIN records r ON r.id = x.record_id JOIN gauges g ON g.id = r.gauge_id" +
          chosen + " ORDER BY x.record_id, x.seq",
      parameters);
  if (!rows || !readings || !checks) return records;
  std::map<long long, size_t> index;
  for (int row = 0; row < rows->rows(); ++row) {
    records.push_back(RecordOfRow(*rows, row));
    index[records.back().id] = records.size() - 1;
  }
  for (int row = 0; row < readings->rows(); ++row) {
    const auto text = [&](int column) { return readings->Cell(row, column).value_or(""); };
    records[index.at(std::stoll(text(0)))].readings.push_back(
        {std::strtod(text(1).c_str(), nullptr), std::strtod(text(2).c_str(), nullptr), text(3)});
  }
  for (int row = 0; row < checks->rows(); ++row) {
    const auto text = [&](int column) { return checks->Cell(row, column).value_or(""); };
    records[index.at(std::stoll(text(0)))].checks.push_back({text(1), text(2) == "1", text(3)});
  }
  return records;
}

std::optional<std::string> RegisterServer::GaugeOfRecord(long long id) const {
  const auto row =
      Read("SELECT g.number FROM records r JOIN gauges g ON g.id = r.gauge_id WHERE r.id = $1",
           {std::to_string(id)});
  if (!row || row->rows() == 0) return std::nullopt;
  return row->Cell(0, 0);
}

std::vector<RecordLink> RegisterServer::Links() const {
  std::vector<RecordLink> links;
  const auto rows = Read("SELECT id, hash FROM records ORDER BY id");
  if (!rows) return links;
  for (int row = 0; row < rows->rows(); ++row) {
    links.push_back(
        {std::stoll(rows->Cell(row, 0).value_or("0")), rows->Cell(row, 1).value_or("")});
  }
  return links;
}

std::vector<BrokenLink> RegisterServer::WearSidesAmiss(
    const std::optional<std::string>& gauge_number) const {
  std::vector<BrokenLink> amiss;
  const auto rows =
      Read("SELECT r.id, g.number FROM records r JOIN gauges g ON g.id = r.gauge_id WHERE " +
               std::string(gauge_number ? "g.number = $1 AND " : "") +
               "r.wear_side IS DISTINCT FROM (SELECT CASE WHEN r.kind LIKE '%环规' THEN "
               "max(pitch_diameter) ELSE min(pitch_diameter) END FROM readings WHERE record_id = "
               "r.id) ORDER BY r.id",
           gauge_number ? std::vector<PgParameter>{*gauge_number} : std::vector<PgParameter>{});
  if (!rows) return amiss;
  for (int row = 0; row < rows->rows(); ++row) {
    amiss.push_back(
        {std::stoll(rows->Cell(row, 0).value_or("0")), rows->Cell(row, 1).value_or("")});
  }
  return amiss;
}

long long RegisterServer::RecordCount() const {
  const auto rows = Read("SELECT count(*) FROM records");
  return rows ? std::stoll(rows->Cell(0, 0).value_or("0")) : 0;
}

}  // namespace threadgauge
