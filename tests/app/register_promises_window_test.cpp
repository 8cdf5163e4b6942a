// The register's promises in the window, as a keeper meets them: a gauge that failed is
// said to be taken out of use and is, with a click; a new gauge is accepted against its zone;
// a damaged register says so and takes nothing; a backup brings it back; the long record
// runs onto further pages.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest/QTest>
#include <regex>

#include "app/form1.h"
#include "platform/utf8.h"
#include "record_dialog.h"
#include "register/gauge_register.h"
#include "register/register_backup.h"
#include "support/file_damage.h"
#include "support/gauge_fixture.h"
#include "support/modal_windows.h"
#include "support/run_program.h"

namespace threadgauge {
namespace {

class RegisterPromisesWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::FillComplete(tables_);
    db_.emplace(ToleranceDatabase::Open(tables_.path()));
  }
  Form1Files Files() {
    Form1Files files{tables_.path(), {}, {}, {}};
    files.register_file = Register();
    return files;
  }
  RegisterPlace Place() {
    RegisterPlace place{Register(), [] { return Today(); }, nullptr, std::nullopt,
                        std::make_shared<std::string>()};
    place.database = [this]() -> const ToleranceDatabase& { return *db_; };
    return place;
  }
  std::filesystem::path Register() const { return folder_.path() / u8"量规台账.db"; }
  GaugeRegister Opened() const { return std::get<GaugeRegister>(GaugeRegister::Open(Register())); }
  void AddPlug(const char* number, const char* since = "") {
    GaugeEntry plug;
    plug.number = number, plug.thread = "M10×1.5-6H", plug.kind = "通端螺纹塞规";
    plug.length = "大于14至32", plug.since = since;
    ASSERT_FALSE(Opened().Add(plug).has_value());
  }

  testing::FixtureDatabase tables_;
  testing::TemporaryFolder folder_;
  std::optional<ToleranceDatabase> db_;
};

// Types the readings into the table's first rows, each ended with Tab.
void TypeReadings(RecordDialog& dialog, const std::vector<const char*>& readings) {
  dialog.show();
  dialog.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  auto* table = dialog.findChild<QTableWidget*>("Readings");
  table->setCurrentCell(0, 0);
  table->edit(table->currentIndex());
  for (const char* reading : readings) {
    QLineEdit* editor = nullptr;
    for (QLineEdit* line : table->viewport()->findChildren<QLineEdit*>()) {
      if (line->isVisible()) editor = line;
    }
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, reading);
    QTest::keyClick(editor, Qt::Key_Tab);
  }
}

// Types the file's name into the file dialog and presses Enter, as a person does: each
// character a key event carrying it (Chinese ones as an input method hands them on).
void ChooseFile(QDialog& dialog, const std::filesystem::path& file) {
  auto& chooser = static_cast<QFileDialog&>(dialog);
  chooser.setDirectory(QString::fromStdString(Utf8(file.parent_path())));  // browsed to
  auto* name = chooser.findChild<QLineEdit*>("fileNameEdit");
  ASSERT_NE(name, nullptr);
  name->selectAll();
  for (const QChar c : QString::fromStdString(Utf8(file.filename()))) {
    QTest::sendKeyEvent(QTest::Click, name, Qt::Key_unknown, QString(c), Qt::NoModifier);
  }
  EXPECT_EQ(name->text(), QString::fromStdString(Utf8(file.filename())));
  QTest::keyClick(name, Qt::Key_Return);
}

QString Text(QWidget& window, const char* label) {
  return window.findChild<QLabel*>(label)->text();
}

