#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace threadgauge {

// threadgauge-cli run as a separate process, as a user runs it.
struct CliRun {
  int exit = -1;
  std::string out;
  std::string err;
};

// `prefix` is put before the program, e.g. a command that runs it as another user;
// `environment` sets or removes variables for it.
CliRun RunCli(
    const std::vector<std::string>& args, const std::vector<std::string>& prefix = {},
    const std::vector<std::pair<std::string, std::optional<std::string>>>& environment = {});

// The environment that puts the user's data folder (…/threadgauge) in `folder`: XDG_DATA_HOME
// says where on Linux, APPDATA on Windows.
std::vector<std::pair<std::string, std::optional<std::string>>> UserDataFolderAt(
    const std::filesystem::path& folder);

}  // namespace threadgauge
