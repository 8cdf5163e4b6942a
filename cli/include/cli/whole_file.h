#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace threadgauge {

// Has `write` write a temporary file beside `file` and renames it into place only when it
// is complete, so a failure never leaves a half-written file where the user expects one.
// The error, with the path, when it cannot be written.
std::optional<std::string> WriteWhole(
    const std::filesystem::path& file,
    const std::function<std::optional<std::string>(const std::filesystem::path&)>& write);

}  // namespace threadgauge
