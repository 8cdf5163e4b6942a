#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/problems.h"
#include "register/calendar.h"
#include "register/register_entries.h"
#include "register/register_store.h"

namespace threadgauge {

// The register's file in the user's data folder, beside the user's tolerance tables.
std::filesystem::path DefaultRegisterPath(const std::filesystem::path& user_directory);

// Records whose stored hash does not follow from their content and the record before them
// in the whole register, or whose kept extreme reading is not their readings' (all
// records, or one gauge's).
std::vector<BrokenLink> BrokenLinksIn(const RegisterStore& store,
                                      const std::optional<std::string>& gauge_number);

// The gauge register (量规台账), in whichever store keeps it: the user's own SQLite file
// (opening creates it on first use, migrates an older file after copying it aside, opens a
// newer or damaged one read-only) or a workshop's server. The register's rules are kept
// here, once: records are numbered in the order they are made and linked into the chain of
// record hashes, a correction names the record it replaces, a state is changed on the gauge
// as it stands.
class GaugeRegister {
 public:
  static constexpr int kVersion = 3;  // of the file

  explicit GaugeRegister(std::unique_ptr<RegisterStore> store) : store_(std::move(store)) {}

  static std::variant<GaugeRegister, RegisterError> Open(const std::filesystem::path& path);
  // Only when the file exists: reading never creates a register.
  static std::variant<GaugeRegister, RegisterError> OpenExisting(const std::filesystem::path& path);

  // The register's file; empty on a server.
  std::filesystem::path path() const { return store_->File(); }
  // The file's path or the server's address, for the user.
  std::string where() const { return store_->Where(); }
  bool on_server() const { return store_->File().empty(); }
  bool read_only() const { return store_->ReadOnly() || damage().has_value(); }
  const std::optional<Message>& note() const { return store_->Note(); }
  // The store's fault, when its check or a later read found one: what is read from it may
  // be incomplete, and nothing is written to it.
  const std::optional<Message>& damage() const { return store_->Damage(); }
  // The day of the daily backup (tests set their own).
  void SetClock(std::function<Day()> today) { store_->SetClock(std::move(today)); }

  std::optional<RegisterError> Add(const GaugeEntry& gauge) { return AddAll({gauge}); }
  // All or nothing: the import of a ledger.
  std::optional<RegisterError> AddAll(const std::vector<GaugeEntry>& gauges) {
    return store_->InsertGauges(gauges);
  }
  std::optional<RegisterError> Update(const GaugeEntry& gauge) {
    return store_->UpdateGauge(gauge);
  }
  std::optional<RegisterError> SetState(const std::string& number, const std::string& state);

  std::optional<GaugeEntry> Find(const std::string& number) const {
    return store_->FindGauge(number);
  }
  std::vector<GaugeEntry> Gauges() const { return store_->Gauges(); }

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
      const std::function<void(GaugeEntry&, const std::vector<RecordFacts>&)>& visit) const {
    store_->ForEachGauge(visit);
  }

  // Settings kept with the register: "organisation" (单位名称).
  std::string Setting(const std::string& key) const { return store_->Setting(key); }
  std::optional<RegisterError> SetSetting(const std::string& key, const std::string& value) {
    return store_->SetSetting(key, value);
  }

  // The checks of `gauges verify`: the engine's integrity check, the guards that keep the
  // records, and the chain of record hashes (all records, or one gauge's).
  std::vector<Message> IntegrityFaults() const { return store_->IntegrityFaults(); }
  std::vector<Message> MissingTriggers() const { return store_->MissingGuards(); }
  std::vector<BrokenLink> BrokenLinks(const std::optional<std::string>& gauge_number) const {
    return BrokenLinksIn(*store_, gauge_number);
  }
  long long RecordCount() const { return store_->RecordCount(); }

  // A copy of the register as it is now (consistent even while another program writes):
  // the daily backups and `gauges backup`.
  std::optional<RegisterError> CopyTo(const std::filesystem::path& target) const {
    return store_->CopyTo(target);
  }

  // Every change of the gauge (server registers keep them), oldest first.
  std::optional<std::vector<GaugeChange>> History(const std::string& number) const {
    return store_->History(number);
  }

  RegisterStore& store() const { return *store_; }

 private:
  std::unique_ptr<RegisterStore> store_;
};

// The whole register copied into an empty one, all or nothing, the records as they are; the
// counts of gauges, records, readings and check results and the chain of record hashes are
// then checked on both sides.
std::optional<RegisterError> CopyRegister(const RegisterStore& from, RegisterStore& to);

// Records that count: those no later record replaces, oldest first.
std::vector<InspectionRecord> CountingRecords(const std::vector<InspectionRecord>& records);

}  // namespace threadgauge
