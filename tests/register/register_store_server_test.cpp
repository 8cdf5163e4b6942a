// The register's suite against a workshop's server, and what only a server promises: who
// did it, two people at once, a client killed or cut off half-way.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <regex>
#include <set>
#include <tuple>

#include "register/server_people.h"
#include "register/server_register.h"
#include "register_stores.h"
#include "support/test_server.h"
#include "words/message_words.h"

namespace threadgauge::testing {
namespace {

class ServerUnderTest : public StoreUnderTest {
 public:
  ServerUnderTest() : database_(FreshServerRegister("store")) {}
  GaugeRegister Open() override { return Opened(OpenServerRegister(OwnerUri(database_))); }
  bool Kept(const std::string& sql) override {
    return std::holds_alternative<PgResult>(Connected(OwnerUri(database_)).ExecScript(sql));
  }
  std::string WithoutGuards(const std::string& sql) const override {
    return "ALTER TABLE readings DISABLE TRIGGER readings_fixed; " + sql +
           "; ALTER TABLE readings ENABLE TRIGGER readings_fixed";
  }
  GaugeRegister OpenAnother() override {
    return Opened(OpenServerRegister(OwnerUri(FreshServerRegister("another"))));
  }

 private:
  std::string database_;
};

std::unique_ptr<StoreUnderTest> MakeServer() { return std::make_unique<ServerUnderTest>(); }

INSTANTIATE_TEST_SUITE_P(Server, RegisterStores, ::testing::Values(&MakeServer));

GaugeEntry Plug(const std::string& number) {
  GaugeEntry gauge;
  gauge.number = number;
  gauge.thread = "M10×1.5-6H";
  gauge.kind = "通端螺纹塞规";
  return gauge;
}

InspectionRecord RecordOf(const std::string& number, double M) {
  InspectionRecord r;
  r.gauge_number = number;
  r.date = "2026-12-08";
  r.inspector = "随便写的名字";
  r.method = InspectionMethod::Wires;
  r.element = 0.866;
  r.readings = {{M, M - 1.299, ""}};
  r.thread = "M10×1.5-6H";
  r.kind = "通端螺纹塞规";
  r.database_file = "公差表.db";
  r.database_hash = "00";
  r.program_version = "0.2.0";
  r.verdict = "new";
  r.verdict_text = "合格（新制范围内）";
  return r;
}

// A register on the server with a keeper 张三, a keeper 李四 and an inspector 王五, each
// signed in by their own password.
class OneServerRegister : public ::testing::Test {
 protected:
  void SetUp() override {
    database_ = FreshServerRegister("people");
    tag_ = std::to_string(getpid());
    PgConnection owner = Connected(OwnerUri(database_));
    for (auto [login, role, name] : {std::tuple{"zhang", RegisterRole::Keeper, "张三"},
                                     {"li", RegisterRole::Keeper, "李四"},
                                     {"wang", RegisterRole::Inspector, "王五"},
                                     {"zhao", RegisterRole::Viewer, "赵六"}}) {
      const auto added = AddPerson(owner, Login(login), "pw", role, name);
      // A login of an earlier register of this process is the server's already.
      if (added && added->sqlstate == "42710") {
        ASSERT_FALSE(
            owner.Exec("INSERT INTO people VALUES ($1, $2)", {Login(login), name}).index() == 1);
        ASSERT_FALSE(SetPersonRole(owner, Login(login), role).has_value());
      } else {
        ASSERT_FALSE(added.has_value()) << added->detail;
      }
    }
  }
  std::string Login(const std::string& name) const { return name + "_" + tag_; }
  GaugeRegister As(const std::string& name) const {
    return Opened(OpenServerRegister(UriOf(Login(name), database_), "pw"));
  }
  std::string Uri(const std::string& name) const { return UriOf(Login(name), database_); }

