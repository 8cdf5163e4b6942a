// The tolerance-table editor as a user meets it, headless: paste a table from a spreadsheet,
// see what is marked and what is missing, undo, save, and calculate with what was saved.
#include "table_editor.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QtTest/QTest>
#include <fstream>

#include "app/form1.h"
#include "platform/utf8.h"
#include "support/gauge_fixture.h"
#include "support/modal_windows.h"
#include "support/run_program.h"
#include "tables/user_database.h"

namespace threadgauge {
namespace {

using testing::AnswerMessageBox;

// The GO plug's worked example in every table but "位置要素", which the user has to fill.
class TableEditorTest : public ::testing::Test {
 protected:
  TableEditorTest() {
    testing::LookedUpValues v;
    v.T = 180;
    testing::Fill(shipped_, v);
    shipped_.Exec("DELETE FROM 位置要素");
    user_database_ = UserDatabasePath(home_.path() / "threadgauge");
  }

  TableEditorFiles Files() const { return {shipped_.path(), user_database_, shipped_.path()}; }

  static QTableView* View(TableEditor& editor, const char* table) {
    return editor.findChild<QTableView*>(QStringLiteral("Table_") + QString::fromUtf8(table));
  }
  static QString Cell(TableEditor& editor, const char* table, int row, int column) {
    QTableView* view = View(editor, table);
    return view->model()->index(row, column).data().toString();
  }
  // Picks the table's tab and the cell, as a click would, and pastes with Ctrl+V.
  static void PasteAt(TableEditor& editor, const char* table, int row, int column,
                      const QString& text) {
    editor.show();
    QApplication::setActiveWindow(&editor);
    editor.ShowTable(QString::fromUtf8(table));
    QTableView* view = View(editor, table);
    view->setFocus();
    if (view->model()->rowCount() > row) {
      view->setCurrentIndex(view->model()->index(row, column));
    }
    QApplication::clipboard()->setText(text);
    QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);
  }

