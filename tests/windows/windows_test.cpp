// What only means something on Windows: every file the programs open or write lying in
// Chinese-named folders, under ANSI code pages that can spell those names and those that
// cannot; the command line's Chinese in a console; the Job Object the Access reader runs in.
#include <windows.h>
// clang-format off
#include <tlhelp32.h>
#include <gtest/gtest.h>
// clang-format on

#include <chrono>
#include <fstream>
#include <functional>
#include <thread>

#include "support/fixture_database.h"
#include "support/run_cli.h"
#include "support/run_program.h"
#include "tolerance/access_child.h"
#include "tolerance/utf8.h"

namespace threadgauge {
namespace {

namespace fs = std::filesystem;
using Environment = std::vector<std::pair<std::string, std::optional<std::string>>>;

// Wine takes a process's ANSI code page from its locale; the locales are made for the tests
// in the build tree (LOCPATH), so that the Unix side still reads UTF-8 file names.
struct CodePageCase {
  const char* locale;
  unsigned code_page;
};

class ChineseFolders : public ::testing::TestWithParam<CodePageCase> {
 protected:
  Environment environment() const {
    return {{"LC_ALL", GetParam().locale}, {"LOCPATH", THREADGAUGE_TEST_LOCALES}};
  }
  CliRun Cli(const std::vector<std::string>& args) const { return RunCli(args, {}, environment()); }

  testing::TemporaryFolder temporary_;
  const fs::path folder_ = temporary_.path() / u8"量规 资料" / u8"张三";
};

std::string Start(const fs::path& file, size_t bytes) {
  return testing::ReadBytes(file).substr(0, bytes);
}

TEST_P(ChineseFolders, EveryFileIsOpenedAndWrittenByItsUnicodeName) {
  const ProgramRun probe = RunProgram({THREADGAUGE_CODE_PAGE_PROBE}, environment());
  ASSERT_EQ(probe.out, std::to_string(GetParam().code_page) + "\n") << "the code page did not take";
  fs::create_directories(folder_);
  const std::string folder = Utf8(folder_);

  // Tables from CSV files into a new tolerance database, and out again as CSV.
  fs::copy(THREADGAUGE_GO_PLUG_EXAMPLE, folder_ / u8"示例");
  const CliRun imported = Cli({"db", "import", folder + u8"\\示例", "--out", folder + u8"\\公差表.db"});
  ASSERT_EQ(imported.exit, 0) << imported.err;
  const CliRun exported =
      Cli({"db", "export", folder + u8"\\公差表.db", "--to", folder + u8"\\导出"});
  ASSERT_EQ(exported.exit, 0) << exported.err;
  EXPECT_NE(testing::ReadBytes(folder_ / u8"导出" / u8"位置要素.csv").find("TPL"), std::string::npos);

  // The GO plug's worked example from that database.
  const CliRun go = Cli({"--thread", "M10×1.5-6H", "--gauge", "通端螺纹塞规", "--length",
                         "大于14至32", "--database", folder + u8"\\公差表.db", "--json"});
  EXPECT_NE(go.out.find(R"("Text2": "10.020", "Text3": "0.0120", "Text4": "9.046")"),
            std::string::npos)
      << go.out << go.err;

  // An Access 97 file.
  fs::copy_file(testing::CarriedTestFile("zh-jet3-booklist.mdb"), folder_ / u8"旧表.mdb");
  const CliRun checked = Cli({"db", "check", folder + u8"\\旧表.mdb"});
  EXPECT_EQ(checked.exit, 1);
  EXPECT_NE(checked.out.find("缺少表“螺距公差”"), std::string::npos) << checked.out << checked.err;

  // A gauge sheet in PDF and a series in a workbook.
  const CliRun sheet = Cli({"sheet", "M10×1.5-6H", "--database", folder + u8"\\公差表.db",
                            "--format", "pdf", "--out", folder + u8"\\量规表.pdf"});
  EXPECT_NE(sheet.exit, 2) << sheet.err;
  EXPECT_EQ(Start(folder_ / u8"量规表.pdf", 5), "%PDF-");
  std::ofstream(folder_ / u8"螺纹.txt") << "M10×1.5\n";
  const CliRun batch = Cli({"batch", "--designations", folder + u8"\\螺纹.txt", "--classes", "6H",
                            "--database", folder + u8"\\公差表.db", "--format", "xlsx", "--out",
                            folder + u8"\\工作簿.xlsx"});
  EXPECT_NE(batch.exit, 2) << batch.err;
  EXPECT_EQ(Start(folder_ / u8"工作簿.xlsx", 2), "PK");

  // The register, its backup beside it, and its export as CSV and workbook.
  const std::vector<std::string> in_register = {"--register", folder + u8"\\量规台账.db",
                                                "--database", folder + u8"\\公差表.db"};
  const auto gauges = [&](std::vector<std::string> args) {
    args.insert(args.begin(), "gauges");
    args.insert(args.end(), in_register.begin(), in_register.end());
    return Cli(args);
  };
  const CliRun added = gauges({"add", "--number", "甲-1", "--thread", "M10×1.5-6H", "--gauge",
                               "通端螺纹塞规", "--length", "大于14至32", "--since", "2026-01-05"});
  ASSERT_EQ(added.exit, 0) << added.err;
  EXPECT_EQ(gauges({"backup"}).exit, 0);
  EXPECT_FALSE(fs::is_empty(folder_ / u8"量规台账备份"));
  EXPECT_EQ(gauges({"export", "--format", "csv", "--out", folder + u8"\\台账.csv"}).exit, 0);
  EXPECT_NE(testing::ReadBytes(folder_ / u8"台账.csv").find("甲-1"), std::string::npos);
  EXPECT_EQ(gauges({"export", "--format", "xlsx", "--out", folder + u8"\\台账.xlsx"}).exit, 0);
  EXPECT_EQ(Start(folder_ / u8"台账.xlsx", 2), "PK");
}

INSTANTIATE_TEST_SUITE_P(CodePages, ChineseFolders,
                         ::testing::Values(CodePageCase{"ru_RU.UTF-8", 1251},
                                           CodePageCase{"C.UTF-8", 1252},
                                           CodePageCase{"zh_CN.UTF-8", 936}),
                         [](const auto& info) { return std::to_string(info.param.code_page); });

// What a console shows of the command line's output: its characters, not the bytes of UTF-8
// read in the console's own code page.
TEST(Console, TheCommandLinesChineseReadsRightInAConsole) {
  FreeConsole();
  ASSERT_TRUE(AllocConsole());
  const UINT before = GetConsoleOutputCP();
  std::wstring line = L"\"" + fs::path(THREADGAUGE_CLI).wstring() + L"\" --version";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &process));
  WaitForSingleObject(process.hProcess, INFINITE);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);

  const HANDLE screen = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                    nullptr);
  CONSOLE_SCREEN_BUFFER_INFO info{};
  ASSERT_TRUE(GetConsoleScreenBufferInfo(screen, &info));
  std::wstring shown(static_cast<size_t>(info.dwSize.X) * 4, L' ');
  DWORD read = 0;
  ReadConsoleOutputCharacterW(screen, shown.data(), static_cast<DWORD>(shown.size()), {0, 0},
                              &read);
  CloseHandle(screen);
  SetConsoleOutputCP(before);
  FreeConsole();
  EXPECT_NE(shown.find(L"threadgauge-cli"), std::wstring::npos);
  EXPECT_NE(shown.find(L"公差数据库："), std::wstring::npos) << Utf8(fs::path(shown));
}

