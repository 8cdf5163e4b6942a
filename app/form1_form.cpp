// The main window's form as designed: its controls in their places and the lists they offer.
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>

#include "app/form1.h"
#include "calculation/form_lists.h"
#include "calculation/gauge_kind.h"
#include "control_names.h"
#include "form1_design.h"
#include "register_dialog.h"
#include "words/message_words.h"

namespace threadgauge {
namespace {

const QColor kFormColour(255, 192, 255);
const QColor kFieldColour(192, 255, 255);

QRect Pixels(const ControlDesign& c) {
  return QRect(c.left / kTwipsPerPixel, c.top / kTwipsPerPixel, c.width / kTwipsPerPixel,
               c.height / kTwipsPerPixel);
}

}  // namespace

QFont FontOf(ControlFont font) {
  QFont f(QStringLiteral("宋体"));
  f.setPointSizeF(font == ControlFont::Song12 ? 12 : font == ControlFont::Song9 ? 9 : 14.25);
  return f;
}

namespace {

QWidget* Build(const ControlDesign& c, QWidget* form) {
  const QString caption = QString::fromUtf8(c.caption);
  QWidget* w = nullptr;
  switch (c.kind) {
    case ControlKind::Label:
      w = new QLabel(caption, form);
      break;
    case ControlKind::TextBox:
      w = new QLineEdit(caption, form);
      break;
    case ControlKind::ComboBox: {
      auto* combo = new QComboBox(form);
      combo->setEditable(true);
      combo->setInsertPolicy(QComboBox::NoInsert);
      // What is typed is what is used: Qt's default completion would turn "g" into "G" and
      // "0.4" into "0.45" when the focus leaves. An entry is taken only when it is picked.
      combo->setCompleter(nullptr);
      w = combo;
      break;
    }
    case ControlKind::Button:
      w = new QPushButton(caption, form);
      break;
    case ControlKind::Line: {
      auto* line = new QFrame(form);
      line->setFrameShape(QFrame::HLine);
      line->setFrameShadow(QFrame::Plain);
      w = line;
      break;
    }
  }
  w->setObjectName(QString::fromUtf8(c.name));
  w->setGeometry(c.kind == ControlKind::Line ? Pixels(c).adjusted(0, 0, 0, 1) : Pixels(c));
  w->setFont(FontOf(c.font));
  if (c.kind == ControlKind::TextBox || c.kind == ControlKind::ComboBox) {
    QPalette palette = w->palette();
    palette.setColor(QPalette::Base, kFieldColour);
    palette.setColor(QPalette::Text, Qt::black);
    w->setPalette(palette);
  }
  w->setVisible(c.visible);
  return w;
}

template <size_t N>
void Fill(QComboBox* list, const std::array<const char*, N>& entries) {
  for (const char* entry : entries) list->addItem(QString::fromUtf8(entry));
}

}  // namespace

QWidget* Form1::BuildForm() {
  setObjectName("Form1");
  setWindowTitle(QStringLiteral("圆柱螺纹量规"));
  setFont(FontOf(ControlFont::Default));

  auto* client = new QWidget(this);
  client->setObjectName("Form1Client");
  client->setAutoFillBackground(true);
  QPalette palette = client->palette();
  palette.setColor(QPalette::Window, kFormColour);
  client->setPalette(palette);
  client->setMinimumSize(kClientWidthTwips / kTwipsPerPixel, kClientHeightTwips / kTwipsPerPixel);
  // The form keeps its designed places; on a screen too small for them (1024 × 768 with
  // larger fonts) it scrolls instead of pushing the window past the screen's edge.
  auto* scroll = new QScrollArea(this);
  scroll->setObjectName("Form1Scroll");
  scroll->setWidget(client);
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setPalette(palette);
  setCentralWidget(scroll);
  for (const ControlDesign& design : kForm1Controls) Build(design, client);

  // Label21 carries its own white background and black text in the design.
  auto* half_angle = Control<QLabel>("Label21");
  half_angle->setAutoFillBackground(true);
  QPalette white = half_angle->palette();
  white.setColor(QPalette::Window, Qt::white);
  white.setColor(QPalette::WindowText, Qt::black);
  half_angle->setPalette(white);

  QWidget* previous = nullptr;
  for (const char* name : kForm1TabOrder) {
    QWidget* next = Control<QWidget>(name);
    if (previous != nullptr) QWidget::setTabOrder(previous, next);
    previous = next;
  }
  return client;
}

void Form1::LoadChoices() {
  Fill(Control<QComboBox>("Combo2"), kGrades);
  Fill(Control<QComboBox>("Combo3"), kPositions);
  for (const GaugeKind* kind : GaugeKinds()) {
    Control<QComboBox>("Combo4")->addItem(
        QString::fromUtf8(kind->name.data(), static_cast<int>(kind->name.size())));
  }
  Fill(Control<QComboBox>("Combo1"), kPitches);
  Fill(Control<QComboBox>("Combo5"), kLengthRanges);
  // No entry is preselected: every list's text stays empty until the user picks or types.
  for (std::string_view name : kInputLists) {
    auto* list = Control<QComboBox>(name.data());
    list->setCurrentIndex(-1);
    list->setEditText(QString());
  }
  Control<QLineEdit>(kDiameterInput.data())->setFocus();
  // The keeper learns at once when gauges are past their inspection day.
  ShowRegisterNotices();
}

void Form1::ShowRegisterNotices() {
  const RegisterPlace place = Register();
  const std::vector<QString> notices = RegisterNotices(place);
  status_lines_.removeIf(
      [](const QString& line) { return line.startsWith(QStringLiteral("量规台账")); });
  for (const QString& notice : notices) status_lines_ << notice;
  const QString unreachable = QString::fromStdString(Say({MessageCode::ServerUnreachable, {""}}));
  const bool cut_off = place.server && !notices.empty() && notices.front().startsWith(unreachable);
  unreachable_->setText(cut_off ? notices.front() : QString());
  unreachable_->setVisible(cut_off);
  retry_->setVisible(cut_off);
  ShowStatus();
}

}  // namespace threadgauge
