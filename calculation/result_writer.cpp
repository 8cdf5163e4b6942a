#include "result_writer.h"

namespace threadgauge {

Value ResultWriter::Show(OutputField field, const Value& value, NumberFormat format) {
  if (!value.known()) {
    Clear(field, value.why());
    return value;
  }
  const std::optional<FormattedNumber> shown = FormatNumber(value.number(), format);
  if (!shown) {
    const Notice too_large = ResultTooLarge{field};
    Clear(field, {too_large});
    return Value::Missing({too_large});
  }
  result_.update.Write(field, shown->text, shown->number);
  return shown->number;
}

void ResultWriter::ShowText(OutputField field, const Lookup<std::string>& text) {
  if (text.ok()) {
    result_.update.Write(field, text.value());
  } else {
    Clear(field, {text.failure()});
  }
}

Value ResultWriter::ToValue(const Lookup<double>& looked) {
  if (looked.ok()) return looked.value();
  return Value::Missing({looked.failure()});
}

void ResultWriter::Clear(OutputField field, const std::vector<Notice>& why) {
  result_.update.Write(field, std::string());
  AddNotices(result_.notices, why);
}

}  // namespace threadgauge
