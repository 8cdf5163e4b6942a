// The gauge register in the window, as a keeper uses it: the M10×1.5-6g set registered from
// 本螺纹全套量规 in one step, readings typed and pasted in the record dialog with the verdict
// following, the record saved and printed to PDF, and the ring found due a year later. The
// window and the command line decide alike.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest/QTest>

#include "app/form1.h"
#include "platform/utf8.h"
#include "record_dialog.h"
#include "register/gauge_register.h"
#include "support/gauge_fixture.h"
#include "support/modal_windows.h"
#include "support/run_cli.h"
#include "support/run_program.h"

namespace threadgauge {
namespace {

class RegisterWindow : public ::testing::Test {
 protected:
  Form1Files Files() {
    Form1Files files{tables_.path(), {}, {}, {}};
    files.register_file = Register();
    files.today = [this] { return today_; };
    return files;
  }
  std::filesystem::path Register() const { return folder_.path() / u8"量规台账.db"; }
  GaugeRegister Opened() const {
    return std::get<GaugeRegister>(GaugeRegister::OpenExisting(Register()));
  }
  void SetUp() override { testing::FillComplete(tables_); }

  testing::FixtureDatabase tables_;
  testing::TemporaryFolder folder_;
  Day today_ = Today();
};

QString Cell(QTableWidget& table, int row, int column) {
  const QTableWidgetItem* item = table.item(row, column);
  return item ? item->text() : QString();
}

// Types each reading into the next row's cell as a person does, ending it with Tab, which
// moves on to the next row (the computed cells are passed over).
void TypeReadings(QTableWidget& table, const std::vector<const char*>& readings) {
  table.setCurrentCell(0, 0);
  table.edit(table.currentIndex());
  for (const char* reading : readings) {
    // The open editor: Tab closed the previous one (hidden until deleted) and opened the next.
    QLineEdit* editor = nullptr;
    for (QLineEdit* line : table.viewport()->findChildren<QLineEdit*>()) {
      if (line->isVisible()) editor = line;
    }
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, reading);
    QTest::keyClick(editor, Qt::Key_Tab);
    QApplication::processEvents();
  }
}

void Retype(QLineEdit* field, const char* text) {
  field->setFocus();
  field->selectAll();
  QTest::keyClicks(field, text);
}

// The verdict line the command line prints for the same readings, without saving.
std::string CliVerdict(const std::vector<std::string>& args) {
  const CliRun run = RunCli(args);
  const size_t at = run.out.find("结论：");
  if (at == std::string::npos) return "(no verdict) " + run.err;
  return run.out.substr(at, run.out.find('\n', at) - at);
}

TEST_F(RegisterWindow, ANewUserRegistersTheSetInspectsItAndFindsTheRingDueAYearLater) {
  Form1 form(Files());
  QTest::keyClicks(form.findChild<QLineEdit*>("Text1"), "10");
  QTest::keyClicks(form.findChild<QComboBox*>("Combo1"), "1.5");
  QTest::keyClicks(form.findChild<QComboBox*>("Combo2"), "6");
  QTest::keyClicks(form.findChild<QComboBox*>("Combo3"), "g");
  form.findChild<QComboBox*>("Combo5")->setCurrentIndex(1);  // picked: 大于14至32

  // 本螺纹全套量规 → 登记这些量规…, the prefix typed: all eight in one step.
  QString registered;
  ASSERT_TRUE(testing::InspectModalDialog(
      [&] { form.findChild<QAction*>("GaugeSet")->trigger(); },
      [&](QDialog& set) {
        auto* enrol = set.findChild<QPushButton*>("RegisterSet");
        ASSERT_NE(enrol, nullptr);
        EXPECT_TRUE(testing::InspectModalDialog([&] { QTest::mouseClick(enrol, Qt::LeftButton); },
                                                [&](QDialog& ask) {
                                                  auto* prefix = ask.findChild<QLineEdit*>();
                                                  prefix->selectAll();
                                                  QTest::keyClicks(prefix, "TG-2026-");
                                                  QTest::keyClick(prefix, Qt::Key_Return);
                                                }));
        registered = set.findChild<QLabel*>("SetStatus")->text();
      }));
  EXPECT_EQ(registered, QStringLiteral("已登记 8 件量规：TG-2026-01 至 TG-2026-08"));
  const auto gauges = Opened().Gauges();
  ASSERT_EQ(gauges.size(), 8u);
  EXPECT_EQ(gauges[0].kind, "通端螺纹环规");
  EXPECT_EQ(gauges[1].kind, "校通-通螺纹塞规");
  EXPECT_EQ(gauges[1].thread, "M10×1.5-6g");
  EXPECT_EQ(gauges[1].length, "大于14至32");

  // 量规台账: found by its 编号, then 新建检定记录… for the GO ring's GO check plug.
  const std::vector<std::string> cli = {
      "inspect",    "TG-2026-02",         "--dry-run", "--register", Utf8(Register()),
      "--database", Utf8(tables_.path()), "--wire",    "0.8661"};
  QString plug_verdict;
  ASSERT_TRUE(testing::InspectModalDialog(
      [&] { form.findChild<QAction*>("RegisterEntry")->trigger(); },
      [&](QDialog& ledger) {
        auto* table = ledger.findChild<QTableWidget*>("Gauges");
        EXPECT_EQ(table->rowCount(), 8);
        QTest::keyClicks(ledger.findChild<QLineEdit*>("Search"), "TG-2026-02");
        ASSERT_EQ(table->rowCount(), 1);
        EXPECT_EQ(Cell(*table, 0, 2), QStringLiteral("校通-通螺纹塞规"));
        EXPECT_TRUE(testing::InspectModalDialog(
            [&] { QTest::mouseClick(ledger.findChild<QPushButton*>("NewRecord"), Qt::LeftButton); },
            [&](QDialog& dialog) {
              auto& record = static_cast<RecordDialog&>(dialog);
              Retype(record.findChild<QLineEdit*>("Element"), "0.8661");
              auto* readings = record.findChild<QTableWidget*>("Readings");
              TypeReadings(*readings, {"10.2750", "10.2756", "10.2744"});
              // Each row's pitch diameter, d2 = M − 2.5983 + 1.2990381, as typed.
              EXPECT_EQ(Cell(*readings, 0, 1), QStringLiteral("8.9757"));
              EXPECT_EQ(Cell(*readings, 1, 1), QStringLiteral("8.9763"));
              EXPECT_EQ(Cell(*readings, 2, 1), QStringLiteral("8.9751"));
              plug_verdict = record.findChild<QLabel*>("Verdict")->text();
              EXPECT_EQ(readings->rowCount(), 4);  // the three readings and an empty row below
              // Nothing to print before the record is saved.
              EXPECT_FALSE(record.findChild<QPushButton*>("Print")->isEnabled());
              EXPECT_FALSE(record.findChild<QPushButton*>("SavePdf")->isEnabled());
              QTest::mouseClick(record.findChild<QPushButton*>("Save"), Qt::LeftButton);
              EXPECT_EQ(record.SavedRecord(), 1);
              EXPECT_TRUE(record.findChild<QPushButton*>("Print")->isEnabled());
              const auto pdf = folder_.path() / u8"记录1.pdf";
              EXPECT_FALSE(record.SavePdf(pdf).has_value());
              // The page read back as text: whose record, every reading with its d2, the verdict.
              const ProgramRun text = RunProgram({"pdftotext", "-layout", Utf8(pdf), "-"});
              ASSERT_EQ(text.exit, 0) << "pdftotext (Debian poppler-utils): " << text.err;
              for (const char* shown :
                   {"TG-2026-02", "校通-通螺纹塞规", " 10.275 ", "10.2756", "10.2744", "8.9757",
                    "8.9763", "8.9751", "0.8661", "合格（新制范围内）"}) {
                EXPECT_NE(text.out.find(shown), std::string::npos) << shown << "\n" << text.out;
              }
            }));
      }));
  EXPECT_EQ(plug_verdict, QStringLiteral("结论：合格（新制范围内），距新制上限 3.2 µm"));
  std::vector<std::string> plug_cli = cli;
  plug_cli.insert(plug_cli.end(), {"--m", "10.2750", "--m", "10.2756", "--m", "10.2744"});
  EXPECT_EQ(plug_verdict.toStdString(), CliVerdict(plug_cli));

  // The GO ring over balls, its E readings pasted as a column from a spreadsheet.
  QApplication::clipboard()->setText(QStringLiteral("7.585\r\n7.589\r\n"));
  QString ring_verdict;
  ASSERT_TRUE(testing::InspectModalDialog(
      [&] { form.findChild<QAction*>("RegisterEntry")->trigger(); },
      [&](QDialog& ledger) {
        QTest::keyClicks(ledger.findChild<QLineEdit*>("Search"), "TG-2026-01");
        EXPECT_TRUE(testing::InspectModalDialog(
            [&] { QTest::mouseClick(ledger.findChild<QPushButton*>("NewRecord"), Qt::LeftButton); },
            [&](QDialog& record) {
              Retype(record.findChild<QLineEdit*>("Element"), "0.9002");
              auto* readings = record.findChild<QTableWidget*>("Readings");
              readings->setFocus();
              QTest::keyClick(readings, Qt::Key_V, Qt::ControlModifier);
              EXPECT_EQ(Cell(*readings, 0, 0), QStringLiteral("7.585"));
              EXPECT_EQ(Cell(*readings, 1, 0), QStringLiteral("7.589"));
              // d2 = E − 1.2990381 + 2.7006.
              EXPECT_EQ(Cell(*readings, 1, 1), QStringLiteral("8.9906"));
              ring_verdict = record.findChild<QLabel*>("Verdict")->text();
              QTest::mouseClick(record.findChild<QPushButton*>("Save"), Qt::LeftButton);
            }));
      }));
  EXPECT_EQ(ring_verdict, QStringLiteral("结论：合格（已磨损，未超磨损极限），距磨损极限 19.4 µm"));
  EXPECT_EQ(ring_verdict.toStdString(),
            CliVerdict({"inspect", "TG-2026-01", "--dry-run", "--register", Utf8(Register()),
                        "--database", Utf8(tables_.path()), "--ball", "0.9002", "--e", "7.585",
                        "--e", "7.589"}));
  EXPECT_EQ(Opened().RecordsOf("TG-2026-01").size(), 1u);

  // 到期量规 a year later, less ten days: the two gauges inspected today, and the six never
  // inspected (they have no 启用日期: due until they are).
  const Day inspected = today_;
  today_ = AddDays(AddMonths(inspected, 12), -10);
  QStringList due;
  ASSERT_TRUE(testing::InspectModalDialog([&] { form.findChild<QAction*>("DueEntry")->trigger(); },
                                          [&](QDialog& dialog) {
                                            auto* table = dialog.findChild<QTableWidget*>("Gauges");
                                            for (int r = 0; r < table->rowCount(); ++r)
                                              due << Cell(*table, r, 0);
                                          }));
  EXPECT_EQ(due, QStringList({"TG-2026-01", "TG-2026-02", "TG-2026-03", "TG-2026-04", "TG-2026-05",
                              "TG-2026-06", "TG-2026-07", "TG-2026-08"}));
  // Past the day, the window says so when it starts.
  today_ = AddDays(AddMonths(inspected, 12), 1);
  Form1 next_year(Files());
  EXPECT_NE(next_year.findChild<QLabel*>("StatusLine")
                ->text()
                .indexOf(QStringLiteral("量规台账：2 件量规已过检定日期")),
            -1);
  EXPECT_NE(next_year.findChild<QLabel*>("StatusLine")
                ->text()
                .indexOf(QStringLiteral("量规台账：6 件量规从未检定")),
            -1);
}

TEST_F(RegisterWindow, AFarReadingIsSavedOnlyWhenConfirmed) {
  GaugeEntry plug;
  plug.number = "P1", plug.thread = "M10×1.5-6H", plug.kind = "通端螺纹塞规";
  plug.length = "大于14至32";
  ASSERT_FALSE(std::get<GaugeRegister>(GaugeRegister::Open(Register())).Add(plug).has_value());
  RegisterPlace place{Register(), [this] { return today_; }, nullptr, std::nullopt,
                      std::make_shared<std::string>()};
  const ToleranceDatabase db = ToleranceDatabase::Open(tables_.path());
  place.database = [&db]() -> const ToleranceDatabase& { return db; };
  RecordDialog record(place, plug);
  record.show();
  record.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&record));
  auto* readings = record.findChild<QTableWidget*>("Readings");
  // 11.345 gives 10.046, a millimetre off the plug's 9.046.
  TypeReadings(*readings, {"11.345"});
  EXPECT_NE(record.findChild<QLabel*>("Verdict")->text().indexOf(QStringLiteral("可能输错")), -1);
  auto* save = record.findChild<QPushButton*>("Save");
  const auto back = testing::AnswerMessageBox([&] { QTest::mouseClick(save, Qt::LeftButton); },
                                              QStringLiteral("返回修改"));
  ASSERT_TRUE(back);
  EXPECT_EQ(back->buttons, QStringList({"仍然保存", "返回修改"}));
  EXPECT_TRUE(Opened().RecordsOf("P1").empty());
  testing::AnswerMessageBox([&] { QTest::mouseClick(save, Qt::LeftButton); },
                            QStringLiteral("仍然保存"));
  const auto records = Opened().RecordsOf("P1");
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].verdict, "out_of_tolerance");
  EXPECT_FALSE(save->isEnabled());  // saved once; a correction is a new record
}

