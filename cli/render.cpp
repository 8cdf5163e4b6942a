#include "cli/render.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "calculation/named_values.h"
#include "json_keys.h"
#include "platform/number_text.h"
#include "platform/utf8.h"
#include "words/calculation_words.h"

namespace threadgauge {
namespace {

FormState Shown(const CalculationResult& result) {
  FormState state;
  state.Apply(result.update);
  return state;
}

}  // namespace

// JSON text is UTF-8: bytes that are not (pasted from a damaged clipboard) become U+FFFD.
std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (const char ch : ValidUtf8(text)) {
    const auto c = static_cast<unsigned char>(ch);
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (c < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
          out += escaped;
        } else {
          out += ch;
        }
    }
  }
  return out + "\"";
}

std::string JsonFormState(const FormState& state) {
  std::ostringstream out;
  out << "\"fields\": {";
  for (size_t i = 0; i < kOutputFields.size(); ++i) {
    out << (i ? ", " : "") << JsonString(kFieldKeys[i]) << ": "
        << JsonString(state.Field(kOutputFields[i]));
  }
  out << "}, \"visible\": {";
  for (size_t i = 0; i < kSwitchables.size(); ++i) {
    out << (i ? ", " : "") << JsonString(kVisibleKeys[i]) << ": "
        << (state.Visible(kSwitchables[i]) ? "true" : "false");
  }
  out << "}, \"captions\": {";
  for (size_t i = 0; i < kCaptions.size(); ++i) {
    out << (i ? ", " : "") << JsonString(kCaptionKeys[i]) << ": "
        << JsonString(state.CaptionText(kCaptions[i]));
  }
  out << "}";
  return out.str();
}

std::string JsonNamedValues(const FormState& state) {
  std::string out = "\"values\": {";
  for (size_t i = 0; i < kNamedValues.size(); ++i) {
    const std::string shown = ShownValue(state, kNamedValues[i].field);
    std::string plain;  // the digits the window shows, without group separators
    for (char c : shown) {
      if (c != ',') plain += c;
    }
    out += (i ? ", " : "") + JsonString(kNamedValues[i].key) + ": ";
    if (shown.empty()) {
      out += "null";
    } else if (ParseStoredNumber(plain) && plain.find_first_of("+ ") == std::string::npos) {
      out += plain.front() == '.' ? "0" + plain : plain;
    } else {
      out += JsonString(shown);  // a half-angle tolerance stored as text, such as "±10"
    }
  }
  out += "}, \"element_kind\": ";
  out += MeasuredOverBalls(state) ? "\"ball\"" : "\"wire\"";
  out += ", \"measurement_kind\": ";
  out += MeasuredOverBalls(state) ? "\"E\"" : "\"M\"";
  out += ", \"major_limit\": " + JsonString(LimitKey(MajorLimit(state)));
  out += ", \"minor_limit\": " + JsonString(LimitKey(MinorLimit(state)));
  return out;
}

std::string JsonNotices(const std::vector<Notice>& notices) {
  std::string out = "[";
  for (size_t i = 0; i < notices.size(); ++i) {
    out += (i ? ", " : "") + JsonString(DescribeNotice(notices[i]));
  }
  return out + "]";
}

std::string RenderJson(const CalculationResult& result) {
  const FormState state = Shown(result);
  return "{" + JsonFormState(state) + ", " + JsonNamedValues(state) +
         ", \"notices\": " + JsonNotices(result.notices) +
         ", \"database\": " + JsonString(Utf8(result.database)) + "}\n";
}

std::string RenderText(const GaugeRequest& request, const CalculationResult& result) {
  const FormState s = Shown(result);
  const auto field = [&](OutputField f) { return s.Field(f); };
  const auto shown = [&](Switchable c) { return s.Visible(c); };
  std::ostringstream out;
  // The numbers as read, so a heading never shows a text the calculation did not use.
  out << "M " << PlainDecimal(request.d) << " × " << PlainDecimal(request.P) << " － "
      << request.thread_class.Text() << "  " << request.gauge_name << "  螺纹部分长度 "
      << request.length_range << "\n\n";
  out << "          尺  寸          偏  差\n";
  out << "大  径  " << (shown(Switchable::MajorAtLeast) ? "≥ " : "  ")
      << field(OutputField::MajorDiameter);
  if (shown(Switchable::MajorPlusMinus) && shown(Switchable::MajorDeviation)) {
    out << "    ± " << field(OutputField::MajorDeviation);
  }
  out << "\n中  径    " << field(OutputField::PitchDiameter) << "    ± "
      << field(OutputField::PitchDeviation) << "\n";
  out << "小  径  " << (shown(Switchable::MinorAtMost) ? "≤ " : "  ")
      << field(OutputField::MinorDiameter);
  if (shown(Switchable::MinorPlusMinus) && shown(Switchable::MinorDeviation)) {
    out << "    ± " << field(OutputField::MinorDeviation);
  }
  out << "\n\n半角公差(′) ± " << field(OutputField::HalfAngleTolerance) << "\n";
  out << "螺距公差    ± " << field(OutputField::PitchTolerance) << "\n";
  out << s.CaptionText(Caption::Element) << "    " << field(OutputField::WireOrBall) << "\n";
  out << s.CaptionText(Caption::Measurement) << "       " << field(OutputField::Measurement)
      << "\n";
  out << "\n" << DescribeDatabase(result) << "\n";
  if (!result.notices.empty()) {
    out << "\n提示：\n";
    for (const Notice& notice : result.notices) out << "  " << DescribeNotice(notice) << "\n";
  }
  return out.str();
}

bool WriteOutput(const std::string& text, const std::optional<std::filesystem::path>& file,
                 std::ostream& out, std::ostream& err) {
  if (!file) {
    out << text;
    return true;
  }
  std::ofstream written(*file, std::ios::binary);
  written << text;
  written.close();
  if (!written) err << "无法写入 " << Utf8(*file) << "\n";
  return static_cast<bool>(written);
}

int ExitStatus(const CalculationResult& result) {
  if (result.rejection) return 2;
  return std::all_of(result.notices.begin(), result.notices.end(), IsInformational) ? 0 : 1;
}

}  // namespace threadgauge
