#include "register/gauge_register.h"

#include <sqlite3.h>

#include <algorithm>
#include <map>
#include <system_error>

#include "register_schema.h"
#include "tolerance/utf8.h"

namespace threadgauge {
namespace {

constexpr int kBusyMs = 5000;  // another program's write is waited for this long

std::string Name(const std::filesystem::path& path) { return "“" + Utf8(path) + "”"; }

RegisterError EngineError(const std::filesystem::path& path, int code) {
  if ((code & 0xff) == SQLITE_BUSY || (code & 0xff) == SQLITE_LOCKED) {
    return {"量规台账 " + Name(path) + " 正被另一程序写入，请稍后再试；未写入任何内容", true};
  }
  return {"量规台账 " + Name(path) + " 未能写入（" + DescribeEngineCode(code) + "）；台账保持原样",
          false};
}

std::optional<long long> ReadInteger(const SqliteConnection& db, const char* sql) {
  auto statement = db.Prepare(sql);
  if (!statement || statement->Next() != SqliteStatement::Step::Row) return std::nullopt;
  return static_cast<long long>(statement->Read(0).number);
}

std::string TextOf(const Cell& cell) {
  if (cell.kind == Cell::Kind::Text) return cell.text;
  if (cell.kind == Cell::Kind::Integer) return std::to_string(static_cast<long long>(cell.number));
  return "";
}
std::optional<double> NumberOf(const Cell& cell) {
  if (cell.kind == Cell::Kind::Integer || cell.kind == Cell::Kind::Real) return cell.number;
  return std::nullopt;
}

void BindOptional(SqliteStatement& statement, int index, const std::optional<double>& value) {
  if (value) {
    statement.BindReal(index, *value);
  } else {
    statement.BindNull(index);
  }
}

// The copy of a file before its migration: "量规台账.db.v1.bak", "-2", … when taken.
std::filesystem::path BackupBeside(const std::filesystem::path& path, int version) {
  std::filesystem::path backup = path;
  backup += ".v" + std::to_string(version) + ".bak";
  for (int n = 2; std::filesystem::exists(backup); ++n) {
    backup = path;
    backup += ".v" + std::to_string(version) + ".bak-" + std::to_string(n);
  }
  return backup;
}

struct Transaction {
  const SqliteConnection& db;
  bool done = false;
  ~Transaction() {
    if (!done) db.Exec("ROLLBACK");
  }
  std::optional<int> Commit() {
    done = true;
    if (auto failed = db.Exec("COMMIT")) {
      db.Exec("ROLLBACK");
      return failed;
    }
    return std::nullopt;
  }
};

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

constexpr const char* kRecordColumns =
    "r.id, g.number, r.date, r.inspector, r.temperature, r.method, r.element, "
    "r.element_certificate, r.major, r.uncertainty, r.notes, r.replaces, r.thread, r.kind, "
    "r.length, r.database_file, r.database_hash, r.program_version, r.limit_low, r.limit_high, "
    "r.wear_limit, r.has_wear_limit, r.limits_note, r.verdict, r.verdict_text, r.margin_um, "
    "r.created";

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
  return r;
}

// A file that is no register must not be written to: it may be anything of the user's.
std::optional<RegisterError> CheckIsRegister(const SqliteConnection& db,
                                             const std::filesystem::path& path, bool& empty) {
  const auto id = ReadInteger(db, "PRAGMA application_id");
  const auto tables = ReadInteger(db, "SELECT count(*) FROM sqlite_master");
  if (!id || !tables) {
    return RegisterError{Name(path) + " 不是量规台账（不是可读的 SQLite 数据库）"};
  }
  empty = *id == 0 && *tables == 0;
  if (!empty && *id != kRegisterApplicationId) {
    return RegisterError{Name(path) + " 不是量规台账（是另一种数据库）"};
  }
  return std::nullopt;
}

std::optional<RegisterError> Create(const SqliteConnection& db, const std::filesystem::path& path) {
  db.Exec("PRAGMA journal_mode = WAL");
  Transaction transaction{db};
  if (auto failed = db.Exec("BEGIN IMMEDIATE")) return EngineError(path, *failed);
  for (const std::string& sql :
       {std::string(kRegisterSchema), std::string(kKeepRecords),
        "PRAGMA application_id = " + std::to_string(kRegisterApplicationId),
        "PRAGMA user_version = " + std::to_string(GaugeRegister::kVersion)}) {
    if (auto failed = db.Exec(sql)) return EngineError(path, *failed);
  }
  if (auto failed = transaction.Commit()) return EngineError(path, *failed);
  return std::nullopt;
}

std::optional<RegisterError> MigrateFrom1(const SqliteConnection& db,
                                          const std::filesystem::path& path, std::string& note) {
  const std::filesystem::path backup = BackupBeside(path, 1);
  auto copy = db.Prepare("VACUUM INTO ?");
  if (!copy) return EngineError(path, db.ErrorCode());
  copy->BindText(1, Utf8(backup));
  if (copy->Next() == SqliteStatement::Step::Error) {
    return RegisterError{"量规台账 " + Name(path) + " 需要升级，但未能先把它复制为 " +
                         Name(backup) + "（" + DescribeEngineCode(copy->ErrorCode()) +
                         "）；台账未改动"};
  }
  Transaction transaction{db};
  if (auto failed = db.Exec("BEGIN IMMEDIATE")) return EngineError(path, *failed);
  for (const std::string& sql : {std::string(kMigrateFromVersion1), std::string(kKeepRecords),
                                 std::string("PRAGMA user_version = 2")}) {
    if (auto failed = db.Exec(sql)) return EngineError(path, *failed);
  }
  if (auto failed = transaction.Commit()) return EngineError(path, *failed);
  note = "量规台账已从版本 1 升级到版本 2；原文件已复制为 " + Name(backup);
  return std::nullopt;
}

}  // namespace

