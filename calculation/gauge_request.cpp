#include "calculation/gauge_request.h"

#include <cmath>

#include "tolerance/number_text.h"

namespace threadgauge {
namespace {

bool Positive(double value) { return std::isfinite(value) && value > 0; }

}  // namespace

std::optional<Rejection> MissingThreadInput(const FormInputs& in) {
  // Exactly empty: a text of blanks passes here and is judged as a number later.
  if (in.Text1.empty()) return Rejection{" 对不起,公称直径不能为空！"};
  if (in.Combo1.empty()) return Rejection{" 对不起,螺距不能为空！"};
  if (in.Combo2.empty()) return Rejection{" 对不起,公差等级不能为空！"};
  if (in.Combo3.empty()) return Rejection{" 对不起,公差带不能为空！"};
  return std::nullopt;
}

std::optional<Rejection> NotPositive(const FormInputs& in) {
  if (!Positive(ReadLeadingNumber(in.Text1))) return Rejection{" 对不起,公称直径必须是正数！"};
  if (!Positive(ReadLeadingNumber(in.Combo1))) return Rejection{" 对不起,螺距必须是正数！"};
  return std::nullopt;
}

std::variant<GaugeRequest, Rejection> BuildRequest(const FormInputs& in) {
  if (auto missing = MissingThreadInput(in)) return *missing;
  if (in.Combo4.empty()) return Rejection{" 对不起,量规名称不能为空！"};
  if (auto rejected = NotPositive(in)) return *rejected;

  GaugeRequest request;
  request.d = ReadLeadingNumber(in.Text1);
  request.P = ReadLeadingNumber(in.Combo1);
  request.grade = in.Combo2;
  request.position = in.Combo3;
  request.gaugeName = in.Combo4;
  request.lengthRange = in.Combo5;
  return request;
}

}  // namespace threadgauge
