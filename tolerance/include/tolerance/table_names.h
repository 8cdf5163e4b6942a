#pragma once

#include <array>

namespace threadgauge::names {

// The tables and columns of the tolerance database, spelled once: the lookups, the check,
// the editor and the notices all use these. A test resolves each against the schema.

inline constexpr const char* kPitchToleranceTable = "螺距公差";
inline constexpr const char* kLengthColumn = "螺纹量规螺纹部分长度(mm)";
inline constexpr const char* kPitchToleranceColumn = "螺距公差TP(mm)";

inline constexpr const char* kHalfAngleTable = "半角公差";
inline constexpr const char* kCompleteProfileColumn = "完整螺纹牙形的半角公差          Tα1/2(′)";
inline constexpr const char* kTruncatedProfileColumn = "截短螺纹牙形的半角公差         Tα2/2(′)";

inline constexpr const char* kFundamentalDeviationTable = "基本偏差";

inline constexpr const char* kInternalPitchDiameterTable = "内螺纹中径公差";
inline constexpr const char* kExternalPitchDiameterTable = "外螺纹中径公差";
inline constexpr const char* kDiameterLower = "D下限";
inline constexpr const char* kDiameterUpper = "D上限";

inline constexpr const char* kGaugeTable = "位置要素";
inline constexpr const char* kToleranceLower = "TD2/Td2下限";
inline constexpr const char* kToleranceUpper = "TD2/Td2上限";
// TPL, ZPL, ZR, m, TCP, TR, WGO, WNG in the order of GaugeToleranceRow.
inline constexpr std::array<const char*, 8> kGaugeColumns = {"TPL", "ZPL", "ZR",      "m",
                                                             "TCP", "TR",  "WGO环规", "WNG环规"};

inline constexpr const char* kWireTable = "圆柱螺纹塞规";
inline constexpr const char* kWireColumn = "do";
inline constexpr const char* kBallTable = "测球直径";
inline constexpr const char* kBallColumn = "d";

// The key column of every table looked up by pitch.
inline constexpr const char* kPitchColumn = "P";

// The tables users supply from their own copy of the gauge standard.
inline constexpr std::array<const char*, 5> kUserGaugeTables = {
    kGaugeTable, kHalfAngleTable, kPitchToleranceTable, kWireTable, kBallTable};
// Of those, the measuring wires and balls are optional: without a row the best size is used.
inline constexpr std::array<const char*, 2> kOptionalTables = {kWireTable, kBallTable};

// Every (table, column) pair named above, for the test that resolves them.
struct NamedColumn {
  const char* table;
  const char* column;
};
inline constexpr std::array<NamedColumn, 22> kNamedColumns = {{
    {kPitchToleranceTable, kLengthColumn},
    {kPitchToleranceTable, kPitchToleranceColumn},
    {kHalfAngleTable, kPitchColumn},
    {kHalfAngleTable, kCompleteProfileColumn},
    {kHalfAngleTable, kTruncatedProfileColumn},
    {kFundamentalDeviationTable, kPitchColumn},
    {kInternalPitchDiameterTable, kDiameterLower},
    {kInternalPitchDiameterTable, kDiameterUpper},
    {kInternalPitchDiameterTable, kPitchColumn},
    {kExternalPitchDiameterTable, kDiameterLower},
    {kExternalPitchDiameterTable, kDiameterUpper},
    {kExternalPitchDiameterTable, kPitchColumn},
    {kGaugeTable, kToleranceLower},
    {kGaugeTable, kToleranceUpper},
    {kGaugeTable, kGaugeColumns[0]},
    {kGaugeTable, kGaugeColumns[5]},
    {kGaugeTable, kGaugeColumns[6]},
    {kGaugeTable, kGaugeColumns[7]},
    {kWireTable, kPitchColumn},
    {kWireTable, kWireColumn},
    {kBallTable, kPitchColumn},
    {kBallTable, kBallColumn},
}};

}  // namespace threadgauge::names
