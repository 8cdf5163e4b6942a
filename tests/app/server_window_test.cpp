// The window on a register on a workshop's server, driven as a person does: 台账位置 chosen
// by typing and clicking, the sign-in asked once, the server out of reach at start said in
// the 量规 menu with 重试, a connection cut during the session found again, and a gauge's
// 变更记录 on its page.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "app/form1.h"
#include "gauge_page_dialog.h"
#include "register/server_people.h"
#include "register/server_register.h"
#include "register_location.h"
#include "register_location_dialog.h"
#include "register_place.h"
#include "support/fixture_database.h"
#include "support/gauge_fixture.h"
#include "support/modal_windows.h"
#include "support/test_server.h"

namespace threadgauge {
namespace {

using testing::Connected;
using testing::OwnerUri;

class ServerWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(testing::ServerFolder().empty()) << "THREADGAUGE_TEST_POSTGRES is not set";
    database_ = testing::FreshServerRegister("window");
    keeper_ = "keeper_w" + std::to_string(getpid()) + "_" + std::to_string(++made_);
    PgConnection owner = Connected(OwnerUri(database_));
    ASSERT_FALSE(
        AddPerson(owner, keeper_, "pw-keeper-1", RegisterRole::Keeper, "李四").has_value());
    ASSERT_TRUE(std::holds_alternative<PgResult>(owner.Exec(
        "INSERT INTO gauges (number, thread, kind, length) VALUES ('TG-0012', 'M10×1.5-6H', "
        "'通端螺纹塞规', '大于14至32')")));
    // Nothing of the test runner's own: the password is typed in the sign-in.
    setenv("PGPASSFILE", "/dev/null", 1);
    unsetenv("PGPASSWORD");
    testing::FillComplete(tables_);
  }
  void TearDown() override { testing::UseServerPasswords(); }

  // The address's parts, as a person reads them off the administrator's note.
  RegisterLocation Location() const {
    const std::string uri = OwnerUri(database_);  // postgresql://owner@127.0.0.1:PORT/db
    const size_t at = uri.find('@'), colon = uri.rfind(':'), slash = uri.rfind('/');
    RegisterLocation location;
    location.on_server = true;
    location.host = QString::fromStdString(uri.substr(at + 1, colon - at - 1));
    location.port = QString::fromStdString(uri.substr(colon + 1, slash - colon - 1));
    location.database = QString::fromStdString(database_);
    location.user = QString::fromStdString(keeper_);
    return location;
  }
  std::filesystem::path Settings() const { return WindowSettingsPath(home_.path()); }
  Form1Files Files() const {
    Form1Files files{tables_.path(), {}, {}, {}};
    files.places.user_directory = home_.path();
    return files;
  }
  static void Retype(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
  }
  // Answers the sign-in with the password.
  static void SignIn(QDialog& sign_in) {
    auto* password = sign_in.findChild<QLineEdit*>();
    ASSERT_NE(password, nullptr);
    EXPECT_EQ(password->echoMode(), QLineEdit::Password);
    QTest::keyClicks(password, QStringLiteral("pw-keeper-1"));
    QTest::keyClick(password, Qt::Key_Return);
  }

  static int made_;
  std::string database_, keeper_;
  testing::FixtureDatabase tables_;
  testing::TemporaryFolder home_;
};
int ServerWindow::made_ = 0;

