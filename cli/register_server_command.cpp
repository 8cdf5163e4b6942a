// threadgauge-cli register init-server|add-user|set-role|list-users: a workshop's register
// on a PostgreSQL server and the people who sign in to it.
#include <cstdlib>
#include <iostream>

#include "cli/cli11_reading.h"
#include "cli/register_commands.h"
#include "register/server_people.h"
#include "words/message_words.h"

namespace threadgauge {

const char* const kRegisterHelp =
    "用法: threadgauge-cli register init-server URI\n"
    "       threadgauge-cli register add-user 名 --role viewer|inspector|keeper|admin\n"
    "                                  [--display-name 姓名] [--register URI]\n"
    "       threadgauge-cli register set-role 名 --role viewer|inspector|keeper|admin\n"
    "                                  [--register URI]\n"
    "       threadgauge-cli register list-users [--register URI]\n"
    "URI 为 libpq 的连接串：postgresql://主机:端口/库名，或 service=名（pg_service.conf）；\n"
    "不给 --register 时用环境变量 THREADGAUGE_REGISTER。密码取自 libpq 的密码文件或\n"
    "PGPASSWORD，不写在命令行上；add-user 的新密码从标准输入读入一行。\n"
    "init-server 由数据库的所有者运行，建立台账的表和四个角色：viewer（查看）、inspector\n"
    "（+ 检定记录）、keeper（+ 登记、修改、报废量规，导入）、admin（+ 用户、设置、公差表）。\n"
    "\n"
    "退出状态：0 完成；1 服务器拒绝或无法连接；2 输入有误。\n";

namespace {

std::optional<std::string> ServerOf(const std::optional<std::string>& typed) {
  if (typed) return typed;
  if (const char* named = std::getenv("THREADGAUGE_REGISTER"); named && *named) return named;
  return std::nullopt;
}

// The connection, or why there is none (said on `err`, with the exit status in `exit`: 2
// when no server was named, 1 when it could not be reached).
std::optional<PgConnection> ConnectTo(const std::optional<std::string>& typed, std::ostream& err,
                                      int& exit) {
  const auto where = ServerOf(typed);
  if (!where) {
    err << Say({MessageCode::ServerMissing}) << "\n";
    exit = 2;
    return std::nullopt;
  }
  auto connected = PgConnection::Connect(*where);
  if (const auto* error = std::get_if<PgError>(&connected)) {
    err << Say(ServerMessage(*error, "", RegisterRole::Viewer)) << "\n";
    exit = 1;
    return std::nullopt;
  }
  return std::get<PgConnection>(std::move(connected));
}

int Refused(const PgError& error, const std::string& action, RegisterRole needed,
            std::ostream& err) {
  // A table or role of the register that is there already: made before.
  if (error.sqlstate == "42P07" || error.sqlstate == "42710") {
    err << Say({MessageCode::ServerAlreadyInitialised}) << "\n";
  } else {
    err << Say(ServerMessage(error, action, needed)) << "\n";
  }
  return 1;
}

int InitServerCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CLI::App app;
  std::string uri;
  app.add_option("uri", uri)->required();
  const Reading read = ReadArguments(app, args, kRegisterHelp, out, err);
  if (read.done) return read.exit;
  int exit = 0;
  auto owner = ConnectTo(uri, err, exit);
  if (!owner) return exit;
  if (auto failed = InitServer(*owner)) {
    return Refused(*failed, "建立量规台账", RegisterRole::Admin, err);
  }
  out << "已在服务器上建立量规台账：" << uri << "\n";
  return 0;
}

struct PersonOptions {
  std::string login, role_typed, display_name;
  std::optional<std::string> server;
  void AddTo(CLI::App& app) {
    app.add_option("name", login)->required();
    app.add_option("--role", role_typed)->required();
    app.add_option("--display-name", display_name);
    app.add_option("--register", server);
  }
};

int AddUserCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                   std::ostream& err) {
  CLI::App app;
  PersonOptions person;
  person.AddTo(app);
  const Reading read = ReadArguments(app, args, kRegisterHelp, out, err);
  if (read.done) return read.exit;
  const auto role = RoleOfWord(person.role_typed);
  if (!role) {
    err << Say({MessageCode::RoleUnknown, {person.role_typed}}) << "\n";
    return 2;
  }
  std::string password;
  if (!std::getline(in, password) || password.empty()) {
    err << Say({MessageCode::PasswordMissing}) << "\n";
    return 2;
  }
  int exit = 0;
  auto admin = ConnectTo(person.server, err, exit);
  if (!admin) return exit;
  if (auto failed = AddPerson(*admin, person.login, password, *role, person.display_name)) {
    if (failed->sqlstate == "42710") {
      err << Say({MessageCode::PersonExists, {person.login}}) << "\n";
      return 1;
    }
    return Refused(*failed, "添加用户", RegisterRole::Admin, err);
  }
  out << "已添加用户 " << person.login << "（" << person.role_typed << "）\n";
  return 0;
}

int SetRoleCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CLI::App app;
  PersonOptions person;
  person.AddTo(app);
  const Reading read = ReadArguments(app, args, kRegisterHelp, out, err);
  if (read.done) return read.exit;
  const auto role = RoleOfWord(person.role_typed);
  if (!role) {
    err << Say({MessageCode::RoleUnknown, {person.role_typed}}) << "\n";
    return 2;
  }
  int exit = 0;
  auto admin = ConnectTo(person.server, err, exit);
  if (!admin) return exit;
  if (auto failed = SetPersonRole(*admin, person.login, *role)) {
    if (failed->sqlstate == "42704") {
      err << Say({MessageCode::PersonUnknown, {person.login}}) << "\n";
      return 1;
    }
    return Refused(*failed, "更改角色", RegisterRole::Admin, err);
  }
  out << "用户 " << person.login << " 的角色改为 " << person.role_typed << "\n";
  return 0;
}

int ListUsersCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CLI::App app;
  std::optional<std::string> server;
  app.add_option("--register", server);
  const Reading read = ReadArguments(app, args, kRegisterHelp, out, err);
  if (read.done) return read.exit;
  int exit = 0;
  auto db = ConnectTo(server, err, exit);
  if (!db) return exit;
  const auto people = People(*db);
  if (const auto* failed = std::get_if<PgError>(&people)) {
    return Refused(*failed, "查看用户", RegisterRole::Viewer, err);
  }
  for (const Person& person : std::get<std::vector<Person>>(people)) {
    out << person.login << "  " << person.display_name << "  "
        << (person.role ? std::string(ServerRoleName(*person.role)).substr(12) : "—") << "\n";
  }
  return 0;
}

}  // namespace

int RunRegisterCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                       std::ostream& err) {
  if (args.empty()) {
    err << "缺少子命令：init-server、add-user、set-role 或 list-users（见 --help）\n";
    return 2;
  }
  const std::string& command = args[0];
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  if (command == "--help" || command == "-h") {
    out << kRegisterHelp;
    return 0;
  }
  if (command == "init-server") return InitServerCommand(rest, out, err);
  if (command == "add-user") return AddUserCommand(rest, in, out, err);
  if (command == "set-role") return SetRoleCommand(rest, out, err);
  if (command == "list-users") return ListUsersCommand(rest, out, err);
  err << "未知命令：register " << command << "（见 --help）\n";
  return 2;
}

}  // namespace threadgauge
