#pragma once

#include "calculation/gauge_kind.h"

namespace threadgauge {

extern const GaugeKind kGoThreadPlug;             // 通端螺纹塞规
extern const GaugeKind kNotGoThreadPlug;          // 止端螺纹塞规
extern const GaugeKind kGoThreadRing;             // 通端螺纹环规
extern const GaugeKind kGoRingGoCheckPlug;        // 校通-通螺纹塞规
extern const GaugeKind kGoRingNotGoCheckPlug;     // 校通-止螺纹塞规
extern const GaugeKind kGoRingWearCheckPlug;      // 校通-损螺纹塞规
extern const GaugeKind kNotGoThreadRing;          // 止端螺纹环规
extern const GaugeKind kNotGoRingGoCheckPlug;     // 校止-通螺纹塞规
extern const GaugeKind kNotGoRingNotGoCheckPlug;  // 校止-止螺纹塞规
extern const GaugeKind kNotGoRingWearCheckPlug;   // 校止-损螺纹塞规

}  // namespace threadgauge
