#pragma once

// The register kept in the user's own SQLite file.
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <variant>

#include "register/register_store.h"
#include "sqlite/sqlite_database.h"

namespace threadgauge {

// Made on first use, told from every other file, migrated after a copy, checked for damage,
// and written only in transactions after the day's backup.
class RegisterFile final : public RegisterStore {
 public:
  static std::variant<std::unique_ptr<RegisterFile>, RegisterError> Open(
      const std::filesystem::path& path);

  std::string Where() const override;
  std::filesystem::path File() const override { return path_; }
  bool ReadOnly() const override { return read_only_; }
  const std::optional<Message>& Note() const override { return note_; }
  const std::optional<Message>& Damage() const override { return damage_; }
  void SetClock(std::function<Day()> today) override { today_ = std::move(today); }

  std::optional<RegisterError> InsertGauges(const std::vector<GaugeEntry>& gauges) override;
  std::optional<RegisterError> UpdateGauge(const GaugeEntry& gauge) override;
  std::optional<GaugeEntry> FindGauge(const std::string& number) const override;
  std::vector<GaugeEntry> Gauges() const override;
  void ForEachGauge(const std::function<void(GaugeEntry&, const std::vector<RecordFacts>&)>& visit)
      const override;

  std::variant<std::vector<long long>, RegisterError> AppendRecords(
      const std::vector<InspectionRecord>& records, const Seal& seal) override;
  std::vector<InspectionRecord> Records(
      const std::optional<std::string>& gauge_number) const override;
  std::optional<std::string> GaugeOfRecord(long long id) const override;
  std::vector<RecordLink> Links() const override;
  std::vector<BrokenLink> WearSidesAmiss(
      const std::optional<std::string>& gauge_number) const override;
  long long RecordCount() const override;

  std::string Setting(const std::string& key) const override;
  std::optional<RegisterError> SetSetting(const std::string& key,
                                          const std::string& value) override;

  std::vector<Message> IntegrityFaults() const override;
  std::vector<Message> MissingGuards() const override;
  std::optional<RegisterError> Receive(const std::vector<GaugeEntry>& gauges,
                                       const std::vector<InspectionRecord>& records) override;
  std::optional<RegisterError> CopyTo(const std::filesystem::path& target) const override;

  RegisterFile(SqliteConnection db, std::filesystem::path path, bool read_only,
               std::optional<Message> note)
      : db_(std::move(db)), path_(std::move(path)), read_only_(read_only), note_(std::move(note)) {}

 private:
  std::optional<RegisterError> Write(const std::function<std::optional<RegisterError>()>& change);
  std::optional<RegisterError> BackUpBeforeTodaysFirstChange();
  std::optional<RegisterError> InsertGaugeRows(const std::vector<GaugeEntry>& gauges);
  std::optional<RegisterError> InsertRecord(const InspectionRecord& record);
  void ReadFailed(int engine_code) const;
  void CheckFile();

  SqliteConnection db_;
  std::filesystem::path path_;
  bool read_only_ = false;
  std::optional<Message> note_;
  mutable std::optional<Message> damage_;
  std::function<Day()> today_ = [] { return Today(); };
};

}  // namespace threadgauge
