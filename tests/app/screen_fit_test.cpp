// Every window fits the screen it opens on; ctest also runs these with a 1024 × 768 screen
// at 100 % and at 125 % (QT_SCALE_FACTOR=1.25). What the screen cannot hold scrolls.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTest>

#include "app/form1.h"
#include "fit_to_screen.h"
#include "gauge_page_dialog.h"
#include "gauge_set_dialog.h"
#include "record_dialog.h"
#include "register_dialog.h"
#include "support/fixture_database.h"
#include "support/gauge_fixture.h"
#include "table_editor.h"
#include "tolerance/tolerance_database.h"

namespace threadgauge {
namespace {

QRect Room() { return QGuiApplication::primaryScreen()->availableGeometry(); }

// Inside the screen, or inside a scroll area that brings it into view.
void ExpectReachable(QWidget& window, QWidget& control) {
  const QRect on_screen(control.mapToGlobal(QPoint(0, 0)), control.size());
  bool scrolls = false;
  for (QScrollArea* scroll : window.findChildren<QScrollArea*>()) {
    scrolls = scrolls || (scroll->widget() != nullptr && scroll->widget()->isAncestorOf(&control));
  }
  EXPECT_TRUE(scrolls || Room().contains(on_screen))
      << control.objectName().toStdString() << " at " << on_screen.x() << "," << on_screen.y()
      << " " << on_screen.width() << "×" << on_screen.height();
}

void ExpectFits(QWidget& window) {
  window.show();
  QTest::qWait(10);
  const QRect frame = window.frameGeometry();
  EXPECT_TRUE(Room().contains(frame))
      << window.objectName().toStdString() << ": " << frame.width() << "×" << frame.height()
      << " at " << frame.x() << "," << frame.y() << " on " << Room().width() << "×"
      << Room().height();
  for (QPushButton* button : window.findChildren<QPushButton*>()) {
    if (button->isVisibleTo(&window)) ExpectReachable(window, *button);
  }
}

TEST(FitsTheScreen, TheWindowWithItsNotices) {
  testing::FixtureDatabase empty;  // no rows: a notice for every lookup
  Form1 form({empty.path(), {}, {}, {}});
  ExpectFits(form);
  // The form keeps its designed size and places: it scrolls, it is never squeezed.
  const auto* client = form.findChild<QWidget*>("Form1Client");
  EXPECT_GE(client->width(), client->minimumWidth());
  EXPECT_GE(client->height(), client->minimumHeight());
  QTest::keyClicks(form.findChild<QLineEdit*>("Text1"), "10");
  for (const auto& [list, text] : {std::pair{"Combo1", "1.5"}, std::pair{"Combo2", "6"},
                                   std::pair{"Combo3", "g"}, std::pair{"Combo4", "通端螺纹环规"}}) {
    form.findChild<QComboBox*>(list)->setEditText(QString::fromUtf8(text));
  }
  QTest::mouseClick(form.findChild<QPushButton*>("Command1"), Qt::LeftButton);
  ASSERT_GE(form.findChild<QLabel*>("StatusLine")->text().count(QLatin1Char('\n')), 4);
  ExpectFits(form);
  auto* link = form.findChild<QLabel*>("FillTablesLink");
  ASSERT_TRUE(link->isVisible());
  EXPECT_TRUE(form.rect().contains(QRect(link->mapTo(&form, QPoint(0, 0)), link->size())));
}

TEST(FitsTheScreen, TheEditorAndTheGaugeSet) {
  testing::FixtureDatabase fixture;
  testing::FillComplete(fixture);
  testing::TemporaryFolder home;
  TableEditor editor({fixture.path(), home.path() / u8"公差表.db", fixture.path()});
  ExpectFits(editor);

  const ToleranceDatabase db = ToleranceDatabase::Open(fixture.path());
  const auto set = CalculateGaugeSet(testing::Inputs(10, "g", "大于14至32"), db);
  ASSERT_TRUE(std::holds_alternative<GaugeSet>(set));
  GaugeSetDialog dialog([&]() -> const ToleranceDatabase& { return db; }, std::get<GaugeSet>(set),
                        "大于14至32");
  ExpectFits(dialog);
}

TEST(FitsTheScreen, TheRegisterTheGaugePageAndTheRecord) {
  testing::FixtureDatabase fixture;
  testing::FillComplete(fixture);
  testing::TemporaryFolder home;
  const ToleranceDatabase db = ToleranceDatabase::Open(fixture.path());
  RegisterPlace place{home.path() / u8"量规台账.db", [] { return Today(); },
                      [&]() -> const ToleranceDatabase& { return db; }, std::nullopt,
                      std::make_shared<std::string>()};
  GaugeEntry ring;
  ring.number = "R1", ring.thread = "M10×1.5-6g", ring.kind = "通端螺纹环规";
  ASSERT_FALSE(std::get<GaugeRegister>(GaugeRegister::Open(*place.file)).Add(ring).has_value());
  RegisterDialog ledger(place, RegisterDialog::Mode::All);
  ExpectFits(ledger);
  GaugePageDialog page(place, "R1");
  ExpectFits(page);
  RecordDialog record(place, ring);
  ExpectFits(record);
}

}  // namespace
}  // namespace threadgauge
