// What each failure says to a gauge designer.
#include "calculation/notice.h"

#include <gtest/gtest.h>

#include "words/calculation_words.h"

namespace threadgauge {
namespace {

LookupFailure Failure(LookupFailureKind kind) {
  LookupFailure f{kind, "位置要素", "TPL", "TD2/Td2 = 132"};
  f.cell_text = "约12";
  f.read_as = 0;
  return f;
}

TEST(Notices, EachFailureIsToldInItsOwnWords) {
  LookupFailure locked = Failure(LookupFailureKind::EngineError);
  locked.engine_fault = EngineFault::Locked;
  LookupFailure damaged = locked;
  damaged.engine_fault = EngineFault::Damaged;
  LookupFailure other = locked;
  other.engine_fault = EngineFault::Other;
  other.engine_code = 10;
  LookupFailure missing{LookupFailureKind::DatabaseUnavailable, {}, {}, "/数据/公差表.db"};
  missing.open_status = OpenStatus::FileMissing;
  LookupFailure bound = Failure(LookupFailureKind::BoundReadAsNumber);
  bound.key = "第 1 行";
  const std::pair<Notice, std::string> told[] = {
      {locked, "公差数据库文件正被其他程序锁定，读取表“位置要素”时出错"},
      {damaged, "公差数据库文件已损坏，读取表“位置要素”时出错"},
      {other, "读取表“位置要素”时出错（数据库引擎错误码 10）"},
      {missing, "找不到公差数据库文件：/数据/公差表.db"},
      {bound, "表“位置要素”第 1 行的“TPL”“约12”不是数值，按 0 读取"},
      {Failure(LookupFailureKind::NoRangeHolds),
       "表“位置要素”中没有范围包含 TD2/Td2 = 132 的行（量规公差表须由用户填写"},
      {ResultTooLarge{OutputField::Measurement}, "M 值或 E 值的计算结果太大，无法显示"},
      {UnknownGauge{std::string(60, 'x')}, "量规名称“" + std::string(40, 'x') + "…”不是"},
  };
  for (const auto& [notice, words] : told) {
    EXPECT_NE(DescribeNotice(notice).find(words), std::string::npos) << DescribeNotice(notice);
  }
  // The link to the table editor is offered for the user's gauge tables only.
  EXPECT_EQ(GaugeTableToFill(Failure(LookupFailureKind::NoRow)), "位置要素");
  EXPECT_EQ(GaugeTableToFill(locked), "");
  LookupFailure iso = Failure(LookupFailureKind::NoRow);
  iso.table = "基本偏差";
  EXPECT_EQ(GaugeTableToFill(iso), "");
}

}  // namespace
}  // namespace threadgauge