  testing::FixtureDatabase shipped_;
  testing::TemporaryFolder home_;
  std::filesystem::path user_database_;
};

// Three rows of ten cells as Excel copies them; the second holds TD2 = 180 of the example.
const QString kGaugeRows = QStringLiteral(
    "\t100\t8\t15\t6\t8\t5\t4\t12\t10\r\n"
    "100\t200\t12\t20\t8\t11\t9\t6\t24\t21\r\n"
    "200\t400\t16\t25\t10\t14\t11\t8\t30\t26\r\n");

TEST_F(TableEditorTest, PastedTablesAreSavedAndCalculatedWith) {
  {
    TableEditor editor(Files());
    editor.show();
    EXPECT_TRUE(editor.findChild<QLabel*>("Missing_位置要素")
                    ->text()
                    .contains(QStringLiteral("未被任何一行覆盖：180")));
    // What is missing covers every pitch of ISO 261, not only the window's list (0.45 … 6).
    EXPECT_TRUE(editor.findChild<QLabel*>("Missing_半角公差")
                    ->text()
                    .contains(QStringLiteral("没有以下螺距的行：0.2、0.25、0.3、0.35、0.4、0.45")))
        << editor.findChild<QLabel*>("Missing_半角公差")->text().toStdString();
    PasteAt(editor, "位置要素", 0, 0, kGaugeRows);
    QTableView* view = View(editor, "位置要素");
    ASSERT_EQ(view->model()->rowCount(), 3);
    EXPECT_EQ(Cell(editor, "位置要素", 0, 0), "");  // "above — up to 100"
    EXPECT_EQ(Cell(editor, "位置要素", 1, 3), "20");
    EXPECT_TRUE(editor.isWindowModified());
    EXPECT_TRUE(editor.findChild<QLabel*>("EditorStatus")->text().contains("已粘贴 3 行 × 10 列"));
    EXPECT_EQ(editor.findChild<QLabel*>("Missing_位置要素")->text(),
              QStringLiteral("本表已包含所提供螺纹所需的全部行。"));
    QTest::mouseClick(editor.findChild<QPushButton*>("Save"), Qt::LeftButton);
    EXPECT_FALSE(editor.isWindowModified());
    EXPECT_TRUE(std::filesystem::exists(user_database_));
  }
  // Reopened on the user's database: the rows are there.
  TableEditor reopened({user_database_, user_database_, shipped_.path()});
  ASSERT_EQ(View(reopened, "位置要素")->model()->rowCount(), 3);
  EXPECT_EQ(Cell(reopened, "位置要素", 1, 2), "12");

  // The next 确定 uses the user's database, and the GO plug's example comes out whole.
  const auto program = home_.path() / "bin";
  std::filesystem::create_directories(program / std::filesystem::u8path("公差表"));
  std::filesystem::copy_file(shipped_.path(),
                             program / std::filesystem::u8path("公差表") / u8"公差表.db");
  Form1 form({std::nullopt, DataPlaces{program, home_.path() / "threadgauge"}, {}, {}});
  form.findChild<QLineEdit*>("Text1")->setText("10");
  for (const auto& [list, text] :
       {std::pair{"Combo1", "1.5"}, std::pair{"Combo2", "6"}, std::pair{"Combo3", "H"},
        std::pair{"Combo4", "通端螺纹塞规"}, std::pair{"Combo5", "大于14至32"}}) {
    form.findChild<QComboBox*>(list)->setEditText(QString::fromUtf8(text));
  }
  QTest::mouseClick(form.findChild<QPushButton*>("Command1"), Qt::LeftButton);
  QStringList shown;
  for (const char* field : {"Text2", "Text3", "Text4", "Text5", "Text6", "Text8", "Text9"}) {
    shown << form.findChild<QLineEdit*>(field)->text();
  }
  EXPECT_EQ(shown,
            (QStringList{"10.020", "0.0120", "9.046", "0.0060", "8.376", "0.866", "10.345"}));
  EXPECT_EQ(form.findChild<QLabel*>("StatusLine")->text(),
            QStringLiteral("公差数据库：") + QString::fromStdString(Utf8(user_database_)));
}

TEST_F(TableEditorTest, EditsAreCheckedLiveAndUndoable) {
  TableEditor editor(Files());
  editor.show();
  PasteAt(editor, "位置要素", 0, 0, kGaugeRows);
  QTableView* view = View(editor, "位置要素");
  // Typed into a cell as a user types: F2, the text, Enter.
  view->setCurrentIndex(view->model()->index(1, 4));
  QTest::keyClick(view, Qt::Key_F2);
  QTest::keyClicks(QApplication::focusWidget(), "8a");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  QApplication::processEvents();  // the grid commits the typed text once the key is handled
  const QModelIndex typed = view->model()->index(1, 4);
  EXPECT_EQ(typed.data().toString(), "8a");
  EXPECT_TRUE(typed.data(Qt::BackgroundRole).isValid());
  EXPECT_EQ(typed.data(Qt::ToolTipRole).toString(), QStringLiteral("“8a”不是数值"));

  // Rows moved out of order are marked; moving back clears the mark.
  view->setCurrentIndex(view->model()->index(2, 0));
  QTest::mouseClick(editor.findChild<QPushButton*>("MoveUp"), Qt::LeftButton);
  EXPECT_EQ(Cell(editor, "位置要素", 1, 0), "200");
  EXPECT_TRUE(view->model()->index(2, 0).data(Qt::ToolTipRole).toString().contains("升序"));

  QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);  // the move
  EXPECT_EQ(Cell(editor, "位置要素", 1, 0), "100");
  EXPECT_FALSE(view->model()->index(2, 0).data(Qt::ToolTipRole).isValid());
  QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);  // the typing
  EXPECT_EQ(Cell(editor, "位置要素", 1, 4), "8");
  QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);  // the paste
  EXPECT_EQ(view->model()->rowCount(), 0);
  EXPECT_FALSE(editor.isWindowModified());
  QTest::keyClick(view, Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(view->model()->rowCount(), 3);

  // Insert, delete, copy out.
  view->setCurrentIndex(view->model()->index(0, 0));
  QTest::mouseClick(editor.findChild<QPushButton*>("InsertAbove"), Qt::LeftButton);
  EXPECT_EQ(view->model()->rowCount(), 4);
  EXPECT_EQ(Cell(editor, "位置要素", 1, 1), "100");
  QTest::mouseClick(editor.findChild<QPushButton*>("RemoveRows"), Qt::LeftButton);
  EXPECT_EQ(view->model()->rowCount(), 3);
  view->selectRow(1);
  QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), "100\t200\t12\t20\t8\t11\t9\t6\t24\t21\r\n");

  // A PDF's lines of different lengths are not placed by guess: nothing is pasted.
  const int rows_before = View(editor, "螺距公差")->model()->rowCount();
  const QString cell_before = Cell(editor, "螺距公差", 0, 0);
  PasteAt(editor, "螺距公差", 0, 0, QStringLiteral("小于或等于14 0.004\n大于14至32\n"));
  EXPECT_EQ(View(editor, "螺距公差")->model()->rowCount(), rows_before);
  EXPECT_EQ(Cell(editor, "螺距公差", 0, 0), cell_before);
  EXPECT_TRUE(editor.findChild<QLabel*>("EditorStatus")
                  ->text()
                  .contains(QStringLiteral("第 2 行有 1 个单元格，第 1 行有 2 个")));
  // A column copied with empty cells keeps every cell in its row.
  PasteAt(editor, "螺距公差", 0, 1, QStringLiteral("0.004\r\n\r\n0.006\r\n0.008\r\n"));
  EXPECT_EQ(View(editor, "螺距公差")->model()->rowCount(), 4);
  EXPECT_EQ(Cell(editor, "螺距公差", 1, 1), "");
  EXPECT_EQ(Cell(editor, "螺距公差", 2, 1), "0.006");

  // Closing with unsaved edits asks; 取消 keeps the window, 不保存 writes nothing.
  QPushButton* close = editor.findChild<QPushButton*>("Close");
  ASSERT_TRUE(AnswerMessageBox([&] { QTest::mouseClick(close, Qt::LeftButton); }, "取消"));
  EXPECT_TRUE(editor.isVisible());
  const auto asked =
      AnswerMessageBox([&] { QTest::mouseClick(close, Qt::LeftButton); }, QStringLiteral("不保存"));
  ASSERT_TRUE(asked);
  for (const char* button : {"保存", "不保存", "取消"})
    EXPECT_TRUE(asked->buttons.contains(button));
  EXPECT_FALSE(editor.isVisible());
  EXPECT_FALSE(std::filesystem::exists(user_database_));
}

