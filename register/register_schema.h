#pragma once

#include <string>
#include <vector>

namespace threadgauge {

// "TGRG": tells a register from any other SQLite file.
inline constexpr int kRegisterApplicationId = 0x54475247;

// The register's tables as this version makes them, and the steps that bring an older file
// to this version, one version at a time: kMigrations[v - 1] takes version v to v + 1.
extern const char* const kRegisterSchema;
extern const std::vector<const char*> kMigrations;

// The triggers that keep the records as they were stored: never changed, deleted or written
// over, and a gauge's internal id never moved. By name, as the file must hold them.
struct RegisterTrigger {
  const char* name;
  const char* sql;
};
const std::vector<RegisterTrigger>& RegisterTriggers();
// The triggers of earlier versions, dropped before a migration rewrites what they guard.
extern const std::vector<const char*> kEarlierTriggers;

}  // namespace threadgauge