const char* MethodKey(InspectionMethod method) {
  switch (method) {
    case InspectionMethod::Wires:
      return "wires";
    case InspectionMethod::Balls:
      return "balls";
    case InspectionMethod::CheckPlugs:
      return "checks";
  }
  return "wires";
}

std::optional<InspectionMethod> MethodOfKey(const std::string& key) {
  for (auto method :
       {InspectionMethod::Wires, InspectionMethod::Balls, InspectionMethod::CheckPlugs}) {
    if (key == MethodKey(method)) return method;
  }
  return std::nullopt;
}

std::filesystem::path DefaultRegisterPath(const std::filesystem::path& user_directory) {
  return user_directory / "量规台账.db";
}

std::variant<GaugeRegister, RegisterError> GaugeRegister::OpenExisting(
    const std::filesystem::path& path) {
  std::error_code error;
  if (!std::filesystem::exists(path, error)) {
    return RegisterError{"量规台账 " + Name(path) +
                         " 不存在（先用 gauges add 或 gauges import 登记量规）"};
  }
  return Open(path);
}

std::variant<GaugeRegister, RegisterError> GaugeRegister::Open(const std::filesystem::path& path) {
  std::error_code error;
  const bool existed = std::filesystem::exists(path, error);
  if (!existed) {
    std::filesystem::create_directories(path.parent_path(), error);
    auto created = SqliteConnection::CreateFile(path);
    if (!created) {
      return RegisterError{"无法创建量规台账 " + Name(path) + "（文件夹不可写？）"};
    }
  }
  auto [db, code] = SqliteConnection::OpenReadWrite(path, kBusyMs);
  bool read_only = false;
  std::string note;
  if (!db) {
    std::tie(db, code) = SqliteConnection::OpenReadOnlyShared(path, kBusyMs);
    if (!db) return EngineError(path, code);
    read_only = true;
    note = "量规台账 " + Name(path) + " 只能读取（没有写入权限）";
  }
  bool empty = false;
  if (auto refused = CheckIsRegister(*db, path, empty)) return *refused;
  if (empty) {
    if (read_only) return RegisterError{"量规台账 " + Name(path) + " 是空文件且不可写"};
    if (auto failed = Create(*db, path)) return *failed;
  }
  const long long version = ReadInteger(*db, "PRAGMA user_version").value_or(0);
  if (version > kVersion) {
    auto [reader, reader_code] = SqliteConnection::OpenReadOnlyShared(path, kBusyMs);
    if (!reader) return EngineError(path, reader_code);
    return GaugeRegister(std::move(*reader), path, true,
                         "量规台账 " + Name(path) + " 由较新版本的程序写入（版本 " +
                             std::to_string(version) + "），本程序只读打开它");
  }
  if (version < 1) return RegisterError{Name(path) + " 不是量规台账（没有版本号）"};
  if (version == 1) {
    if (read_only) {
      return RegisterError{"量规台账 " + Name(path) + " 需要升级到版本 2，但它不可写"};
    }
    if (auto failed = MigrateFrom1(*db, path, note)) return *failed;
  }
  db->Exec("PRAGMA foreign_keys = ON");
  if (!read_only) db->Exec("PRAGMA journal_mode = WAL");
  return GaugeRegister(std::move(*db), path, read_only, note);
}

