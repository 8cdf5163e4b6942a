#pragma once

// The throwaway PostgreSQL server the ctest fixture starts (scripts/postgres-server), and
// registers made afresh on it.
#include <string>

#include "postgres/postgres_connection.h"

namespace threadgauge::testing {

// The fixture's folder (THREADGAUGE_TEST_POSTGRES); empty when the tests run without it.
std::string ServerFolder();
// libpq reads the passwords of the test logins from the fixture's password file.
void UseServerPasswords();
// "postgresql://login@127.0.0.1:port/database" on the test server.
std::string UriOf(const std::string& login, const std::string& database);
std::string OwnerUri(const std::string& database);
PgConnection Connected(const std::string& uri, const std::string& password = "");
// A new database on the test server with the register made in it by its owner; its name
// carries `tag`, this process's number and a count. Its name.
std::string FreshServerRegister(const std::string& tag);

}  // namespace threadgauge::testing
