#include "calculation/batch.h"

#include <algorithm>
#include <variant>

#include "calculation/gauge_set.h"
#include "calculation/thread_series.h"

namespace threadgauge {

std::vector<Designation> SeriesThreads(Series series, double from, double to,
                                       const std::vector<int>& choices) {
  std::vector<Designation> threads;
  for (const SeriesThread& row : Iso261Threads()) {
    if (row.d < from || row.d > to) continue;
    if (!choices.empty() &&
        std::find(choices.begin(), choices.end(), row.choice) == choices.end()) {
      continue;
    }
    Designation thread;
    thread.d = row.d;
    if (series != Series::Fine && row.coarse) {
      thread.P = *row.coarse;
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

Designation WithClass(Designation thread, const ThreadClass& thread_class) {
  thread.thread_class = thread_class;
  thread.crest_class.reset();
  thread.text = DesignationText(thread);
  return thread;
}

std::variant<std::vector<BatchRow>, Rejection> BatchRows(const Designation& thread,
                                                         const std::string& length_range,
                                                         const ToleranceDatabase& db) {
  std::vector<BatchRow> rows;
  const auto set =
      CalculateGaugeSet(RequestFor(thread, nullptr, "", length_range), thread.text, db);
  if (const auto* rejection = std::get_if<Rejection>(&set)) return *rejection;
  const std::string thread_class = thread.thread_class ? thread.thread_class->Text() : "";
  for (const GaugeSetRow& gauge : std::get<GaugeSet>(set).rows) {
    rows.push_back({thread.text, thread.d, thread.P, thread_class, gauge.gauge, gauge.shown,
                    gauge.result.notices});
  }
  return rows;
}

}  // namespace threadgauge
