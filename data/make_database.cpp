// Builds the shipped tolerance database from its text sources in data/tables/ (one CSV per
// table, named after it, header row = column names, rows in stored order; an empty cell is
// stored as NULL). It is the same import a user runs with "threadgauge-cli db import", so
// the shipped file and an imported one are made alike.
#include <filesystem>
#include <iostream>

#include "platform/terminal.h"
#include "platform/utf8.h"
#include "tables/database_files.h"
#include "words/message_words.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args = threadgauge::ProgramArguments(argc, argv);
  if (args.size() != 3) {
    std::cerr << "usage: make_database TABLES_DIR OUTPUT.db\n";
    return 2;
  }
  const auto outcome = threadgauge::ImportDatabase(threadgauge::PathFromUtf8(args[1]),
                                                   threadgauge::PathFromUtf8(args[2]), true);
  for (const auto& warning : outcome.warnings)
    std::cerr << "make_database: " << threadgauge::Say(warning) << "\n";
  if (outcome.error) {
    std::cerr << "make_database: " << threadgauge::Say(*outcome.error) << "\n";
    return 1;
  }
  // Every table has its source file: a missing one would ship a table the data never named.
  return outcome.warnings.empty() ? 0 : 1;
}
