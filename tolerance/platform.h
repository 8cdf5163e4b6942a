#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace threadgauge {

// The few calls that differ between operating systems.
void SetEnvironmentVariable(const std::string& name, const std::string& value);

// Text in code page 936 (GBK) as UTF-8; nothing when the bytes are not GBK.
std::optional<std::string> GbkToUtf8(std::string_view gbk);

}  // namespace threadgauge
