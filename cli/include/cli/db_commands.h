#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "tables/database_check.h"

namespace threadgauge {

// threadgauge-cli db import|export|check: the user's own tolerance tables.
// Returns the exit status.
int RunDbCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

extern const char* const kDbHelp;

// What a complete database must hold for the threads the window offers: a row for every
// listed pitch and the four thread-length ranges.
CheckKeys ShippedCheckKeys();

}  // namespace threadgauge
