#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

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

}  // namespace
}  // namespace threadgauge
