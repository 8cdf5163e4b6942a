#include "postgres/postgres_connection.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace threadgauge {
namespace {

// The throwaway server the test run started (scripts/postgres-server): its folder holds the
// owner's URI and libpq's password file.
std::string ServerFolder() {
  const char* folder = std::getenv("THREADGAUGE_TEST_POSTGRES");
  return folder ? folder : "";
}

std::string OwnerUri() {
  std::ifstream in(ServerFolder() + "/uri");
  std::string uri;
  std::getline(in, uri);
  return uri;
}

class PostgresConnection : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(ServerFolder().empty()) << "THREADGAUGE_TEST_POSTGRES is not set";
    setenv("PGPASSFILE", (ServerFolder() + "/pgpass").c_str(), 1);
  }
  PgConnection Owner() {
    auto connected = PgConnection::Connect(OwnerUri());
    if (auto* error = std::get_if<PgError>(&connected)) ADD_FAILURE() << error->detail;
    return std::get<PgConnection>(std::move(connected));
  }
};

// What a user types reaches the server as a value, quotes and all, never as SQL.
TEST_F(PostgresConnection, ValuesGoAsParametersAndComeBackAsTheyWere) {
  PgConnection db = Owner();
  ASSERT_TRUE(std::holds_alternative<PgResult>(
      db.Exec("CREATE TEMPORARY TABLE said (id integer, text text)")));
  const std::string typed = "张三'); DROP TABLE said; --";
  const auto inserted =
      db.Exec("INSERT INTO said VALUES ($1, $2), ($3, $4)", {"1", typed, "2", std::nullopt});
  ASSERT_TRUE(std::holds_alternative<PgResult>(inserted));
  EXPECT_EQ(std::get<PgResult>(inserted).affected(), 2);
  const auto read = db.Exec("SELECT id, text FROM said ORDER BY id");
  ASSERT_TRUE(std::holds_alternative<PgResult>(read));
  const PgResult& rows = std::get<PgResult>(read);
  ASSERT_EQ(rows.rows(), 2);
  ASSERT_EQ(rows.columns(), 2);
  EXPECT_EQ(rows.Cell(0, 1), typed);
  EXPECT_EQ(rows.Cell(1, 0), "2");
  EXPECT_EQ(rows.Cell(1, 1), std::nullopt);
}

// The server's refusal keeps the connection and says why by its code.
TEST_F(PostgresConnection, ARefusedStatementSaysItsCodeAndKeepsTheConnection) {
  PgConnection db = Owner();
  const auto refused = db.Exec("SELEKT 1");
  ASSERT_TRUE(std::holds_alternative<PgError>(refused));
  EXPECT_EQ(std::get<PgError>(refused).sqlstate, "42601");
  EXPECT_FALSE(std::get<PgError>(refused).lost);
  const auto again = db.Exec("SELECT $1::integer + 1", {"41"});
  ASSERT_TRUE(std::holds_alternative<PgResult>(again));
  EXPECT_EQ(std::get<PgResult>(again).Cell(0, 0), "42");
}

TEST_F(PostgresConnection, AWrongPasswordAndAServerThatIsNotThereAreTold) {
  const auto wrong = PgConnection::Connect(OwnerUri(), "not-the-password");
  ASSERT_TRUE(std::holds_alternative<PgError>(wrong));
  EXPECT_EQ(std::get<PgError>(wrong).sqlstate, "28P01");

  // Port 1 on the loopback: nothing listens there.
  const auto nobody = PgConnection::Connect("postgresql://127.0.0.1:1/threadgauge");
  ASSERT_TRUE(std::holds_alternative<PgError>(nobody));
  EXPECT_TRUE(std::get<PgError>(nobody).lost);
  EXPECT_EQ(std::get<PgError>(nobody).sqlstate, "");
  EXPECT_NE(std::get<PgError>(nobody).detail, "");
}

}  // namespace
}  // namespace threadgauge
