#pragma once

#include <filesystem>
#include <optional>
#include <vector>

namespace threadgauge {

// The folder that holds the running program.
std::filesystem::path ExecutableDirectory();

// The user's own data folder, as Qt's AppDataLocation names it for this program:
// %APPDATA%\threadgauge on Windows, $XDG_DATA_HOME/threadgauge or
// ~/.local/share/threadgauge elsewhere. Nothing when the system tells no home.
std::optional<std::filesystem::path> UserDataDirectory();

// Where the tolerance files are looked for.
struct DataPlaces {
  std::filesystem::path program_directory;
  std::optional<std::filesystem::path> user_directory;  // the user's data folder

  // The places of this program: its own folder and the user's data folder.
  static DataPlaces OfThisProgram();
};

// The user's tolerance database, the one the table editor saves: "公差表/公差表.db" in the
// user's data folder.
std::filesystem::path UserDatabasePath(const std::filesystem::path& user_directory);

// The database a calculation uses, decided afresh at each calculation. In order, the first
// that exists wins:
//   1. the user's database (saved by the table editor);
//   2. the user's Access database beside the program, "公差表/公差表.mdb" (the file their
//      earlier calculator read);
//   3. the shipped "公差表/公差表.db" beside the program (the build tree, Windows), then in
//      the installed data folder "../share/threadgauge/公差表/".
// When none exists, the shipped file's place beside the program is taken, so that the
// notice names where the file belongs.
struct DatabaseLocation {
  std::filesystem::path path;
  struct Place {
    std::filesystem::path path;
    bool exists = false;
  };
  std::vector<Place> looked_at;  // in order
  bool found = false;
};
DatabaseLocation LocateDatabase(const DataPlaces& places);

// A reference workbook of the "公差表" folder, beside the program or installed, found the
// same way; when it is in neither place, its place beside the program.
std::filesystem::path LocateWorkbook(const std::filesystem::path& program_directory,
                                     const std::filesystem::path& name);

}  // namespace threadgauge
