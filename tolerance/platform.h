#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace threadgauge {

// The few calls that differ between operating systems.
void SetEnvironmentVariable(const std::string& name, const std::string& value);

}  // namespace threadgauge
