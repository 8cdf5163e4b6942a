#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "calculation/value.h"
#include "tolerance/lookups.h"

namespace threadgauge {

// Plug kinds show the major-diameter deviation and measure over three wires; ring kinds
// show the minor-diameter deviation and measure over balls.
enum class Layout { Plug, Ring };

// The fundamental deviation: EI of the internal thread or es of the external thread.
enum class Deviation { EI, es };

// The gauge tolerances and positions of the "位置要素" row for T (µm).
struct GaugeTolerances {
  Value TPL, ZPL, ZR, m, TCP, TR, WGO, WNG;
};

// What a gauge formula works with. Table values are in µm and enter the formulas each
// divided on its own by 1000 (or 2000 for half of the value).
struct ThreadValues {
  double d;         // nominal diameter, mm
  double P;         // pitch, mm
  double d2;        // BasicPitchDiameter
  double d1;        // BasicMinorDiameter
  Value deviation;  // EI or es, µm
  Value T;          // TD2 or Td2, µm
  GaugeTolerances gauge;
};

// The five values of a gauge: three diameters and the deviations that go with them.
// Plug kinds give the major diameter's deviation, ring kinds the minor diameter's.
struct GaugeDiameters {
  Value major_diameter;
  std::optional<Value> major_deviation;
  Value pitch_diameter;
  Value pitch_deviation;
  Value minor_diameter;
  std::optional<Value> minor_deviation;
};

struct GaugeKind;

// A ring's three check plugs, smallest to largest: GO, NOT-GO and wear. The wear check
// plug's pitch diameter is the ring's wear limit.
struct CheckPlugs {
  const GaugeKind* go = nullptr;
  const GaugeKind* not_go = nullptr;
  const GaugeKind* wear = nullptr;
};

// How far a plug may wear below its pitch diameter: the "位置要素" row's WGO for a GO plug,
// WNG for a NOT-GO plug. Rings wear up to their wear check plug; check plugs are not worn to
// a limit.
enum class WearAllowance { None, WGO, WNG };

struct GaugeKind {
  std::string_view name;  // as listed among the gauge names
  Layout layout;
  Deviation deviation;
  PitchDiameterTable pitch_diameter_table;
  HalfAngleProfile profile;
  GaugeDiameters (*diameters)(const ThreadValues&);
  CheckPlugs check_plugs{};                            // a ring's; none for a plug
  WearAllowance wear_allowance = WearAllowance::None;  // a plug's

  // The kind checks an internal thread (a nut): the plugs of G and H.
  bool internal() const { return deviation == Deviation::EI; }
};

// The ten kinds in the order the gauge name is compared with them.
std::span<const GaugeKind* const> GaugeKinds();
const GaugeKind* FindGaugeKind(std::string_view name);

}  // namespace threadgauge
