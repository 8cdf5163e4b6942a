#include "calculation/designated_gauge_set.h"

namespace threadgauge {

std::variant<DesignatedGaugeSet, GaugeSetRefusal> GaugeSetFromDesignation(
    std::string_view typed, const std::string& length_range, const ToleranceDatabase& db) {
  auto parsed = ParseDesignation(typed);
  if (auto* error = std::get_if<DesignationError>(&parsed)) return GaugeSetRefusal{*error};
  Designation& thread = std::get<Designation>(parsed);
  if (!thread.thread_class) return GaugeSetRefusal{NoClassInDesignation{thread.text}};
  GaugeRequest request = RequestFor(thread, nullptr, "", length_range);
  request.reading_notes = ReadingNotices(thread, typed);
  auto set = CalculateGaugeSet(request, thread.text, db);
  if (auto* rejection = std::get_if<Rejection>(&set)) return GaugeSetRefusal{*rejection};
  return DesignatedGaugeSet{std::move(thread), std::get<GaugeSet>(std::move(set))};
}

}  // namespace threadgauge
