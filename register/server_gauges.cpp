// The gauges of a register on a server: each change stamped by the server with who and when,
// and refused when someone else changed the gauge since it was read.
#include <unordered_map>

#include "server_store.h"

namespace threadgauge {
namespace {

constexpr const char* kGaugeColumns =
    "g.number, g.thread, g.kind, g.length, g.maker, g.serial, g.since, g.interval_months, "
    "g.department, g.keeper, g.state, g.notes, g.revision";
constexpr int kGaugeColumnCount = 13;

std::vector<PgParameter> GaugeParameters(const GaugeEntry& g) {
  return {g.number,     g.thread, g.kind,  g.length,
          g.maker,      g.serial, g.since, std::to_string(g.interval_months),
          g.department, g.keeper, g.state, g.notes};
}

GaugeEntry GaugeOfRow(const PgResult& rows, int row) {
  const auto text = [&](int column) { return rows.Cell(row, column).value_or(""); };
  GaugeEntry g;
  g.number = text(0);
  g.thread = text(1);
  g.kind = text(2);
  g.length = text(3);
  g.maker = text(4);
  g.serial = text(5);
  g.since = text(6);
  g.interval_months = std::stoi(text(7));
  g.department = text(8);
  g.keeper = text(9);
  g.state = text(10);
  g.notes = text(11);
  g.revision = std::stoll(text(12));
  return g;
}

}  // namespace

std::optional<RegisterError> RegisterServer::InsertGauges(const std::vector<GaugeEntry>& gauges) {
  constexpr MessageCode action = MessageCode::ActionAddGauge;
  return Change([&] { return InsertGaugeRows(gauges, action); }, action, RegisterRole::Keeper);
}

std::optional<RegisterError> RegisterServer::InsertGaugeRows(const std::vector<GaugeEntry>& gauges,
                                                             MessageCode action) {
  for (const GaugeEntry& gauge : gauges) {
    const auto done = db_.Exec(
        "INSERT INTO gauges (number, thread, kind, length, maker, serial, since, "
        "interval_months, department, keeper, state, notes) VALUES ($1, $2, $3, $4, $5, $6, $7, "
        "$8, $9, $10, $11, $12)",
        GaugeParameters(gauge));
    if (const auto* error = std::get_if<PgError>(&done)) {
      if (error->sqlstate == "23505") {
        return RegisterError{{MessageCode::GaugeNumberTaken, {gauge.number}}};
      }
      return Refusal(*error, action, RegisterRole::Keeper);
    }
  }
  return std::nullopt;
}

std::optional<RegisterError> RegisterServer::Receive(const std::vector<GaugeEntry>& gauges,
                                                     const std::vector<InspectionRecord>& records) {
  constexpr MessageCode action = MessageCode::ActionCopyRegister;
  return Change(
      [&]() -> std::optional<RegisterError> {
        const auto held = db_.Exec("SELECT count(*) FROM gauges");
        if (const auto* error = std::get_if<PgError>(&held)) {
          return Refusal(*error, action, RegisterRole::Admin);
        }
        if (std::get<PgResult>(held).Cell(0, 0) != "0") {
          return RegisterError{{MessageCode::CopyTargetNotEmpty, {where_}}};
        }
        // Only the owner's records keep the signatures they bring: anyone else's copy would
        // be signed afresh by the server, and its chain would no longer hold.
        const auto owner = db_.Exec(
            "SELECT session_user = (SELECT r.rolname FROM pg_class c JOIN pg_roles r "
            "ON r.oid = c.relowner WHERE c.oid = 'records'::regclass)");
        if (const auto* error = std::get_if<PgError>(&owner)) {
          return Refusal(*error, action, RegisterRole::Admin);
        }
        if (!records.empty() && std::get<PgResult>(owner).Cell(0, 0) != "t") {
          return RegisterError{{MessageCode::CopyNeedsOwner, {}, {Message{action}}}};
        }
        if (auto failed = InsertGaugeRows(gauges, action)) return failed;
        for (const InspectionRecord& record : records) {
          if (auto failed = InsertRecord(record, action)) return failed;
        }
        return std::nullopt;
      },
      action, RegisterRole::Admin);
}

std::optional<RegisterError> RegisterServer::UpdateGauge(const GaugeEntry& gauge) {
  return Change(
      [&]() -> std::optional<RegisterError> {
        std::vector<PgParameter> parameters = GaugeParameters(gauge);
        parameters.push_back(std::to_string(gauge.revision));
        const auto done = db_.Exec(
            "UPDATE gauges SET thread = $2, kind = $3, length = $4, maker = $5, serial = $6, "
            "since = $7, interval_months = $8, department = $9, keeper = $10, state = $11, "
            "notes = $12 WHERE number = $1 AND ($13::bigint = 0 OR revision = $13::bigint)",
            parameters);
        if (const auto* error = std::get_if<PgError>(&done)) {
          return Refusal(*error, MessageCode::ActionChangeGauge, RegisterRole::Keeper);
        }
        if (std::get<PgResult>(done).affected() == 1) return std::nullopt;
        // Not changed: the gauge is not there, or someone changed it since it was read.
        const auto now = db_.Exec(
            "SELECT g.state, CASE WHEN g.changed_at::date = current_date "
            "THEN to_char(g.changed_at, 'HH24:MI') "
            "ELSE to_char(g.changed_at, 'YYYY-MM-DD HH24:MI') END, "
            "coalesce(p.display_name, g.changed_by), EXISTS (SELECT 1 FROM gauge_history h "
            "WHERE h.gauge_number = g.number AND h.field = 'state' AND h.at = g.changed_at) "
            "FROM gauges g "
            "LEFT JOIN people p ON p.login = g.changed_by WHERE g.number = $1",
            {gauge.number});
        if (const auto* error = std::get_if<PgError>(&now)) {
          return Refusal(*error, MessageCode::ActionChangeGauge, RegisterRole::Keeper);
        }
        const PgResult& row = std::get<PgResult>(now);
        if (row.rows() == 0)
          return RegisterError{{MessageCode::GaugeNumberUnknown, {gauge.number}}};
        // Retired by that last change, or changed otherwise.
        const bool retired = row.Cell(0, 0) == kRetired && row.Cell(0, 3) == "t";
        return RegisterError{
            {retired ? MessageCode::GaugeRetiredMeanwhile : MessageCode::GaugeChangedMeanwhile,
             {gauge.number, row.Cell(0, 1).value_or(""), row.Cell(0, 2).value_or("")}}};
      },
      MessageCode::ActionChangeGauge, RegisterRole::Keeper);
}

std::optional<GaugeEntry> RegisterServer::FindGauge(const std::string& number) const {
  const auto rows =
      Read(std::string("SELECT ") + kGaugeColumns + " FROM gauges g WHERE g.number = $1", {number});
  if (!rows || rows->rows() == 0) return std::nullopt;
  return GaugeOfRow(*rows, 0);
}

std::vector<GaugeEntry> RegisterServer::Gauges() const {
  std::vector<GaugeEntry> gauges;
  // Byte order, as the file sorts: the server's collation would sort by its own language.
  const auto rows = Read(std::string("SELECT ") + kGaugeColumns +
                         " FROM gauges g ORDER BY g.number COLLATE \"C\"");
  if (!rows) return gauges;
  for (int row = 0; row < rows->rows(); ++row) gauges.push_back(GaugeOfRow(*rows, row));
  return gauges;
}

std::optional<std::vector<GaugeChange>> RegisterServer::History(const std::string& number) const {
  const auto rows = Read(
      "SELECT to_char(h.at, 'YYYY-MM-DD HH24:MI'), coalesce(p.display_name, h.login), h.field, "
      "coalesce(h.before, ''), coalesce(h.after, '') FROM gauge_history h "
      "LEFT JOIN people p ON p.login = h.login WHERE h.gauge_number = $1 ORDER BY h.id",
      {number});
  if (!rows) return std::nullopt;
  std::vector<GaugeChange> changes;
  for (int row = 0; row < rows->rows(); ++row) {
    const auto text = [&](int column) { return rows->Cell(row, column).value_or(""); };
    changes.push_back({text(0), text(1), text(2), text(3), text(4)});
  }
  return changes;
}

void RegisterServer::ForEachGauge(
    const std::function<void(GaugeEntry&, const std::vector<RecordFacts>&)>& visit) const {
  // Two statements on one snapshot: each gauge once, each record's facts once, joined here
  // (a join on the server would send every gauge's columns again with each of its records).
  Read("START TRANSACTION ISOLATION LEVEL REPEATABLE READ READ ONLY");
  const auto gauges = Read(std::string("SELECT ") + kGaugeColumns +
                           ", g.id FROM gauges g ORDER BY g.number COLLATE \"C\"");
  const auto records = Read(
      "SELECT gauge_id, id, date, verdict, kind LIKE '%环规', replaces, wear_limit, wear_side "
      "FROM records ORDER BY gauge_id, id");
  Read("COMMIT");
  if (!gauges || !records) return;
  std::unordered_map<long long, std::vector<RecordFacts>> facts;
  facts.reserve(static_cast<size_t>(gauges->rows()));
  for (int row = 0; row < records->rows(); ++row) {
    const auto text = [&](int column) { return records->Cell(row, column); };
    RecordFacts f;
    f.id = std::stoll(text(1).value_or("0"));
    f.date = text(2).value_or("");
    f.verdict = text(3).value_or("");
    f.ring = text(4) == "t";
    if (const auto replaces = text(5)) f.replaces = std::stoll(*replaces);
    f.wear_limit = OptionalNumber(text(6));
    f.wear_side = OptionalNumber(text(7));
    facts[std::stoll(text(0).value_or("0"))].push_back(std::move(f));
  }
  const std::vector<RecordFacts> none;
  for (int row = 0; row < gauges->rows(); ++row) {
    GaugeEntry gauge = GaugeOfRow(*gauges, row);
    const auto found = facts.find(std::stoll(gauges->Cell(row, kGaugeColumnCount).value_or("0")));
    visit(gauge, found == facts.end() ? none : found->second);
  }
}

}  // namespace threadgauge
