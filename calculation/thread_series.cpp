#include "calculation/thread_series.h"

#include <cmath>
#include <sstream>

#include "tolerance/number_text.h"

namespace threadgauge {

// The ISO 261 table as shipped in data/coarse_pitch.csv, built into the program.
const std::string& CoarsePitchCsv();

namespace {

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::istringstream in(line);
  for (std::string field; std::getline(in, field, ',');) fields.push_back(field);
  return fields;
}

// "1.25 或 1" lists two fine pitches.
std::vector<double> Pitches(const std::string& text) {
  std::vector<double> pitches;
  std::istringstream in(text);
  for (std::string word; in >> word;) {
    if (const auto P = ParseStoredNumber(word)) pitches.push_back(*P);
  }
  return pitches;
}

}  // namespace

const std::vector<SeriesThread>& Iso261Threads() {
  static const std::vector<SeriesThread> threads = [] {
    std::vector<SeriesThread> rows;
    std::istringstream in(CoarsePitchCsv());
    std::string line;
    std::getline(in, line);  // the header
    while (std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      const std::vector<std::string> f = Fields(line);
      if (f.size() < 4) continue;
      const auto d = ParseStoredNumber(f[0]);
      const auto coarse = ParseStoredNumber(f[2]);
      if (!d || !coarse) continue;
      rows.push_back({*d, f[1], *coarse, Pitches(f[3])});
    }
    return rows;
  }();
  return threads;
}

std::optional<double> CoarsePitch(double d) {
  for (const SeriesThread& thread : Iso261Threads()) {
    if (thread.d == d) return thread.coarse;
  }
  return std::nullopt;
}

}  // namespace threadgauge
