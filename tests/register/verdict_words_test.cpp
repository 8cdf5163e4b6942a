// The verdict line names the limit its margin is measured to, and with U says what is left
// once U is taken into account; records stored before the limit was named read as they did.
#include <gtest/gtest.h>

#include "register/inspection.h"
#include "words/calculation_words.h"

namespace threadgauge {
namespace {

Verdict V(VerdictCode code, std::optional<double> margin, MarginLimit limit,
          bool boundary = false) {
  return {code, margin, limit, boundary};
}

struct LineCase {
  Verdict verdict;
  std::optional<double> U;
  const char* line;
};

using VC = VerdictCode;
using ML = MarginLimit;
const LineCase kLines[] = {
    {V(VC::New, 3.162, ML::NewHigh), {}, "合格（新制范围内），距新制上限 3.2 µm"},
    {V(VC::New, 1.5, ML::NewHigh), 1.0,
     "合格（新制范围内），距新制上限 1.5 µm（计入 U = 1.0 µm 后 0.5 µm）"},
    // Only new from worn: the distance is no breach of the U rule, and U is not taken off.
    {V(VC::New, 0.3, ML::NewLow, true), 1.0, "合格（新制范围内），距新制下限 0.3 µm"},
    {V(VC::Worn, 19.438, ML::Wear), {}, "合格（已磨损，未超磨损极限），距磨损极限 19.4 µm"},
    {V(VC::Worn, 19.438, ML::Wear), 1.0,
     "合格（已磨损，未超磨损极限），距磨损极限 19.4 µm（计入 U = 1.0 µm 后 18.4 µm）"},
    {V(VC::WornOut, -1.5, ML::Wear), 1.0,
     "不合格（超出磨损极限），超出磨损极限 1.5 µm（计入 U = 1.0 µm 后 0.5 µm）"},
    {V(VC::OutOfTolerance, -0.46, ML::NewHigh), {}, "不合格（超出制造公差），超出新制上限 0.5 µm"},
    {V(VC::OutOfTolerance, -2.0, ML::NewLow), {}, "不合格（超出制造公差），超出新制下限 2.0 µm"},
    {V(VC::Undecided, 0.5, ML::Wear), 1.0, "不能判定，距磨损极限 0.5 µm，小于 U = 1.0 µm"},
    {V(VC::Undecided, -0.5, ML::NewHigh), 1.0, "不能判定，超出新制上限 0.5 µm，小于 U = 1.0 µm"},
    {V(VC::Undecided, std::nullopt, ML::None), {}, "不能判定"},
    // As records stored before the limit was named say it.
    {V(VC::New, 0.0, ML::None), {}, "合格（新制范围内），距最近极限 0.0 µm"},
    {V(VC::Worn, 19.438, ML::None), 1.0, "合格（已磨损，未超磨损极限），距磨损极限 19.4 µm"},
    {V(VC::WornOut, -0.46, ML::None), {}, "不合格（超出磨损极限），超出 0.5 µm"},
};

TEST(VerdictLine, NamesTheLimitAndTakesUOffWhereItApplies) {
  for (const LineCase& c : kLines) EXPECT_EQ(VerdictLine(c.verdict, c.U), c.line);
  EXPECT_EQ(Millimetres(8.99056189), "8.9906");
}

InspectionRecord Stored(const char* kind, const char* verdict, double margin, const char* limit) {
  InspectionRecord r;
  r.kind = kind;
  r.verdict = verdict;
  r.verdict_text = VerdictText(*VerdictOfKey(verdict));
  r.margin_um = margin;
  r.margin_limit = limit;
  r.limit_low = 9.040, r.limit_high = 9.052, r.wear_limit = 9.022, r.has_wear_limit = true;
  r.uncertainty = 1.0;
  return r;
}

TEST(VerdictLine, AStoredRecordReadsAsItWasDecided) {
  // A plug's lower zone limit with its wear limit below: only new from worn.
  EXPECT_EQ(RecordVerdictLine(Stored("通端螺纹塞规", "new", 0.3, "new_low")),
            "合格（新制范围内），距新制下限 0.3 µm");
  // Its upper limit is where conformity ends.
  EXPECT_EQ(RecordVerdictLine(Stored("通端螺纹塞规", "new", 1.5, "new_high")),
            "合格（新制范围内），距新制上限 1.5 µm（计入 U = 1.0 µm 后 0.5 µm）");
  // A ring wears upwards: its upper zone limit is the boundary.
  InspectionRecord ring = Stored("通端螺纹环规", "new", 0.3, "new_high");
  ring.limit_low = 8.983, ring.limit_high = 8.989, ring.wear_limit = 9.010;
  EXPECT_EQ(RecordVerdictLine(ring), "合格（新制范围内），距新制上限 0.3 µm");
  // Accepted new, the lower limit is where conformity ends.
  InspectionRecord accepted = Stored("通端螺纹塞规", "new", 1.5, "new_low");
  accepted.acceptance = true;
  EXPECT_EQ(RecordVerdictLine(accepted),
            "合格（新制范围内），距新制下限 1.5 µm（计入 U = 1.0 µm 后 0.5 µm）");
}

TEST(RecordAction, AFailedOrUndecidedGaugeIsToBeTakenOutOfUse) {
  for (const char* verdict : {"worn_out", "out_of_tolerance", "undecided"}) {
    InspectionRecord r;
    r.verdict = verdict;
    EXPECT_EQ(ActionAfter(r).value_or(""), "该量规应停止使用，待处理") << verdict;
  }
  for (const char* verdict : {"new", "worn"}) {
    InspectionRecord r;
    r.verdict = verdict;
    EXPECT_FALSE(ActionAfter(r).has_value()) << verdict;
  }
  EXPECT_EQ(ActionCommands("TG-3"),
            "停用：threadgauge-cli gauges set-state TG-3 停用；报废：threadgauge-cli gauges retire "
            "TG-3");
}

}  // namespace
}  // namespace threadgauge