TEST_F(TableEditorTest, FailedSaveKeepsTheEditsAndTheFiles) {
  // The calculation's open database is let go before the file is replaced.
  bool released_before_writing = false;
  TableEditorFiles files = Files();
  files.release_database = [&] {
    released_before_writing = !std::filesystem::exists(user_database_);
  };
  TableEditor editor(files);
  PasteAt(editor, "位置要素", 0, 0, kGaugeRows);
  ASSERT_TRUE(editor.Save());
  EXPECT_TRUE(released_before_writing);
  const std::string saved = testing::ReadBytes(user_database_);
  PasteAt(editor, "位置要素", 0, 2, QStringLiteral("9"));
  {
    ReadOnlyFolder read_only(Utf8(user_database_.parent_path()));
    const auto box = AnswerMessageBox([&] { EXPECT_FALSE(editor.Save()); });
    ASSERT_TRUE(box);
    EXPECT_TRUE(box->text.contains(QString::fromStdString(Utf8(user_database_.parent_path()))))
        << box->text.toStdString();
  }
  EXPECT_EQ(testing::ReadBytes(user_database_), saved);
  EXPECT_FALSE(std::filesystem::exists(BackupPath(user_database_)));
  EXPECT_EQ(Cell(editor, "位置要素", 0, 2), "9");
  EXPECT_TRUE(editor.isWindowModified());
}

