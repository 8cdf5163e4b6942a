#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <tuple>

#include "platform/utf8.h"
#include "support/fixture_database.h"
#include "support/gauge_fixture.h"
#include "support/run_cli.h"
#include "support/run_program.h"

namespace threadgauge {
namespace {

std::string ServerFolder() {
  const char* folder = std::getenv("THREADGAUGE_TEST_POSTGRES");
  return folder ? folder : "";
}

// The test server's owner URI with another login and database.
std::string UriOf(const std::string& login, const std::string& database) {
  std::ifstream in(ServerFolder() + "/uri");
  std::string uri;
  std::getline(in, uri);
  const size_t at = uri.find('@'), slash = uri.rfind('/');
  return "postgresql://" + login + uri.substr(at, slash - at) + "/" + database;
}

// The command line run with `typed` on its standard input, as `echo 密码 | …` runs it.
CliRun Typed(const std::string& typed, const std::vector<std::string>& args,
             const std::vector<std::pair<std::string, std::optional<std::string>>>& env) {
  return RunCli(args, {"sh", "-c", "printf '%s\\n' \"$TYPED\" | \"$0\" \"$@\""}, [&] {
    auto all = env;
    all.emplace_back("TYPED", typed);
    return all;
  }());
}

// A workshop's administrator sets up the server: the register made once, people added with
// their roles, a keeper refused what is the admin's, each answer in words and exit status.
TEST(RegisterServerCli, AnAdministratorSetsUpTheServerInAFewCommands) {
  ASSERT_FALSE(ServerFolder().empty()) << "THREADGAUGE_TEST_POSTGRES is not set";
  const std::string tag = std::to_string(getpid());
  const std::string database = "cli_" + tag, keeper = "keeper_" + tag;
  const std::vector<std::pair<std::string, std::optional<std::string>>> owner_env = {
      {"PGPASSFILE", ServerFolder() + "/pgpass"},
      {"THREADGAUGE_REGISTER", UriOf("threadgauge_owner", database)}};
  ASSERT_EQ(
      RunCli({"register", "list-users", "--register", UriOf("threadgauge_owner", "threadgauge")},
             {}, owner_env)
          .exit,
      1);  // no register there yet: the server says the table is missing
  ASSERT_EQ(RunProgram({"psql", "-q", UriOf("threadgauge_owner", "threadgauge"), "-c",
                        "CREATE DATABASE " + database},
                       owner_env)
                .exit,
            0);

  const CliRun made =
      RunCli({"register", "init-server", UriOf("threadgauge_owner", database)}, {}, owner_env);
  EXPECT_EQ(made.exit, 0) << made.err;
  EXPECT_NE(made.out.find("已在服务器上建立量规台账"), std::string::npos);
  const CliRun again =
      RunCli({"register", "init-server", UriOf("threadgauge_owner", database)}, {}, owner_env);
  EXPECT_EQ(again.exit, 1);
  EXPECT_EQ(again.err, "服务器上的量规台账已经建立\n");

  const CliRun added = Typed(
      "pw-" + keeper,
      {"register", "add-user", keeper, "--role", "keeper", "--display-name", "李四"}, owner_env);
  EXPECT_EQ(added.exit, 0) << added.err;
  const CliRun twice = Typed("x", {"register", "add-user", keeper, "--role", "keeper"}, owner_env);
  EXPECT_EQ(twice.exit, 1);
  EXPECT_EQ(twice.err, "用户 " + keeper + " 已存在\n");
  const CliRun boss = Typed("x", {"register", "add-user", "b" + tag, "--role", "boss"}, owner_env);
  EXPECT_EQ(boss.exit, 2);
  EXPECT_EQ(boss.err, "角色“boss”不是 viewer、inspector、keeper、admin 之一\n");
  const CliRun no_password =
      Typed("", {"register", "add-user", "n" + tag, "--role", "viewer"}, owner_env);
  EXPECT_EQ(no_password.exit, 2);

  const CliRun listed = RunCli({"register", "list-users"}, {}, owner_env);
  EXPECT_EQ(listed.exit, 0) << listed.err;
  EXPECT_NE(listed.out.find(keeper + "  李四  keeper\n"), std::string::npos) << listed.out;

  const CliRun refused = RunCli(
      {"register", "set-role", keeper, "--role", "admin", "--register", UriOf(keeper, database)},
      {}, {{"PGPASSWORD", "pw-" + keeper}, {"PGPASSFILE", "/dev/null"}});
  EXPECT_EQ(refused.exit, 1);
  EXPECT_EQ(refused.err, "没有权限：更改角色（需要 admin 角色）\n");

  const CliRun nowhere = RunCli({"register", "list-users"}, {}, {{"THREADGAUGE_REGISTER", ""}});
  EXPECT_EQ(nowhere.exit, 2);
  EXPECT_NE(nowhere.err.find("缺少量规台账服务器"), std::string::npos);
}

using Environment = std::vector<std::pair<std::string, std::optional<std::string>>>;

// A keeper's desk and an inspector's desk, two processes with two logins, on one register on
// the server: the keeper's file moved there whole, gauges added and retired by the keeper,
// an inspection recorded and signed by the inspector, each refused what is not theirs, the
// changes in the gauge's history, and an offline copy back in a file.
TEST(RegisterServerCli, AKeeperAndAnInspectorWorkOnOneRegisterFromTwoDesks) {
  ASSERT_FALSE(ServerFolder().empty()) << "THREADGAUGE_TEST_POSTGRES is not set";
  const std::string tag = std::to_string(getpid());
  const std::string database = "desks_" + tag, keeper = "li_" + tag, inspector = "wang_" + tag;
  const Environment owner = {{"PGPASSFILE", ServerFolder() + "/pgpass"},
                             {"THREADGAUGE_REGISTER", UriOf("threadgauge_owner", database)}};
  ASSERT_EQ(RunProgram({"psql", "-q", UriOf("threadgauge_owner", "threadgauge"), "-c",
                        "CREATE DATABASE " + database},
                       owner)
                .exit,
            0);
  ASSERT_EQ(
      RunCli({"register", "init-server", UriOf("threadgauge_owner", database)}, {}, owner).exit, 0);
  for (auto [login, role, name] :
       {std::tuple{keeper, "keeper", "李四"}, {inspector, "inspector", "王五"}}) {
    const CliRun added =
        Typed("pw-" + login,
              {"register", "add-user", login, "--role", role, "--display-name", name}, owner);
    ASSERT_EQ(added.exit, 0) << added.err;
  }
  testing::FixtureDatabase tables;
  testing::FillComplete(tables);
  testing::TemporaryFolder folder;
  const std::string file = Utf8(folder.path() / u8"量规台账.db");
  const auto on = [&](const std::string& where, std::vector<std::string> args) {
    args.insert(args.end(), {"--register", where, "--database", Utf8(tables.path())});
    return args;
  };
  // The keeper's register so far, on their desk.
  for (auto [number, gauge] : {std::pair{"TG-1", "通端螺纹塞规"}, {"TG-2", "通端螺纹塞规"}}) {
    ASSERT_EQ(RunCli(on(file, {"gauges", "add", "--number", number, "--thread", "M10×1.5-6H",
                               "--gauge", gauge, "--length", "20"}))
                  .exit,
              0);
  }
  const std::vector<std::string> inspection = {"inspect", "TG-2",    "--wire",      "0.8661",
                                               "--m",     "10.3390", "--inspector", "王工"};
  ASSERT_EQ(RunCli(on(file, inspection)).exit, 0);
  const std::string bytes_before = testing::ReadBytes(folder.path() / u8"量规台账.db");

  const CliRun moved =
      RunCli({"gauges", "migrate", "--from", file, "--to", UriOf("threadgauge_owner", database)},
             {}, owner);
  ASSERT_EQ(moved.exit, 0) << moved.err;
  EXPECT_NE(moved.out.find("2 件量规，1 条检定记录；两边核对一致"), std::string::npos) << moved.out;
  EXPECT_EQ(testing::ReadBytes(folder.path() / u8"量规台账.db"), bytes_before);
  const CliRun twice =
      RunCli({"gauges", "migrate", "--from", file, "--to", UriOf("threadgauge_owner", database)},
             {}, owner);
  EXPECT_EQ(twice.exit, 1);
  EXPECT_NE(twice.err.find("目标量规台账不是空的"), std::string::npos) << twice.err;

  const std::string server_keeper = UriOf(keeper, database),
                    server_inspector = UriOf(inspector, database);
  const Environment keeper_desk = {{"PGPASSWORD", "pw-" + keeper}, {"PGPASSFILE", "/dev/null"}};
  const Environment inspector_desk = {{"PGPASSWORD", "pw-" + inspector},
                                      {"PGPASSFILE", "/dev/null"}};
  const CliRun added = RunCli(on(server_keeper, {"gauges", "add", "--number", "TG-3", "--thread",
                                                 "M10×1.5-6H", "--gauge", "通端螺纹塞规"}),
                              {}, keeper_desk);
  EXPECT_EQ(added.exit, 0) << added.err;
  const CliRun refused =
      RunCli(on(server_inspector, {"gauges", "add", "--number", "TG-4", "--thread", "M10×1.5-6H",
                                   "--gauge", "通端螺纹塞规"}),
             {}, inspector_desk);
  EXPECT_EQ(refused.exit, 1);
  EXPECT_EQ(refused.err, "没有权限：登记量规（需要 keeper 角色）\n");

  const CliRun recorded = RunCli(on(server_inspector, inspection), {}, inspector_desk);
  ASSERT_EQ(recorded.exit, 0) << recorded.err;
  // The first record keeps the name typed on the keeper's desk; the one made on the server
  // is signed by who signed in, whatever was typed.
  const auto signed_by = RunProgram({"psql", "-At", UriOf("threadgauge_owner", database), "-c",
                                     "SELECT inspector FROM records ORDER BY id"},
                                    owner);
  EXPECT_EQ(signed_by.out, "王工\n王五\n");

  EXPECT_EQ(RunCli(on(server_keeper, {"gauges", "retire", "TG-3"}), {}, keeper_desk).exit, 0);
  const CliRun history =
      RunCli(on(server_inspector, {"gauges", "history", "TG-3"}), {}, inspector_desk);
  ASSERT_EQ(history.exit, 0) << history.err;
  EXPECT_NE(history.out.find("  李四  登记\n"), std::string::npos) << history.out;
  EXPECT_NE(history.out.find("  李四  状态：在用 → 报废\n"), std::string::npos) << history.out;
  const CliRun verified = RunCli(on(server_inspector, {"gauges", "verify"}), {}, inspector_desk);
  EXPECT_EQ(verified.exit, 0) << verified.out << verified.err;

  const std::string copy = Utf8(folder.path() / u8"离线副本.db");
  const CliRun offline =
      RunCli({"gauges", "migrate", "--from", server_inspector, "--to", copy}, {}, inspector_desk);
  ASSERT_EQ(offline.exit, 0) << offline.err;
  EXPECT_NE(offline.out.find("3 件量规，2 条检定记录"), std::string::npos) << offline.out;
  const CliRun local = RunCli(on(copy, {"gauges", "verify"}));
  EXPECT_EQ(local.exit, 0) << local.out << local.err;
  const CliRun no_history = RunCli(on(copy, {"gauges", "history", "TG-3"}));
  EXPECT_EQ(no_history.exit, 2);

  const CliRun wrong_password = RunCli(on(server_keeper, {"gauges", "list"}), {},
                                       {{"PGPASSWORD", "wrong"}, {"PGPASSFILE", "/dev/null"}});
  EXPECT_EQ(wrong_password.exit, 1);
  EXPECT_NE(wrong_password.err.find("不接受这个用户名或密码"), std::string::npos)
      << wrong_password.err;
}

}  // namespace
}  // namespace threadgauge
