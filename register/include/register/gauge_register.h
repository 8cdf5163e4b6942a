#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "register/register_entries.h"
#include "tolerance/sqlite_database.h"

namespace threadgauge {

// The register's file in the user's data folder, beside the user's tolerance tables.
std::filesystem::path DefaultRegisterPath(const std::filesystem::path& user_directory);

// What went wrong, in words for the user; `busy` when another program is writing and the
// user should try again.
struct RegisterError {
  std::string message;
  bool busy = false;
};

// The gauge register (量规台账): an SQLite file of the user's own. Opening creates it on
// first use, migrates an older file (after copying it aside) in one transaction, and opens
// a newer file than this program knows read-only. Every change is one transaction: it is
// written whole or not at all.
class GaugeRegister {
 public:
  static constexpr int kVersion = 2;

  static std::variant<GaugeRegister, RegisterError> Open(const std::filesystem::path& path);
  // Only when the file exists: reading never creates a register.
  static std::variant<GaugeRegister, RegisterError> OpenExisting(const std::filesystem::path& path);

  const std::filesystem::path& path() const { return path_; }
  bool read_only() const { return read_only_; }
  // What the user must know of the opening: a migration made, a newer file read only.
  const std::string& note() const { return note_; }

  std::optional<RegisterError> Add(const GaugeEntry& gauge);
  // All or nothing: the import of a ledger.
  std::optional<RegisterError> AddAll(const std::vector<GaugeEntry>& gauges);
  std::optional<RegisterError> Update(const GaugeEntry& gauge);  // by its 编号
  std::optional<RegisterError> SetState(const std::string& number, const std::string& state);

  std::optional<GaugeEntry> Find(const std::string& number) const;
  std::vector<GaugeEntry> Gauges() const;

  // The record and its readings in one transaction; its id.
  std::variant<long long, RegisterError> AddRecord(const InspectionRecord& record);
  std::optional<InspectionRecord> Record(long long id) const;
  // Oldest first, each with the record that replaced it.
  std::vector<InspectionRecord> RecordsOf(const std::string& number) const;

 private:
  GaugeRegister(SqliteConnection db, std::filesystem::path path, bool read_only, std::string note)
      : db_(std::move(db)), path_(std::move(path)), read_only_(read_only), note_(std::move(note)) {}
  std::optional<RegisterError> Write(const auto& change);

  SqliteConnection db_;
  std::filesystem::path path_;
  bool read_only_ = false;
  std::string note_;
};

// Records that count: those no later record replaces, oldest first.
std::vector<InspectionRecord> CountingRecords(const std::vector<InspectionRecord>& records);

}  // namespace threadgauge