TEST_F(ServerWindow, TheRegistersPlaceIsTypedTestedWithASignInAndKept) {
  auto password = std::make_shared<std::string>();
  RegisterLocationDialog dialog(Settings(), password);
  dialog.show();
  auto* host = dialog.findChild<QLineEdit*>("Host");
  EXPECT_FALSE(host->isEnabled());  // 本机文件 until 服务器 is chosen
  auto* on_server = dialog.findChild<QRadioButton*>("OnServer");
  QTest::mouseClick(on_server, Qt::LeftButton, {}, QPoint(6, on_server->height() / 2));
  ASSERT_TRUE(host->isEnabled());
  const RegisterLocation typed = Location();
  Retype(host, typed.host);
  Retype(dialog.findChild<QLineEdit*>("Port"), typed.port);
  Retype(dialog.findChild<QLineEdit*>("Database"), typed.database);
  Retype(dialog.findChild<QLineEdit*>("User"), typed.user);
  ASSERT_TRUE(testing::InspectModalDialog(
      [&] { QTest::mouseClick(dialog.findChild<QPushButton*>("TestConnection"), Qt::LeftButton); },
      SignIn));
  EXPECT_EQ(dialog.findChild<QLabel*>("ConnectionResult")->text(),
            QStringLiteral("连接成功：1 件量规，0 条检定记录"));
  EXPECT_EQ(*password, "pw-keeper-1");
  QTest::keyClick(&dialog, Qt::Key_Return);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  const RegisterLocation kept = ReadRegisterLocation(Settings());
  EXPECT_TRUE(kept.on_server);
  EXPECT_EQ(kept.Address(), typed.Address());
  // The password is never written down.
  EXPECT_EQ(testing::ReadBytes(Settings()).find("pw-keeper"), std::string::npos);
}

TEST_F(ServerWindow, AServerOutOfReachAtStartIsSaidInTheGaugesMenuWithRetry) {
  RegisterLocation nowhere = Location();
  nowhere.port = QStringLiteral("1");  // nothing listens there
  ASSERT_TRUE(SaveRegisterLocation(Settings(), nowhere));
  Form1 form(Files());
  auto* said = form.findChild<QAction*>("ServerUnreachable");
  auto* retry = form.findChild<QAction*>("RetryServer");
  ASSERT_TRUE(said->isVisible());
  EXPECT_TRUE(said->text().startsWith(QStringLiteral("量规台账服务器无法连接：")))
      << said->text().toStdString();
  EXPECT_TRUE(retry->isVisible());
  // The window still calculates: the register is not in its way.
  EXPECT_TRUE(form.findChild<QPushButton*>("Command1")->isEnabled());
  ASSERT_TRUE(SaveRegisterLocation(Settings(), Location()));
  retry->trigger();
  EXPECT_FALSE(said->isVisible());
  EXPECT_FALSE(retry->isVisible());
}

// The page signs in once; the server cuts the connection (as when it restarts); the next
// action is made on a new connection; 变更记录 lists who changed what.
TEST_F(ServerWindow, TheGaugePageSurvivesACutConnectionAndShowsItsHistory) {
  RegisterPlace place{std::nullopt, [] { return Today(); }, nullptr, Location().Address(),
                      std::make_shared<std::string>()};
  const ToleranceDatabase db = ToleranceDatabase::Open(tables_.path());
  place.database = [&]() -> const ToleranceDatabase& { return db; };
  std::unique_ptr<GaugePageDialog> page;
  ASSERT_TRUE(testing::InspectModalDialog(
      [&] { page = std::make_unique<GaugePageDialog>(place, "TG-0012"); }, SignIn));
  page->show();
  testing::UseServerPasswords();  // the owner's, for the cut; the page keeps its sign-in
  PgConnection owner = Connected(OwnerUri(database_));
  ASSERT_TRUE(std::holds_alternative<PgResult>(owner.Exec(
      "SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE usename = $1", {keeper_})));
  const auto seen = testing::AnswerMessageBox(
      [&] { QTest::mouseClick(page->findChild<QPushButton*>("GaugeHistory"), Qt::LeftButton); });
  ASSERT_TRUE(seen.has_value());
  EXPECT_TRUE(seen->text.contains(QStringLiteral("登记"))) << seen->text.toStdString();
  // Retired on the page: the history names who did it.
  testing::AnswerMessageBox(
      [&] { QTest::mouseClick(page->findChild<QPushButton*>("Retire"), Qt::LeftButton); },
      QStringLiteral("报废"));
  const auto after = testing::AnswerMessageBox(
      [&] { QTest::mouseClick(page->findChild<QPushButton*>("GaugeHistory"), Qt::LeftButton); });
  ASSERT_TRUE(after.has_value());
  EXPECT_TRUE(after->text.contains(QStringLiteral("李四  状态：在用 → 报废")))
      << after->text.toStdString();
}

}  // namespace
}  // namespace threadgauge
