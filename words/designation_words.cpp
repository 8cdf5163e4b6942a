#include "words/designation_words.h"

#include "platform/number_text.h"
#include "platform/utf8.h"
#include "tolerance/thread_class.h"

namespace threadgauge {
namespace {

constexpr const char* kExample = "正确的写法例如 M10×1.5-6H 或 M12-6g";

std::string Quoted(const std::string& text) { return "“" + Shortened(text, 20) + "”"; }

// What is wrong, without the example every message ends with.
std::string Problem(const DesignationError& e) {
  switch (e.problem) {
    case DesignationProblem::Empty:
      return "没有输入螺纹标记";
    case DesignationProblem::BlankInsideNumber:
      return "数字中间不能有空格，无法识别" + Quoted(e.text);
    case DesignationProblem::NotMetric:
      return "普通螺纹的标记以 M 开头，无法识别" + Quoted(e.text);
    case DesignationProblem::DiameterExpected:
      return "“M”后面应是公称直径，无法识别" + Quoted(e.text);
    case DesignationProblem::MultiStart:
      return "多线螺纹（Ph…P…）不在计算范围内：" + Quoted(e.text);
    case DesignationProblem::PitchMissing:
      return "“×”后面应是螺距，但没有写";
    case DesignationProblem::PitchUnreadable:
      return "“×”后面应是螺距，无法识别" + Quoted(e.text);
    case DesignationProblem::ClassExpected:
      return "“-”后面应是公差带，如 6H 或 6g，无法识别" + Quoted(e.text);
    case DesignationProblem::ClassIncomplete:
      return "公差带“" + e.other + "”不完整，后面应是公差带位置 G、H、e、f、g 或 h";
    case DesignationProblem::PositionUnknown:
      return "公差带位置" + Quoted(e.other) + "不可识别，应为 G、H、e、f、g 或 h";
    case DesignationProblem::ClassNotInStandard:
      return "ISO 965-1 没有公差带" + Quoted(e.other) + "（" + DescribeClasses() + "）";
    case DesignationProblem::CrestPositionDiffers:
      return "顶径公差带" + Quoted(e.other) + "的位置字母与中径公差带" + Quoted(e.pitch_class) +
             "不同；同一螺纹的两个公差带位置相同，如 5g6g、5H6H";
    case DesignationProblem::LeftHandNotLast:
      return "“LH”应写在最后，无法识别" + Quoted(e.text);
    case DesignationProblem::EngagementTwice:
      return "旋合长度写了两次：" + Quoted(e.text);
    case DesignationProblem::NotInSeries:
    case DesignationProblem::OnlyFinePitches:
    case DesignationProblem::NotUnderstood:
      break;
  }
  return "无法识别" + Quoted(e.text);
}

}  // namespace

std::string DescribeClasses() {
  const auto range = [](bool internal) {
    const auto grades = GradesOf(internal);
    return std::string(grades.front()) + "–" + grades.back();
  };
  return "内螺纹 G、H 配公差等级 " + range(true) + "；外螺纹 e、f、g、h 配公差等级 " + range(false);
}

std::string DescribeDesignationError(const DesignationError& e) {
  const std::string d = PlainDecimal(e.d);
  // Without a pitch the example is the thread itself with one.
  if (e.problem == DesignationProblem::NotInSeries) {
    return "公称直径 " + d + " 不在 ISO 261 中，没有粗牙螺距；请写出螺距，例如 M" + d + "×1.5-6H";
  }
  if (e.problem == DesignationProblem::OnlyFinePitches && !e.fine.empty()) {
    std::string listed;
    for (double P : e.fine) listed += (listed.empty() ? "" : "、") + PlainDecimal(P);
    return "公称直径 " + d + " 在 ISO 261 中没有粗牙螺距，只有细牙螺距 " + listed +
           "；请写出螺距，例如 M" + d + "×" + PlainDecimal(e.fine.front()) + "-6H";
  }
  return Problem(e) + "；" + kExample;
}

}  // namespace threadgauge
