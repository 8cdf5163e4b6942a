#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace threadgauge {

// threadgauge-cli sheet DESIGNATION [--length TEXT] [--database FILE]
//                       [--format text|json|csv|pdf] [--out FILE]
// The exit status: 0 everything computed, 1 notices, 2 the designation or an option was
// not understood (the message on `err`).
extern const char* const kSheetHelp;

int RunSheetCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace threadgauge