TEST_F(TableEditorTest, DamagedUserDatabaseIsRestoredFromItsBackup) {
  {
    TableEditor editor(Files());
    PasteAt(editor, "位置要素", 0, 0, kGaugeRows);
    ASSERT_TRUE(editor.Save());
    ASSERT_TRUE(editor.Save());  // the backup now holds the pasted rows too
  }
  std::ofstream(user_database_, std::ios::binary) << std::string(4096, 'x');
  std::optional<TableEditor> editor;
  const auto box = AnswerMessageBox(
      [&] {
        editor.emplace(TableEditorFiles{user_database_, user_database_, shipped_.path()});
      },
      QStringLiteral("恢复备份"));
  ASSERT_TRUE(box);
  EXPECT_TRUE(box->text.contains(QStringLiteral("公差表.db.bak")));
  EXPECT_EQ(View(*editor, "位置要素")->model()->rowCount(), 3);
  EXPECT_EQ(testing::ReadBytes(user_database_), testing::ReadBytes(BackupPath(user_database_)));
}

// Declining the backup of a damaged database shows the shipped tables; saving those would
// replace the user's good tables with empty ones, so it asks first, and whatever the answer
// the good backup stays byte for byte and the damaged file is kept aside.
TEST_F(TableEditorTest, DamagedDatabaseNotRestoredNeverCostsTheGoodBackup) {
  {
    TableEditor editor(Files());
    PasteAt(editor, "位置要素", 0, 0, kGaugeRows);
    ASSERT_TRUE(editor.Save());
    ASSERT_TRUE(editor.Save());
  }
  const std::string damage(4096, 'x');
  std::ofstream(user_database_, std::ios::binary | std::ios::trunc) << damage;
  const std::string backup = testing::ReadBytes(BackupPath(user_database_));
  std::optional<TableEditor> editor;
  ASSERT_TRUE(AnswerMessageBox(
      [&] {
        editor.emplace(TableEditorFiles{user_database_, user_database_, shipped_.path()});
      },
      QStringLiteral("不恢复")));
  EXPECT_EQ(View(*editor, "位置要素")->model()->rowCount(), 0);  // the shipped tables
  const auto asked =
      AnswerMessageBox([&] { EXPECT_FALSE(editor->Save()); }, QStringLiteral("返回修改"));
  ASSERT_TRUE(asked);
  EXPECT_TRUE(asked->text.contains(QStringLiteral("“位置要素” 3 行 → 0 行")))
      << asked->text.toStdString();
  EXPECT_TRUE(asked->buttons.contains(QStringLiteral("仍然保存")));
  EXPECT_EQ(testing::ReadBytes(user_database_), damage);
  EXPECT_EQ(testing::ReadBytes(BackupPath(user_database_)), backup);

  ASSERT_TRUE(AnswerMessageBox([&] { EXPECT_TRUE(editor->Save()); }, QStringLiteral("仍然保存")));
  EXPECT_EQ(testing::ReadBytes(BackupPath(user_database_)), backup);
  EXPECT_EQ(testing::ReadBytes(DamagedPath(user_database_, TodayText()).parent_path() /
                               std::filesystem::u8path("公差表.db.damaged-" + TodayText())),
            damage);
}

// Red cells are said before saving; 返回修改 writes nothing.
TEST_F(TableEditorTest, SavingWithRedCellsAsks) {
  TableEditor editor(Files());
  PasteAt(editor, "位置要素", 0, 0, kGaugeRows);
  PasteAt(editor, "位置要素", 0, 3, QStringLiteral("12µm"));
  const auto asked =
      AnswerMessageBox([&] { EXPECT_FALSE(editor.Save()); }, QStringLiteral("返回修改"));
  ASSERT_TRUE(asked);
  EXPECT_TRUE(asked->text.contains(QStringLiteral("有 1 个单元格标红")))
      << asked->text.toStdString();
  EXPECT_FALSE(std::filesystem::exists(user_database_));
  ASSERT_TRUE(AnswerMessageBox([&] { EXPECT_TRUE(editor.Save()); }, QStringLiteral("仍然保存")));
  EXPECT_TRUE(std::filesystem::exists(user_database_));
}

