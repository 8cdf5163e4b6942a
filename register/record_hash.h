#pragma once

#include <string>

#include "register/register_entries.h"

namespace threadgauge {

// The record's link in the register's chain: SHA-256 over every stored part of the record
// (its number, the gauge, the inputs, readings and check results, limits, verdict, where and
// when it was computed) and the hash of the record before it ("" for the first).
std::string RecordHash(const InspectionRecord& record, const std::string& previous_hash);

}  // namespace threadgauge
