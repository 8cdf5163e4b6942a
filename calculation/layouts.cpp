#include "layouts.h"

namespace threadgauge {

void ApplyLayout(Layout layout, FormUpdate& update) {
  const bool plug = layout == Layout::Plug;
  update.Show(Switchable::MinorAtMost, plug);
  update.Show(Switchable::MinorPlusMinus, !plug);
  update.Show(Switchable::MinorDeviation, !plug);
  update.Show(Switchable::MajorAtLeast, !plug);
  update.Show(Switchable::MajorPlusMinus, plug);
  update.Show(Switchable::MajorDeviation, plug);
  update.SetCaption(Caption::Element, plug ? "三针直径" : "测球直径");
  update.SetCaption(Caption::Measurement, plug ? "M  值" : "E   值");
}

}  // namespace threadgauge
