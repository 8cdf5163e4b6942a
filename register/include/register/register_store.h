#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/problems.h"
#include "register/calendar.h"
#include "register/register_entries.h"

namespace threadgauge {

// Rings grow as they wear; every other kind of gauge shrinks.
inline bool IsRing(std::string_view kind) { return kind.ends_with("环规"); }

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
// The pitch diameter the gauge wears towards: a ring's largest reading, a plug's smallest;
// kept beside the record for the due list.
std::optional<double> WearSide(const InspectionRecord& record);

// A record whose stored hash does not follow from its content and the record before it.
struct BrokenLink {
  long long record = 0;
  std::string gauge_number;
};

// The last record of the register, which the next one is linked to.
struct RecordLink {
  long long id = 0;
  std::string hash;
};

// One change of a gauge as the server wrote it down.
struct GaugeChange {
  std::string at;     // "2026-12-08 10:42"
  std::string who;    // the display name of who made it
  std::string field;  // the column changed ("state", "keeper" …), or "登记" when added
  std::string before, after;
};

// Where the register is kept: the user's own file or a workshop's server. A store keeps
// what it is given, each change in one transaction written whole or not at all; the
// register's rules (numbering, the chain of record hashes, corrections) are the register's,
// the same whichever store holds it.
class RegisterStore {
 public:
  virtual ~RegisterStore() = default;

  // The file's path or the server's address, as the user knows it.
  virtual std::string Where() const = 0;
  // The register's file; empty for a server.
  virtual std::filesystem::path File() const { return {}; }
  virtual bool ReadOnly() const = 0;
  // What the user must know of the opening (a migration, a file read only).
  virtual const std::optional<Message>& Note() const = 0;
  // The store's fault found on opening or by a later read: nothing more is written.
  virtual const std::optional<Message>& Damage() const = 0;
  virtual void SetClock(std::function<Day()>) {}

  // All or nothing.
  virtual std::optional<RegisterError> InsertGauges(const std::vector<GaugeEntry>& gauges) = 0;
  // By 编号. Where the store counts revisions, a gauge changed by someone else since
  // `gauge.revision` was read is refused, naming who and when.
  virtual std::optional<RegisterError> UpdateGauge(const GaugeEntry& gauge) = 0;
  virtual std::optional<GaugeEntry> FindGauge(const std::string& number) const = 0;
  virtual std::vector<GaugeEntry> Gauges() const = 0;
  virtual void ForEachGauge(
      const std::function<void(GaugeEntry&, const std::vector<RecordFacts>&)>& visit) const = 0;

  // In one transaction, in the order given: each record is given the last record's link
  // by `seal`, which makes it the next; what `seal` returns is kept. The ids kept.
  using Seal = std::function<InspectionRecord(const InspectionRecord&, const RecordLink&)>;
  virtual std::variant<std::vector<long long>, RegisterError> AppendRecords(
      const std::vector<InspectionRecord>& records, const Seal& seal) = 0;
  // Whole records with their readings and check results, in the order of their ids: one
  // gauge's, or the whole register's.
  virtual std::vector<InspectionRecord> Records(
      const std::optional<std::string>& gauge_number) const = 0;
  virtual std::optional<std::string> GaugeOfRecord(long long id) const = 0;
  // Every record's link, in the order of their ids.
  virtual std::vector<RecordLink> Links() const = 0;
  // Records whose kept extreme reading is not the one their readings give.
  virtual std::vector<BrokenLink> WearSidesAmiss(
      const std::optional<std::string>& gauge_number) const = 0;
  virtual long long RecordCount() const = 0;

  virtual std::string Setting(const std::string& key) const = 0;
  virtual std::optional<RegisterError> SetSetting(const std::string& key,
                                                  const std::string& value) = 0;

  // The checks of `gauges verify` the store itself can make: its engine's integrity check
  // and the guards that keep records unchanged.
  virtual std::vector<Message> IntegrityFaults() const = 0;
  virtual std::vector<Message> MissingGuards() const = 0;

  // An empty register filled with a whole copy in one transaction, the records kept as they
  // are (numbers, signatures, links); refused when this one holds a gauge.
  virtual std::optional<RegisterError> Receive(const std::vector<GaugeEntry>& gauges,
                                               const std::vector<InspectionRecord>& records) = 0;

  // Every change of the gauge, oldest first; nothing where the store keeps no such history
  // (the file).
  virtual std::optional<std::vector<GaugeChange>> History(const std::string&) const {
    return std::nullopt;
  }

  // A copy as it is now, consistent while others write.
  virtual std::optional<RegisterError> CopyTo(const std::filesystem::path& target) const = 0;
};

}  // namespace threadgauge
