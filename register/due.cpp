#include "register/due.h"

#include <algorithm>

#include "words/message_words.h"

namespace threadgauge {
namespace {

// A trend makes a gauge due only when it rests on this many records.
constexpr size_t kForecastRecords = 3;

}  // namespace

std::vector<RecordFacts> CountingFacts(std::vector<RecordFacts> facts) {
  std::vector<long long> replaced;
  for (const RecordFacts& f : facts) {
    if (f.replaces) replaced.push_back(*f.replaces);
  }
  if (!replaced.empty()) {
    std::erase_if(facts, [&](const RecordFacts& f) {
      return std::find(replaced.begin(), replaced.end(), f.id) != replaced.end();
    });
  }
  std::sort(facts.begin(), facts.end(), [](const RecordFacts& a, const RecordFacts& b) {
    return std::tie(a.date, a.id) < std::tie(b.date, b.id);
  });
  return facts;
}

namespace {

std::vector<RecordFacts> FactsOfAll(const std::vector<InspectionRecord>& records) {
  std::vector<RecordFacts> facts;
  for (const InspectionRecord& r : records) facts.push_back(FactsOf(r));
  return facts;
}

std::optional<GaugeTrend> TrendOfCounting(const std::vector<RecordFacts>& counting) {
  std::vector<TrendPoint> points;
  std::optional<double> wear;
  WearDirection direction = WearDirection::Down;
  for (const RecordFacts& f : counting) {
    const auto day = ParseDay(f.date);
    if (!day || !f.wear_side) continue;
    direction = f.ring ? WearDirection::Up : WearDirection::Down;
    points.push_back({MonthsOf(*day), *f.wear_side});
    wear = f.wear_limit;
  }
  const auto fit = FitWearTrend(points, wear, direction);
  if (!fit) return std::nullopt;
  GaugeTrend trend{*fit, std::nullopt, points.size()};
  if (fit->month_at_limit) trend.reaches_limit = DayAtMonths(*fit->month_at_limit);
  return trend;
}

}  // namespace

bool RecordConforms(const std::string& verdict_key) {
  const auto code = VerdictOfKey(verdict_key);
  return code == VerdictCode::New || code == VerdictCode::Worn;
}

namespace {

GaugeDue DueOfCounting(const GaugeEntry& gauge, const std::vector<RecordFacts>& counting) {
  GaugeDue due;
  const auto last_conforming = std::find_if(
      counting.rbegin(), counting.rend(), [](const auto& f) { return RecordConforms(f.verdict); });
  const std::optional<Day> from =
      ParseDay(last_conforming != counting.rend() ? last_conforming->date : gauge.since);
  if (from) due.day = AddMonths(*from, gauge.interval_months);
  if (!counting.empty() && !RecordConforms(counting.back().verdict)) {
    due.reason = DueReason::NotConforming;
    due.now = true;
    due.record = counting.back().id;
    due.verdict = counting.back().verdict;
    return due;
  }
  if (counting.empty() && !from) {
    due.reason = DueReason::NeverInspected;
    due.now = true;
    return due;
  }
  if (const auto trend = TrendOfCounting(counting);
      trend && trend->records >= kForecastRecords && trend->reaches_limit &&
      (!due.day || *trend->reaches_limit < *due.day)) {
    due.day = trend->reaches_limit;
    due.reason = DueReason::WearForecast;
  }
  return due;
}

}  // namespace

GaugeDue DueOf(const GaugeEntry& gauge, const std::vector<RecordFacts>& facts) {
  return DueOfCounting(gauge, CountingFacts(facts));
}

GaugeStanding StandingOf(const GaugeEntry& gauge, std::vector<RecordFacts> facts) {
  const std::vector<RecordFacts> counting = CountingFacts(std::move(facts));
  GaugeStanding standing{DueOfCounting(gauge, counting), std::nullopt, ""};
  if (!counting.empty()) {
    standing.last_record = counting.back().date;
    standing.last_verdict = counting.back().verdict;
  }
  return standing;
}

GaugeDue DueOf(const GaugeEntry& gauge, const std::vector<InspectionRecord>& records) {
  return DueOf(gauge, FactsOfAll(records));
}

std::optional<Message> DueReasonMessage(const GaugeDue& due) {
  switch (due.reason) {
    case DueReason::Interval:
      return std::nullopt;
    case DueReason::WearForecast:
      return Message{MessageCode::DueWearForecast, {DayText(*due.day)}};
    case DueReason::NeverInspected:
      return Message{MessageCode::DueNeverInspected};
    case DueReason::NotConforming: {
      const std::string record = std::to_string(due.record.value_or(0));
      const auto code = VerdictOfKey(due.verdict);
      if (code == VerdictCode::WornOut) return Message{MessageCode::DueWornOut, {record}};
      if (code == VerdictCode::OutOfTolerance) {
        return Message{MessageCode::DueOutOfTolerance, {record}};
      }
      return Message{MessageCode::DueUndecided, {record}};
    }
  }
  return std::nullopt;
}

std::string DueReasonText(const GaugeDue& due) {
  const auto reason = DueReasonMessage(due);
  return reason ? Say(*reason) : "";
}

std::optional<GaugeTrend> TrendOf(const std::vector<RecordFacts>& facts) {
  return TrendOfCounting(CountingFacts(facts));
}

std::optional<GaugeTrend> TrendOf(const std::vector<InspectionRecord>& records) {
  return TrendOf(FactsOfAll(records));
}

std::optional<std::string> LastRecordDay(const std::vector<RecordFacts>& facts) {
  const std::vector<RecordFacts> counting = CountingFacts(facts);
  if (counting.empty()) return std::nullopt;
  return counting.back().date;
}

}  // namespace threadgauge