// Ctrl+End, then a paste of three whole rows: they are appended below, never squeezed into
// the last cell; the message says where they went, and undo says it was undone.
TEST_F(TableEditorTest, PasteAtTheEndAppendsWholeRows) {
  TableEditor editor(Files());
  PasteAt(editor, "位置要素", 0, 0, kGaugeRows);
  QTableView* view = View(editor, "位置要素");
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                    view->visualRect(view->model()->index(1, 1)).center());
  QTest::keyClick(view, Qt::Key_End, Qt::ControlModifier);
  ASSERT_EQ(view->currentIndex().row(), 2);
  ASSERT_EQ(view->currentIndex().column(), 9);
  QTest::keyClick(view, Qt::Key_Down);  // nowhere further down
  QApplication::clipboard()->setText(kGaugeRows);
  // The click below the last row aims at the row after it.
  const QRect last = view->visualRect(view->model()->index(2, 0));
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                    QPoint(last.center().x(), last.bottom() + 20));
  QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(view->model()->rowCount(), 6);
  EXPECT_EQ(Cell(editor, "位置要素", 4, 3), "20");
  EXPECT_EQ(Cell(editor, "位置要素", 2, 9), Cell(editor, "位置要素", 5, 9));
  const QLabel* status = editor.findChild<QLabel*>("EditorStatus");
  EXPECT_TRUE(status->text().contains(QStringLiteral("已粘贴 3 行 × 10 列（第 4–6 行）")))
      << status->text().toStdString();
  // With the current cell in the last column, a block of whole rows still starts at the first.
  view->setCurrentIndex(view->model()->index(5, 9));
  QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(view->model()->rowCount(), 8);
  EXPECT_TRUE(status->text().contains(QStringLiteral("第 6–8 行"))) << status->text().toStdString();
  QTest::mouseClick(editor.findChild<QPushButton*>("Undo"), Qt::LeftButton);
  EXPECT_EQ(view->model()->rowCount(), 6);
  EXPECT_EQ(status->text(), QStringLiteral("已撤销：粘贴"));
}

TEST_F(TableEditorTest, ImportThatHoldsNoTablesChangesNothing) {
  TableEditor editor(Files());
  PasteAt(editor, "位置要素", 0, 0, kGaugeRows);
  const auto box = AnswerMessageBox(
      [&] { EXPECT_FALSE(editor.ImportFrom(testing::CarriedTestFile("zh-jet3-booklist.mdb"))); });
  ASSERT_TRUE(box);
  EXPECT_TRUE(box->text.contains(QStringLiteral("来源中没有任何一张公差表")));
  EXPECT_EQ(View(editor, "位置要素")->model()->rowCount(), 3);
  // A folder of CSV files does import, as one step to undo.
  testing::TemporaryFolder csv;
  std::ofstream(csv.path() / std::filesystem::u8path("测球直径.csv"), std::ios::binary)
      << "P,d\n1.5,0.8\n";
  ASSERT_TRUE(editor.ImportFrom(csv.path()));
  EXPECT_EQ(View(editor, "测球直径")->model()->rowCount(), 1);
  EXPECT_EQ(View(editor, "位置要素")->model()->rowCount(), 0);  // the source has none
  QTest::mouseClick(editor.findChild<QPushButton*>("Undo"), Qt::LeftButton);
  EXPECT_EQ(View(editor, "位置要素")->model()->rowCount(), 3);
}

