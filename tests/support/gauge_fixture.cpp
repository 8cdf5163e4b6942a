#include "support/gauge_fixture.h"

#include <sstream>

namespace threadgauge::testing {

void Fill(FixtureDatabase& fixture, const LookedUpValues& v) {
  std::ostringstream sql;
  sql.precision(17);
  sql << "INSERT INTO 螺距公差 VALUES ('大于14至32', 0.005);"
      << "INSERT INTO 半角公差 VALUES (1.5, '10', '15');"
      << "INSERT INTO 基本偏差 (P, \"EI(H)\", \"es(g)\") VALUES (1.5, " << v.EI_H << ", " << v.es_g
      << ");"
      << "INSERT INTO 内螺纹中径公差 (D下限, D上限, P, \"6\") VALUES (5, 25, 1.5, " << v.T << ");"
      << "INSERT INTO 外螺纹中径公差 (D下限, D上限, P, \"6\") VALUES (5, 25, 1.5, " << v.T << ");"
      << "INSERT INTO 位置要素 VALUES (0, 1000, " << v.TPL << ", " << v.ZPL << ", " << v.ZR << ", "
      << v.m << ", " << v.TCP << ", " << v.TR << ", " << v.WGO << ", " << v.WNG << ");"
      << "INSERT INTO 圆柱螺纹塞规 VALUES (1.5, '" << v.wire << "');"
      << "INSERT INTO 测球直径 VALUES (1.5, '" << v.ball << "');";
  fixture.Exec(sql.str());
}

void FillComplete(FixtureDatabase& fixture) {
  LookedUpValues v;
  v.T = 180, v.TPL = 12, v.ZPL = 20, v.ZR = 8, v.m = 11, v.TCP = 9, v.TR = 6, v.WGO = 24,
  v.WNG = 21, v.ball = "0.9";
  Fill(fixture, v);
}

CalculationInputs Inputs(double d, const char* position, const char* gauge) {
  std::ostringstream diameter;
  diameter << d;
  return {diameter.str(), "1.5", "6", position, gauge, "大于14至32"};
}

}  // namespace threadgauge::testing