std::optional<RegisterError> GaugeRegister::Write(const auto& change) {
  if (read_only_) {
    return RegisterError{"量规台账 " + Name(path_) + " 只读打开，不能写入" +
                         (note_.empty() ? "" : "（" + note_ + "）")};
  }
  Transaction transaction{db_};
  if (auto failed = db_.Exec("BEGIN IMMEDIATE")) return EngineError(path_, *failed);
  if (auto refused = change()) return refused;
  if (auto failed = transaction.Commit()) return EngineError(path_, *failed);
  return std::nullopt;
}

std::optional<RegisterError> GaugeRegister::Add(const GaugeEntry& gauge) { return AddAll({gauge}); }

std::optional<RegisterError> GaugeRegister::AddAll(const std::vector<GaugeEntry>& gauges) {
  return Write([&]() -> std::optional<RegisterError> {
    auto insert = db_.Prepare(std::string("INSERT INTO gauges (") + kGaugeColumns +
                              ") VALUES (?,?,?,?,?,?,?,?,?,?,?,?)");
    if (!insert) return EngineError(path_, db_.ErrorCode());
    for (const GaugeEntry& gauge : gauges) {
      insert->Reset();
      BindGauge(*insert, gauge);
      if (insert->Next() == SqliteStatement::Step::Error) {
        if ((insert->ErrorCode() & 0xff) == SQLITE_CONSTRAINT) {
          return RegisterError{"编号 " + gauge.number + " 已在量规台账中；未写入任何内容"};
        }
        return EngineError(path_, insert->ErrorCode());
      }
    }
    return std::nullopt;
  });
}

std::optional<RegisterError> GaugeRegister::Update(const GaugeEntry& gauge) {
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
      return RegisterError{"编号 " + gauge.number + " 不在量规台账中"};
    }
    return std::nullopt;
  });
}

std::optional<RegisterError> GaugeRegister::SetState(const std::string& number,
                                                     const std::string& state) {
  auto gauge = Find(number);
  if (!gauge) return RegisterError{"编号 " + number + " 不在量规台账中"};
  gauge->state = state;
  return Update(*gauge);
}

std::optional<GaugeEntry> GaugeRegister::Find(const std::string& number) const {
  auto select =
      db_.Prepare(std::string("SELECT ") + kGaugeColumns + " FROM gauges WHERE number = ?");
  if (!select) return std::nullopt;
  select->BindText(1, number);
  if (select->Next() != SqliteStatement::Step::Row) return std::nullopt;
  return ReadGauge(*select);
}

std::vector<GaugeEntry> GaugeRegister::Gauges() const {
  std::vector<GaugeEntry> gauges;
  auto select =
      db_.Prepare(std::string("SELECT ") + kGaugeColumns + " FROM gauges ORDER BY number");
  if (!select) return gauges;
  while (select->Next() == SqliteStatement::Step::Row) gauges.push_back(ReadGauge(*select));
  return gauges;
}

