#pragma once

#include <string>
#include <variant>

#include "register/gauge_register.h"

namespace threadgauge {

// The register on a workshop's server: `where` is any libpq connection string (a URI
// "postgresql://主机:端口/库名" or "service=名"). The password is libpq's own (its password
// file, PGPASSWORD) unless the user typed it in a sign-in.
std::variant<GaugeRegister, RegisterError> OpenServerRegister(const std::string& where,
                                                              const std::string& password = "");

}  // namespace threadgauge