// GO plug M10×1.5-6H: new 9.040 … 9.052, wear limit 9.022; wires 0.866 (the table's best
// wire, shown in the dialog): d2 = M − 1.2989619.
TEST_F(RegisterPromisesWindow, AFailedGaugeIsSaidToBeTakenOutOfUseAndIsWithAClick) {
  AddPlug("P1");
  {
    RecordDialog record(Place(), *Opened().Find("P1"));
    // 10.319 gives 9.0200381, below the wear limit.
    TypeReadings(record, {"10.319"});
    EXPECT_EQ(Text(record, "Verdict"),
              QStringLiteral("结论：不合格（超出磨损极限），超出磨损极限 2.0 µm"));
    EXPECT_TRUE(Text(record, "Remarks").startsWith(QStringLiteral("该量规应停止使用，待处理")));
    QTest::mouseClick(record.findChild<QPushButton*>("Save"), Qt::LeftButton);
    ASSERT_EQ(record.SavedRecord(), 1);
    EXPECT_NE(Text(record, "Remarks").indexOf(QStringLiteral("请在量规页上把它“停用”或“报废”")),
              -1);
  }
  Form1 form(Files());
  ASSERT_TRUE(testing::InspectModalDialog(
      [&] { form.findChild<QAction*>("DueEntry")->trigger(); },
      [&](QDialog& due) {
        auto* table = due.findChild<QTableWidget*>("Gauges");
        ASSERT_EQ(table->rowCount(), 1);
        EXPECT_NE(
            table->item(0, 6)->text().indexOf(QStringLiteral("检定不合格：超出磨损极限（记录 1）")),
            -1);
        table->selectRow(0);
        EXPECT_TRUE(testing::InspectModalDialog(
            [&] { QTest::mouseClick(due.findChild<QPushButton*>("OpenGauge"), Qt::LeftButton); },
            [&](QDialog& page) {
              EXPECT_NE(
                  Text(page, "PageWarning").indexOf(QStringLiteral("该量规应停止使用，待处理")),
                  -1);
              auto* suspend = page.findChild<QPushButton*>("Suspend");
              testing::AnswerMessageBox([&] { QTest::mouseClick(suspend, Qt::LeftButton); },
                                        QStringLiteral("停用"));
              EXPECT_FALSE(suspend->isEnabled());
              EXPECT_TRUE(page.findChild<QLabel*>("PageWarning")->isHidden());
            }));
        EXPECT_EQ(table->rowCount(), 0);  // dealt with: no longer due
      }));
  EXPECT_EQ(Opened().Find("P1")->state, "停用");
}

TEST_F(RegisterPromisesWindow, ANewGaugeIsAcceptedAgainstItsManufacturingZone) {
  AddPlug("N1");
  RecordDialog record(Place(), *Opened().Find("N1"));
  // 10.3290 gives 9.0300381: worn for a gauge in use, out of tolerance for a new one.
  TypeReadings(record, {"10.3290"});
  EXPECT_EQ(Text(record, "Verdict"),
            QStringLiteral("结论：合格（已磨损，未超磨损极限），距磨损极限 8.0 µm"));
  auto* readings = record.findChild<QTableWidget*>("Readings");
  EXPECT_EQ(readings->item(0, 2)->text(),
            QStringLiteral("合格（已磨损，未超磨损极限），距磨损极限 8.0 µm"));
  QTest::mouseClick(record.findChild<QCheckBox*>("Acceptance"), Qt::LeftButton);
  EXPECT_EQ(Text(record, "Verdict"),
            QStringLiteral("结论：不合格（超出制造公差），超出新制下限 10.0 µm"));
  // Each row is judged as the gauge is.
  EXPECT_EQ(readings->item(0, 2)->text(),
            QStringLiteral("不合格（超出制造公差），超出新制下限 10.0 µm"));
  EXPECT_TRUE(Text(record, "Remarks").contains(QStringLiteral("新量规验收")));
}

TEST_F(RegisterPromisesWindow, ADamagedRegisterSaysSoTakesNothingAndComesBackFromABackup) {
  for (const char* number : {"P1", "P2", "P3"}) AddPlug(number);
  const auto copy = folder_.path() / u8"备份.db";
  ASSERT_FALSE(Opened().CopyTo(copy).has_value());
  // A failing disk zeroes the first page: the file no longer opens.
  const std::string damaged = testing::ZeroPage(testing::ReadBytes(Register()), 1);
  testing::WriteBytes(Register(), damaged);

  Form1 form(Files());
  EXPECT_NE(form.findChild<QLabel*>("StatusLine")->text().indexOf(QStringLiteral("量规台账已损坏")),
            -1);
  ASSERT_TRUE(testing::InspectModalDialog(
      [&] {
        // Opening the ledger tells the damage in a message box first.
        testing::AnswerMessageBox([&] { form.findChild<QAction*>("RegisterEntry")->trigger(); });
      },
      [&](QDialog& ledger) {
        EXPECT_EQ(ledger.findChild<QTableWidget*>("Gauges")->rowCount(), 0);
        // 从备份恢复…: the copy chosen in the file dialog, the question answered.
        const auto asked = testing::AnswerMessageBox(
            [&] {
              EXPECT_TRUE(testing::InspectModalDialog(
                  [&] {
                    QTest::mouseClick(ledger.findChild<QPushButton*>("Restore"), Qt::LeftButton);
                  },
                  [&](QDialog& files) { ChooseFile(files, copy); }));
            },
            QStringLiteral("恢复"));
        ASSERT_TRUE(asked.has_value());
        EXPECT_EQ(asked->buttons, QStringList({"恢复", "取消"}));
        EXPECT_EQ(ledger.findChild<QTableWidget*>("Gauges")->rowCount(), 3);
        EXPECT_NE(ledger.findChild<QLabel*>("RegisterStatus")
                      ->text()
                      .indexOf(QStringLiteral("已从备份恢复量规台账")),
                  -1);
      }));
  // The damaged file is kept as it was.
  std::string day = DayText(Today());
  std::erase(day, '-');
  EXPECT_EQ(testing::ReadBytes(folder_.path() / PathFromUtf8("量规台账.db.before-restore-" + day)),
            damaged);
}

