#pragma once

#include <functional>
#include <optional>
#include <string>

namespace threadgauge {

// Pages are drawn by Qt; a command line has no window, so Qt draws offscreen. Runs `draw`
// inside a Qt GUI application with the paper's Song face resolved; its error, if any.
std::optional<std::string> DrawWithQt(const std::function<std::optional<std::string>()>& draw);

}  // namespace threadgauge
