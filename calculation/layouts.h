#pragma once

#include "calculation/form_fields.h"
#include "calculation/gauge_kind.h"

namespace threadgauge {

// Plug kinds: "≤" before the minor diameter, "±" and its deviation for the major diameter,
// captions "三针直径" and "M  值". Ring kinds: "≥" before the major diameter, "±" and its
// deviation for the minor diameter, captions "测球直径" and "E   值". The settings stay until
// another calculation changes them.
void ApplyLayout(Layout layout, FormUpdate& update);

}  // namespace threadgauge