  std::string database_, tag_;
};

TEST_F(OneServerRegister, TheRecordIsSignedByWhoIsSignedInAndTheChainHolds) {
  ASSERT_FALSE(As("zhang").Add(Plug("TG-0012")).has_value());
  GaugeRegister wang = As("wang");
  ASSERT_TRUE(std::holds_alternative<long long>(wang.AddRecord(RecordOf("TG-0012", 10.35))));
  EXPECT_EQ(wang.RecordsOf("TG-0012").at(0).inspector, "王五");
  EXPECT_TRUE(wang.BrokenLinks(std::nullopt).empty());
}

TEST_F(OneServerRegister, EachRoleIsRefusedWhatItMayNotDoByNameAndNothingIsWritten) {
  ASSERT_FALSE(As("zhang").Add(Plug("TG-1")).has_value());
  GaugeRegister viewer = As("zhao");
  const auto added = viewer.Add(Plug("TG-2"));
  ASSERT_TRUE(added.has_value());
  EXPECT_EQ(Say(added->message), "没有权限：登记量规（需要 keeper 角色）");
  const auto recorded = viewer.AddRecord(RecordOf("TG-1", 10.35));
  ASSERT_TRUE(std::holds_alternative<RegisterError>(recorded));
  EXPECT_EQ(Say(std::get<RegisterError>(recorded).message),
            "没有权限：记录检定（需要 inspector 角色）");
  GaugeRegister inspector = As("wang");
  const auto retired = inspector.SetState("TG-1", "报废");
  ASSERT_TRUE(retired.has_value());
  EXPECT_EQ(Say(retired->message), "没有权限：修改量规（需要 keeper 角色）");
  const auto setting = As("zhang").SetSetting("organisation", "一车间");
  ASSERT_TRUE(setting.has_value());
  EXPECT_EQ(Say(setting->message), "没有权限：更改设置（需要 admin 角色）");
  EXPECT_EQ(viewer.Gauges().size(), 1u);
  EXPECT_EQ(viewer.Find("TG-1")->state, "在用");
  EXPECT_EQ(viewer.RecordCount(), 0);
}

// Two keepers read the gauge; one retires it; the other's change, made on what they read,
// is refused naming who retired it and when; read again, it may be made.
TEST_F(OneServerRegister, AChangeOnAGaugeSomeoneElseChangedSinceItWasReadIsRefused) {
  GaugeRegister zhang = As("zhang"), li = As("li");
  ASSERT_FALSE(zhang.Add(Plug("TG-0012")).has_value());
  GaugeEntry read_by_zhang = *zhang.Find("TG-0012");
  GaugeEntry read_by_li = *li.Find("TG-0012");
  read_by_li.state = "报废";
  ASSERT_FALSE(li.Update(read_by_li).has_value());
  read_by_zhang.keeper = "张三";
  const auto refused = zhang.Update(read_by_zhang);
  ASSERT_TRUE(refused.has_value());
  EXPECT_TRUE(std::regex_match(
      Say(refused->message), std::regex("TG-0012 已于 [0-2][0-9]:[0-5][0-9] 被 李四 报废；未修改")))
      << Say(refused->message);
  EXPECT_EQ(zhang.Find("TG-0012")->keeper, "");
  GaugeEntry again = *zhang.Find("TG-0012");
  again.notes = "已报废，待销毁";
  ASSERT_FALSE(zhang.Update(again).has_value());
  // Any other change is named as a change.
  const auto stale = li.Update(read_by_li);
  ASSERT_TRUE(stale.has_value());
  EXPECT_NE(Say(stale->message).find("被 张三 改动；未修改"), std::string::npos)
      << Say(stale->message);
}

// A register is moved onto a server by the database's owner: anyone else's copy would be
// signed afresh and its chain broken, so it is refused and nothing is written.
TEST_F(OneServerRegister, OnlyTheDatabasesOwnerMovesARegisterOntoIt) {
  ASSERT_FALSE(As("zhang").Add(Plug("A")).has_value());
  ASSERT_TRUE(std::holds_alternative<long long>(As("wang").AddRecord(RecordOf("A", 10.35))));
  const std::string empty = FreshServerRegister("moved");
  GaugeRegister target = Opened(OpenServerRegister(UriOf(Login("zhang"), empty), "pw"));
  const auto refused = CopyRegister(As("zhao").store(), target.store());
  ASSERT_TRUE(refused.has_value());
  EXPECT_EQ(Say(refused->message), "没有权限：迁移量规台账（只有数据库的所有者可以）");
  EXPECT_TRUE(target.Gauges().empty());
  GaugeRegister by_owner = Opened(OpenServerRegister(OwnerUri(empty)));
  ASSERT_FALSE(CopyRegister(As("zhao").store(), by_owner.store()).has_value());
  const auto moved = by_owner.RecordsOf("A");
  ASSERT_EQ(moved.size(), 1u);
  EXPECT_EQ(moved[0].inspector, "王五");
  EXPECT_TRUE(by_owner.BrokenLinks(std::nullopt).empty());
}

// Eight desks record fifty inspections each at the same moment: all are kept, each with its
// own number, one chain.
TEST_F(OneServerRegister, EightProcessesRecordingAtOnceKeepEveryRecordNumberedOnce) {
  ASSERT_FALSE(As("zhang").AddAll({Plug("A"), Plug("B")}).has_value());
  std::vector<pid_t> children;
  for (int desk = 0; desk < 8; ++desk) {
    const pid_t child = fork();
    if (child == 0) {
      GaugeRegister gauges = As("wang");
      int failed = 0;
      for (int i = 0; i < 50; ++i) {
        const auto id = gauges.AddRecord(RecordOf(desk % 2 ? "A" : "B", 10.3 + i / 1000.0));
        if (!std::holds_alternative<long long>(id)) ++failed;
      }
      _exit(failed == 0 ? 0 : 1);
    }
    children.push_back(child);
  }
  for (pid_t child : children) {
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  GaugeRegister gauges = As("zhao");
  EXPECT_EQ(gauges.RecordCount(), 400);
  std::set<long long> ids;
  for (const char* number : {"A", "B"}) {
    for (const InspectionRecord& r : gauges.RecordsOf(number)) ids.insert(r.id);
  }
  EXPECT_EQ(ids.size(), 400u);
  EXPECT_EQ(*ids.rbegin(), 400);
  EXPECT_TRUE(gauges.BrokenLinks(std::nullopt).empty());
}

// A desk killed in the middle of a change of two records keeps neither, and holds up no
// one: the next record is numbered on from the last kept.
TEST_F(OneServerRegister, AClientKilledInsideATransactionLeavesNothingHalfWritten) {
  ASSERT_FALSE(As("zhang").Add(Plug("A")).has_value());
  ASSERT_TRUE(std::holds_alternative<long long>(As("wang").AddRecord(RecordOf("A", 10.30))));
  const pid_t child = fork();
  if (child == 0) {
    GaugeRegister gauges = As("wang");
    gauges.store().AppendRecords({RecordOf("A", 10.31), RecordOf("A", 10.32)},
                                 [](const InspectionRecord& r, const RecordLink& last) {
                                   if (last.id == 2) raise(SIGKILL);  // the first is in
                                   InspectionRecord next = r;
                                   next.id = last.id + 1;
                                   return next;
                                 });
    _exit(3);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status));
  GaugeRegister gauges = As("wang");
  EXPECT_EQ(gauges.RecordCount(), 1);
  EXPECT_EQ(std::get<long long>(gauges.AddRecord(RecordOf("A", 10.33))), 2);
  EXPECT_TRUE(gauges.BrokenLinks(std::nullopt).empty());
}

// The connection cut by the server (as when it restarts): the action that finds it says so
// or is made on a new connection; nothing is half-written, and the next action goes through.
TEST_F(OneServerRegister, AConnectionCutByTheServerIsOpenedAgainAtTheNextAction) {
  GaugeRegister zhang = As("zhang");
  ASSERT_FALSE(zhang.Add(Plug("A")).has_value());
  PgConnection owner = Connected(OwnerUri(database_));
  const auto cut = [&] {
    ASSERT_TRUE(std::holds_alternative<PgResult>(
        owner.Exec("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE usename = $1",
                   {Login("zhang")})));
  };
  cut();
  EXPECT_EQ(zhang.Gauges().size(), 1u);
  EXPECT_FALSE(zhang.damage().has_value());
  cut();
  ASSERT_FALSE(zhang.Add(Plug("B")).has_value());
  EXPECT_EQ(zhang.Gauges().size(), 2u);
}

}  // namespace
}  // namespace threadgauge::testing
