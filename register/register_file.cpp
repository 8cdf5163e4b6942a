// Opening the register file: made on first use, told from every other file, migrated after
// a copy, checked for damage, and written only in transactions after the day's backup.
#include "register_file.h"

#include <fstream>
#include <system_error>

#include "platform/utf8.h"
#include "register/gauge_register.h"
#include "register/register_backup.h"
#include "register_schema.h"
#include "register_sql.h"

namespace threadgauge {
namespace {

// The copy of a file before its migration: "量规台账.db.v1.bak", "-2", … when taken.
std::filesystem::path BackupBeside(const std::filesystem::path& path, long long version) {
  std::filesystem::path backup = path;
  backup += ".v" + std::to_string(version) + ".bak";
  for (int n = 2; std::filesystem::exists(backup); ++n) {
    backup = path;
    backup += ".v" + std::to_string(version) + ".bak-" + std::to_string(n);
  }
  return backup;
}

// What a file holds: the engine's code when it cannot even be read.
struct Probe {
  long long application_id = 0, tables = 0, version = 0;
  int failure = 0;
};
Probe ProbeOf(const SqliteConnection& db) {
  Probe probe;
  for (auto [sql, into] : {std::pair{"PRAGMA application_id", &probe.application_id},
                           {"SELECT count(*) FROM sqlite_master", &probe.tables},
                           {"PRAGMA user_version", &probe.version}}) {
    auto statement = db.Prepare(sql);
    if (!statement) {
      probe.failure = db.ErrorCode();
      return probe;
    }
    if (statement->Next() != SqliteStatement::Step::Row) {
      probe.failure = statement->ErrorCode();
      return probe;
    }
    *into = static_cast<long long>(statement->Read(0).number);
  }
  return probe;
}

std::optional<int> CreateTriggers(const SqliteConnection& db) {
  for (const RegisterTrigger& trigger : RegisterTriggers()) {
    if (auto failed = db.Exec(trigger.sql)) return failed;
  }
  return std::nullopt;
}

std::optional<RegisterError> Create(const SqliteConnection& db, const std::filesystem::path& path) {
  if (auto failed = db.Exec("PRAGMA journal_mode = WAL")) return EngineError(path, *failed);
  Transaction transaction{db};
  if (auto failed = db.Exec("BEGIN IMMEDIATE")) return EngineError(path, *failed);
  if (auto failed = db.Exec(kRegisterSchema)) return EngineError(path, *failed);
  if (auto failed = CreateTriggers(db)) return EngineError(path, *failed);
  for (const std::string& sql :
       {"PRAGMA application_id = " + std::to_string(kRegisterApplicationId),
        "PRAGMA user_version = " + std::to_string(GaugeRegister::kVersion)}) {
    if (auto failed = db.Exec(sql)) return EngineError(path, *failed);
  }
  if (auto failed = transaction.Commit()) return EngineError(path, *failed);
  return std::nullopt;
}

// Every record gets its link in the chain, in the order the records were made.
std::optional<int> ChainExistingRecords(const SqliteConnection& db) {
  auto update = db.Prepare("UPDATE records SET hash = ? WHERE id = ?");
  if (!update) return db.ErrorCode();
  std::string previous;
  for (InspectionRecord& record : ReadRecords(db, "ORDER BY r.id", {})) {
    record.hash = RecordHash(record, previous);
    update->Reset();
    update->BindText(1, record.hash);
    update->BindInteger(2, record.id);
    if (update->Next() == SqliteStatement::Step::Error) return update->ErrorCode();
    previous = record.hash;
  }
  return std::nullopt;
}

std::optional<RegisterError> Migrate(const SqliteConnection& db, const std::filesystem::path& path,
                                     long long version, std::optional<Message>& note) {
  const std::filesystem::path backup = BackupBeside(path, version);
  auto copy = db.Prepare("VACUUM INTO ?");
  if (!copy) return EngineError(path, db.ErrorCode());
  copy->BindText(1, Utf8(backup));
  if (copy->Next() == SqliteStatement::Step::Error) {
    return RegisterError{{MessageCode::MigrationCopyFailed,
                          {Utf8(path), Utf8(backup), std::to_string(copy->ErrorCode())}}};
  }
  Transaction transaction{db};
  if (auto failed = db.Exec("BEGIN IMMEDIATE")) return EngineError(path, *failed);
  // The old guards go first: the steps rewrite what they guard.
  for (const char* name : kEarlierTriggers) {
    if (auto failed = db.Exec(std::string("DROP TRIGGER IF EXISTS ") + name)) {
      return EngineError(path, *failed);
    }
  }
  for (long long step = version; step < GaugeRegister::kVersion; ++step) {
    if (auto failed = db.Exec(kMigrations[static_cast<size_t>(step - 1)])) {
      return EngineError(path, *failed);
    }
  }
  if (auto failed = ChainExistingRecords(db)) return EngineError(path, *failed);
  if (auto failed = CreateTriggers(db)) return EngineError(path, *failed);
  if (auto failed = db.Exec("PRAGMA user_version = " + std::to_string(GaugeRegister::kVersion))) {
    return EngineError(path, *failed);
  }
  if (auto failed = transaction.Commit()) return EngineError(path, *failed);
  note = Message{MessageCode::RegisterMigrated,
                 {std::to_string(version), std::to_string(GaugeRegister::kVersion), Utf8(backup)}};
  return std::nullopt;
}

// A file whose header says it is an SQLite database, or whose header a failing disk has
// zeroed, is a damaged register; any other is a file that is none.
bool LooksLikeDamagedDatabase(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::string header(100, '\0');
  in.read(header.data(), static_cast<std::streamsize>(header.size()));
  header.resize(static_cast<size_t>(in.gcount()));
  return header.starts_with(std::string_view("SQLite format 3\0", 16)) ||
         (!header.empty() && header.find_first_not_of('\0') == std::string::npos);
}

Message NotARegister(const std::filesystem::path& path, const Message& why) {
  Message message{MessageCode::NotARegister, {Utf8(path)}, {why}};
  if (!BackupsOf(path).empty()) message.parts.push_back(RestoreHint(path));
  return message;
}

}  // namespace

std::filesystem::path DefaultRegisterPath(const std::filesystem::path& user_directory) {
  return user_directory / u8"量规台账.db";
}

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

std::variant<GaugeRegister, RegisterError> GaugeRegister::OpenExisting(
    const std::filesystem::path& path) {
  std::error_code error;
  if (!std::filesystem::exists(path, error)) {
    return RegisterError{{MessageCode::RegisterMissing, {Utf8(path)}}};
  }
  return Open(path);
}

namespace {

// The file where the register should be: an empty file is told, a missing one made.
std::optional<RegisterError> PrepareFile(const std::filesystem::path& path) {
  std::error_code error;
  if (std::filesystem::exists(path, error)) {
    // An empty file where the user's register should be is most likely a copy that broke
    // off: it is told, never quietly made a new, empty register.
    if (std::filesystem::is_regular_file(path, error) &&
        std::filesystem::file_size(path, error) == 0 && !error) {
      Message message{MessageCode::RegisterEmptyFile, {Utf8(path)}};
      if (!BackupsOf(path).empty()) message.parts.push_back(RestoreHint(path));
      return RegisterError{message, false, true};
    }
  } else {
    std::filesystem::create_directories(path.parent_path(), error);
    if (!SqliteConnection::CreateFile(path)) {
      return RegisterError{{MessageCode::RegisterUncreatable, {Utf8(path)}}};
    }
  }
  return std::nullopt;
}

// The register's file opened for writing where it may be, else for reading, and what its
// header says.
struct OpenedFile {
  SqliteConnection db;
  Probe probe;
  bool read_only = false;
  std::optional<Message> note;
};

std::variant<OpenedFile, RegisterError> OpenFile(const std::filesystem::path& path) {
  auto [db, code] = SqliteConnection::OpenReadWrite(path, kRegisterBusyMs);
  bool read_only = false;
  std::optional<Message> note;
  if (!db) {
    std::tie(db, code) = SqliteConnection::OpenReadOnlyShared(path, kRegisterBusyMs);
    if (!db) return EngineError(path, code);
    read_only = true;
    note = Message{MessageCode::RegisterReadOnly, {Utf8(path)}};
  }
  Probe probe = ProbeOf(*db);
  if (probe.failure != 0 && FaultOf(probe.failure) != EngineFault::Damaged &&
      FaultOf(probe.failure) != EngineFault::Locked) {
    // A folder or medium nobody may write to: the engine cannot make the files it reads a
    // WAL file with, so the file is read as it lies.
    auto [fixed, fixed_code] = SqliteConnection::OpenImmutable(path);
    if (fixed) {
      db = std::move(fixed);
      probe = ProbeOf(*db);
      read_only = true;
      note = Message{MessageCode::RegisterOnReadOnlyMedium, {Utf8(path)}};
    }
  }
  if (probe.failure != 0) {
    if (FaultOf(probe.failure) == EngineFault::Locked) return EngineError(path, probe.failure);
    if (LooksLikeDamagedDatabase(path)) {
      return RegisterError{{MessageCode::RegisterUnreadable,
                            {Utf8(path), std::to_string(probe.failure)},
                            {RestoreHint(path)}},
                           false,
                           true};
    }
    return RegisterError{NotARegister(path, {MessageCode::NotReadableDatabase})};
  }
  read_only = read_only || db->IsReadOnly();
  if (read_only && !note) note = Message{MessageCode::RegisterReadOnly, {Utf8(path)}};
  return OpenedFile{std::move(*db), probe, read_only, note};
}

}  // namespace

std::variant<GaugeRegister, RegisterError> GaugeRegister::Open(const std::filesystem::path& path) {
  auto opened = RegisterFile::Open(path);
  if (auto* failed = std::get_if<RegisterError>(&opened)) return *failed;
  return GaugeRegister(std::move(std::get<std::unique_ptr<RegisterFile>>(opened)));
}

std::variant<std::unique_ptr<RegisterFile>, RegisterError> RegisterFile::Open(
    const std::filesystem::path& path) {
  constexpr int kVersion = GaugeRegister::kVersion;
  if (auto failed = PrepareFile(path)) return *failed;
  auto file = OpenFile(path);
  if (auto* failed = std::get_if<RegisterError>(&file)) return *failed;
  auto& [db, probe, read_only, note] = std::get<OpenedFile>(file);
  if (probe.application_id == 0 && probe.tables == 0) {
    if (read_only) return RegisterError{{MessageCode::RegisterEmptyReadOnly, {Utf8(path)}}};
    if (auto failed = Create(db, path)) return *failed;
    probe.version = kVersion;
  } else if (probe.application_id != kRegisterApplicationId) {
    return RegisterError{{MessageCode::RegisterOtherDatabase, {Utf8(path)}}};
  }
  if (probe.version > kVersion) {
    auto [reader, reader_code] = SqliteConnection::OpenReadOnlyShared(path, kRegisterBusyMs);
    if (!reader) return EngineError(path, reader_code);
    auto newer = std::make_unique<RegisterFile>(
        std::move(*reader), path, true,
        Message{MessageCode::RegisterNewer, {Utf8(path), std::to_string(probe.version)}});
    newer->CheckFile();
    return newer;
  }
  if (probe.version < 1) return RegisterError{{MessageCode::RegisterWithoutVersion, {Utf8(path)}}};
  auto opened = std::make_unique<RegisterFile>(std::move(db), path, read_only, note);
  opened->CheckFile();
  if (probe.version < kVersion && opened->damage_) {
    return RegisterError{{MessageCode::DamagedCannotMigrate,
                          {std::to_string(kVersion)},
                          {*opened->damage_, RestoreHint(path)}},
                         false,
                         true};
  }
  if (probe.version < kVersion) {
    if (read_only) {
      return RegisterError{
          {MessageCode::MigrationNeedsWriting, {Utf8(path), std::to_string(kVersion)}}};
    }
    if (auto failed = Migrate(opened->db_, path, probe.version, opened->note_)) return *failed;
  }
  if (auto failed = opened->db_.Exec("PRAGMA foreign_keys = ON")) {
    return EngineError(path, *failed);
  }
  if (!read_only && !opened->damage_) {
    if (auto failed = opened->db_.Exec("PRAGMA journal_mode = WAL")) {
      return EngineError(path, *failed);
    }
  }
  return opened;
}

std::string RegisterFile::Where() const { return Utf8(path_); }

void RegisterFile::CheckFile() {
  // The quick check reads every page of every table and index and their links; it misses
  // only an index that disagrees with its table, which `gauges verify` looks for. Over a
  // register of 10^4 gauges and 5·10^4 records it takes about as long as reading the file.
  auto check = db_.Prepare("PRAGMA quick_check(20)");
  if (!check) {
    damage_ = Message{MessageCode::FileCheckImpossible, {std::to_string(db_.ErrorCode())}};
    return;
  }
  std::vector<std::string> faults;
  SqliteStatement::Step step;
  while ((step = check->Next()) == SqliteStatement::Step::Row) {
    const std::string line = TextOf(check->Read(0));
    if (line != "ok") faults.push_back(line);
  }
  if (step == SqliteStatement::Step::Error) {
    damage_ = Message{MessageCode::FileCheckImpossible, {std::to_string(check->ErrorCode())}};
  } else if (!faults.empty()) {
    // The check stops at 20 faults: "20 or more".
    damage_ = faults.size() >= 20
                  ? Message{MessageCode::FileCheckManyFaults, {Utf8(path_), faults.front()}}
                  : Message{MessageCode::FileCheckFaults,
                            {Utf8(path_), std::to_string(faults.size()), faults.front()}};
  }
}

void RegisterFile::ReadFailed(int engine_code) const {
  if (!damage_)
    damage_ = Message{MessageCode::RegisterReadError, {Utf8(path_), std::to_string(engine_code)}};
}

std::optional<RegisterError> RegisterFile::Write(
    const std::function<std::optional<RegisterError>()>& change) {
  if (damage_) {
    return RegisterError{{MessageCode::DamagedNoWriting, {}, {*damage_, RestoreHint(path_)}}};
  }
  if (read_only_) {
    Message refused{MessageCode::ReadOnlyNoWriting, {Utf8(path_)}};
    if (note_) refused.parts.push_back(*note_);
    return RegisterError{refused};
  }
  if (auto failed = BackUpBeforeTodaysFirstChange()) return failed;
  Transaction transaction{db_};
  if (auto failed = db_.Exec("BEGIN IMMEDIATE")) return EngineError(path_, *failed);
  if (auto refused = change()) return refused;
  if (auto failed = transaction.Commit()) return EngineError(path_, *failed);
  return std::nullopt;
}

}  // namespace threadgauge
