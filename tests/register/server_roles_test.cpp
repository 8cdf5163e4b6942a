#include <gtest/gtest.h>
#include <unistd.h>

#include <map>
#include <string>

#include "register/server_people.h"
#include "support/test_server.h"

namespace threadgauge {
namespace {

using testing::Connected;
using testing::FreshServerRegister;
using testing::OwnerUri;
using testing::UriOf;

// One register made afresh on the test server, with a person of each role. Roles and
// logins belong to the whole server: the logins carry this process's number.
class ServerRoles : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_FALSE(testing::ServerFolder().empty()) << "THREADGAUGE_TEST_POSTGRES is not set";
    const std::string tag = std::to_string(getpid());
    database_ = FreshServerRegister("roles");
    PgConnection owner = Connected(OwnerUri(database_));
    for (RegisterRole role : {RegisterRole::Viewer, RegisterRole::Inspector, RegisterRole::Keeper,
                              RegisterRole::Admin}) {
      const std::string login = std::string(ServerRoleName(role)).substr(12) + "_" + tag;
      const auto added = AddPerson(owner, login, "pw-" + login, role, "");
      ASSERT_FALSE(added.has_value()) << added->detail;
      logins_[role] = login;
    }
    ASSERT_TRUE(std::holds_alternative<PgResult>(owner.Exec(
        "INSERT INTO gauges (number, thread, kind) VALUES ('TG-1', 'M10-6H', '通端螺纹塞规')")));
  }

  PgConnection As(RegisterRole role) {
    return Connected(UriOf(logins_[role], database_), "pw-" + logins_[role]);
  }

  static std::string database_;
  static std::map<RegisterRole, std::string> logins_;
};
std::string ServerRoles::database_;
std::map<RegisterRole, std::string> ServerRoles::logins_;

constexpr const char* kRecord =
    "INSERT INTO records (id, gauge_id, date, method, thread, kind, length, database_file, "
    "database_hash, program_version, has_wear_limit, verdict, verdict_text, created) "
    "SELECT (SELECT coalesce(max(id), 0) + 1 FROM records), id, '2026-12-08', 'wires', thread, "
    "kind, '', 'f', 'h', '0.2', 0, 'new', '合格', "
    "'2026-12-08 10:00' FROM gauges WHERE number = 'TG-1'";

struct Action {
  const char* what;
  const char* sql;
  RegisterRole least;  // the least role that may do it
};

// Each action tried by each role, inside a transaction rolled back: the roles below the
// action's are refused by the server itself ("42501"), the others are let through.
TEST_F(ServerRoles, EachRoleMayDoWhatItsRoleAllowsAndNothingMore) {
  const Action actions[] = {
      {"读取量规", "SELECT count(*) FROM gauges", RegisterRole::Viewer},
      {"读取变更记录", "SELECT count(*) FROM gauge_history", RegisterRole::Viewer},
      {"记录检定", kRecord, RegisterRole::Inspector},
      {"登记量规",
       "INSERT INTO gauges (number, thread, kind) VALUES ('TG-2', 'M10-6H', '通端螺纹塞规')",
       RegisterRole::Keeper},
      {"修改量规", "UPDATE gauges SET notes = '改' WHERE number = 'TG-1'", RegisterRole::Keeper},
      {"报废量规", "UPDATE gauges SET state = '报废' WHERE number = 'TG-1'", RegisterRole::Keeper},
      {"修改设置", "INSERT INTO settings VALUES ('organisation', '一车间')", RegisterRole::Admin},
      {"发布公差表",
       "INSERT INTO tolerance_versions (file_name, hash, content) VALUES ('a.db', 'h', '\\x00')",
       RegisterRole::Admin},
      {"改写变更记录", "DELETE FROM gauge_history", static_cast<RegisterRole>(99)},
  };
  for (RegisterRole role :
       {RegisterRole::Viewer, RegisterRole::Inspector, RegisterRole::Keeper, RegisterRole::Admin}) {
    PgConnection db = As(role);
    for (const Action& action : actions) {
      ASSERT_TRUE(std::holds_alternative<PgResult>(db.Exec("BEGIN")));
      const auto done = db.Exec(action.sql);
      db.Exec("ROLLBACK");
      const bool allowed = static_cast<int>(role) >= static_cast<int>(action.least);
      SCOPED_TRACE(std::string(ServerRoleName(role)) + " " + action.what);
      if (allowed) {
        EXPECT_TRUE(std::holds_alternative<PgResult>(done)) << std::get<PgError>(done).detail;
      } else {
        ASSERT_TRUE(std::holds_alternative<PgError>(done));
        EXPECT_EQ(std::get<PgError>(done).sqlstate, "42501") << std::get<PgError>(done).detail;
      }
    }
  }
}

