#pragma once

#include <string_view>

namespace threadgauge {

// Whether where the user names the register is a server's address (a libpq URI
// "postgresql://…" or "postgres://…", or a connection string with "service=" or "host=")
// rather than a file.
bool IsServerAddress(std::string_view where);

}  // namespace threadgauge