// The main window's "公差表" menu, and the status line's way into the editor.
TEST_F(TableEditorTest, MissingGaugeTablesLeadToTheEditor) {
  Form1 form({shipped_.path(), DataPlaces{home_.path(), home_.path() / "threadgauge"}, {}, {}});
  const QList<QAction*> bar = form.menuBar()->actions();
  ASSERT_EQ(bar.size(), 4);
  EXPECT_EQ(bar[2]->text(), QStringLiteral("公差表"));
  QStringList entries;
  for (QAction* entry : bar[2]->menu()->actions()) entries << entry->text();
  EXPECT_EQ(entries, (QStringList{"编辑公差表…", "导入…", "导出为 CSV…", "检查公差表"}));

  form.findChild<QLineEdit*>("Text1")->setText("10");
  for (const auto& [list, text] : {std::pair{"Combo1", "1.5"}, std::pair{"Combo2", "6"},
                                   std::pair{"Combo3", "H"}, std::pair{"Combo4", "通端螺纹塞规"}}) {
    form.findChild<QComboBox*>(list)->setEditText(QString::fromUtf8(text));
  }
  QTest::mouseClick(form.findChild<QPushButton*>("Command1"), Qt::LeftButton);
  auto* link = form.findChild<QLabel*>("FillTablesLink");
  EXPECT_FALSE(link->isHidden());
  QString opened;
  EXPECT_TRUE(
      testing::InspectModalDialog([&] { emit link->linkActivated(QStringLiteral("位置要素")); },
                                  [&](QDialog& dialog) {
                                    opened = dialog.findChild<QTabWidget*>()->tabText(
                                        dialog.findChild<QTabWidget*>()->currentIndex());
                                  }));
  EXPECT_EQ(opened, QStringLiteral("位置要素"));

  QString report;
  EXPECT_TRUE(testing::InspectModalDialog(
      [&] { bar[2]->menu()->actions()[3]->trigger(); },
      [&](QDialog& dialog) {
        report = dialog.findChild<QWidget*>("CheckReportText")->property("plainText").toString();
      }));
  EXPECT_TRUE(report.contains(QStringLiteral("✗ 表“位置要素”：0 行"))) << report.toStdString();
}

// A damaged user database stays in use and is said to be damaged; the status line offers
// its last good generation, and restoring it brings the tables back at the next 确定.
TEST_F(TableEditorTest, TheWindowOffersTheBackupOfADamagedDatabase) {
  {
    TableEditor editor(Files());
    PasteAt(editor, "位置要素", 0, 0, kGaugeRows);
    ASSERT_TRUE(editor.Save());
    ASSERT_TRUE(editor.Save());
  }
  std::ofstream(user_database_, std::ios::binary | std::ios::trunc) << std::string(4096, 'x');
  Form1 form({std::nullopt, DataPlaces{home_.path(), home_.path() / "threadgauge"}, {}, {}});
  form.show();
  QTest::keyClicks(form.findChild<QLineEdit*>("Text1"), "10");
  for (const auto& [list, text] : {std::pair{"Combo1", "1.5"}, std::pair{"Combo2", "6"},
                                   std::pair{"Combo3", "H"}, std::pair{"Combo4", "通端螺纹塞规"}}) {
    form.findChild<QComboBox*>(list)->setEditText(QString::fromUtf8(text));
  }
  QTest::mouseClick(form.findChild<QPushButton*>("Command1"), Qt::LeftButton);
  const QString status = form.findChild<QLabel*>("StatusLine")->text();
  EXPECT_TRUE(status.contains(QStringLiteral("公差数据库文件已损坏或不是数据库文件")))
      << status.toStdString();
  EXPECT_TRUE(form.findChild<QLineEdit*>("Text4")->text().isEmpty());
  auto* link = form.findChild<QLabel*>("FillTablesLink");
  ASSERT_FALSE(link->isHidden());
  EXPECT_TRUE(link->text().contains(QStringLiteral("用备份恢复公差表…")));
  // The editor opens and asks about the backup; once restored, it is closed again.
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [] {
    if (auto* editor = qobject_cast<TableEditor*>(QApplication::activeModalWidget())) {
      editor->close();
    }
  });
  closer.start(20);
  const auto restored =
      AnswerMessageBox([&] { emit link->linkActivated(QString()); }, QStringLiteral("恢复备份"));
  closer.stop();
  ASSERT_TRUE(restored);
  QTest::mouseClick(form.findChild<QPushButton*>("Command1"), Qt::LeftButton);
  EXPECT_EQ(form.findChild<QLineEdit*>("Text4")->text(), QStringLiteral("9.046"));
}

}  // namespace
}  // namespace threadgauge
