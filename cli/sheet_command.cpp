#include "cli/sheet_command.h"

#include <QDate>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "calculation/designated_gauge_set.h"
#include "calculation/gauge_set.h"
#include "cli/cli11_reading.h"
#include "cli/length_option.h"
#include "cli/paper_gui.h"
#include "cli/render.h"
#include "platform/data_location.h"
#include "platform/number_text.h"
#include "platform/utf8.h"
#include "report/fonts.h"
#include "report/sheet_page.h"
#include "tolerance/tolerance_session.h"
#include "words/calculation_words.h"
#include "words/designation_words.h"
#include "words/gauge_set_table.h"

namespace threadgauge {

const char* const kSheetHelp =
    "用法: threadgauge-cli sheet 螺纹标记 [--length 文本或毫米数] [--database 文件]\n"
    "                            [--format text|json|csv|pdf] [--out 文件]\n"
    "\n"
    "一个螺纹的全套量规（内螺纹两种塞规；外螺纹两种环规及六种校对塞规），与窗口\n"
    "“查询→本螺纹全套量规…”相同。螺纹标记如 M10×1.5-6H、M12-6g（不写螺距时取 ISO 261 的\n"
    "粗牙螺距）。--length 取范围的文字（如 大于14至32）或量规螺纹部分的长度（毫米）。\n"
    "默认输出文字；json 为一个对象 {\"thread\", \"gauges\", \"notices\", \"database\"}；\n"
    "csv 为带 BOM 的 UTF-8；pdf 须用 --out 指定文件。\n"
    "\n"
    "退出状态：0 所有结果均已算出；1 有提示；2 螺纹标记或选项无法识别。\n";

namespace {

struct SheetArgs {
  std::string designation;
  std::string length;
  std::optional<std::filesystem::path> database;
  std::string format = "text";
  std::optional<std::filesystem::path> out;
};

// Nothing when the command ends here: `exit` then says how (0 after --help).
std::optional<SheetArgs> Parse(const std::vector<std::string>& args, std::ostream& out,
                               std::ostream& err, int& exit) {
  exit = 2;
  SheetArgs parsed;
  CLI::App app;
  std::optional<std::string> designation;
  OutputOptions output;
  app.add_option("designation", designation);
  output.AddTo(app, parsed.format);
  const Reading read = ReadArguments(app, args, kSheetHelp, out, err);
  if (read.done) {
    exit = read.exit;
    return std::nullopt;
  }
  const bool have_designation = designation.has_value();
  if (designation) parsed.designation = *designation;
  if (!output.Resolve(err)) return std::nullopt;
  parsed.length = output.length;
  parsed.database = output.database;
  parsed.out = output.out;
  if (!have_designation) {
    err << "缺少螺纹标记，例如 threadgauge-cli sheet M10×1.5-6H\n";
    return std::nullopt;
  }
  if (parsed.format != "text" && parsed.format != "json" && parsed.format != "csv" &&
      parsed.format != "pdf") {
    err << "--format 须为 text、json、csv 或 pdf\n";
    return std::nullopt;
  }
  if (parsed.format == "pdf" && !parsed.out) {
    err << "--format pdf 须用 --out 指定文件\n";
    return std::nullopt;
  }
  return parsed;
}

std::string Text(const GaugeSet& set) {
  std::ostringstream out;
  out << set.designation << "  螺纹部分长度 " << set.length_range << "\n";
  for (const GaugeSetRow& row : set.rows) {
    out << "\n" << row.gauge << "\n";
    out << "  大径 " << row.major << "    中径 " << row.pitch << "    小径 " << row.minor << "\n";
    out << "  半角公差(′) " << row.half_angle << "    螺距公差 " << row.pitch_tolerance << "    "
        << row.shown.CaptionText(Caption::Element) << " " << row.element << "    "
        << row.shown.CaptionText(Caption::Measurement) << " " << row.measurement << "\n";
  }
  if (!set.notices.empty()) {
    out << "\n提示：\n";
    for (const Notice& notice : set.notices) out << "  " << DescribeNotice(notice) << "\n";
  }
  out << "\n" << DescribeDatabase(set.database, set.database_code_page) << "\n";
  return out.str();
}

std::string Json(const GaugeSet& set, const Designation& thread) {
  std::ostringstream out;
  out << "{\"thread\": {\"designation\": " << JsonString(thread.text)
      << ", \"diameter\": " << PlainDecimal(thread.d) << ", \"pitch\": " << PlainDecimal(thread.P)
      << ", \"grade\": " << JsonString(thread.thread_class->grade)
      << ", \"position\": " << JsonString(Letter(thread.thread_class->position))
      << "}, \"gauges\": [";
  for (size_t i = 0; i < set.rows.size(); ++i) {
    out << (i ? ", " : "") << "{\"name\": " << JsonString(set.rows[i].gauge) << ", "
        << JsonFormState(set.rows[i].shown) << ", " << JsonNamedValues(set.rows[i].shown) << "}";
  }
  out << "], \"notices\": " << JsonNotices(set.notices)
      << ", \"database\": " << JsonString(Utf8(set.database)) << "}\n";
  return out.str();
}

std::optional<std::string> Pdf(const GaugeSet& set, const std::filesystem::path& file) {
  return DrawWithQt([&] { return WriteSheetPdf(set, file, QDate::currentDate()); });
}

std::string SheetRefusalText(const GaugeSetRefusal& refusal) {
  if (const auto* no_class = std::get_if<NoClassInDesignation>(&refusal)) {
    return "标记中没有公差带，全套量规需要它；例如 " + no_class->thread + "-6H";
  }
  if (const auto* error = std::get_if<DesignationError>(&refusal)) {
    return DescribeDesignationError(*error);
  }
  return DescribeRejection(std::get<Rejection>(refusal));
}

}  // namespace

int RunSheetCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  int exit = 2;
  const auto parsed = Parse(args, out, err, exit);
  if (!parsed) return exit;
  const std::filesystem::path database =
      parsed->database ? *parsed->database : LocateDatabase(DataPlaces::OfThisProgram()).path;
  ToleranceSession session;
  auto calculated =
      GaugeSetFromDesignation(parsed->designation, parsed->length, session.Open(database));
  if (const auto* refusal = std::get_if<GaugeSetRefusal>(&calculated)) {
    err << SheetRefusalText(*refusal) << "\n";
    return 2;
  }
  const auto& [thread, set] = std::get<DesignatedGaugeSet>(calculated);
  std::string written;
  if (parsed->format == "pdf") {
    if (const auto error = Pdf(set, *parsed->out)) {
      err << *error << "\n";
      return 2;
    }
  } else {
    written = parsed->format == "json"  ? Json(set, thread)
              : parsed->format == "csv" ? GaugeSetCsv(set)
                                        : Text(set);
    if (!WriteOutput(written, parsed->out, out, err)) return 2;
  }
  return std::all_of(set.notices.begin(), set.notices.end(), IsInformational) ? 0 : 1;
}

}  // namespace threadgauge
