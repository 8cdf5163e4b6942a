#pragma once

namespace threadgauge {

// Whether the standard error stream is a terminal a person watches (not a file or a pipe).
bool StandardErrorIsTerminal();

}  // namespace threadgauge