TEST_F(RegisterPromisesWindow, AMiddlePageDamagedIsSaidInTheLedgerAndNothingIsWritten) {
  // Gauges with long notes fill several pages; a zeroed one in the middle leaves the file
  // readable, but not whole.
  for (int i = 1; i <= 11; ++i) {
    GaugeEntry plug;
    plug.number = "P" + std::to_string(i), plug.thread = "M10×1.5-6H", plug.kind = "通端螺纹塞规";
    plug.notes = std::string(700, 'x');
    ASSERT_FALSE(Opened().Add(plug).has_value());
  }
  const std::string whole = testing::ReadBytes(Register());
  const std::string damaged = testing::ZeroPage(whole, whole.size() / 4096 / 2);
  testing::WriteBytes(Register(), damaged);
  Form1 form(Files());
  ASSERT_TRUE(testing::InspectModalDialog(
      [&] { form.findChild<QAction*>("RegisterEntry")->trigger(); },
      [&](QDialog& ledger) {
        EXPECT_TRUE(ledger.findChild<QLabel*>("RegisterStatus")
                        ->text()
                        .startsWith(QStringLiteral("量规台账已损坏：")));
        const auto refused = testing::AnswerMessageBox([&] {
          EXPECT_TRUE(testing::InspectModalDialog(
              [&] {
                QTest::mouseClick(ledger.findChild<QPushButton*>("AddGauge"), Qt::LeftButton);
              },
              [&](QDialog& entry) {
                QTest::keyClicks(entry.findChild<QLineEdit*>("Number"), "P12");
                QTest::keyClicks(entry.findChild<QLineEdit*>("Thread"), "M10-6H");
                QTest::mouseClick(entry.findChild<QPushButton*>("Ok"), Qt::LeftButton);
              }));
        });
        ASSERT_TRUE(refused.has_value());
        EXPECT_TRUE(refused->text.startsWith(QStringLiteral("量规台账已损坏，不能写入")))
            << refused->text.toStdString();
      }));
  EXPECT_EQ(testing::ReadBytes(Register()), damaged);
}

TEST_F(RegisterPromisesWindow, SixtyPastedReadingsMakeARecordOfSeveralPages) {
  AddPlug("P1");
  QStringList column;
  for (int i = 1; column.size() < 60; ++i) {
    if (i % 10 != 0) column << QStringLiteral("10.34%1").arg(i, 2, 10, QLatin1Char('0'));
  }
  QApplication::clipboard()->setText(column.join(QStringLiteral("\r\n")));
  RecordDialog record(Place(), *Opened().Find("P1"));
  record.show();
  record.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&record));
  auto* readings = record.findChild<QTableWidget*>("Readings");
  readings->setFocus();
  readings->setCurrentCell(0, 0);
  QTest::keyClick(readings, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(readings->rowCount(), 61);
  QTest::mouseClick(record.findChild<QPushButton*>("Save"), Qt::LeftButton);
  ASSERT_EQ(record.SavedRecord(), 1);
  const auto pdf = folder_.path() / u8"检定记录.pdf";
  EXPECT_TRUE(testing::InspectModalDialog(
      [&] { QTest::mouseClick(record.findChild<QPushButton*>("SavePdf"), Qt::LeftButton); },
      [&](QDialog& files) { ChooseFile(files, pdf); }));
  const ProgramRun info = RunProgram({"pdfinfo", Utf8(pdf)});
  std::smatch pages;
  ASSERT_TRUE(std::regex_search(info.out, pages, std::regex("Pages:\\s+(\\d+)"))) << info.err;
  EXPECT_GE(std::stoi(pages[1]), 2);
  const ProgramRun text = RunProgram({"pdftotext", "-layout", Utf8(pdf), "-"});
  for (const QString& value : column) {
    // The record writes 10.3401 as read, without trailing zeros (there are none here).
    EXPECT_NE(text.out.find(" " + value.toStdString() + " "), std::string::npos)
        << value.toStdString();
  }
  EXPECT_NE(text.out.find("第 2 页 共 " + pages[1].str() + " 页"), std::string::npos);
}

}  // namespace
}  // namespace threadgauge
