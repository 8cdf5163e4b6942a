#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/problems.h"
#include "register/calendar.h"
#include "register/register_entries.h"
#include "sqlite/sqlite_database.h"

namespace threadgauge {

// The register's file in the user's data folder, beside the user's tolerance tables.
std::filesystem::path DefaultRegisterPath(const std::filesystem::path& user_directory);

// What the due list needs of a record, read for all records at once.
struct RecordFacts {
  long long id = 0;
  std::string date;
  std::string verdict;  // VerdictKey
  bool ring = false;    // a ring gauge grows as it wears; every other kind shrinks
  std::optional<long long> replaces;
  std::optional<double> wear_limit;
  std::optional<double> wear_side;  // the extreme reading's pitch diameter on the wearing side
};
RecordFacts FactsOf(const InspectionRecord& record);

// A record whose stored hash does not follow from its content and the record before it.
struct BrokenLink {
  long long record = 0;
  std::string gauge_number;
};

// The gauge register (量规台账): an SQLite file of the user's own. Opening creates it on
// first use, migrates an older file (after copying it aside) in one transaction, opens a
// newer file than this program knows read-only, and checks the file: a damaged one opens
// read-only and says so. Every change is one transaction, written whole or not at all,
// after the day's backup.
class GaugeRegister {
 public:
  static constexpr int kVersion = 3;

  static std::variant<GaugeRegister, RegisterError> Open(const std::filesystem::path& path);
  // Only when the file exists: reading never creates a register.
  static std::variant<GaugeRegister, RegisterError> OpenExisting(const std::filesystem::path& path);

  const std::filesystem::path& path() const { return path_; }
  bool read_only() const { return read_only_ || damage_.has_value(); }
  // What the user must know of the opening: a migration made, a newer file read only.
  const std::optional<Message>& note() const { return note_; }
  // The file's fault, when its check or a later read found one: what is read from it may
  // be incomplete, and nothing is written to it.
  const std::optional<Message>& damage() const { return damage_; }
  // The day of the daily backup (tests set their own).
  void SetClock(std::function<Day()> today) { today_ = std::move(today); }

  std::optional<RegisterError> Add(const GaugeEntry& gauge);
  // All or nothing: the import of a ledger.
  std::optional<RegisterError> AddAll(const std::vector<GaugeEntry>& gauges);
  std::optional<RegisterError> Update(const GaugeEntry& gauge);  // by its 编号
  std::optional<RegisterError> SetState(const std::string& number, const std::string& state);

  std::optional<GaugeEntry> Find(const std::string& number) const;
  std::vector<GaugeEntry> Gauges() const;

  // The record, its readings and check results in one transaction, linked into the chain
  // of record hashes; its id.
  std::variant<long long, RegisterError> AddRecord(const InspectionRecord& record);
  // All or nothing: an imported history, in the order given.
  std::variant<std::vector<long long>, RegisterError> AddRecords(
      const std::vector<InspectionRecord>& records);
  std::optional<InspectionRecord> Record(long long id) const;
  // Oldest first, each with the record that replaced it.
  std::vector<InspectionRecord> RecordsOf(const std::string& number) const;
  // Every gauge, by 编号, with the facts of its records, in one pass over the register: the
  // due list of the whole register.
  void ForEachGauge(
      const std::function<void(GaugeEntry&, const std::vector<RecordFacts>&)>& visit) const;

  // Settings kept with the register: "organisation" (单位名称).
  std::string Setting(const std::string& key) const;
  std::optional<RegisterError> SetSetting(const std::string& key, const std::string& value);

  // The checks of `gauges verify`: the engine's integrity check, the triggers that guard
  // the records, and the chain of record hashes (all records, or one gauge's).
  std::vector<Message> IntegrityFaults() const;
  std::vector<Message> MissingTriggers() const;
  std::vector<BrokenLink> BrokenLinks(const std::optional<std::string>& gauge_number) const;
  long long RecordCount() const;

  // A copy of the register as it is now, made by the engine (consistent even while
  // another program writes): the daily backups and `gauges backup`.
  std::optional<RegisterError> CopyTo(const std::filesystem::path& target) const;

 private:
  GaugeRegister(SqliteConnection db, std::filesystem::path path, bool read_only,
                std::optional<Message> note)
      : db_(std::move(db)), path_(std::move(path)), read_only_(read_only), note_(std::move(note)) {}
  std::optional<RegisterError> Write(const std::function<std::optional<RegisterError>()>& change);
  std::optional<RegisterError> BackUpBeforeTodaysFirstChange();
  std::optional<RegisterError> InsertRecord(InspectionRecord record, long long& id);
  void ReadFailed(int engine_code) const;
  void CheckFile();

  SqliteConnection db_;
  std::filesystem::path path_;
  bool read_only_ = false;
  std::optional<Message> note_;
  mutable std::optional<Message> damage_;
  std::function<Day()> today_ = [] { return Today(); };
};

// Records that count: those no later record replaces, oldest first.
std::vector<InspectionRecord> CountingRecords(const std::vector<InspectionRecord>& records);

}  // namespace threadgauge
