// The register's rules, the same in every store: records numbered in the order they are
// made and linked into the chain of hashes, corrections named, states changed on the
// gauge as it stands.
#include "register/gauge_register.h"

#include <algorithm>
#include <ctime>
#include <map>
#include <tuple>

#include "record_hash.h"
#include "register_sql.h"

namespace threadgauge {
namespace {

std::string LocalTimestamp() {
  const std::time_t now = std::time(nullptr);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", std::localtime(&now));
  return text;
}

}  // namespace

std::optional<double> WearSide(const InspectionRecord& r) {
  if (r.readings.empty()) return std::nullopt;
  const auto [low, high] = std::minmax_element(
      r.readings.begin(), r.readings.end(),
      [](const auto& a, const auto& b) { return a.pitch_diameter < b.pitch_diameter; });
  return IsRing(r.kind) ? high->pitch_diameter : low->pitch_diameter;
}

RecordFacts FactsOf(const InspectionRecord& r) {
  return {r.id, r.date, r.verdict, IsRing(r.kind), r.replaces, r.wear_limit, WearSide(r)};
}

std::optional<RegisterError> GaugeRegister::SetState(const std::string& number,
                                                     const std::string& state) {
  auto gauge = Find(number);
  if (!gauge) return RegisterError{{MessageCode::GaugeNumberUnknown, {number}}};
  gauge->state = state;
  return Update(*gauge);
}

std::variant<long long, RegisterError> GaugeRegister::AddRecord(const InspectionRecord& record) {
  auto added = AddRecords({record});
  if (auto* failed = std::get_if<RegisterError>(&added)) return *failed;
  return std::get<std::vector<long long>>(added).front();
}

std::variant<std::vector<long long>, RegisterError> GaugeRegister::AddRecords(
    const std::vector<InspectionRecord>& records) {
  return store_->AppendRecords(records, [](const InspectionRecord& record, const RecordLink& last) {
    InspectionRecord next = record;
    next.id = last.id + 1;
    next.created = LocalTimestamp();
    next.hash = RecordHash(next, last.hash);
    return next;
  });
}

std::vector<InspectionRecord> GaugeRegister::RecordsOf(const std::string& number) const {
  std::vector<InspectionRecord> records = store_->Records(number);
  std::stable_sort(records.begin(), records.end(),
                   [](const auto& a, const auto& b) { return a.date < b.date; });
  std::map<long long, long long> replaced_by;
  for (const InspectionRecord& r : records) {
    if (r.replaces) replaced_by[*r.replaces] = r.id;
  }
  for (InspectionRecord& r : records) {
    if (auto it = replaced_by.find(r.id); it != replaced_by.end()) r.replaced_by = it->second;
  }
  return records;
}

std::optional<InspectionRecord> GaugeRegister::Record(long long id) const {
  const auto number = store_->GaugeOfRecord(id);
  if (!number) return std::nullopt;
  for (InspectionRecord& r : RecordsOf(*number)) {
    if (r.id == id) return std::move(r);
  }
  return std::nullopt;
}

std::vector<BrokenLink> BrokenLinksIn(const RegisterStore& store,
                                      const std::optional<std::string>& gauge_number) {
  // Each record's link is checked against the stored hash of the record just before it in
  // the whole register, whichever gauge that was.
  std::map<long long, std::string> previous;
  std::string last;
  for (const RecordLink& link : store.Links()) {
    previous[link.id] = last;
    last = link.hash;
  }
  std::vector<BrokenLink> broken;
  for (const InspectionRecord& r : store.Records(gauge_number)) {
    if (r.hash != RecordHash(r, previous[r.id])) broken.push_back({r.id, r.gauge_number});
  }
  for (const BrokenLink& amiss : store.WearSidesAmiss(gauge_number)) {
    if (std::none_of(broken.begin(), broken.end(),
                     [&](const auto& b) { return b.record == amiss.record; })) {
      broken.push_back(amiss);
    }
  }
  std::sort(broken.begin(), broken.end(),
            [](const BrokenLink& a, const BrokenLink& b) { return a.record < b.record; });
  return broken;
}

namespace {

struct Counts {
  long long gauges = 0, records = 0, readings = 0, checks = 0;
};

Counts CountsOf(const std::vector<GaugeEntry>& gauges,
                const std::vector<InspectionRecord>& records) {
  Counts counts{static_cast<long long>(gauges.size()), static_cast<long long>(records.size())};
  for (const InspectionRecord& r : records) {
    counts.readings += static_cast<long long>(r.readings.size());
    counts.checks += static_cast<long long>(r.checks.size());
  }
  return counts;
}

}  // namespace

std::optional<RegisterError> CopyRegister(const RegisterStore& from, RegisterStore& to) {
  const std::vector<GaugeEntry> gauges = from.Gauges();
  const std::vector<InspectionRecord> records = from.Records(std::nullopt);
  if (from.Damage()) return RegisterError{*from.Damage()};
  if (auto failed = to.Receive(gauges, records)) return failed;
  if (const std::string organisation = from.Setting("organisation"); !organisation.empty()) {
    if (auto failed = to.SetSetting("organisation", organisation)) return failed;
  }
  const Counts source = CountsOf(gauges, records);
  const Counts copied = CountsOf(to.Gauges(), to.Records(std::nullopt));
  for (auto [what, a, b] : {std::tuple{MessageCode::CountedGauges, source.gauges, copied.gauges},
                            {MessageCode::CountedRecords, source.records, copied.records},
                            {MessageCode::CountedReadings, source.readings, copied.readings},
                            {MessageCode::CountedChecks, source.checks, copied.checks}}) {
    if (a != b) {
      return RegisterError{
          {MessageCode::CopyCountsDiffer, {std::to_string(a), std::to_string(b)}, {{what}}}};
    }
  }
  if (const auto broken = BrokenLinksIn(to, std::nullopt); !broken.empty()) {
    return RegisterError{{MessageCode::CopyChainBroken, {std::to_string(broken.front().record)}}};
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
