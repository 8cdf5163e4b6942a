// Builds the tolerance database from its text sources: the schema, then one CSV per table
// (named after the table, header row = column names, rows in stored order). An empty cell
// becomes NULL: the standard gives no value there. Writes a new file and renames it, so a
// failed build never leaves a half-written database behind.
#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "tolerance/csv.h"

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string Quoted(const std::string& name) {
  std::string out = "\"";
  for (char c : name) out += (c == '"') ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
}

bool Exec(sqlite3* db, const std::string& sql) {
  char* error = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
    std::cerr << "make_database: " << (error ? error : "error") << "\n";
    sqlite3_free(error);
    return false;
  }
  return true;
}

bool LoadTable(sqlite3* db, const fs::path& csv_file) {
  const std::string table = reinterpret_cast<const char*>(csv_file.stem().u8string().c_str());
  const auto rows = threadgauge::ParseCsv(ReadFile(csv_file));
  if (rows.empty()) {
    std::cerr << "make_database: " << csv_file << " has no header row\n";
    return false;
  }
  const auto& header = rows.front();
  std::string sql = "INSERT INTO " + Quoted(table) + " (";
  std::string marks;
  for (size_t i = 0; i < header.size(); ++i) {
    sql += (i ? ", " : "") + Quoted(header[i]);
    marks += i ? ", ?" : "?";
  }
  sql += ") VALUES (" + marks + ")";
  sqlite3_stmt* insert = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &insert, nullptr) != SQLITE_OK) {
    std::cerr << "make_database: " << table << ": " << sqlite3_errmsg(db) << "\n";
    return false;
  }
  bool ok = true;
  for (size_t r = 1; r < rows.size() && ok; ++r) {
    if (rows[r].size() != header.size()) {
      std::cerr << "make_database: " << csv_file << " row " << r + 1 << " has " << rows[r].size()
                << " cells, the header " << header.size() << "\n";
      ok = false;
      break;
    }
    sqlite3_reset(insert);
    for (size_t i = 0; i < header.size(); ++i) {
      const std::string& cell = rows[r][i];
      if (cell.empty()) {
        sqlite3_bind_null(insert, static_cast<int>(i + 1));
      } else {
        // Column affinity stores numeric text of REAL columns as numbers.
        sqlite3_bind_text(insert, static_cast<int>(i + 1), cell.c_str(),
                          static_cast<int>(cell.size()), SQLITE_TRANSIENT);
      }
    }
    if (sqlite3_step(insert) != SQLITE_DONE) {
      std::cerr << "make_database: " << table << ": " << sqlite3_errmsg(db) << "\n";
      ok = false;
    }
  }
  sqlite3_finalize(insert);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: make_database SCHEMA.sql TABLES_DIR OUTPUT.db\n";
    return 2;
  }
  const fs::path schema = argv[1], tables = argv[2], output = argv[3];
  const fs::path temporary = output.string() + ".new";
  fs::create_directories(output.parent_path());
  fs::remove(temporary);

  sqlite3* db = nullptr;
  if (sqlite3_open(reinterpret_cast<const char*>(temporary.u8string().c_str()), &db) != SQLITE_OK) {
    std::cerr << "make_database: cannot create " << temporary << "\n";
    return 1;
  }
  bool ok = Exec(db, "BEGIN") && Exec(db, ReadFile(schema));
  for (const auto& entry : fs::directory_iterator(tables)) {
    if (ok && entry.path().extension() == ".csv") ok = LoadTable(db, entry.path());
  }
  ok = ok && Exec(db, "COMMIT");
  sqlite3_close(db);
  if (!ok) {
    fs::remove(temporary);
    return 1;
  }
  fs::rename(temporary, output);
  return 0;
}
