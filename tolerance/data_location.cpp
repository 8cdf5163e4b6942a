#include "tolerance/data_location.h"

#include <system_error>

namespace threadgauge {

DatabaseLocation LocateDatabase(const std::filesystem::path& program_directory) {
  const std::filesystem::path folder = std::filesystem::path(u8"公差表");
  const std::filesystem::path file = std::filesystem::path(u8"公差表.db");
  DatabaseLocation location;
  location.tried = {program_directory / folder / std::filesystem::path(u8"公差表.mdb"),
                    program_directory / folder / file,
                    program_directory.parent_path() / "share" / "threadgauge" / folder / file};
  for (const auto& candidate : location.tried) {
    std::error_code ec;
    if (std::filesystem::is_regular_file(candidate, ec)) {
      location.path = candidate;
      location.found = true;
      return location;
    }
  }
  location.path = location.tried[1];
  return location;
}

std::filesystem::path LocateWorkbook(const std::filesystem::path& program_directory,
                                     const std::filesystem::path& name) {
  const std::filesystem::path folder = std::filesystem::path(u8"公差表");
  const std::filesystem::path beside = program_directory / folder / name;
  const std::filesystem::path installed =
      program_directory.parent_path() / "share" / "threadgauge" / folder / name;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(beside, ec) &&
      std::filesystem::is_regular_file(installed, ec)) {
    return installed;
  }
  return beside;
}

}  // namespace threadgauge
