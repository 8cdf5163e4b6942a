// The window as the user meets it, headless: its controls, lists, menu and tab order as
// designed, and the 确定 button wired to the calculation.
#include "app/form1.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <QtTest/QTest>
#include <fstream>
#include <functional>

#include "calculation/gauge_kind.h"
#include "form1_design.h"
#include "platform/utf8.h"
#include "support/gauge_fixture.h"
#include "support/modal_windows.h"

namespace threadgauge {
namespace {

using testing::AnswerMessageBox;
using testing::SeenBox;

class Form1Test : public ::testing::Test {
 protected:
  explicit Form1Test(std::filesystem::path database = testing::ShippedDatabase())
      : form_({std::move(database), {}, {}, {}}) {}

  template <typename T = QWidget>
  T* Find(const char* name) {
    T* widget = form_.findChild<T*>(QString::fromUtf8(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  QString Text(const char* name) {
    if (auto* edit = form_.findChild<QLineEdit*>(name)) return edit->text();
    if (auto* label = form_.findChild<QLabel*>(name)) return label->text();
    if (auto* button = form_.findChild<QPushButton*>(name)) return button->text();
    return Find<QComboBox>(name)->currentText();
  }
  void Type(const char* name, const char* text) {
    if (auto* edit = form_.findChild<QLineEdit*>(name)) {
      edit->setText(QString::fromUtf8(text));
    } else {
      Find<QComboBox>(name)->setEditText(QString::fromUtf8(text));
    }
  }
  void Enter(const CalculationInputs& in) {
    Type("Text1", in.nominal_diameter.c_str());
    Type("Combo1", in.pitch.c_str());
    Type("Combo2", in.grade.c_str());
    Type("Combo3", in.position.c_str());
    Type("Combo4", in.gauge_name.c_str());
    Type("Combo5", in.length_range.c_str());
  }

  // Presses 确定; a message box that opens is read, then closed with its one button.
  std::optional<SeenBox> Press() {
    return AnswerMessageBox([this] { Find<QPushButton>("Command1")->click(); });
  }

  Form1 form_;
};

// Every control of the design is there, where and as the design puts it; the design
// table's texts are the form's own (a few checked here letter for letter).
TEST_F(Form1Test, ControlsAreBuiltFromTheDesign) {
  EXPECT_EQ(form_.windowTitle(), QStringLiteral("圆柱螺纹量规"));
  for (const ControlDesign& c : kForm1Controls) {
    QWidget* widget = Find(c.name);
    ASSERT_NE(widget, nullptr) << c.name;
    EXPECT_EQ(widget->geometry().topLeft(), QPoint(c.left / kTwipsPerPixel, c.top / kTwipsPerPixel))
        << c.name;
    EXPECT_EQ(!widget->isHidden(), c.visible) << c.name;
    if (c.kind == ControlKind::Label || c.kind == ControlKind::Button) {
      EXPECT_EQ(Text(c.name), QString::fromUtf8(c.caption)) << c.name;
    }
    const double points = c.font == ControlFont::Song12  ? 12
                          : c.font == ControlFont::Song9 ? 9
                                                         : 14.25;
    EXPECT_DOUBLE_EQ(widget->font().pointSizeF(), points) << c.name;
    EXPECT_EQ(widget->font().family(), QStringLiteral("宋体")) << c.name;
  }
  const std::pair<const char*, const char*> captions[] = {
      {"Label5", " －"}, {"Label18", "M   值"}, {"Label21", "半角公差(′)"}, {"Command1", "确定"}};
  for (const auto& [name, caption] : captions) EXPECT_EQ(Text(name), QString::fromUtf8(caption));
  // Twips to pixels at 96 per inch: Text1 at (1080, 2040, 1695, 375).
  EXPECT_EQ(Find("Text1")->geometry(), QRect(72, 136, 113, 25));
  EXPECT_TRUE(Find("Text18")->isHidden());
}

TEST_F(Form1Test, ListsAreFilledInOrderWithNothingPicked) {
  const auto entries = [&](const char* name) {
    QStringList items;
    auto* list = Find<QComboBox>(name);
    for (int i = 0; i < list->count(); ++i) items << list->itemText(i);
    return items.join('|');
  };
  EXPECT_EQ(entries("Combo1"), QStringLiteral("0.45|0.5|0.6|0.7|0.75|0.8|1|1.25|1.5|1.75|2|2.5|"
                                              "3|3.5|4|4.5|5|5.5|6"));
  EXPECT_EQ(entries("Combo2"), QStringLiteral("4|5|6|7|8|9||||"));
  EXPECT_EQ(entries("Combo3"), QStringLiteral("G|H|e|f|g|h||||"));
  EXPECT_EQ(entries("Combo4"),
            QStringLiteral("通端螺纹塞规|止端螺纹塞规|通端螺纹环规|校通-通螺纹塞规|校通-止螺纹塞规|"
                           "校通-损螺纹塞规|止端螺纹环规|校止-通螺纹塞规|校止-止螺纹塞规|"
                           "校止-损螺纹塞规"));
  EXPECT_EQ(entries("Combo5"), QStringLiteral("小于或等于14|大于14至32|大于32至50|大于50至80"));
  for (const QString& name : entries("Combo4").split('|')) {
    EXPECT_NE(FindGaugeKind(name.toStdString()), nullptr) << name.toStdString();
  }
  for (const char* name : {"Combo1", "Combo2", "Combo3", "Combo4", "Combo5"}) {
    EXPECT_TRUE(Find<QComboBox>(name)->isEditable()) << name;
    EXPECT_EQ(Find<QComboBox>(name)->currentIndex(), -1) << name;
  }
}

TEST_F(Form1Test, TabOrderAndFirstFocus) {
  form_.show();
  QApplication::processEvents();
  EXPECT_EQ(form_.focusWidget(), Find("Text1"));
  const QStringList designed = {"Text1",    "Combo1", "Combo2", "Combo3", "Combo4", "Text2",
                                "Text3",    "Text4",  "Text5",  "Text6",  "Text8",  "Text9",
                                "Command1", "Text18", "Text27", "Text28", "Combo5"};
  QStringList seen;
  QWidget* w = Find("Text1");
  for (int steps = 0; steps < 400 && seen.size() < designed.size(); ++steps) {
    QWidget* named = w;
    while (named != nullptr && !designed.contains(named->objectName()))
      named = named->parentWidget();
    if (named != nullptr && (seen.isEmpty() || seen.back() != named->objectName()) &&
        !seen.contains(named->objectName())) {
      seen << named->objectName();
    }
    w = w->nextInFocusChain();
  }
  EXPECT_EQ(seen, designed);
  form_.close();
}

TEST_F(Form1Test, MenuOffersCoarsePitchAndExit) {
  const QList<QAction*> bar = form_.menuBar()->actions();
  ASSERT_EQ(bar.size(), 4);
  EXPECT_EQ(bar[0]->text(), QStringLiteral("查询"));
  EXPECT_EQ(bar[1]->text(), QStringLiteral("量规"));
  EXPECT_EQ(bar[2]->text(), QStringLiteral("公差表"));
  EXPECT_EQ(bar[3]->text(), QStringLiteral("退出"));
  QStringList gauges;
  // What a person sees: the server's 无法连接 and 重试 only while it cannot be reached.
  for (QAction* entry : bar[1]->menu()->actions()) {
    if (entry->isVisible() && !entry->isSeparator()) gauges << entry->text();
  }
  EXPECT_EQ(gauges, (QStringList{"量规台账…", "到期量规…", "台账位置…"}));
  const QList<QAction*> drop = bar[0]->menu()->actions();
  ASSERT_EQ(drop.size(), 3);
  EXPECT_EQ(drop[0]->text(), QStringLiteral("螺距公差表"));
  EXPECT_FALSE(drop[0]->isEnabled());
  EXPECT_EQ(drop[1]->text(), QStringLiteral("粗牙螺纹螺距"));
  EXPECT_TRUE(drop[1]->isEnabled());
  EXPECT_EQ(drop[2]->text(), QStringLiteral("本螺纹全套量规…"));
}

TEST_F(Form1Test, ExitClosesTheWindowEvenWithResultsShown) {
  form_.show();
  Enter({"10", "1.5", "6", "g", "校止-止螺纹塞规", ""});
  Press();
  ASSERT_FALSE(Text("Text2").isEmpty());
  // Chosen while the program runs, "退出" closes the window and ends the event loop.
  QTimer::singleShot(0, [this] { form_.menuBar()->actions()[3]->trigger(); });
  QTimer guard;  // ends a loop that "退出" failed to end, so the test cannot hang
  guard.setSingleShot(true);
  QObject::connect(&guard, &QTimer::timeout, [] { QApplication::exit(99); });
  guard.start(5000);
  EXPECT_EQ(QApplication::exec(), 0);
  guard.stop();
  EXPECT_FALSE(form_.isVisible());
}

// The presence checks themselves are the core's; through the window, a rejected press
// shows its one message and changes nothing.
TEST_F(Form1Test, RejectedPressShowsItsMessageAndChangesNothing) {
  Enter({"10", "1.5", "6", "g", "校止-止螺纹塞规", ""});
  ASSERT_FALSE(Press().has_value());
  ASSERT_EQ(Text("Text2"), QStringLiteral("9.836"));
  const QString status = form_.findChild<QLabel*>("StatusLine")->text();
  for (const auto& [typed, message] : {std::pair{"", " 对不起,公差带不能为空！"},
                                       std::pair{"g", " 对不起,公称直径必须是正数！"}}) {
    Enter({"20", "2", "6", typed, "校止-止螺纹塞规", ""});
    if (*typed != '\0') Type("Text1", "0");
    const auto box = Press();
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->text, QString::fromUtf8(message));
    EXPECT_EQ(box->buttons, QStringList{QStringLiteral("确定")});
    EXPECT_EQ(Text("Text2"), QStringLiteral("9.836"));
    // The results on screen still say which inputs they belong to.
    EXPECT_EQ(form_.findChild<QLabel*>("StatusLine")->text(),
              QStringLiteral("输入已更改，窗口中的结果仍是上次按“确定”时的（M10×1.5-6g）；"
                             "按“确定”重新计算\n") +
                  status);
  }
}

// Changed inputs and results edited by hand are said at once, and go at the next 确定;
// Enter in an input is 确定.
TEST_F(Form1Test, StaleAndEditedResultsAreSaid) {
  Enter({"10", "1.5", "6", "g", "校止-止螺纹塞规", ""});
  ASSERT_FALSE(Press().has_value());
  const auto status = [this] { return form_.findChild<QLabel*>("StatusLine")->text(); };
  EXPECT_FALSE(status().contains(QStringLiteral("输入已更改")));
  auto* text1 = Find<QLineEdit>("Text1");
  const auto key_in = [&](const char* d) {
    text1->setFocus();
    text1->selectAll();
    QTest::keyClicks(text1, d);
  };
  key_in("12");
  EXPECT_TRUE(status().startsWith(
      QStringLiteral("输入已更改，窗口中的结果仍是上次按“确定”时的（M10×1.5-6g）")))
      << status().toStdString();
  key_in("10");  // back as it was: the results belong to the inputs again
  EXPECT_FALSE(status().contains(QStringLiteral("输入已更改")));
  auto* text4 = Find<QLineEdit>("Text4");
  text4->setFocus();
  text4->end(false);
  QTest::keyClicks(text4, "7");
  EXPECT_TRUE(status().startsWith(QStringLiteral("中径 已手动修改"))) << status().toStdString();
  // Enter in an input calculates: the note goes, the computed value is back.
  text1->setFocus();
  QTest::keyClick(text1, Qt::Key_Return);
  EXPECT_EQ(Text("Text4"), QStringLiteral("8.862"));
  EXPECT_FALSE(status().contains(QStringLiteral("已手动修改")));
  key_in("12");
  QTest::keyClick(Find<QComboBox>("Combo3")->lineEdit(), Qt::Key_Enter);
  // M12 × 1.5 − 6g: es(g) = −32, Td2 = 140 (11.2 … 22.4, P 1.5): 12 − 0.032 − 0.140.
  EXPECT_EQ(Text("Text2"), QStringLiteral("11.828"));
  EXPECT_FALSE(status().contains(QStringLiteral("输入已更改")));
}

// Keys for what a keyboard types; Chinese text as an input method commits it.
void TypeAsAPerson(QWidget* field, const std::string& text) {
  const QString typed = QString::fromStdString(text);
  bool ascii = true;
  for (QChar c : typed) ascii = ascii && c.unicode() < 0x80;
  if (ascii) {
    QTest::keyClicks(field, typed);
    return;
  }
  QInputMethodEvent event;
  event.setCommitString(typed);
  auto* list = qobject_cast<QComboBox*>(field);
  QApplication::sendEvent(list != nullptr ? static_cast<QWidget*>(list->lineEdit()) : field,
                          &event);
}

// Typed as a person types: keys into each field (the gauge name as an input method commits
// it), Tab to the next, a click on 确定. What reaches the calculation is what was typed,
// case and digits kept.
TEST_F(Form1Test, TypedTextsReachTheCalculationUnchanged) {
  form_.show();
  QApplication::setActiveWindow(&form_);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form_));
  struct Typed {
    CalculationInputs inputs;
    const char* Text2;  // hand-computed from the shipped ISO 965-1 rows; "" when not checked
  };
  const Typed cases[] = {
      // M2 × 0.4 − 6g: es(g) = −19, Td2 = 67 (1.4 … 2.8, P 0.4): 2 − 0.019 − 0.067.
      {{"2", "0.4", "6", "g", "校止-止螺纹塞规", ""}, "1.914"},
      // M20 × 2 − 6h: es(h) = 0, Td2 = 160 (11.2 … 22.4, P 2): 20 − 0.160.
      {{"20", "2", "6", "h", "校止-止螺纹塞规", ""}, "19.840"},
      {{"12", "1.2", "6", "g", "校止-止螺纹塞规", ""}, ""},
      {{"16", "1.7", "6", "g", "校止-止螺纹塞规", ""}, ""},
      // M64 × 6 − 6h: Td2 = 280 (45 … 90, P 6): 64 − 0.280.
      {{"64", "6", "6", "h", "校止-止螺纹塞规", ""}, "63.720"},
      // "2,5" reads 2 by the window's rule and says so: M20 × 2 − 6h as above.
      {{"20", "2,5", "6", "h", "校止-止螺纹塞规", ""}, "19.840"},
  };
  for (const Typed& c : cases) {
    SCOPED_TRACE(c.inputs.pitch + c.inputs.position);
    Find<QLineEdit>("Text1")->clear();
    for (const char* list : {"Combo1", "Combo2", "Combo3", "Combo4"}) {
      Find<QComboBox>(list)->clearEditText();
    }
    Find<QLineEdit>("Text1")->setFocus();
    for (const std::string* text : {&c.inputs.nominal_diameter, &c.inputs.pitch, &c.inputs.grade,
                                    &c.inputs.position, &c.inputs.gauge_name}) {
      QWidget* field = QApplication::focusWidget();
      ASSERT_NE(field, nullptr);
      TypeAsAPerson(field, *text);
      QTest::keyClick(field, Qt::Key_Tab);
    }
    QTest::mouseClick(Find<QPushButton>("Command1"), Qt::LeftButton);
    const CalculationInputs used = form_.Inputs();
    EXPECT_EQ(used.nominal_diameter, c.inputs.nominal_diameter);
    EXPECT_EQ(used.pitch, c.inputs.pitch);
    EXPECT_EQ(used.grade, c.inputs.grade);
    EXPECT_EQ(used.position, c.inputs.position);
    EXPECT_EQ(used.gauge_name, c.inputs.gauge_name);
    const QString status = form_.findChild<QLabel*>("StatusLine")->text();
    if (*c.Text2 != '\0') {
      EXPECT_EQ(Text("Text2"), QString::fromUtf8(c.Text2));
      EXPECT_EQ(status.contains(QStringLiteral("螺距“2,5”按 2 计算（小数点请用“.”）")),
                c.inputs.pitch == "2,5")
          << status.toStdString();
    } else {  // no ISO row for this pitch: the notice names the pitch as typed
      EXPECT_TRUE(status.contains(QString::fromStdString("P = " + c.inputs.pitch + ",")))
          << status.toStdString();
    }
  }
  form_.close();
}

// The user's data folder the calculation looks in is the one Qt names for this program.
TEST(Form1Database, UserFolderIsQtsAppDataLocation) {
  ASSERT_TRUE(UserDataDirectory().has_value());
  const std::filesystem::path qt_location =
      QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdU16String();
  EXPECT_EQ(UserDataDirectory()->lexically_normal(), qt_location.lexically_normal());
}

// The database is looked for at every press: an Access file the user copies beside the
// program while the window is open is read at the next 确定.
TEST(Form1Database, FoundAfreshAtEveryPress) {
  const auto access = testing::CarriedTestFile("zh-jet3-booklist.mdb");
  ASSERT_TRUE(std::filesystem::exists(access)) << "test data missing: " << access;
  testing::TemporaryFolder program;
  const auto folder = program.path() / std::filesystem::u8path("公差表");
  std::filesystem::create_directories(folder);
  std::filesystem::copy_file(testing::ShippedDatabase(),
                             folder / std::filesystem::u8path("公差表.db"));
  Form1 form({std::nullopt, DataPlaces{program.path(), std::nullopt}, {}, {}});
  const auto press = [&form] {
    form.findChild<QLineEdit*>("Text1")->setText("10");
    for (const auto& [name, text] :
         {std::pair{"Combo1", "1.5"}, std::pair{"Combo2", "6"}, std::pair{"Combo3", "g"},
          std::pair{"Combo4", "校止-止螺纹塞规"}}) {
      form.findChild<QComboBox*>(name)->setEditText(QString::fromUtf8(text));
    }
    QTest::mouseClick(form.findChild<QPushButton*>("Command1"), Qt::LeftButton);
    return form.findChild<QLabel*>("StatusLine")->text().split(QLatin1Char('\n')).front();
  };
  EXPECT_TRUE(press().endsWith(QStringLiteral("公差表.db")));
  std::filesystem::copy_file(access, folder / std::filesystem::u8path("公差表.mdb"));
  EXPECT_TRUE(press().endsWith(QStringLiteral("公差表.mdb")));
}

class Form1WithFixture : public Form1Test {
 protected:
  Form1WithFixture() : Form1Test(Fixture().path()) {}
  // The status line names the database first, then one line per notice.
  QStringList StatusLines() {
    return form_.findChild<QLabel*>("StatusLine")->text().split(QLatin1Char('\n'));
  }
  static QString DatabaseLine() {
    return QStringLiteral("公差数据库：") + QString::fromStdString(Utf8(Fixture().path()));
  }
  static testing::FixtureDatabase& Fixture() {
    static testing::FixtureDatabase* fixture = [] {
      auto* f = new testing::FixtureDatabase;
      testing::LookedUpValues v;
      v.TPL = 12, v.ZPL = 20, v.ZR = 8, v.m = 11, v.TCP = 9, v.TR = 6, v.WGO = 24, v.WNG = 21;
      testing::Fill(*f, v);
      return f;
    }();
    return *fixture;
  }
};

TEST_F(Form1WithFixture, RingThenPlugRestoresThePlugLayout) {
  const auto shown = [this] {
    QString signs;
    for (const char* name : {"Label11", "Text3", "Label16", "Label19", "Text18", "Label20"}) {
      signs += Find(name)->isHidden() ? '-' : '+';
    }
    return signs + " " + Text("Label17") + "|" + Text("Label18");
  };
  Enter(testing::Inputs(20, "g", "通端螺纹环规"));
  Press();
  EXPECT_EQ(shown(), QStringLiteral("---+++ 测球直径|E   值"));
  EXPECT_EQ(Text("Text18"), QStringLiteral("0.0030"));  // TR/2000 with TR = 6
  Enter(testing::Inputs(10, "H", "通端螺纹塞规"));
  Press();
  EXPECT_EQ(shown(), QStringLiteral("+++--- 三针直径|M  值"));
  // The GO plug's worked example: d = 10, P = 1.5, EI = 0, ZPL = 20, TPL = 12.
  EXPECT_EQ(Text("Text2"), QStringLiteral("10.020"));
  EXPECT_EQ(Text("Text9"), QStringLiteral("10.345"));
  EXPECT_EQ(StatusLines(), QStringList{DatabaseLine()});
}

TEST_F(Form1WithFixture, StatusLineNamesWhatIsMissingAndFieldsAreNotLeftStale) {
  Enter(testing::Inputs(10, "H", "通端螺纹塞规"));
  Press();
  ASSERT_EQ(Text("Text2"), QStringLiteral("10.020"));
  Enter(testing::Inputs(30, "H", "通端螺纹塞规"));  // no TD2 row holds d = 30
  Press();
  EXPECT_TRUE(Text("Text2").isEmpty());
  EXPECT_TRUE(Text("Text4").isEmpty());
  EXPECT_EQ(Text("Text6"), QStringLiteral("28.376"));
  EXPECT_TRUE(
      form_.findChild<QLabel*>("StatusLine")->text().contains(QStringLiteral("内螺纹中径公差")));
  Enter(testing::Inputs(10, "H", "通端螺纹塞规"));
  Press();
  EXPECT_EQ(StatusLines(), QStringList{DatabaseLine()});
}

std::filesystem::path BuiltWorkbook(const char* name) {
  return std::filesystem::u8path(THREADGAUGE_BUILD_DATA_DIR) / std::filesystem::u8path(name);
}

// A stand-in for the desktop's opener, first on PATH, that writes down what it was asked.
class FakeOpener {
 public:
  explicit FakeOpener(int exit_status = 0) {
    std::ofstream script(folder_.path() / "xdg-open");
    script << "#!/bin/sh\nprintf '%s\\n' \"$@\" >> '" << Utf8(log()) << "'\nexit " << exit_status
           << "\n";
    script.close();
    std::filesystem::permissions(folder_.path() / "xdg-open", std::filesystem::perms::owner_all);
    qputenv("PATH", QByteArray::fromStdString(Utf8(folder_.path())) + ":" + path_);
  }
  ~FakeOpener() { qputenv("PATH", path_); }
  std::filesystem::path log() const { return folder_.path() / "requests.log"; }
  QStringList Requests(int at_least) const {
    QStringList lines;
    for (int waited = 0; waited < 5000; waited += 20) {
      QApplication::processEvents();
      lines = QString::fromStdString(testing::ReadBytes(log())).split('\n', Qt::SkipEmptyParts);
      if (lines.size() >= at_least) break;
      QThread::msleep(20);
    }
    // Let the openers' watchers see their process end and delete themselves.
    for (int waited = 0; waited < 300; waited += 20) {
      QApplication::processEvents();
      QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
      QThread::msleep(20);
    }
    return lines;
  }

