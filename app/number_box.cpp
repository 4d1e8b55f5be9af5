#include "app/number_box.h"

#include <string>

#include "app/program.h"
#include "ui/number_reading.h"

void AdjustBoxByWheel(Program& p, uint32_t boxId, int notches, void (*apply)(Program&, uint32_t box)) {
  ui::Control& box = p.settings->Get(boxId);
  const int64_t v = int64_t{ui::IntegerReading(box.text)} + notches;
  p.ui.SetText(box, std::to_string(static_cast<int32_t>(static_cast<uint32_t>(v))));
  if (ui::IntegerReading(box.text) < 1) p.ui.SetText(box, "1");
  apply(p, boxId);
}
