#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace threadgauge {

// threadgauge-cli db import|export|check: the user's own tolerance tables.
// Returns the exit status.
int RunDbCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

extern const char* const kDbHelp;

}  // namespace threadgauge
