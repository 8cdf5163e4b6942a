#include "calculation/gauge_request.h"

#include <cmath>

#include "tolerance/number_text.h"

namespace threadgauge {
namespace {

bool Positive(double value) { return std::isfinite(value) && value > 0; }

}  // namespace

std::variant<GaugeRequest, Rejection> BuildRequest(const FormInputs& in) {
  // Exactly empty: a text of blanks passes here and is judged as a number below.
  if (in.Text1.empty()) return Rejection{" 对不起,公称直径不能为空！"};
  if (in.Combo1.empty()) return Rejection{" 对不起,螺距不能为空！"};
  if (in.Combo2.empty()) return Rejection{" 对不起,公差等级不能为空！"};
  if (in.Combo3.empty()) return Rejection{" 对不起,公差带不能为空！"};
  if (in.Combo4.empty()) return Rejection{" 对不起,量规名称不能为空！"};

  GaugeRequest request;
  request.d = ReadLeadingNumber(in.Text1);
  request.P = ReadLeadingNumber(in.Combo1);
  if (!Positive(request.d)) return Rejection{" 对不起,公称直径必须是正数！"};
  if (!Positive(request.P)) return Rejection{" 对不起,螺距必须是正数！"};
  request.grade = in.Combo2;
  request.position = in.Combo3;
  request.gaugeName = in.Combo4;
  request.lengthRange = in.Combo5;
  return request;
}

}  // namespace threadgauge
