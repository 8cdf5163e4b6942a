#pragma once

#include <string>
#include <vector>

namespace threadgauge {

// Whether the standard error stream is a terminal a person watches (not a file or a pipe).
bool StandardErrorIsTerminal();

// The program's arguments as UTF-8, whatever the system's code page: on Windows they are
// read from the UTF-16 command line, so a Chinese file name arrives whole on a Windows set to
// any language.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// The program writes UTF-8: a Windows console is told so, and shows it right in cmd.exe and
// PowerShell. Output into a file or a pipe is the same bytes on every system (no line end
// is changed on the way).
void UseUtf8Console();

}  // namespace threadgauge
