#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace threadgauge {

// threadgauge-cli batch (--series coarse|fine|all [--from D] [--to D] | --designations FILE|-)
//                       --classes LIST [--length TEXT] [--database FILE]
//                       [--format csv|jsonl|xlsx] [--out FILE]
// One row per thread, class and gauge. The exit status: 0 every row complete, 1 notices or
// lines not understood (each told with its line number), 2 options not understood.
int RunBatchCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                    std::ostream& err);

extern const char* const kBatchHelp;

}  // namespace threadgauge
