#pragma once

#include <optional>
#include <string>
#include <vector>

#include "calculation/inspection.h"
#include "register/calendar.h"
#include "register/gauge_register.h"

namespace threadgauge {

// Why a gauge is due when it is.
enum class DueReason {
  Interval,        // its interval after the last conforming record (or its 启用日期)
  WearForecast,    // earlier: the day its wear trend reaches the wear limit
  NotConforming,   // its last record did not conform: due from its previous due date
  NeverInspected,  // no record and no 启用日期
};

struct GaugeDue {
  std::optional<Day> day;  // none when there is nothing to count from
  DueReason reason = DueReason::Interval;
  // Due whatever the day: the gauge failed or could not be decided, or was never inspected.
  bool now = false;
  std::optional<long long> record;  // the record that did not conform
  std::string verdict;              // its VerdictKey
};

// When the gauge is next due, from the facts of its records (any order; replaced records
// are left out). Only a conforming record moves the due date; a trend over three or more
// records that reaches the wear limit sooner brings it forward.
GaugeDue DueOf(const GaugeEntry& gauge, const std::vector<RecordFacts>& facts);
GaugeDue DueOf(const GaugeEntry& gauge, const std::vector<InspectionRecord>& records);

// Why the gauge is due when it is not the plain interval: a failed or undecided record, no
// record yet, a wear forecast; and that said: "检定不合格：超出磨损极限（记录 12）", "从未检定",
// "预计 2026-03-19 达到磨损极限", empty for the plain interval.
std::optional<Message> DueReasonMessage(const GaugeDue& due);
std::string DueReasonText(const GaugeDue& due);

// The record verdicts a keeper must act on: the gauge is to be taken out of use.
bool RecordConforms(const std::string& verdict_key);

// The gauge's wear trend over its counting records with readings: each record's extreme
// pitch diameter on the wearing side, against the latest record's wear limit.
struct GaugeTrend {
  WearTrend fit;
  std::optional<Day> reaches_limit;
  size_t records = 0;
};
std::optional<GaugeTrend> TrendOf(const std::vector<RecordFacts>& facts);
std::optional<GaugeTrend> TrendOf(const std::vector<InspectionRecord>& records);

// The records no later record replaces, oldest first.
std::vector<RecordFacts> CountingFacts(std::vector<RecordFacts> facts);
// The day of the last counting record, if any.
std::optional<std::string> LastRecordDay(const std::vector<RecordFacts>& facts);

// All the due list shows of a gauge, from one pass over its records: when it is due, and
// the day and verdict of its last counting record.
struct GaugeStanding {
  GaugeDue due;
  std::optional<std::string> last_record;
  std::string last_verdict;  // VerdictKey
};
GaugeStanding StandingOf(const GaugeEntry& gauge, std::vector<RecordFacts> facts);

}  // namespace threadgauge
