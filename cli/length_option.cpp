#include "cli/length_option.h"

#include "calculation/thread_series.h"
#include "platform/number_text.h"

namespace threadgauge {

std::optional<std::string> LengthOption(const std::string& typed, std::ostream& err) {
  const std::optional<double> mm = ParseStoredNumber(typed);
  if (!mm) return typed;
  const std::optional<std::string> range = LengthRangeFor(*mm);
  if (!range) {
    err << "螺纹部分长度 " << typed << " mm 不在任何范围内（小于或等于14 … 大于50至80）\n";
    return std::nullopt;
  }
  err << "螺纹部分长度 " << typed << " mm：按“" << *range << "”计算\n";
  return range;
}

}  // namespace threadgauge
