#pragma once

namespace threadgauge {

// "TGRG": tells a register from any other SQLite file.
inline constexpr int kRegisterApplicationId = 0x54475247;

// The register's tables as this version makes them, and the steps that bring a version-1
// file to this version. Records, their readings and check results are never changed or
// deleted; a gauge with records is never deleted.
extern const char* const kRegisterSchema;
extern const char* const kMigrateFromVersion1;
extern const char* const kKeepRecords;

}  // namespace threadgauge
