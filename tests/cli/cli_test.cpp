// threadgauge-cli run as a user runs it: the golden cases in cases/, then the exit
// statuses, the plain block, the options and the default database.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/csv_reading.h"
#include "platform/utf8.h"
#include "support/fixture_database.h"
#include "support/gauge_fixture.h"
#include "support/run_cli.h"
#include "support/run_program.h"

namespace threadgauge {
namespace {

std::vector<std::string> Words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

// A path as a JSON string holds it: Windows' backslashes doubled.
std::string AsJsonText(std::string text) {
  for (size_t at = 0; (at = text.find('\\', at)) != std::string::npos; at += 2) {
    text.insert(at, 1, '\\');
  }
  return text;
}

struct GoldenCase {
  std::string name;
  bool fixture = false;
  std::string sql;
  std::vector<std::string> args;
  int exit = 0;
  std::string stderr_text;
  std::string stdout_text;
};

GoldenCase ReadCase(const std::filesystem::path& file) {
  GoldenCase c;
  c.name = Utf8(file.stem());
  std::istringstream in(testing::ReadBytes(file));
  for (std::string line; std::getline(in, line);) {
    const auto value = [&](const char* key) { return line.substr(std::string(key).size()); };
    if (line.rfind("#", 0) == 0) continue;
    if (line.rfind("database: ", 0) == 0) c.fixture = value("database: ") == "fixture";
    if (line.rfind("sql: ", 0) == 0) c.sql += value("sql: ") + "\n";
    if (line.rfind("args: ", 0) == 0) c.args = Words(value("args: "));
    if (line.rfind("exit: ", 0) == 0) c.exit = std::stoi(value("exit: "));
    if (line.rfind("stderr: ", 0) == 0) c.stderr_text = value("stderr: ") + "\n";
    if (line == "stdout:") {
      std::ostringstream rest;
      rest << in.rdbuf();
      c.stdout_text = rest.str();
      break;
    }
  }
  return c;
}

TEST(CliGolden, EveryCaseAnswersAsRecorded) {
  size_t cases = 0;
  for (const auto& entry : std::filesystem::directory_iterator(THREADGAUGE_CLI_CASES)) {
    if (entry.path().extension() != ".case") continue;
    ++cases;
    const GoldenCase c = ReadCase(entry.path());
    SCOPED_TRACE(c.name);
    std::optional<testing::FixtureDatabase> fixture;
    std::vector<std::string> args = c.args;
    args.push_back("--json");
    args.push_back("--database");
    if (c.fixture) {
      fixture.emplace();
      fixture->Exec(c.sql);
      args.push_back(Utf8(fixture->path()));
    } else {
      args.push_back(Utf8(testing::ShippedDatabase()));
    }
    CliRun run = RunCli(args);
    // The database's path differs from run to run; the cases name it "<database>".
    const std::string database = AsJsonText(args.back());
    if (const size_t at = run.out.find(database); at != std::string::npos) {
      run.out.replace(at, database.size(), "<database>");
    }
    EXPECT_EQ(run.exit, c.exit);
    EXPECT_EQ(run.err, c.stderr_text);
    EXPECT_EQ(run.out, c.stdout_text);
  }
  EXPECT_EQ(cases, 12u);  // each of the ten kinds, the shipped database, a rejection
}

TEST(Cli, PlainBlockReadsLikeTheWindow) {
  const CliRun run =
      RunCli({"--diameter", "10", "--pitch", "1.5", "--grade", "6", "--position", "g", "--gauge",
              "校止-止螺纹塞规", "--database", Utf8(testing::ShippedDatabase())});
  EXPECT_EQ(run.exit, 1);
  for (const char* expected : {"M 10 × 1.5 － 6g  校止-止螺纹塞规", "大  径    9.836",
                               "中  径    8.862    ± ", "小  径  ≤ 8.212", "三针直径    0.866",
                               "M  值       10.161", "提示：", "表“位置要素”中没有"}) {
    EXPECT_NE(run.out.find(expected), std::string::npos) << expected << "\n" << run.out;
  }
}

TEST(Cli, OptionsAndHelp) {
  const CliRun help = RunCli({"--help"});
  EXPECT_EQ(help.exit, 0);
  EXPECT_NE(help.out.find("--database"), std::string::npos);
  EXPECT_NE(help.out.find("退出状态"), std::string::npos);
  EXPECT_NE(help.out.find("量规名称 (Combo4)：通端螺纹塞规、止端螺纹塞规、通端螺纹环规、"),
            std::string::npos);

  const CliRun unknown = RunCli({"--diameter", "10", "--colour", "red"});
  EXPECT_EQ(unknown.exit, 2);
  EXPECT_NE(unknown.err.find("--colour"), std::string::npos);
  EXPECT_TRUE(unknown.out.empty());

  const CliRun dangling = RunCli({"--diameter"});
  EXPECT_EQ(dangling.exit, 2);
  EXPECT_NE(dangling.err.find("缺少值"), std::string::npos);

  // Unknown options and commands are called so, whatever follows them.
  for (const auto& [typed, says] : {std::pair{"--bogus", "未知选项：--bogus"},
                                    std::pair{"frobnicate", "未知命令：frobnicate"}}) {
    const CliRun unknown_word = RunCli({typed});
    EXPECT_EQ(unknown_word.exit, 2) << typed;
    EXPECT_NE(unknown_word.err.find(says), std::string::npos) << unknown_word.err;
  }

  // No arguments at all: the usage, on the error stream.
  const CliRun none = RunCli({});
  EXPECT_EQ(none.exit, 2);
  EXPECT_NE(none.err.find("用法:"), std::string::npos) << none.err;
  EXPECT_TRUE(none.out.empty());

  const CliRun version = RunCli({"--version"});
  EXPECT_EQ(version.exit, 0);
  EXPECT_EQ(version.out.rfind("threadgauge-cli 0.", 0), 0u) << version.out;
  EXPECT_NE(version.out.find("公差数据库："), std::string::npos) << version.out;

  const CliRun sheet_help = RunCli({"sheet", "--help"});
  EXPECT_EQ(sheet_help.exit, 0);
  EXPECT_NE(sheet_help.out.find("threadgauge-cli sheet 螺纹标记"), std::string::npos);

  // An unknown gauge name is computed as the window computes it, and the ten are listed.
  const CliRun gauge = RunCli({"--diameter", "10", "--pitch", "1.5", "--grade", "6", "--position",
                               "H", "--gauge", "通规", "--length", "大于14至32"});
  EXPECT_EQ(gauge.exit, 1);
  EXPECT_NE(gauge.out.find("量规名称“通规”不是所列的十种量规之一，未计算量规尺寸（十种量规："
                           "通端螺纹塞规、止端螺纹塞规、通端螺纹环规、"),
            std::string::npos)
      << gauge.out;
}

TEST(CliDb, CheckImportAndExportExitStatuses) {
  const CliRun shipped = RunCli({"db", "check", Utf8(testing::ShippedDatabase())});
  EXPECT_EQ(shipped.exit, 1);  // the gauge tables are missing
  EXPECT_NE(shipped.out.find("✗ 表“位置要素”：0 行"), std::string::npos) << shipped.out;

  testing::TemporaryFolder folder;
  EXPECT_EQ(RunCli({"db", "check", Utf8((folder.path() / u8"无.db"))}).exit, 2);

  const auto csv = folder.path() / u8"表格";
  EXPECT_EQ(RunCli({"db", "export", Utf8(testing::ShippedDatabase()), "--to", Utf8(csv)}).exit, 0);
  const auto out = folder.path() / u8"新 公差表.db";
  const CliRun imported = RunCli({"db", "import", Utf8(csv), "--out", Utf8(out)});
  EXPECT_EQ(imported.exit, 0) << imported.err;
  EXPECT_NE(imported.out.find("表“外螺纹中径公差”：47 行"), std::string::npos) << imported.out;

  EXPECT_EQ(RunCli({"db", "import", Utf8(csv), "--out", Utf8(out)}).exit, 1);  // no --force

  EXPECT_EQ(RunCli({"db", "frobnicate"}).exit, 2);
  EXPECT_EQ(RunCli({"db", "--help"}).exit, 0);
}

// The user's database in their data folder comes first, for `db where` and for a
// calculation alike.
// Without a file, db check checks the database the next calculation would use.
TEST(CliDb, CheckWithoutAFileChecksTheDatabaseInUse) {
  testing::TemporaryFolder home;
  const CliRun check = RunCli({"db", "check"}, {}, UserDataFolderAt(home.path()));
  const CliRun where = RunCli({"db", "where"}, {}, UserDataFolderAt(home.path()));
  EXPECT_EQ(check.exit, 1) << check.err;  // the shipped database: the gauge tables are empty
  const std::string in_use = where.out.substr(0, where.out.find('\n'));
  EXPECT_EQ(check.out.rfind("公差数据库 " + in_use + "\n", 0), 0u) << check.out;
  EXPECT_NE(check.out.find("✗ 表“位置要素”：0 行"), std::string::npos);
  EXPECT_NE(check.out.find("  表“测球直径”：0 行，可选（空时用最佳直径）"), std::string::npos);
}

TEST(CliDb, WhereAndTheCalculationFollowThePrecedence) {
  testing::TemporaryFolder data;
  const auto env = UserDataFolderAt(data.path());
  const auto users = data.path() / "threadgauge" / std::filesystem::u8path("公差表") /
                     std::filesystem::u8path("公差表.db");
  const CliRun before = RunCli({"db", "where"}, {}, env);
  ASSERT_EQ(before.exit, 0) << before.err;
  EXPECT_EQ(before.out.substr(0, before.out.find('\n')), Utf8(testing::ShippedDatabase()));
  EXPECT_NE(before.out.find("不存在  " + Utf8(users)), std::string::npos) << before.out;
  EXPECT_NE(before.out.find("存在    " + Utf8(testing::ShippedDatabase())), std::string::npos);

  std::filesystem::create_directories(users.parent_path());
  std::filesystem::copy_file(testing::ShippedDatabase(), users);
  const CliRun after = RunCli({"db", "where"}, {}, env);
  EXPECT_EQ(after.out.substr(0, after.out.find('\n')), Utf8(users));
  EXPECT_NE(after.out.find("存在    " + Utf8(users)), std::string::npos) << after.out;
  const CliRun calculated = RunCli({"--diameter", "10", "--pitch", "1.5", "--grade", "6",
                                    "--position", "g", "--gauge", "校止-止螺纹塞规", "--json"},
                                   {}, env);
  EXPECT_NE(calculated.out.find("\"database\": \"" + AsJsonText(Utf8(users)) + "\""),
            std::string::npos)
      << calculated.out;
}

// An Access 97 file from a Chinese system, whose header records 1252: read as GBK, and
// the user is told; --code-page tries only the code page given.
TEST(CliDb, CodePageOfAChineseAccess97File) {
  testing::TemporaryFolder folder;
  const std::string file = Utf8(testing::ChineseAccess97ToleranceFile(folder));
  const std::string told = "按代码页 936（GBK）读取；文件头记录的是 1252";

  const CliRun check = RunCli({"db", "check", file});
  EXPECT_EQ(check.exit, 1);
  EXPECT_NE(check.out.find("注意：" + told), std::string::npos) << check.out;
  EXPECT_NE(check.out.find("✓ 表“位置要素”：2 行"), std::string::npos) << check.out;
  const CliRun forced = RunCli({"db", "check", file, "--code-page", "1252"});
  EXPECT_EQ(forced.out.find("注意："), std::string::npos) << forced.out;
  EXPECT_NE(forced.out.find("✗ 缺少表“位置要素”"), std::string::npos) << forced.out;

  const auto out = Utf8((folder.path() / "out.db"));
  const CliRun refused = RunCli({"db", "import", file, "--out", out, "--code-page", "1252"});
  EXPECT_EQ(refused.exit, 1);
  EXPECT_NE(refused.err.find("来源中没有任何一张公差表"), std::string::npos) << refused.err;
  const CliRun imported = RunCli({"db", "import", file, "--out", out});
  EXPECT_EQ(imported.exit, 0) << imported.err;
  EXPECT_NE(imported.out.find("注意：" + told), std::string::npos) << imported.out;
  EXPECT_EQ(RunCli({"db", "check", file, "--code-page", "GBK"}).exit, 2);

  // The status line's first line says how the file was read.
  const CliRun calculated =
      RunCli({"--diameter", "10", "--pitch", "1.5", "--grade", "6", "--position", "H", "--gauge",
              "通端螺纹塞规", "--database", file});
  EXPECT_NE(calculated.out.find("公差数据库：" + file + "（" + told + "）"), std::string::npos)
      << calculated.out;
}

TEST(CliSheet, OneThreadsGaugesAsJsonCsvAndPdf) {
  testing::FixtureDatabase fixture;
  testing::FillComplete(fixture);
  const std::string db = Utf8(fixture.path());
  const CliRun json = RunCli(
      {"sheet", "m10 x 1,5 - 6H", "--length", "大于14至32", "--database", db, "--format", "json"});
  EXPECT_EQ(json.exit, 0) << json.err;
  EXPECT_EQ(json.out.rfind("{\"thread\": {\"designation\": \"M10×1.5-6H\", \"diameter\": 10, "
                           "\"pitch\": 1.5, \"grade\": \"6\", \"position\": \"H\"}, \"gauges\": "
                           "[{\"name\": \"通端螺纹塞规\", \"fields\": {\"Text2\": \"10.020\"",
                           0),
            0u)
      << json.out;
  EXPECT_NE(json.out.find("{\"name\": \"止端螺纹塞规\""), std::string::npos);

  const CliRun csv = RunCli({"sheet", "M10×1.5-6g", "--database", db, "--format", "csv"});
  EXPECT_EQ(csv.exit, 1);  // no row of 螺距公差 for an empty length
  ASSERT_EQ(csv.out.substr(0, 3), "\xEF\xBB\xBF");
  const std::vector<CsvRow> rows = ParseCsv(csv.out);
  ASSERT_EQ(rows.size(), 10u);
  EXPECT_EQ(rows[9], (CsvRow{"提示", "未选择螺纹部分长度，查不到螺距公差"}));
  EXPECT_EQ(rows[0][0], "量规名称");
  EXPECT_EQ(rows[1][0], "通端螺纹环规");
  EXPECT_EQ(rows[1][2], "8.986 ± 0.0030");
  EXPECT_EQ(rows[8][0], "校止-损螺纹塞规");

  testing::TemporaryFolder folder;
  const auto pdf = folder.path() / u8"全套 量规.pdf";
  const CliRun written =
      RunCli({"sheet", "M10×1.5-6g", "--database", db, "--format", "pdf", "--out", Utf8(pdf)});
  EXPECT_EQ(written.exit, 1) << written.err;
  const ProgramRun text = RunProgram({"pdftotext", "-layout", Utf8(pdf), "-"});
  ASSERT_EQ(text.exit, 0) << "pdftotext (Debian poppler-utils) failed: " << text.err;
  for (const char* expected :
       {"M10×1.5-6g", "通端螺纹环规", "校通-通螺纹塞规", "校通-止螺纹塞规", "校通-损螺纹塞规",
        "止端螺纹环规", "校止-通螺纹塞规", "校止-止螺纹塞规", "校止-损螺纹塞规", "≥ 9.980",
        "8.986 ± 0.0030", "未选择螺纹部分长度，查不到螺距公差"}) {
    EXPECT_NE(text.out.find(expected), std::string::npos) << expected << "\n" << text.out;
  }
}

// A decimal comma or a blank in a typed number computes by the leading-number rule, as the
// window does, and says so: the answer is not silently another thread's.
TEST(Cli, NumbersReadOtherwiseThanTypedAreTold) {
  testing::FixtureDatabase fixture;
  testing::FillComplete(fixture);
  const std::string db = Utf8(fixture.path());
  struct Case {
    const char* option;
    const char* typed;
    const char* says;
  };
  const Case cases[] = {{"--pitch", "1,25", "螺距“1,25”按 1 计算（小数点请用“.”）"},
                        {"--diameter", "10 12", "公称直径“10 12”按 1012 计算（数字中间有空格）"},
                        {"--pitch", "1.5/2", "螺距“1.5/2”按 1.5 计算（其后的“/2”未读）"}};
  for (const Case& c : cases) {
    std::vector<std::string> args = {
        "--diameter", "10",         "--pitch",    "1.5",     "--grade",
        "6",          "--position", "H",          "--gauge", "通端螺纹塞规",
        "--length",   "大于14至32", "--database", db};
    for (size_t i = 0; i + 1 < args.size(); ++i) {
      if (args[i] == c.option) args[i + 1] = c.typed;
    }
    const CliRun run = RunCli(args);
    EXPECT_EQ(run.exit, 1) << c.typed << run.err;
    EXPECT_NE(run.out.find(c.says), std::string::npos) << run.out;
  }
  // The heading shows what was computed: M10×1, not the text typed.
  const CliRun comma = RunCli({"--diameter", "10", "--pitch", "1,25", "--grade", "6", "--position",
                               "H", "--gauge", "通端螺纹塞规", "--database", db});
  EXPECT_EQ(comma.out.rfind("M 10 × 1 － 6H", 0), 0u) << comma.out;
  // Letters after a number stay silent, as the window's rule always was.
  const CliRun unit =
      RunCli({"--diameter", "10mm", "--pitch", "1.5", "--grade", "6", "--position", "H", "--gauge",
              "通端螺纹塞规", "--length", "大于14至32", "--database", db});
  EXPECT_EQ(unit.exit, 0) << unit.out;
  // In a designation a decimal comma is a decimal point (drawings from Europe): said, and
  // computed as M10×1.5.
  const CliRun european = RunCli({"--thread", "M10×1,5-6H", "--gauge", "通端螺纹塞规", "--length",
                                  "大于14至32", "--database", db});
  EXPECT_EQ(european.exit, 0) << european.out;
  EXPECT_NE(european.out.find("M 10 × 1.5 － 6H"), std::string::npos) << european.out;
  EXPECT_NE(european.out.find("螺纹标记“M10×1,5-6H”中的“,”按小数点读取"), std::string::npos);
  // "5g6g": the gauges use 5g, and the sheet says so.
  const CliRun crest =
      RunCli({"sheet", "M10×1.5-5g6g", "--length", "大于14至32", "--database", db});
  EXPECT_NE(crest.out.find("量规按中径公差带 5g"), std::string::npos) << crest.out;
  const CliRun crest_csv = RunCli(
      {"sheet", "M10×1.5-5g6g", "--length", "大于14至32", "--database", db, "--format", "csv"});
  EXPECT_NE(crest_csv.out.find("提示,量规按中径公差带 5g"), std::string::npos) << crest_csv.out;
  const CliRun mixed = RunCli({"sheet", "M10-6g6H", "--database", db});
  EXPECT_EQ(mixed.exit, 2);
  EXPECT_NE(mixed.err.find("位置字母"), std::string::npos) << mixed.err;
  const CliRun blank = RunCli({"sheet", "M10 6g", "--database", db});
  EXPECT_EQ(blank.exit, 2);
  EXPECT_NE(blank.err.find("“M10 6g”"), std::string::npos) << blank.err;
}

// --length takes a length in mm as well as a range's text: the range that holds it is
// taken and said; one that no range holds is refused.
TEST(Cli, LengthInMillimetresPicksItsRange) {
  testing::FixtureDatabase fixture;
  testing::FillComplete(fixture);
  const std::string db = Utf8(fixture.path());
  const auto run = [&](const char* length) {
    return RunCli({"--thread", "M10×1.5-6H", "--gauge", "通端螺纹塞规", "--length", length,
                   "--database", db, "--json"});
  };
  const CliRun by_text = run("大于14至32");
  for (const char* mm : {"20", "32", "14.5"}) {
    const CliRun by_mm = run(mm);
    EXPECT_EQ(by_mm.exit, 0) << mm << by_mm.err;
    EXPECT_EQ(by_mm.out, by_text.out) << mm;
    EXPECT_NE(by_mm.err.find("按“大于14至32”计算"), std::string::npos) << by_mm.err;
  }
  EXPECT_NE(run("14").err.find("按“小于或等于14”计算"), std::string::npos);
  EXPECT_NE(run("80").err.find("按“大于50至80”计算"), std::string::npos);
  for (const char* outside : {"81", "0", "-5"}) {
    const CliRun refused = run(outside);
    EXPECT_EQ(refused.exit, 2) << outside;
    EXPECT_TRUE(refused.out.empty());
  }
  const CliRun sheet = RunCli({"sheet", "M10×1.5-6H", "--length", "20", "--database", db});
  EXPECT_NE(sheet.out.find("螺纹部分长度 大于14至32"), std::string::npos) << sheet.out;
}

TEST(CliSheet, DesignationsNotUnderstoodAndTheShortSingleCalculation) {
  const CliRun bad = RunCli({"sheet", "M10×1.5-6X"});
  EXPECT_EQ(bad.exit, 2);
  EXPECT_NE(bad.err.find("公差带位置“X”不可识别"), std::string::npos) << bad.err;
  EXPECT_TRUE(bad.out.empty());
  EXPECT_EQ(RunCli({"sheet", "M10×1.5"}).exit, 2);                    // no class
  EXPECT_EQ(RunCli({"sheet", "M10-6H", "--format", "pdf"}).exit, 2);  // pdf needs --out

  testing::FixtureDatabase fixture;
  testing::FillComplete(fixture);
  const std::string db = Utf8(fixture.path());
  const CliRun full = RunCli({"--diameter", "10", "--pitch", "1.5", "--grade", "6", "--position",
                              "H", "--gauge", "通端螺纹塞规", "--json", "--database", db});
  const CliRun thread =
      RunCli({"--thread", "M10-6H", "--gauge", "通端螺纹塞规", "--json", "--database", db});
  EXPECT_EQ(thread.exit, full.exit);
  EXPECT_EQ(thread.out, full.out);
  const CliRun both = RunCli({"--thread", "M10-6H", "--pitch", "1.5", "--gauge", "通端螺纹塞规"});
  EXPECT_EQ(both.exit, 2);
  EXPECT_NE(both.err.find("--thread 不能与"), std::string::npos);
  EXPECT_EQ(RunCli({"--thread", "M10×", "--gauge", "通端螺纹塞规"}).exit, 2);
}

}  // namespace
}  // namespace threadgauge
