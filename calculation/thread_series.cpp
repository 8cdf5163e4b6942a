#include "calculation/thread_series.h"

#include <algorithm>
#include <array>
#include <sstream>

#include "calculation/form_lists.h"
#include "platform/number_text.h"

namespace threadgauge {

// The ISO 261 table as shipped in data/iso261.csv, built into the program.
const std::string& Iso261Csv();

namespace {

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::istringstream in(line);
  for (std::string field; std::getline(in, field, ',');) fields.push_back(field);
  return fields;
}

// "4 3 2 1.5": the fine pitches, blank-separated.
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
    std::istringstream in(Iso261Csv());
    std::string line;
    std::getline(in, line);  // the header
    while (std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      const std::vector<std::string> f = Fields(line);
      if (f.size() < 4) continue;
      const auto d = ParseStoredNumber(f[0]);
      if (!d) continue;
      SeriesThread row{*d, f[1].empty() ? 1 : f[1][0] - '0', ParseStoredNumber(f[2]),
                       Pitches(f[3])};
      rows.push_back(std::move(row));
    }
    return rows;
  }();
  return threads;
}

const SeriesThread* Iso261Thread(double d) {
  for (const SeriesThread& thread : Iso261Threads()) {
    if (thread.d == d) return &thread;
  }
  return nullptr;
}

std::optional<double> CoarsePitch(double d) {
  const SeriesThread* thread = Iso261Thread(d);
  return thread ? thread->coarse : std::nullopt;
}

std::vector<double> Iso261Pitches() {
  std::vector<double> pitches;
  for (const SeriesThread& thread : Iso261Threads()) {
    if (thread.coarse) pitches.push_back(*thread.coarse);
    pitches.insert(pitches.end(), thread.fine.begin(), thread.fine.end());
  }
  std::sort(pitches.begin(), pitches.end());
  pitches.erase(std::unique(pitches.begin(), pitches.end()), pitches.end());
  return pitches;
}

std::vector<std::string> PitchesToCover() {
  std::vector<double> pitches = Iso261Pitches();
  for (const char* P : kPitches) pitches.push_back(ReadLeadingNumber(P));
  std::sort(pitches.begin(), pitches.end());
  pitches.erase(std::unique(pitches.begin(), pitches.end()), pitches.end());
  std::vector<std::string> texts;
  for (double P : pitches) texts.push_back(PlainDecimal(P));
  return texts;
}

std::optional<std::string> LengthRangeFor(double length_mm) {
  // The upper bounds of the four ranges, each included, as their names say.
  static constexpr std::array<double, kLengthRanges.size()> kUpTo = {14, 32, 50, 80};
  if (!(length_mm > 0)) return std::nullopt;
  for (size_t i = 0; i < kUpTo.size(); ++i) {
    if (length_mm <= kUpTo[i]) return kLengthRanges[i];
  }
  return std::nullopt;
}

std::vector<std::string> LengthRangesToCover() {
  return {kLengthRanges.begin(), kLengthRanges.end()};
}

}  // namespace threadgauge
