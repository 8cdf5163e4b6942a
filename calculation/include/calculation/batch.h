#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "calculation/designation.h"
#include "calculation/form_fields.h"
#include "calculation/gauge_request.h"
#include "calculation/notice.h"
#include "tolerance/thread_class.h"

namespace threadgauge {

class ToleranceDatabase;

// Which threads of the ISO 261 table: by coarse pitch, by fine pitches, or both.
enum class Series { Coarse, Fine, All };

// The threads of ISO 261 with from ≤ d ≤ to, in the table's order (coarse before fine for
// each d), without a tolerance class; only the choices listed (1, 2, 3), or all.
std::vector<Designation> SeriesThreads(Series series, double from, double to,
                                       const std::vector<int>& choices = {});

// The thread with the class given, its designation written again.
Designation WithClass(Designation thread, const ThreadClass& thread_class);

// One row of a series table: one gauge of one thread and class, as the window shows it.
struct BatchRow {
  std::string designation;
  double d = 0;
  double P = 0;
  std::string thread_class;  // "6H"
  std::string gauge;
  FormState shown;
  std::vector<Notice> notices;
};

// Every gauge of the thread (which carries its class): the rows of its gauge set; the
// refusal when the gauge set refuses the thread.
std::variant<std::vector<BatchRow>, Rejection> BatchRows(const Designation& thread,
                                                         const std::string& length_range,
                                                         const ToleranceDatabase& db);

}  // namespace threadgauge