 private:
  QByteArray path_ = qgetenv("PATH");
  testing::TemporaryFolder folder_;
};

TEST(Form1Workbooks, EachChoiceAsksTheDesktopToOpenTheWorkbook) {
  FakeOpener opener;
  Form1 form({testing::ShippedDatabase(),
              {},
              BuiltWorkbook("螺距公差.xls"),
              BuiltWorkbook("粗牙螺纹螺距.xls")});
  QAction* coarse = form.findChild<QAction*>("bjgch");
  ASSERT_NE(coarse, nullptr);
  coarse->trigger();
  coarse->trigger();
  const QStringList requests = opener.Requests(2);
  const QString expected =
      QString::fromStdString(Utf8(std::filesystem::absolute(BuiltWorkbook("粗牙螺纹螺距.xls"))));
  EXPECT_EQ(requests, (QStringList{expected, expected}));
}

TEST(Form1Workbooks, MissingWorkbookIsNamed) {
  testing::TemporaryFolder empty;
  const auto missing = empty.path() / std::filesystem::u8path("粗牙螺纹螺距.xls");
  Form1 form({testing::ShippedDatabase(), {}, {}, missing});
  const auto box = AnswerMessageBox([&form] { form.findChild<QAction*>("bjgch")->trigger(); });
  ASSERT_TRUE(box.has_value());
  EXPECT_TRUE(box->text.contains(QStringLiteral("找不到参考表文件")));
  EXPECT_TRUE(box->text.contains(QString::fromStdString(Utf8(missing))));
}

}  // namespace
}  // namespace threadgauge