TEST_F(RegisterWindow, AGaugeIsAddedByHandAndAWrongThreadIsSaidInTheDialog) {
  Form1 form(Files());
  ASSERT_TRUE(testing::InspectModalDialog(
      [&] { form.findChild<QAction*>("RegisterEntry")->trigger(); },
      [&](QDialog& ledger) {
        EXPECT_TRUE(testing::InspectModalDialog(
            [&] { QTest::mouseClick(ledger.findChild<QPushButton*>("AddGauge"), Qt::LeftButton); },
            [&](QDialog& entry) {
              QTest::keyClicks(entry.findChild<QLineEdit*>("Number"), "TG-9");
              QTest::keyClicks(entry.findChild<QLineEdit*>("Thread"), "M10x1.5-6g");
              entry.findChild<QComboBox*>("Kind")->setCurrentText(QStringLiteral("通端螺纹塞规"));
              QTest::mouseClick(entry.findChild<QPushButton*>("Ok"), Qt::LeftButton);
              EXPECT_TRUE(entry.isVisible());
              EXPECT_NE(
                  entry.findChild<QLabel*>("Problem")->text().indexOf(QStringLiteral("内螺纹")),
                  -1);
              entry.findChild<QComboBox*>("Kind")->setCurrentText(QStringLiteral("通端螺纹环规"));
              QTest::mouseClick(entry.findChild<QPushButton*>("Ok"), Qt::LeftButton);
              EXPECT_FALSE(entry.isVisible());
            }));
        EXPECT_EQ(ledger.findChild<QTableWidget*>("Gauges")->rowCount(), 1);
      }));
  ASSERT_TRUE(Opened().Find("TG-9").has_value());
  EXPECT_EQ(Opened().Find("TG-9")->thread, "M10×1.5-6g");
}

}  // namespace
}  // namespace threadgauge
