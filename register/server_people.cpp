#include "register/server_people.h"

#include <array>

namespace threadgauge {
namespace {

constexpr std::array kRoles = {RegisterRole::Viewer, RegisterRole::Inspector, RegisterRole::Keeper,
                               RegisterRole::Admin};

std::optional<PgError> ErrorOf(const std::variant<PgResult, PgError>& done) {
  if (const auto* error = std::get_if<PgError>(&done)) return *error;
  return std::nullopt;
}

}  // namespace

const char* ServerRoleName(RegisterRole role) {
  switch (role) {
    case RegisterRole::Viewer:
      return "threadgauge_viewer";
    case RegisterRole::Inspector:
      return "threadgauge_inspector";
    case RegisterRole::Keeper:
      return "threadgauge_keeper";
    case RegisterRole::Admin:
      return "threadgauge_admin";
  }
  return "threadgauge_viewer";
}

std::optional<RegisterRole> RoleOfWord(const std::string& word) {
  for (RegisterRole role : kRoles) {
    if ("threadgauge_" + word == ServerRoleName(role)) return role;
  }
  return std::nullopt;
}

Message ServerMessage(const PgError& error, const std::string& action, RegisterRole needed) {
  // The server's own words end with a line break; the first line says it.
  const std::string reason = error.detail.substr(0, error.detail.find('\n'));
  if (error.sqlstate == "42501") {
    return {MessageCode::NoPermission, {action, std::string(ServerRoleName(needed)).substr(12)}};
  }
  if (error.lost) return {MessageCode::ServerUnreachable, {reason}};
  return {MessageCode::ServerRefused, {reason}};
}

std::optional<PgError> InitServer(const PgConnection& owner) {
  // The statements run as one: a schema half made is none.
  if (auto failed = ErrorOf(owner.ExecScript("BEGIN;" + ServerSchemaSql() + ";COMMIT;"))) {
    owner.ExecScript("ROLLBACK");
    return failed;
  }
  return std::nullopt;
}

std::optional<PgError> AddPerson(const PgConnection& admin, const std::string& login,
                                 const std::string& password, RegisterRole role,
                                 const std::string& display_name) {
  const auto verifier = admin.PasswordVerifier(login, password);
  if (!verifier) return PgError{"", "the password could not be encrypted", false};
  return ErrorOf(admin.Exec("SELECT add_person($1, $2, $3, $4)",
                            {login, *verifier, ServerRoleName(role), display_name}));
}

std::optional<PgError> SetPersonRole(const PgConnection& admin, const std::string& login,
                                     RegisterRole role) {
  return ErrorOf(admin.Exec("SELECT set_person_role($1, $2)", {login, ServerRoleName(role)}));
}

std::variant<std::vector<Person>, PgError> People(const PgConnection& db) {
  const auto read = db.Exec(
      "SELECT p.login, p.display_name, "
      "  (SELECT max(CASE r.rolname WHEN 'threadgauge_viewer' THEN 0 "
      "    WHEN 'threadgauge_inspector' THEN 1 WHEN 'threadgauge_keeper' THEN 2 "
      "    WHEN 'threadgauge_admin' THEN 3 END) "
      "   FROM pg_auth_members m JOIN pg_roles r ON r.oid = m.roleid "
      "   JOIN pg_roles u ON u.oid = m.member WHERE u.rolname = p.login) "
      "FROM people p ORDER BY p.login");
  if (const auto* error = std::get_if<PgError>(&read)) return *error;
  const PgResult& rows = std::get<PgResult>(read);
  std::vector<Person> people;
  for (int r = 0; r < rows.rows(); ++r) {
    Person person{rows.Cell(r, 0).value_or(""), rows.Cell(r, 1).value_or(""), std::nullopt};
    if (const auto rank = rows.Cell(r, 2)) {
      person.role = kRoles.at(static_cast<size_t>(std::stoi(*rank)));
    }
    people.push_back(std::move(person));
  }
  return people;
}

}  // namespace threadgauge
