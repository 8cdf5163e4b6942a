#pragma once

#include <string>

#include "calculation/calculate.h"
#include "support/fixture_database.h"

namespace threadgauge::testing {

// The values one calculation looks up, as the worked examples give them (they are not
// from any real table). A value of the "位置要素" row that a kind must not use is given
// as 77, so that using it would change a shown digit.
struct LookedUpValues {
  double EI_H = 0;    // "EI(H)" for P = 1.5
  double es_g = -32;  // "es(g)" for P = 1.5
  double T = 112;     // TD2 and Td2, grade 6, for d from 5 to 25
  double TPL = 77, ZPL = 77, ZR = 77, m = 77, TCP = 77, TR = 77, WGO = 77, WNG = 77;
  std::string wire;  // "do" for P = 1.5; empty: none stored
  std::string ball;  // "d" for P = 1.5
};

// Writes the values into a fixture with the product's tables. The half-angle tolerances
// are "10" (complete profile) and "15" (truncated), the pitch tolerance of "大于14至32"
// 0.005 mm.
void Fill(FixtureDatabase& fixture, const LookedUpValues& v);

// Every table filled for M10 × 1.5 with distinct values for each gauge tolerance (TD2 = Td2
// = 180, TPL 12, ZPL 20, ZR 8, m 11, TCP 9, TR 6, WGO 24, WNG 21, a stored ball of 0.9).
void FillComplete(FixtureDatabase& fixture);

CalculationInputs Inputs(double d, const char* position, const char* gauge);

}  // namespace threadgauge::testing
