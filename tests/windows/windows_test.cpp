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

#include "platform/data_location.h"
#include "platform/utf8.h"
#include "support/fixture_database.h"
#include "support/run_cli.h"
#include "support/run_program.h"
#include "tolerance/access_child.h"

namespace threadgauge {
namespace {

namespace fs = std::filesystem;

// Run once per ANSI code page (see tests/CMakeLists.txt): Wine takes a process's code page
// from the locale it starts in, and the tests make those locales in the build tree (LOCPATH),
// so that the Unix side still reads UTF-8 file names.
class ChineseFolders : public ::testing::Test {
 protected:
  static CliRun Cli(const std::vector<std::string>& args) { return RunCli(args); }

  testing::TemporaryFolder temporary_;
  const fs::path folder_ = temporary_.path() / u8"量规 资料" / u8"张三";
};

std::string Start(const fs::path& file, size_t bytes) {
  return testing::ReadBytes(file).substr(0, bytes);
}

TEST_F(ChineseFolders, EveryFileIsOpenedAndWrittenByItsUnicodeName) {
  const char* code_page = std::getenv("THREADGAUGE_CODE_PAGE");
  ASSERT_NE(code_page, nullptr) << "run by ctest, once per code page";
  const ProgramRun probe = RunProgram({THREADGAUGE_CODE_PAGE_PROBE});
  ASSERT_EQ(probe.out.substr(0, probe.out.find_first_of("\r\n")), code_page)
      << "the code page did not take";
  fs::create_directories(folder_);
  const auto at = [&](const char8_t* name) { return Utf8(folder_ / name); };

  // Tables from CSV files into a new tolerance database, and out again as CSV.
  fs::copy(THREADGAUGE_GO_PLUG_EXAMPLE, folder_ / u8"示例");
  const CliRun imported = Cli({"db", "import", at(u8"示例"), "--out", at(u8"公差表.db")});
  ASSERT_EQ(imported.exit, 0) << imported.err;
  const CliRun exported = Cli({"db", "export", at(u8"公差表.db"), "--to", at(u8"导出")});
  ASSERT_EQ(exported.exit, 0) << exported.err;
  EXPECT_NE(testing::ReadBytes(folder_ / u8"导出" / u8"位置要素.csv").find("TPL"),
            std::string::npos);

  // The GO plug's worked example from that database.
  const CliRun go = Cli({"--thread", "M10×1.5-6H", "--gauge", "通端螺纹塞规", "--length",
                         "大于14至32", "--database", at(u8"公差表.db"), "--json"});
  EXPECT_NE(go.out.find(R"("Text2": "10.020", "Text3": "0.0120", "Text4": "9.046")"),
            std::string::npos)
      << go.out << go.err;

  // An Access 97 file.
  fs::copy_file(testing::CarriedTestFile("zh-jet3-booklist.mdb"), folder_ / u8"旧表.mdb");
  const CliRun checked = Cli({"db", "check", at(u8"旧表.mdb")});
  EXPECT_EQ(checked.exit, 1);
  EXPECT_NE(checked.out.find("缺少表“螺距公差”"), std::string::npos) << checked.out << checked.err;

  // A gauge sheet in PDF and a series in a workbook.
  const CliRun sheet = Cli({"sheet", "M10×1.5-6H", "--database", at(u8"公差表.db"), "--format",
                            "pdf", "--out", at(u8"量规表.pdf")});
  EXPECT_NE(sheet.exit, 2) << sheet.err;
  EXPECT_EQ(Start(folder_ / u8"量规表.pdf", 5), "%PDF-");
  std::ofstream(folder_ / u8"螺纹.txt") << "M10×1.5\n";
  const CliRun batch =
      Cli({"batch", "--designations", at(u8"螺纹.txt"), "--classes", "6H", "--database",
           at(u8"公差表.db"), "--format", "xlsx", "--out", at(u8"工作簿.xlsx")});
  EXPECT_NE(batch.exit, 2) << batch.err;
  EXPECT_EQ(Start(folder_ / u8"工作簿.xlsx", 2), "PK");

  // The register, its backup beside it, and its export as CSV and workbook.
  const std::vector<std::string> in_register = {"--register", at(u8"量规台账.db"), "--database",
                                                at(u8"公差表.db")};
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
  EXPECT_EQ(gauges({"export", "--format", "csv", "--out", at(u8"台账.csv")}).exit, 0);
  EXPECT_NE(testing::ReadBytes(folder_ / u8"台账.csv").find("甲-1"), std::string::npos);
  EXPECT_EQ(gauges({"export", "--format", "xlsx", "--out", at(u8"台账.xlsx")}).exit, 0);
  EXPECT_EQ(Start(folder_ / u8"台账.xlsx", 2), "PK");
}

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

