#include "support/test_server.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "register/server_people.h"

namespace threadgauge::testing {

std::string ServerFolder() {
  const char* folder = std::getenv("THREADGAUGE_TEST_POSTGRES");
  return folder ? folder : "";
}

void UseServerPasswords() { setenv("PGPASSFILE", (ServerFolder() + "/pgpass").c_str(), 1); }

std::string UriOf(const std::string& login, const std::string& database) {
  std::ifstream in(ServerFolder() + "/uri");
  std::string uri;
  std::getline(in, uri);
  const size_t at = uri.find('@'), slash = uri.rfind('/');
  return "postgresql://" + login + uri.substr(at, slash - at) + "/" + database;
}

std::string OwnerUri(const std::string& database) { return UriOf("threadgauge_owner", database); }

PgConnection Connected(const std::string& uri, const std::string& password) {
  auto connected = PgConnection::Connect(uri, password);
  if (const auto* error = std::get_if<PgError>(&connected)) {
    ADD_FAILURE() << uri << ": " << error->detail;
    std::abort();  // nothing of a test can go on without its server
  }
  return std::get<PgConnection>(std::move(connected));
}

std::string FreshServerRegister(const std::string& tag) {
  static int made = 0;
  const std::string database = tag + "_" + std::to_string(getpid()) + "_" + std::to_string(++made);
  UseServerPasswords();
  PgConnection server = Connected(OwnerUri("threadgauge"));
  const auto created = server.Exec("CREATE DATABASE " + database);
  EXPECT_TRUE(std::holds_alternative<PgResult>(created)) << std::get<PgError>(created).detail;
  const auto failed = InitServer(Connected(OwnerUri(database)));
  EXPECT_FALSE(failed.has_value()) << failed->detail;
  return database;
}

}  // namespace threadgauge::testing
