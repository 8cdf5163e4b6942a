#pragma once

#include <filesystem>
#include <vector>

namespace threadgauge {

// The folder that holds the running program.
std::filesystem::path ExecutableDirectory();

// Where the tolerance database is looked for, in order: the user's Access database beside
// the program ("公差表/公差表.mdb", the file their earlier calculator read), the shipped
// "公差表/公差表.db" beside the program (as in the build tree and on Windows), then the
// installed data folder "../share/threadgauge/公差表/公差表.db". The first that exists wins;
// when none does, the shipped file's place beside the program is returned so that the
// notice names where the file belongs.
struct DatabaseLocation {
  std::filesystem::path path;
  std::vector<std::filesystem::path> tried;
  bool found = false;
};
DatabaseLocation LocateDatabase(const std::filesystem::path& program_directory);

// A reference workbook of the "公差表" folder, beside the program or installed, found the
// same way; when it is in neither place, its place beside the program.
std::filesystem::path LocateWorkbook(const std::filesystem::path& program_directory,
                                     const std::filesystem::path& name);

}  // namespace threadgauge
