// "本螺纹全套量规…" as a user meets it, headless: opened from the menu for the window's
// thread, another thread typed as a designation, and the sheet saved.
#include "gauge_set_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest/QTest>

#include "app/form1.h"
#include "support/gauge_fixture.h"
#include "support/modal_windows.h"

namespace threadgauge {
namespace {

QStringList Column(QTableWidget& table, int column) {
  QStringList texts;
  for (int r = 0; r < table.rowCount(); ++r) texts << table.item(r, column)->text();
  return texts;
}

TEST(GaugeSetDialog, OpensForTheWindowsThreadAndTakesADesignation) {
  testing::FixtureDatabase fixture;
  testing::FillComplete(fixture);
  Form1 form({fixture.path(), {}, {}, {}});
  QAction* entry = form.findChild<QAction*>("GaugeSet");
  ASSERT_NE(entry, nullptr);

  // The thread's presence checks apply; the gauge name does not.
  const auto refused = testing::AnswerMessageBox([&] { entry->trigger(); });
  ASSERT_TRUE(refused);
  EXPECT_EQ(refused->text, QStringLiteral(" 对不起,公称直径不能为空！"));

  QTest::keyClicks(form.findChild<QLineEdit*>("Text1"), "10");
  QTest::keyClicks(form.findChild<QComboBox*>("Combo1"), "1.5");
  QTest::keyClicks(form.findChild<QComboBox*>("Combo2"), "6");
  QTest::keyClicks(form.findChild<QComboBox*>("Combo3"), "H");
  QStringList first, second, heading;
  EXPECT_TRUE(testing::InspectModalDialog(
      [&] { entry->trigger(); },
      [&](QDialog& dialog) {
        auto& table = *dialog.findChild<QTableWidget*>("GaugeTable");
        first = Column(table, 0) << Column(table, 1);
        heading << dialog.findChild<QLabel*>("Heading")->text();
        // Another thread, typed as a designation and computed in place.
        auto* designation = dialog.findChild<QLineEdit*>("Designation");
        designation->clear();
        QTest::keyClicks(designation, "M10x1.5-6g");
        QTest::keyClick(designation, Qt::Key_Return);
        second = Column(table, 0) << Column(table, 1);
        heading << dialog.findChild<QLabel*>("Heading")->text();
        QTest::mouseClick(dialog.findChild<QPushButton*>("CopyTable"), Qt::LeftButton);
        // The sheet goes to the printer through a preview of its one page.
        EXPECT_TRUE(testing::InspectModalDialog(
            [&] { QTest::mouseClick(dialog.findChild<QPushButton*>("Print"), Qt::LeftButton); },
            [&](QDialog& preview) {
              EXPECT_EQ(preview.objectName(), QStringLiteral("PrintPreview"));
              auto* view = preview.findChild<QPrintPreviewWidget*>();
              ASSERT_NE(view, nullptr);
              EXPECT_EQ(view->pageCount(), 1);
            }));
        // The dialog's own thread length: chosen there, the sheet is computed again.
        auto* length = dialog.findChild<QComboBox*>("Length");
        length->setFocus();
        QTest::keyClick(length, Qt::Key_Down);
        heading << dialog.findChild<QLabel*>("Heading")->text();
        // Not understood: said where the table was; nothing of M10×1.5-6g stays up, and
        // there is nothing to print or save.
        designation->clear();
        QTest::keyClicks(designation, "M10x");
        QTest::keyClick(designation, Qt::Key_Return);
        heading << dialog.findChild<QLabel*>("Heading")->text();
        EXPECT_EQ(table.rowCount(), 0);
        for (const char* button : {"Print", "SavePdf", "SaveCsv", "CopyTable"}) {
          EXPECT_FALSE(dialog.findChild<QPushButton*>(button)->isEnabled()) << button;
        }
        // A designation without a class gets none from elsewhere: it is refused.
        designation->clear();
        QTest::keyClicks(designation, "M10x1.5");
        QTest::keyClick(designation, Qt::Key_Return);
        heading << dialog.findChild<QLabel*>("Heading")->text();
        EXPECT_EQ(table.rowCount(), 0);
        designation->clear();
        QTest::keyClicks(designation, "M12-6H");
        QTest::keyClick(designation, Qt::Key_Return);
        EXPECT_EQ(table.rowCount(), 2);
        EXPECT_TRUE(dialog.findChild<QPushButton*>("Print")->isEnabled());
      }));
  EXPECT_EQ(first,
            (QStringList{"通端螺纹塞规", "止端螺纹塞规", "10.020 ± 0.0120", "9.512 ± 0.0120"}));
  ASSERT_EQ(second.size(), 16);
  EXPECT_EQ(second[0], QStringLiteral("通端螺纹环规"));
  EXPECT_EQ(second[8], QStringLiteral("≥ 9.980"));
  EXPECT_TRUE(heading[0].startsWith(QStringLiteral("M10×1.5-6H")));
  EXPECT_TRUE(heading[1].startsWith(QStringLiteral("M10×1.5-6g")));
  EXPECT_TRUE(heading[2].contains(QStringLiteral("螺纹部分长度：小于或等于14")))
      << heading[2].toStdString();
  EXPECT_TRUE(heading[3].contains(QStringLiteral("“×”后面应是螺距"))) << heading[3].toStdString();
  EXPECT_TRUE(heading[4].contains(QStringLiteral("标记中没有公差带"))) << heading[4].toStdString();
  EXPECT_TRUE(QApplication::clipboard()->text().startsWith(QStringLiteral("量规名称\t大径\t")));
}

}  // namespace
}  // namespace threadgauge
