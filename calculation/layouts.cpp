#include "layouts.h"

namespace threadgauge {

void ApplyLayout(Layout layout, FormUpdate& update) {
  const bool plug = layout == Layout::Plug;
  update.Show(Switchable::Label16, plug);
  update.Show(Switchable::Label19, !plug);
  update.Show(Switchable::Text18, !plug);
  update.Show(Switchable::Label20, !plug);
  update.Show(Switchable::Label11, plug);
  update.Show(Switchable::Text3, plug);
  update.SetCaption(Caption::Label17, plug ? "三针直径" : "测球直径");
  update.SetCaption(Caption::Label18, plug ? "M  值" : "E   值");
}

}  // namespace threadgauge
