// When a gauge is due: only a conforming record moves the day; a failed or undecided gauge
// stays due until it is dealt with; a gauge never inspected is due; a wear trend over three
// records that reaches the wear limit sooner brings the day forward.
#include "register/due.h"

#include <gtest/gtest.h>

#include "register/ledger.h"

namespace threadgauge {
namespace {

GaugeEntry Plug(const char* since = "") {
  GaugeEntry gauge;
  gauge.number = "P1";
  gauge.thread = "M10×1.5-6H";
  gauge.kind = "通端螺纹塞规";
  gauge.since = since;
  gauge.interval_months = 12;
  return gauge;
}

RecordFacts F(long long id, const char* date, const char* verdict,
              std::optional<double> wear_side = std::nullopt,
              std::optional<long long> replaces = std::nullopt) {
  RecordFacts f;
  f.id = id;
  f.date = date;
  f.verdict = verdict;
  f.replaces = replaces;
  f.wear_limit = 9.022;
  f.wear_side = wear_side;
  return f;
}

struct DueCase {
  const char* name;
  const char* since;
  std::vector<RecordFacts> facts;
  std::optional<const char*> day;
  DueReason reason;
  bool now;
  const char* says;
};

const DueCase kDue[] = {
    {"a conforming record moves the day by the interval",
     "",
     {F(1, "2025-03-10", "new")},
     "2026-03-10",
     DueReason::Interval,
     false,
     ""},
    {"a worn gauge conforms",
     "",
     {F(1, "2025-03-10", "worn")},
     "2026-03-10",
     DueReason::Interval,
     false,
     ""},
    {"worn out: still due from the previous day",
     "",
     {F(1, "2025-03-10", "new"), F(12, "2026-01-05", "worn_out")},
     "2026-03-10",
     DueReason::NotConforming,
     true,
     "检定不合格：超出磨损极限（记录 12）"},
    {"undecided, as with empty gauge tables",
     "",
     {F(1, "2025-03-10", "new"), F(13, "2026-01-05", "undecided")},
     "2026-03-10",
     DueReason::NotConforming,
     true,
     "未能判定（记录 13）"},
    {"out of tolerance at its first inspection counts from its 启用日期",
     "2025-01-01",
     {F(4, "2025-01-01", "out_of_tolerance")},
     "2026-01-01",
     DueReason::NotConforming,
     true,
     "检定不合格：超出制造公差（记录 4）"},
    {"failed with nothing to count from",
     "",
     {F(5, "2025-01-01", "worn_out")},
     std::nullopt,
     DueReason::NotConforming,
     true,
     "检定不合格：超出磨损极限（记录 5）"},
    {"repaired: a later conforming record counts from its own day",
     "",
     {F(1, "2025-03-10", "new"), F(2, "2026-01-05", "worn_out"), F(3, "2026-02-01", "new")},
     "2027-02-01",
     DueReason::Interval,
     false,
     ""},
    {"a failure corrected by a conforming record",
     "",
     {F(1, "2025-03-10", "new"), F(2, "2026-01-05", "worn_out"),
      F(3, "2026-01-05", "new", std::nullopt, 2)},
     "2027-01-05",
     DueReason::Interval,
     false,
     ""},
    {"never inspected and no 启用日期",
     "",
     {},
     std::nullopt,
     DueReason::NeverInspected,
     true,
     "从未检定"},
    {"never inspected, in use since a day",
     "2026-06-30",
     {},
     "2027-06-30",
     DueReason::Interval,
     false,
     ""},
    // Months from 1970 at 30.436875 days: the least-squares line through the three wears
    // 0.6662 µm a month and meets 9.022 at month 675.0214, 2026-04-02, before 2027-01-01.
    {"the trend reaches the wear limit before the interval",
     "",
     {F(1, "2024-01-01", "new", 9.0400), F(2, "2025-01-01", "worn", 9.0320),
      F(3, "2026-01-01", "worn", 9.0240)},
     "2026-04-02",
     DueReason::WearForecast,
     false,
     "预计 2026-04-02 达到磨损极限"},
    {"two records are no forecast",
     "",
     {F(2, "2025-01-01", "worn", 9.0320), F(3, "2026-01-01", "worn", 9.0240)},
     "2027-01-01",
     DueReason::Interval,
     false,
     ""},
    {"a slow trend leaves the interval",
     "",
     {F(1, "2024-01-01", "new", 9.0400), F(2, "2025-01-01", "new", 9.0398),
      F(3, "2026-01-01", "new", 9.0396)},
     "2027-01-01",
     DueReason::Interval,
     false,
     ""},
};

TEST(GaugeDue, FollowsTheVerdictTheRecordsAndTheTrend) {
  for (const DueCase& c : kDue) {
    SCOPED_TRACE(c.name);
    const GaugeDue due = DueOf(Plug(c.since), c.facts);
    ASSERT_EQ(due.day.has_value(), c.day.has_value());
    if (c.day) {
      EXPECT_EQ(DayText(*due.day), *c.day);
    }
    EXPECT_EQ(due.reason, c.reason);
    EXPECT_EQ(due.now, c.now);
    EXPECT_EQ(DueReasonText(due), c.says);
  }
}

TEST(GaugeDue, TheDueListShowsWhatMustBeDealtWithWhateverTheDay) {
  const Day on = *ParseDay("2026-01-10");
  LedgerRow failed{Plug(), "2026-01-05",
                   DueOf(Plug(), {F(1, "2025-03-10", "new"), F(12, "2026-01-05", "worn_out")}), ""};
  EXPECT_TRUE(DueWithin(failed, on, 0));  // its day, 2026-03-10, is two months off
  EXPECT_EQ(DueText(failed.due, on), "2026-03-10  检定不合格：超出磨损极限（记录 12）");
  failed.gauge.state = "停用";  // dealt with
  EXPECT_FALSE(DueWithin(failed, on, 30));

  LedgerRow never{Plug(), std::nullopt, DueOf(Plug(), std::vector<RecordFacts>{}), ""};
  EXPECT_TRUE(DueWithin(never, on, 0));
  EXPECT_EQ(DueText(never.due, on), "—  从未检定");

  LedgerRow fine{Plug(), "2025-03-10", DueOf(Plug(), {F(1, "2025-03-10", "new")}), ""};
  EXPECT_FALSE(DueWithin(fine, on, 30));
  EXPECT_TRUE(DueWithin(fine, on, 59));  // 2026-03-10 is 59 days after 2026-01-10
  EXPECT_FALSE(DueWithin(fine, on, 58));
  EXPECT_EQ(DueText(fine.due, *ParseDay("2026-03-13")), "2026-03-10（已过期 3 天）");
  fine.gauge.state = "封存";
  EXPECT_FALSE(DueWithin(fine, *ParseDay("2026-06-01"), 30));

  const GaugeDue forecast =
      DueOf(Plug(), {F(1, "2024-01-01", "new", 9.0400), F(2, "2025-01-01", "worn", 9.0320),
                     F(3, "2026-01-01", "worn", 9.0240)});
  EXPECT_EQ(DueText(forecast, on), "2026-04-02（预计 2026-04-02 达到磨损极限）");
}

TEST(GaugeTrend, OverTheRecordsThatCount) {
  // 2025-01-01 → 2026-01-01 is 365 days, 11.992 mean months; 9.0400 → 9.0376 is then
  // −0.2001 µm a month, and 9.0376 reaches 9.022 after 15.6 µm / 0.2001 = 77.94 months
  // more: about 2032-06. The replaced record's 9.0300 does not count.
  const std::vector<RecordFacts> facts = {F(1, "2025-01-01", "new", 9.0400),
                                          F(2, "2026-01-01", "worn", 9.0300),
                                          F(3, "2026-01-01", "worn", 9.0376, 2)};
  const auto trend = TrendOf(facts);
  ASSERT_TRUE(trend.has_value());
  EXPECT_EQ(trend->records, 2u);
  EXPECT_NEAR(trend->fit.um_per_month, -2.4 / (365 / 30.436875), 1e-9);
  ASSERT_TRUE(trend->reaches_limit.has_value());
  EXPECT_EQ(static_cast<int>(trend->reaches_limit->year()), 2032);
  EXPECT_EQ(static_cast<unsigned>(trend->reaches_limit->month()), 6u);
  EXPECT_EQ(*LastRecordDay(facts), "2026-01-01");
  const GaugeStanding standing = StandingOf(Plug(), facts);
  EXPECT_EQ(standing.last_record, "2026-01-01");
  EXPECT_EQ(standing.last_verdict, "worn");
  EXPECT_EQ(CountingFacts(facts).size(), 2u);
}

}  // namespace
}  // namespace threadgauge