  const HANDLE screen =
      CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, 0, nullptr);
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

// The user's data folder is %APPDATA%\\threadgauge, as Qt names it, a Chinese user name
// included.
TEST(DataLocation, UserFolderIsTheRoamingApplicationDataFolder) {
  const wchar_t* before = _wgetenv(L"APPDATA");
  const std::wstring kept = before != nullptr ? before : L"";
  ASSERT_EQ(_wputenv_s(L"APPDATA", L"C:\\Users\\张三\\AppData\\Roaming"), 0);
  const auto folder = UserDataDirectory();
  ASSERT_EQ(_wputenv_s(L"APPDATA", L""), 0);
  EXPECT_FALSE(UserDataDirectory().has_value()) << "an empty APPDATA names no folder";
  _wputenv_s(L"APPDATA", kept.c_str());
  ASSERT_TRUE(folder.has_value());
  EXPECT_EQ(folder->wstring(), L"C:\\Users\\张三\\AppData\\Roaming\\threadgauge");
}

// The Access readers the process numbered `parent` has started and that still run: counted
// by parent, since the other tests' readers may run beside.
std::vector<DWORD> ReadersOf(DWORD parent) {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  std::vector<DWORD> readers;
  for (BOOL more = Process32FirstW(snapshot, &entry); more;
       more = Process32NextW(snapshot, &entry)) {
    if (entry.th32ParentProcessID == parent &&
        _wcsicmp(entry.szExeFile, L"threadgauge-access-reader.exe") == 0)
      readers.push_back(entry.th32ProcessID);
  }
  CloseHandle(snapshot);
  return readers;
}

bool StillRuns(DWORD id) {
  const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
  if (process == nullptr) return false;
  const bool runs = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
  CloseHandle(process);
  return runs;
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
  const auto stopped = ReadAccessTablesApart(testing::CarriedTestFile("damaged-loops.mdb"), {},
                                             {std::chrono::milliseconds(1500)});
  ASSERT_TRUE(std::holds_alternative<ReadFailure>(stopped));
  EXPECT_EQ(std::get<ReadFailure>(stopped).status, OpenStatus::TimedOut);
  EXPECT_TRUE(Eventually([] { return ReadersOf(GetCurrentProcessId()).empty(); }));
}

TEST(AccessReaderJob, TheReaderEndsWithTheProgramThatStartedIt) {
  testing::TemporaryFolder folder;
  const fs::path file = folder.path() / u8"公差表.mdb";
  fs::copy_file(testing::CarriedTestFile("damaged-loops.mdb"), file);
  RunningProgram cli({THREADGAUGE_CLI, "db", "check", Utf8(file)});
  ASSERT_TRUE(cli.started());
  const DWORD cli_id = static_cast<DWORD>(cli.id());
  ASSERT_TRUE(Eventually([&] { return ReadersOf(cli_id).size() == 1; })) << "no reader started";
  const DWORD reader = ReadersOf(cli_id).front();
  EXPECT_TRUE(cli.Kill());  // as the task manager ends it, within the reader's 10 s
  EXPECT_TRUE(Eventually([&] { return !StillRuns(reader); })) << "the reader outlived it";
}

}  // namespace
}  // namespace threadgauge
