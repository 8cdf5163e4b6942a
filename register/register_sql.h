#pragma once

// What the register's SQL files share: reading cells, binding optional numbers, the
// transaction guard and the register's error of an engine failure.
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "record_hash.h"
#include "register/gauge_register.h"
#include "sqlite/sqlite_database.h"

namespace threadgauge {

constexpr int kRegisterBusyMs = 5000;  // another program's write is waited for this long

RegisterError EngineError(const std::filesystem::path& path, int code);

std::optional<long long> ReadInteger(const SqliteConnection& db, const char* sql);
std::string TextOf(const Cell& cell);
std::optional<double> NumberOf(const Cell& cell);
void BindOptional(SqliteStatement& statement, int index, const std::optional<double>& value);

// Records with their readings and check results, chosen and ordered by `tail` (the SQL after
// FROM records r JOIN gauges g), whose parameters `bind` sets. The engine's code of a failed
// read goes to `failure`.
std::vector<InspectionRecord> ReadRecords(const SqliteConnection& db, const std::string& tail,
                                          const std::function<void(SqliteStatement&)>& bind,
                                          int* failure = nullptr);

// Rolls back unless committed.
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

}  // namespace threadgauge