// A record is signed by the person signed in, whatever name was sent, and stays as it was
// for every role, the owner's included.
TEST_F(ServerRoles, ARecordIsSignedByItsInspectorAndNeverChanged) {
  PgConnection inspector = As(RegisterRole::Inspector);
  const auto added = inspector.Exec(std::string(kRecord) + " RETURNING id, inspector");
  ASSERT_TRUE(std::holds_alternative<PgResult>(added)) << std::get<PgError>(added).detail;
  EXPECT_EQ(std::get<PgResult>(added).Cell(0, 1), logins_[RegisterRole::Inspector]);
  const std::string id = std::get<PgResult>(added).Cell(0, 0).value_or("");
  PgConnection owner = Connected(OwnerUri(database_));
  for (const char* change :
       {"UPDATE records SET notes = '改' WHERE id = $1", "DELETE FROM records WHERE id = $1"}) {
    const auto refused = owner.Exec(change, {id});
    ASSERT_TRUE(std::holds_alternative<PgError>(refused)) << change;
    EXPECT_NE(std::get<PgError>(refused).detail.find("检定记录不可修改"), std::string::npos);
  }
}

// Every change of a gauge is in its history: who, which field, before and after.
TEST_F(ServerRoles, AGaugesChangesAreInItsHistoryWithWhoMadeThem) {
  PgConnection keeper = As(RegisterRole::Keeper);
  ASSERT_TRUE(std::holds_alternative<PgResult>(keeper.Exec(
      "UPDATE gauges SET keeper = '张三', interval_months = 6 WHERE number = $1", {"TG-1"})));
  const auto history = keeper.Exec(
      "SELECT login, field, before, after FROM gauge_history WHERE gauge_number = 'TG-1' "
      "AND field <> '登记' ORDER BY id");
  ASSERT_TRUE(std::holds_alternative<PgResult>(history));
  const PgResult& rows = std::get<PgResult>(history);
  ASSERT_EQ(rows.rows(), 2);
  EXPECT_EQ(rows.Cell(0, 0), logins_[RegisterRole::Keeper]);
  EXPECT_EQ(rows.Cell(0, 1), "interval_months");
  EXPECT_EQ(rows.Cell(0, 2), "12");
  EXPECT_EQ(rows.Cell(0, 3), "6");
  EXPECT_EQ(rows.Cell(1, 1), "keeper");
  EXPECT_EQ(rows.Cell(1, 3), "张三");
}

TEST_F(ServerRoles, PeopleAreListedWithTheirRoleAndTheRoleChanges) {
  PgConnection admin = As(RegisterRole::Admin);
  const std::string& viewer = logins_[RegisterRole::Viewer];
  ASSERT_EQ(SetPersonRole(admin, viewer, RegisterRole::Inspector), std::nullopt);
  const auto people = People(admin);
  ASSERT_TRUE(std::holds_alternative<std::vector<Person>>(people));
  bool found = false;
  for (const Person& person : std::get<std::vector<Person>>(people)) {
    if (person.login == viewer) {
      found = true;
      EXPECT_EQ(person.role, RegisterRole::Inspector);
    }
  }
  EXPECT_TRUE(found);
  ASSERT_EQ(SetPersonRole(admin, viewer, RegisterRole::Viewer), std::nullopt);
  // A keeper may not hand out roles.
  const auto refused = SetPersonRole(As(RegisterRole::Keeper), viewer, RegisterRole::Admin);
  ASSERT_TRUE(refused.has_value());
  EXPECT_EQ(refused->sqlstate, "42501");
}

}  // namespace
}  // namespace threadgauge
