#include <array>

#include "calculation/gauge_kind.h"
#include "gauges/gauges.h"

namespace threadgauge {

std::span<const GaugeKind* const> GaugeKinds() {
  // The order in which the gauge name is compared; the first kind whose name equals it runs.
  static constexpr std::array<const GaugeKind*, 10> kinds = {
      &kGoThreadPlug,          &kNotGoThreadPlug,      &kGoThreadRing,
      &kGoRingGoCheckPlug,     &kGoRingNotGoCheckPlug, &kGoRingWearCheckPlug,
      &kNotGoThreadRing,       &kNotGoRingGoCheckPlug, &kNotGoRingNotGoCheckPlug,
      &kNotGoRingWearCheckPlug};
  return kinds;
}

const GaugeKind* FindGaugeKind(std::string_view name) {
  for (const GaugeKind* kind : GaugeKinds()) {
    if (kind->name == name) return kind;
  }
  return nullptr;
}

}  // namespace threadgauge
