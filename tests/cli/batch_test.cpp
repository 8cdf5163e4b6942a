// Tables of gauge dimensions for whole thread series: the same texts as single
// calculations, in CSV, JSON Lines and an Excel workbook read back cell by cell.
#include "calculation/batch.h"

#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <sstream>

#include "calculation/calculate.h"
#include "calculation/named_values.h"
#include "cli/batch_command.h"
#include "platform/csv_reading.h"
#include "platform/utf8.h"
#include "support/gauge_fixture.h"
#include "support/run_program.h"

namespace threadgauge {
namespace {

struct Batch {
  int exit;
  std::string out, err;
};

Batch RunBatch(const std::vector<std::string>& args, const std::string& input = "") {
  std::istringstream in(input);
  std::ostringstream out, err;
  const int exit = RunBatchCommand(args, in, out, err);
  return {exit, out.str(), err.str()};
}

// Every table filled for P = 1.5 and d from 5 to 25 (values for the test only).
class BatchTest : public ::testing::Test {
 protected:
  BatchTest() { testing::FillComplete(fixture_); }
  std::string db() const { return Utf8(fixture_.path()); }
  testing::FixtureDatabase fixture_;
};

TEST_F(BatchTest, EveryRowIsTheSingleCalculation) {
  const Batch batch = RunBatch(
      {"--designations", "-", "--classes", "6H,6g", "--length", "大于14至32", "--database", db()},
      "M10×1.5\nM20×1.5-6g\n\nM16×1.5\n");
  EXPECT_EQ(batch.exit, 0) << batch.err;
  const std::vector<CsvRow> rows = ParseCsv(batch.out);
  // M10×1.5 and M16×1.5 in 6H (2 plugs) and 6g (8 gauges); M20×1.5-6g keeps its class.
  ASSERT_EQ(rows.size(), 1u + 10 + 8 + 10);
  EXPECT_EQ(batch.out.substr(0, 3), "\xEF\xBB\xBF");
  for (size_t r = 1; r < rows.size(); ++r) {
    const CsvRow& row = rows[r];
    SCOPED_TRACE(row[0] + " " + row[4]);
    const CalculationInputs single{row[1],           row[2], row[3].substr(0, 1),
                                   row[3].substr(1), row[4], "大于14至32"};
    FormState shown;
    shown.Apply(Calculate(single, fixture_.path()).update);
    for (size_t i = 0; i < kNamedValues.size(); ++i) {
      EXPECT_EQ(row[5 + i], ShownValue(shown, kNamedValues[i].field)) << kNamedValues[i].key;
    }
    // A ring's major diameter is a lower limit, a plug's minor diameter an upper one.
    const bool ring = row[4].find("环规") != std::string::npos;
    EXPECT_EQ(row[15], ring ? "最小" : "±");
    EXPECT_EQ(row[16], ring ? "±" : "最大");
  }
  EXPECT_EQ(rows[0][5], "大径");
  EXPECT_EQ(rows[0][15], "大径界限");
  EXPECT_EQ(rows[1][0], "M10×1.5-6H");
  EXPECT_EQ(rows[11][0], "M20×1.5-6g");
  EXPECT_EQ(rows[11][4], "通端螺纹环规");
  EXPECT_EQ(rows[11][5], "19.980");  // (20 − 0.032) + 0.012

  const Batch jsonl = RunBatch({"--designations", "-", "--classes", "6H", "--length", "大于14至32",
                                "--database", db(), "--format", "jsonl"},
                               "M10×1.5\n");
  EXPECT_EQ(jsonl.out.substr(0, jsonl.out.find('\n')),
            "{\"designation\": \"M10×1.5-6H\", \"d\": 10, \"P\": 1.5, \"class\": \"6H\", "
            "\"gauge\": \"通端螺纹塞规\", \"values\": {\"major\": 10.020, \"major_deviation\": "
            "0.0120, \"pitch_diameter\": 9.046, \"pitch_deviation\": 0.0060, \"minor\": 8.376, "
            "\"minor_deviation\": null, \"half_angle\": 10, \"pitch_tolerance\": 0.005, "
            "\"element\": 0.866, \"measurement\": 10.345}, \"element_kind\": \"wire\", "
            "\"measurement_kind\": \"M\", \"major_limit\": \"±\", \"minor_limit\": \"max\", "
            "\"fields\": {\"Text2\": \"10.020\", \"Text3\": "
            "\"0.0120\", \"Text4\": \"9.046\", \"Text5\": \"0.0060\", \"Text6\": \"8.376\", "
            "\"Text8\": \"0.866\", \"Text9\": \"10.345\", \"Text18\": \"\", \"Text27\": \"10\", "
            "\"Text28\": \"0.005\"}, \"notices\": []}");
}

// ISO 261 (GB/T 193) for d = 10: coarse 1.5, fine 1.25, 1 and 0.75; 9 and 11 are of the
// third choice; 15 has fine pitches 1.5 and 1 only. A coarse thread is named without P.
TEST(SeriesThreads, CoarseAndFinePitchesAreNamedAsDrawn) {
  const auto texts = [](Series series, double from, double to, std::vector<int> choices = {}) {
    std::vector<std::string> out;
    for (const Designation& thread : SeriesThreads(series, from, to, choices)) {
      out.push_back(thread.text);
    }
    return out;
  };
  using Texts = std::vector<std::string>;
  EXPECT_EQ(texts(Series::All, 10, 10), (Texts{"M10", "M10×1.25", "M10×1", "M10×0.75"}));
  EXPECT_EQ(texts(Series::Fine, 10, 10), (Texts{"M10×1.25", "M10×1", "M10×0.75"}));
  EXPECT_EQ(texts(Series::Coarse, 8, 12), (Texts{"M8", "M9", "M10", "M11", "M12"}));
  EXPECT_EQ(texts(Series::Coarse, 8, 12, {1}), (Texts{"M8", "M10", "M12"}));
  EXPECT_EQ(texts(Series::Coarse, 15, 15), Texts{});
  EXPECT_EQ(texts(Series::All, 15, 15), (Texts{"M15×1.5", "M15×1"}));
  EXPECT_EQ(texts(Series::Coarse, 1, 300).size(), 40u);  // ISO 261's 40 coarse pitches
  EXPECT_EQ(texts(Series::All, 1, 300).size(), 352u);
  EXPECT_EQ(texts(Series::Fine, 300, 300), (Texts{"M300×8", "M300×6", "M300×4"}));
}

TEST_F(BatchTest, LinesNotUnderstoodAreToldByNumberAndTheRestComputed) {
  const Batch batch = RunBatch({"--designations", "-", "--database", db()},
                               "M10×1.5-6H\nM10×\nM12\n10×1.5-6g\nM16×1.5-6g\n");
  EXPECT_EQ(batch.exit, 1);
  EXPECT_NE(batch.err.find("第 2 行：“×”后面应是螺距"), std::string::npos) << batch.err;
  EXPECT_NE(batch.err.find("第 3 行：M12 没有公差带，也没有给出 --classes"), std::string::npos);
  EXPECT_NE(batch.err.find("第 4 行："), std::string::npos);
  EXPECT_EQ(ParseCsv(batch.out).size(), 1u + 2 + 8);

  // A line without its class is left out and makes the run incomplete on its own.
  const std::vector<std::string> args = {"--designations", "-",          "--length",
                                         "大于14至32",     "--database", db()};
  EXPECT_EQ(RunBatch(args, "M10×1.5-6H\n").exit, 0);
  EXPECT_EQ(RunBatch(args, "M10×1.5-6H\nM12\n").exit, 1);

  EXPECT_EQ(RunBatch({"--series", "coarse"}).exit, 2);  // no classes
  EXPECT_EQ(RunBatch({"--series", "odd", "--classes", "6H"}).exit, 2);
  EXPECT_EQ(RunBatch({"--series", "all", "--classes", "6X"}).exit, 2);
  EXPECT_EQ(RunBatch({"--series", "all", "--classes", "6H", "--choice", "4"}).exit, 2);
  // A selection that holds no thread is told, and nothing is written.
  const Batch none = RunBatch(
      {"--series", "all", "--from", "64", "--to", "1", "--classes", "6H", "--database", db()});
  EXPECT_EQ(none.exit, 2);
  EXPECT_NE(none.err.find("所选范围内没有螺纹"), std::string::npos) << none.err;
  EXPECT_TRUE(none.out.empty());
  EXPECT_EQ(RunBatch({"--series", "all", "--classes", "6H", "--format", "xlsx"}).exit,
            2);                                      // no --out
  EXPECT_EQ(RunBatch({"--classes", "6H"}).exit, 2);  // no threads
  // A designations file that cannot be read: said, exit 2, no header written.
  const Batch missing = RunBatch({"--designations", "/nonexistent/螺纹.txt", "--classes", "6H"});
  EXPECT_EQ(missing.exit, 2);
  EXPECT_TRUE(missing.out.empty()) << missing.out;
  EXPECT_NE(missing.err.find("无法读取 /nonexistent/螺纹.txt"), std::string::npos);
}

// The cells of the first sheet of a workbook, by reference ("B2"), and whether each holds a
// number, read from the workbook's XML.
struct SheetCell {
  std::string value;
  bool number = false;
  std::string format;  // the number format's code, e.g. "0.000"
};
std::map<std::string, SheetCell> ReadSheet(const std::filesystem::path& file, int sheet) {
  const auto part = [&](const std::string& name) {
    const ProgramRun run = RunProgram({"unzip", "-p", Utf8(file), name});
    EXPECT_EQ(run.exit, 0) << "unzip (Debian unzip) failed on " << name << ": " << run.err;
    return run.out;
  };
  std::vector<std::string> strings;
  const std::string shared = part("xl/sharedStrings.xml");
  const std::regex si("<si><t[^>]*>([^<]*)</t></si>");
  for (auto it = std::sregex_iterator(shared.begin(), shared.end(), si);
       it != std::sregex_iterator(); ++it) {
    strings.push_back((*it)[1]);
  }
  std::map<std::string, std::string> codes = {{"0", ""}};
  const std::string styles = part("xl/styles.xml");
  const std::regex fmt("<numFmt numFmtId=\"(\\d+)\" formatCode=\"([^\"]*)\"/>");
  for (auto it = std::sregex_iterator(styles.begin(), styles.end(), fmt);
       it != std::sregex_iterator(); ++it) {
    codes[(*it)[1]] = (*it)[2];
  }
  std::vector<std::string> xf_formats;
  const std::string xfs = styles.substr(styles.find("<cellXfs"));
  const std::regex xf("<xf numFmtId=\"(\\d+)\"");
  for (auto it = std::sregex_iterator(xfs.begin(), xfs.end(), xf); it != std::sregex_iterator();
       ++it) {
    xf_formats.push_back(codes[(*it)[1]]);
  }
  std::map<std::string, SheetCell> cells;
  const std::string xml = part("xl/worksheets/sheet" + std::to_string(sheet) + ".xml");
  const std::regex c(
      "<c r=\"([A-Z]+\\d+)\"(?: s=\"(\\d+)\")?(?: t=\"(\\w+)\")?><v>([^<]*)</v></c>");
  for (auto it = std::sregex_iterator(xml.begin(), xml.end(), c); it != std::sregex_iterator();
       ++it) {
    const bool text = (*it)[3] == "s";
    const size_t style = (*it)[2].matched ? std::stoul((*it)[2]) : 0;
    cells[(*it)[1]] = {text ? strings[std::stoul((*it)[4])] : std::string((*it)[4]), !text,
                       style < xf_formats.size() ? xf_formats[style] : ""};
  }
  return cells;
}

TEST_F(BatchTest, WorkbookHasASheetPerClassWithNumbersAsNumbers) {
  testing::TemporaryFolder folder;
  const auto file = folder.path() / u8"6H塞规.xlsx";
  const Batch batch = RunBatch({"--series", "coarse", "--from", "10", "--to", "10", "--classes",
                                "6H,6g", "--length", "大于14至32", "--database", db(), "--format",
                                "xlsx", "--out", Utf8(file)});
  ASSERT_EQ(batch.exit, 0) << batch.err;
  const auto nut = ReadSheet(file, 1);
  EXPECT_EQ(nut.at("A1").value, "螺纹标记");
  EXPECT_EQ(nut.at("A2").value, "M10-6H");
  EXPECT_EQ(nut.at("B2").value, "10");
  EXPECT_TRUE(nut.at("B2").number);
  EXPECT_EQ(nut.at("E3").value, "止端螺纹塞规");
  // GO plug: Text2 10.020 in "0.000", Text3 0.012 in "0.0000", the half-angle as text.
  EXPECT_EQ(std::stod(nut.at("F2").value), 10.02);
  EXPECT_TRUE(nut.at("F2").number);
  EXPECT_EQ(nut.at("F2").format, "0.000");
  EXPECT_EQ(std::stod(nut.at("G2").value), 0.012);
  EXPECT_EQ(nut.at("G2").format, "0.0000");
  EXPECT_EQ(nut.at("L2").value, "10");  // the half-angle tolerance, as stored
  EXPECT_FALSE(nut.at("L2").number);
  EXPECT_EQ(nut.at("K1").value, "小径偏差");
  EXPECT_EQ(nut.at("Q2").value, "最大");  // a plug's minor diameter is an upper limit
  EXPECT_EQ(nut.count("A4"), 0u);
  const auto bolt = ReadSheet(file, 2);
  EXPECT_EQ(bolt.at("E2").value, "通端螺纹环规");
  EXPECT_EQ(bolt.at("E9").value, "校止-损螺纹塞规");
  EXPECT_EQ(std::stod(bolt.at("H2").value), 8.986);  // (9.02575 − 0.032) − 0.008
  // Written whole beside the target, then renamed: nothing else is left in the folder.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                          std::filesystem::directory_iterator()),
            1);
}

// Excel compares sheet names without case: 6H and 6h must differ by more than the letter.
TEST_F(BatchTest, ClassesThatDifferOnlyInCaseGetTheirOwnSheets) {
  testing::TemporaryFolder folder;
  const auto file = folder.path() / "out.xlsx";
  const Batch batch =
      RunBatch({"--series", "coarse", "--from", "10", "--to", "10", "--classes", "6H,6h",
                "--database", db(), "--format", "xlsx", "--out", Utf8(file)});
  ASSERT_NE(batch.exit, 2) << batch.err;
  const ProgramRun book = RunProgram({"unzip", "-p", Utf8(file), "xl/workbook.xml"});
  EXPECT_NE(book.out.find("name=\"6H 内螺纹\""), std::string::npos) << book.out;
  EXPECT_NE(book.out.find("name=\"6h 外螺纹\""), std::string::npos) << book.out;
  // A workbook that cannot be written leaves no file, and no temporary one.
  const auto blocked = folder.path() / u8"目录" / "out.xlsx";
  const Batch failed =
      RunBatch({"--series", "coarse", "--from", "10", "--to", "10", "--classes", "6H", "--database",
                db(), "--format", "xlsx", "--out", Utf8(blocked)});
  EXPECT_EQ(failed.exit, 2);
  EXPECT_FALSE(std::filesystem::exists(blocked.parent_path()));
}

}  // namespace
}  // namespace threadgauge
