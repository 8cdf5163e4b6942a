#include "calculation/batch.h"

#include <variant>

#include "calculation/gauge_set.h"
#include "calculation/thread_series.h"

namespace threadgauge {

std::vector<Designation> SeriesThreads(Series series, double from, double to) {
  std::vector<Designation> threads;
  for (const SeriesThread& row : Iso261Threads()) {
    if (row.d < from || row.d > to) continue;
    Designation thread;
    thread.d = row.d;
    if (series != Series::Fine) {
      thread.P = row.coarse;
      thread.coarse = true;
      thread.text = DesignationText(thread);
      threads.push_back(thread);
    }
    if (series != Series::Coarse) {
      for (double P : row.fine) {
        thread.P = P;
        thread.coarse = false;
        thread.text = DesignationText(thread);
        threads.push_back(thread);
      }
    }
  }
  return threads;
}

std::optional<ThreadClass> ParseThreadClass(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (text.size() != 2 || text[0] < '3' || text[0] > '9') return std::nullopt;
  const char p = text[1];
  if (p != 'G' && p != 'H' && p != 'e' && p != 'f' && p != 'g' && p != 'h') return std::nullopt;
  return ThreadClass{std::string(1, text[0]), std::string(1, p)};
}

Designation WithClass(Designation thread, const ThreadClass& thread_class) {
  thread.grade = thread_class.grade;
  thread.position = thread_class.position;
  thread.crest_class.clear();
  thread.text = DesignationText(thread);
  return thread;
}

std::vector<BatchRow> BatchRows(const Designation& thread, const std::string& length_range,
                                const ToleranceDatabase& db) {
  std::vector<BatchRow> rows;
  const auto set = CalculateGaugeSet(InputsOf(thread, "", length_range), thread.text, db);
  if (!std::holds_alternative<GaugeSet>(set)) return rows;
  for (const GaugeSetRow& gauge : std::get<GaugeSet>(set).rows) {
    rows.push_back({thread.text, thread.d, thread.P, thread.grade + thread.position, gauge.gauge,
                    gauge.shown, gauge.result.notices});
  }
  return rows;
}

}  // namespace threadgauge