std::variant<long long, RegisterError> GaugeRegister::AddRecord(const InspectionRecord& r) {
  long long id = 0;
  auto failed = Write([&]() -> std::optional<RegisterError> {
    auto insert = db_.Prepare(
        "INSERT INTO records (gauge_id, date, inspector, temperature, method, element, "
        "element_certificate, major, uncertainty, notes, replaces, thread, kind, length, "
        "database_file, database_hash, program_version, limit_low, limit_high, wear_limit, "
        "has_wear_limit, limits_note, verdict, verdict_text, margin_um, created) "
        "SELECT id, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17, "
        "?18, ?19, ?20, ?21, ?22, ?23, ?24, ?25, datetime('now', 'localtime') "
        "FROM gauges WHERE number = ?1");
    if (!insert) return EngineError(path_, db_.ErrorCode());
    insert->BindText(1, r.gauge_number);
    insert->BindText(2, r.date);
    insert->BindText(3, r.inspector);
    insert->BindReal(4, r.temperature);
    insert->BindText(5, MethodKey(r.method));
    BindOptional(*insert, 6, r.element);
    insert->BindText(7, r.element_certificate);
    BindOptional(*insert, 8, r.major);
    BindOptional(*insert, 9, r.uncertainty);
    insert->BindText(10, r.notes);
    if (r.replaces) {
      insert->BindInteger(11, *r.replaces);
    } else {
      insert->BindNull(11);
    }
    insert->BindText(12, r.thread);
    insert->BindText(13, r.kind);
    insert->BindText(14, r.length);
    insert->BindText(15, r.database_file);
    insert->BindText(16, r.database_hash);
    insert->BindText(17, r.program_version);
    BindOptional(*insert, 18, r.limit_low);
    BindOptional(*insert, 19, r.limit_high);
    BindOptional(*insert, 20, r.wear_limit);
    insert->BindInteger(21, r.has_wear_limit ? 1 : 0);
    insert->BindText(22, r.limits_note);
    insert->BindText(23, r.verdict);
    insert->BindText(24, r.verdict_text);
    BindOptional(*insert, 25, r.margin_um);
    if (insert->Next() == SqliteStatement::Step::Error) {
      if ((insert->ErrorCode() & 0xff) == SQLITE_CONSTRAINT) {
        return RegisterError{"被更正的记录 " + std::to_string(r.replaces.value_or(0)) +
                             " 不在量规台账中；未写入任何内容"};
      }
      return EngineError(path_, insert->ErrorCode());
    }
    if (ReadInteger(db_, "SELECT changes()").value_or(0) == 0) {
      return RegisterError{"编号 " + r.gauge_number + " 不在量规台账中；未写入任何内容"};
    }
    id = db_.LastInsertRowId();
    auto reading = db_.Prepare(
        "INSERT INTO readings (record_id, seq, value, pitch_diameter) VALUES (?,?,?,?)");
    if (!reading) return EngineError(path_, db_.ErrorCode());
    for (size_t i = 0; i < r.readings.size(); ++i) {
      reading->Reset();
      reading->BindInteger(1, id);
      reading->BindInteger(2, static_cast<long long>(i + 1));
      reading->BindReal(3, r.readings[i].value);
      reading->BindReal(4, r.readings[i].pitch_diameter);
      if (reading->Next() == SqliteStatement::Step::Error) {
        return EngineError(path_, reading->ErrorCode());
      }
    }
    auto check = db_.Prepare("INSERT INTO check_results (record_id, plug, passed) VALUES (?,?,?)");
    if (!check) return EngineError(path_, db_.ErrorCode());
    for (const CheckPlugResult& result : r.checks) {
      check->Reset();
      check->BindInteger(1, id);
      check->BindText(2, result.plug);
      check->BindInteger(3, result.passed ? 1 : 0);
      if (check->Next() == SqliteStatement::Step::Error) {
        return EngineError(path_, check->ErrorCode());
      }
    }
    return std::nullopt;
  });
  if (failed) return *failed;
  return id;
}

std::vector<InspectionRecord> GaugeRegister::RecordsOf(const std::string& number) const {
  std::vector<InspectionRecord> records;
  auto select = db_.Prepare(std::string("SELECT ") + kRecordColumns +
                            " FROM records r JOIN gauges g ON g.id = r.gauge_id"
                            " WHERE g.number = ? ORDER BY r.date, r.id");
  if (!select) return records;
  select->BindText(1, number);
  while (select->Next() == SqliteStatement::Step::Row) records.push_back(ReadRecord(*select));
  auto readings =
      db_.Prepare("SELECT value, pitch_diameter FROM readings WHERE record_id = ? ORDER BY seq");
  auto checks = db_.Prepare("SELECT plug, passed FROM check_results WHERE record_id = ?");
  std::map<long long, long long> replaced_by;
  for (const InspectionRecord& r : records) {
    if (r.replaces) replaced_by[*r.replaces] = r.id;
  }
  for (InspectionRecord& r : records) {
    if (auto it = replaced_by.find(r.id); it != replaced_by.end()) r.replaced_by = it->second;
    if (readings) {
      readings->Reset();
      readings->BindInteger(1, r.id);
      while (readings->Next() == SqliteStatement::Step::Row) {
        r.readings.push_back({readings->Read(0).number, readings->Read(1).number});
      }
    }
    if (checks) {
      checks->Reset();
      checks->BindInteger(1, r.id);
      while (checks->Next() == SqliteStatement::Step::Row) {
        r.checks.push_back({TextOf(checks->Read(0)), checks->Read(1).number != 0});
      }
    }
  }
  return records;
}

std::optional<InspectionRecord> GaugeRegister::Record(long long id) const {
  auto select = db_.Prepare(
      "SELECT g.number FROM records r JOIN gauges g ON g.id = r.gauge_id WHERE r.id = ?");
  if (!select) return std::nullopt;
  select->BindInteger(1, id);
  if (select->Next() != SqliteStatement::Step::Row) return std::nullopt;
  for (InspectionRecord& r : RecordsOf(TextOf(select->Read(0)))) {
    if (r.id == id) return std::move(r);
  }
  return std::nullopt;
}

std::vector<InspectionRecord> CountingRecords(const std::vector<InspectionRecord>& records) {
  std::vector<InspectionRecord> counting;
  std::copy_if(records.begin(), records.end(), std::back_inserter(counting),
               [](const InspectionRecord& r) { return !r.replaced_by; });
  return counting;
}

}  // namespace threadgauge
