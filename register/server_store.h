#pragma once

// The register kept on a workshop's PostgreSQL server.
#include <memory>
#include <optional>
#include <string>
#include <variant>

#include "postgres/postgres_connection.h"
#include "register/register_store.h"
#include "register/server_people.h"

namespace threadgauge {

// Every change is one transaction on the server; the server says who may make it. A
// connection lost inside a change keeps nothing of it and is opened again at the next
// action, so a server restarted during a session is found again.
class RegisterServer final : public RegisterStore {
 public:
  static std::variant<std::unique_ptr<RegisterServer>, RegisterError> Open(
      const std::string& where, const std::string& password);

  std::string Where() const override { return where_; }
  bool ReadOnly() const override { return false; }
  const std::optional<Message>& Note() const override { return note_; }
  const std::optional<Message>& Damage() const override { return fault_; }

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

  std::optional<std::vector<GaugeChange>> History(const std::string& number) const override;
  std::vector<Message> IntegrityFaults() const override { return {}; }
  std::vector<Message> MissingGuards() const override;
  std::optional<RegisterError> Receive(const std::vector<GaugeEntry>& gauges,
                                       const std::vector<InspectionRecord>& records) override;
  std::optional<RegisterError> CopyTo(const std::filesystem::path& target) const override;

  RegisterServer(PgConnection db, std::string where)
      : db_(std::move(db)), where_(std::move(where)) {}

 private:
  // A statement outside a change; a connection found broken is opened again first, and a
  // failure is kept as the store's fault until an action succeeds.
  std::optional<PgResult> Read(const std::string& sql,
                               const std::vector<PgParameter>& parameters = {}) const;
  // `change` runs inside BEGIN … COMMIT; a refusal or failure rolls all of it back.
  // `action` says what was tried when the server refuses it for want of `needed`.
  std::optional<RegisterError> Change(const std::function<std::optional<RegisterError>()>& change,
                                      MessageCode action, RegisterRole needed);
  std::optional<RegisterError> InsertGaugeRows(const std::vector<GaugeEntry>& gauges,
                                               MessageCode action);
  std::optional<RegisterError> InsertRecord(const InspectionRecord& record, MessageCode action);
  RegisterError Refusal(const PgError& error, MessageCode action, RegisterRole needed) const;
  bool Ready() const;

  mutable PgConnection db_;
  std::string where_;
  std::optional<Message> note_;
  mutable std::optional<Message> fault_;
};

// Text of a number as the server reads it back exactly.
std::string ExactText(double value);
PgParameter OptionalText(const std::optional<double>& value);
std::optional<double> OptionalNumber(const std::optional<std::string>& cell);

}  // namespace threadgauge