size_t RunningReaders() {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  size_t count = 0;
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
    if (_wcsicmp(entry.szExeFile, L"threadgauge-access-reader.exe") == 0) ++count;
  }
  CloseHandle(snapshot);
  return count;
}

// Waits (a bounded while) until `done` holds; says whether it did.
bool Eventually(const std::function<bool()>& done) {
  for (int i = 0; i < 200; ++i) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return done();
}

TEST(AccessReaderJob, ALoopingFileIsEndedAtItsTimeAndNoReaderIsLeft) {
  ASSERT_EQ(RunningReaders(), 0u);
  const auto stopped = ReadAccessTablesApart(testing::CarriedTestFile("damaged-loops.mdb"), {},
                                             {std::chrono::milliseconds(1500)});
  ASSERT_TRUE(std::holds_alternative<ReadFailure>(stopped));
  EXPECT_EQ(std::get<ReadFailure>(stopped).status, OpenStatus::TimedOut);
  EXPECT_TRUE(Eventually([] { return RunningReaders() == 0; }));
}

TEST(AccessReaderJob, TheReaderEndsWithTheProgramThatStartedIt) {
  testing::TemporaryFolder folder;
  const fs::path file = folder.path() / u8"公差表.mdb";
  fs::copy_file(testing::CarriedTestFile("damaged-loops.mdb"), file);
  RunningProgram cli({THREADGAUGE_CLI, "db", "check", Utf8(file)});
  ASSERT_TRUE(cli.started());
  ASSERT_TRUE(Eventually([] { return RunningReaders() == 1; })) << "the reader never started";
  EXPECT_TRUE(cli.Kill());  // as the task manager ends it, within the reader's 10 s
  EXPECT_TRUE(Eventually([] { return RunningReaders() == 0; })) << "the reader outlived it";
}

}  // namespace
}  // namespace threadgauge
