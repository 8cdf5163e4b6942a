#include "support/filled_database.h"

#include <sqlite3.h>

#include <sstream>
#include <system_error>

#include "platform/utf8.h"

namespace threadgauge::testing {

std::optional<std::string> WriteFilledDatabase(const std::filesystem::path& shipped,
                                               const std::filesystem::path& out) {
  std::error_code ec;
  std::filesystem::copy_file(shipped, out, std::filesystem::copy_options::overwrite_existing, ec);
  if (ec) return ec.message();
  std::ostringstream sql;
  sql << "BEGIN;"
      << "INSERT INTO 螺距公差 VALUES ('小于或等于14', 0.004), ('大于14至32', 0.005), "
         "('大于32至50', 0.006), ('大于50至80', 0.007);";
  for (const char* P : {"0.2",  "0.25", "0.3", "0.35", "0.4", "0.45", "0.5", "0.6", "0.7",
                        "0.75", "0.8",  "1",   "1.25", "1.5", "1.75", "2",   "2.5", "3",
                        "3.5",  "4",    "4.5", "5",    "5.5", "6",    "8"}) {
    sql << "INSERT INTO 半角公差 VALUES (" << P << ", '±10', '±15');"
        << "INSERT INTO 圆柱螺纹塞规 VALUES (" << P << ", '');"
        << "INSERT INTO 测球直径 VALUES (" << P << ", '');";
  }
  // Bands of 50 µm from 0 to 1000, each value a small function of the band: test values.
  for (int lower = 0; lower < 1000; lower += 50) {
    const int k = lower / 50;
    sql << "INSERT INTO 位置要素 VALUES (" << lower << ", " << lower + 50 << ", " << 6 + k << ", "
        << 10 + k << ", " << 8 + k << ", " << 5 + k / 2 << ", " << 4 + k / 2 << ", " << 6 + k
        << ", " << 12 + k << ", " << 10 + k << ");";
  }
  sql << "COMMIT;";
  sqlite3* db = nullptr;
  if (sqlite3_open(Utf8(out).c_str(), &db) != SQLITE_OK) {
    sqlite3_close(db);
    return "cannot open " + Utf8(out);
  }
  char* error = nullptr;
  const int rc = sqlite3_exec(db, sql.str().c_str(), nullptr, nullptr, &error);
  std::optional<std::string> failure;
  if (rc != SQLITE_OK) failure = error != nullptr ? error : "sqlite error";
  sqlite3_free(error);
  sqlite3_close(db);
  return failure;
}

}  // namespace threadgauge::testing
