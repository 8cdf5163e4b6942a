#include "platform/data_location.h"

#include <system_error>

namespace threadgauge {
namespace {

const std::filesystem::path kFolder = std::filesystem::path(u8"公差表");

std::filesystem::path InstalledFolder(const std::filesystem::path& program_directory) {
  return program_directory.parent_path() / "share" / "threadgauge" / kFolder;
}

bool IsFile(const std::filesystem::path& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec);
}

}  // namespace

DataPlaces DataPlaces::OfThisProgram() { return {ExecutableDirectory(), UserDataDirectory()}; }

std::filesystem::path UserDatabasePath(const std::filesystem::path& user_directory) {
  return user_directory / kFolder / std::filesystem::path(u8"公差表.db");
}

DatabaseLocation LocateDatabase(const DataPlaces& places) {
  const std::filesystem::path shipped = std::filesystem::path(u8"公差表.db");
  DatabaseLocation location;
  std::vector<std::filesystem::path> candidates;
  if (places.user_directory) candidates.push_back(UserDatabasePath(*places.user_directory));
  candidates.push_back(places.program_directory / kFolder / std::filesystem::path(u8"公差表.mdb"));
  candidates.push_back(places.program_directory / kFolder / shipped);
  candidates.push_back(InstalledFolder(places.program_directory) / shipped);
  for (const auto& candidate : candidates) {
    const bool exists = IsFile(candidate);
    location.looked_at.push_back({candidate, exists});
    if (exists && !location.found) {
      location.path = candidate;
      location.found = true;
    }
  }
  if (!location.found) location.path = places.program_directory / kFolder / shipped;
  return location;
}

std::filesystem::path LocateWorkbook(const std::filesystem::path& program_directory,
                                     const std::filesystem::path& name) {
  const std::filesystem::path beside = program_directory / kFolder / name;
  const std::filesystem::path installed = InstalledFolder(program_directory) / name;
  if (!IsFile(beside) && IsFile(installed)) return installed;
  return beside;
}

}  // namespace threadgauge
