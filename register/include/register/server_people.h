#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/problems.h"
#include "postgres/postgres_connection.h"

namespace threadgauge {

// What a person signed in to a server register may do; each role has the rights of the
// ones before it.
enum class RegisterRole { Viewer, Inspector, Keeper, Admin };

// "threadgauge_viewer" …: the server's name of the role.
const char* ServerRoleName(RegisterRole role);
// From what a user types: "viewer", "inspector", "keeper", "admin".
std::optional<RegisterRole> RoleOfWord(const std::string& word);

// The schema, its version table and the four roles, in one transaction.
const std::string& ServerSchemaSql();
std::optional<PgError> InitServer(const PgConnection& owner);

// A person who signs in: their login with its password (sent as its verifier only), their
// role, and the name shown as 检定员 (the login when empty).
std::optional<PgError> AddPerson(const PgConnection& admin, const std::string& login,
                                 const std::string& password, RegisterRole role,
                                 const std::string& display_name);
std::optional<PgError> SetPersonRole(const PgConnection& admin, const std::string& login,
                                     RegisterRole role);

// What the user reads of a server's answer: a refused right names the action and the role
// it needs; a connection that failed or broke says why.
Message ServerMessage(const PgError& error, const std::string& action, RegisterRole needed);

struct Person {
  std::string login, display_name;
  std::optional<RegisterRole> role;  // the highest role held
};
std::variant<std::vector<Person>, PgError> People(const PgConnection& db);

}  // namespace threadgauge
