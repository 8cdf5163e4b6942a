#pragma once

#include <string>
#include <string_view>

namespace threadgauge {

// The SHA-256 digest (FIPS 180-4) of the bytes, as 64 lower-case hexadecimal digits.
std::string Sha256Hex(std::string_view bytes);

}  // namespace threadgauge
