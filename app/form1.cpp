#include "app/form1.h"

#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QStatusBar>
#include <QStyle>
#include <algorithm>

#include "calculation/calculate.h"
#include "calculation/form_lists.h"
#include "calculation/gauge_kind.h"
#include "calculation/gauge_request.h"
#include "calculation/gauge_set.h"
#include "control_names.h"
#include "fit_to_screen.h"
#include "form1_design.h"
#include "gauge_set_dialog.h"
#include "platform/data_location.h"
#include "platform/utf8.h"
#include "register/gauge_register.h"
#include "register_dialog.h"
#include "register_place.h"
#include "table_menu.h"
#include "tolerance/admin/user_database.h"
#include "workbooks.h"

namespace threadgauge {
namespace {

const QColor kFormColour(255, 192, 255);
const QColor kFieldColour(192, 255, 255);

QRect Pixels(const ControlDesign& c) {
  return QRect(c.left / kTwipsPerPixel, c.top / kTwipsPerPixel, c.width / kTwipsPerPixel,
               c.height / kTwipsPerPixel);
}

QFont FontOf(ControlFont font) {
  QFont f(QStringLiteral("宋体"));
  f.setPointSizeF(font == ControlFont::Song12 ? 12 : font == ControlFont::Song9 ? 9 : 14.25);
  return f;
}

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

template <typename T>
T* Form1::Control(const char* name) const {
  return findChild<T*>(QString::fromUtf8(name));
}

Form1::Form1(Form1Files files, QWidget* parent) : QMainWindow(parent), files_(std::move(files)) {
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

  auto* chx = menuBar()->addMenu(QStringLiteral("查询"));
  chx->setObjectName("chx");
  auto* ljgch = chx->addAction(QStringLiteral("螺距公差表"));
  ljgch->setObjectName("ljgch");
  ljgch->setEnabled(false);  // switched off in the design; nothing switches it on
  connect(ljgch, &QAction::triggered, this, &Form1::OpenPitchToleranceWorkbook);
  auto* bjgch = chx->addAction(QStringLiteral("粗牙螺纹螺距"));
  bjgch->setObjectName("bjgch");
  connect(bjgch, &QAction::triggered, this, &Form1::OpenCoarsePitchWorkbook);
  // The workshop's gauges, between 查询 and 公差表.
  auto* gauges = menuBar()->addMenu(QStringLiteral("量规"));
  gauges->setObjectName("GaugesMenu");
  auto* register_entry = gauges->addAction(QStringLiteral("量规台账…"));
  register_entry->setObjectName("RegisterEntry");
  connect(register_entry, &QAction::triggered, this, &Form1::OpenRegister);
  auto* due_entry = gauges->addAction(QStringLiteral("到期量规…"));
  due_entry->setObjectName("DueEntry");
  connect(due_entry, &QAction::triggered, this, &Form1::ShowDueGauges);
  // The user's own gauge tables, between 量规 and 退出.
  auto* gcb = menuBar()->addMenu(QStringLiteral("公差表"));
  gcb->setObjectName("gcb");
  const std::pair<const char*, void (Form1::*)()> table_entries[] = {
      {"编辑公差表…", &Form1::EditTables},
      {"导入…", &Form1::ImportTables},
      {"导出为 CSV…", &Form1::ExportTables},
      {"检查公差表", &Form1::CheckTables}};
  for (const auto& [caption, handler] : table_entries) {
    connect(gcb->addAction(QString::fromUtf8(caption)), &QAction::triggered, this, handler);
  }
  auto* set = chx->addAction(QStringLiteral("本螺纹全套量规…"));
  set->setObjectName("GaugeSet");
  connect(set, &QAction::triggered, this, &Form1::OpenGaugeSet);
  auto* tc = menuBar()->addAction(QStringLiteral("退出"));
  tc->setObjectName("TC");
  connect(tc, &QAction::triggered, this, &Form1::Quit);

  status_line_ = new QLabel(this);
  status_line_->setObjectName("StatusLine");
  status_line_->setWordWrap(true);
  status_line_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  status_line_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  QFont status_font = FontOf(ControlFont::Song9);
  status_font.setPointSizeF(10.5);
  status_line_->setFont(status_font);
  // Many notices scroll within a few lines instead of growing the window off the screen.
  status_scroll_ = new QScrollArea(this);
  status_scroll_->setObjectName("StatusScroll");
  status_scroll_->setWidget(status_line_);
  status_scroll_->setWidgetResizable(true);
  status_scroll_->setFrameShape(QFrame::NoFrame);
  statusBar()->addWidget(status_scroll_, 1);
  // Offered when the notices say that a gauge table the user supplies lacks something.
  fill_tables_link_ = new QLabel(this);
  fill_tables_link_->setObjectName("FillTablesLink");
  fill_tables_link_->setFont(status_font);
  fill_tables_link_->setVisible(false);
  connect(fill_tables_link_, &QLabel::linkActivated, this, [this](const QString& table) {
    // "#backup": the editor opens on the damaged database and offers its backup.
    OpenTableEditor(this, EditorFiles(), table.startsWith('#') ? QString() : table, false);
  });
  statusBar()->addPermanentWidget(fill_tables_link_);
  statusBar()->setSizeGripEnabled(false);

  auto* command1 = Control<QPushButton>("Command1");
  connect(command1, &QPushButton::clicked, this, &Form1::CalculateGauge);
  // 确定 is the default: Enter in any input, or on the button itself, calculates.
  command1->setDefault(true);
  command1->installEventFilter(this);
  connect(Control<QLineEdit>(kDiameterInput.data()), &QLineEdit::returnPressed, this,
          &Form1::CalculateGauge);
  for (std::string_view name : kInputLists) {
    connect(Control<QComboBox>(name.data())->lineEdit(), &QLineEdit::returnPressed, this,
            &Form1::CalculateGauge);
  }
  // Results belong to the inputs of the last 确定: a change to those, or a hand edit of a
  // result, is said at once.
  connect(Control<QLineEdit>(kDiameterInput.data()), &QLineEdit::textChanged, this,
          &Form1::InputsChanged);
  for (std::string_view name : kInputLists) {
    connect(Control<QComboBox>(name.data()), &QComboBox::editTextChanged, this,
            &Form1::InputsChanged);
  }
  for (OutputField field : kOutputFields) {
    connect(Control<QLineEdit>(ControlName(field).data()), &QLineEdit::textEdited, this,
            [this, field] { ResultEdited(field); });
  }
  LoadChoices();
  // The designed client area with the menu and a few status lines; a window manager then
  // maximises it. Never more than the screen holds: the form scrolls within it.
  const int scroll_bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  FitToScreen(this, client->minimumSize() +
                        QSize(scroll_bar + 4, menuBar()->sizeHint().height() +
                                                  statusBar()->sizeHint().height() + 40));
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
  const std::vector<QString> notices = RegisterNotices(Register());
  if (!notices.empty()) {
    for (const QString& notice : notices) status_lines_ << notice;
    ShowStatus();
  }
}

CalculationInputs Form1::Inputs() const {
  const auto text = [this](const char* name) -> std::string {
    if (auto* edit = Control<QLineEdit>(name)) return edit->text().toStdString();
    return Control<QComboBox>(name)->currentText().toStdString();
  };
  CalculationInputs inputs;
  inputs.nominal_diameter = text(kDiameterInput.data());
  std::string* lists[] = {&inputs.pitch, &inputs.grade, &inputs.position, &inputs.gauge_name,
                          &inputs.length_range};
  for (size_t i = 0; i < kInputLists.size(); ++i) *lists[i] = text(kInputLists[i].data());
  return inputs;
}

void Form1::CalculateGauge() {
  const CalculationInputs inputs = Inputs();
  const auto built = BuildRequest(inputs);
  if (const auto* rejection = std::get_if<Rejection>(&built)) {
    Reject(rejection->message);
    return;
  }
  const GaugeRequest& request = std::get<GaugeRequest>(built);
  // Looked for at every press, so a database copied in while the window is open is used.
  ShowResult(Calculate(request, session_.Open(CurrentDatabase())));
  shown_for_ = inputs;
  shown_thread_ = QString::fromStdString(DesignationOf(request));
  edited_.clear();
  ShowStatus();
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && watched == Control<QPushButton>("Command1")) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      CalculateGauge();
      return true;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void Form1::InputsChanged() {
  if (shown_for_) ShowStatus();
}

void Form1::ResultEdited(OutputField field) {
  if (std::find(edited_.begin(), edited_.end(), field) == edited_.end()) edited_.push_back(field);
  ShowStatus();
}

void Form1::ShowStatus() {
  QStringList lines = status_lines_;
  if (shown_for_ && !(Inputs() == *shown_for_)) {
    lines.prepend(
        QStringLiteral("输入已更改，窗口中的结果仍是上次按“确定”时的（%1）；按“确定”重新计算")
            .arg(shown_thread_));
  }
  if (!edited_.empty()) {
    QStringList captions;
    for (OutputField field : edited_) captions << QString::fromStdString(FieldCaption(field));
    lines.prepend(captions.join(QStringLiteral("、")) + QStringLiteral(" 已手动修改"));
  }
  status_line_->setText(lines.join(QLatin1Char('\n')));
  // One line per notice, up to six; more scroll.
  const int shown = std::min<int>(static_cast<int>(lines.size()), 6);
  status_scroll_->setFixedHeight(status_line_->fontMetrics().lineSpacing() * std::max(shown, 1) +
                                 6);
}

void Form1::ShowResult(const CalculationResult& result) {
  for (OutputField field : kOutputFields) {
    const auto& text = result.update.fields[static_cast<size_t>(field)];
    if (text) Control<QLineEdit>(ControlName(field).data())->setText(QString::fromStdString(*text));
  }
  for (Switchable control : kSwitchables) {
    const auto& visible = result.update.visible[static_cast<size_t>(control)];
    if (visible) Control<QWidget>(ControlName(control).data())->setVisible(*visible);
  }
  for (Caption caption : kCaptions) {
    const auto& text = result.update.captions[static_cast<size_t>(caption)];
    if (text) Control<QLabel>(ControlName(caption).data())->setText(QString::fromStdString(*text));
  }
  // The first line names the database this calculation read, as users may keep several.
  QStringList notices{QString::fromStdString(DescribeDatabase(result))};
  for (const Notice& notice : result.notices) {
    notices << QString::fromStdString(DescribeNotice(notice));
  }
  status_lines_ = notices;
  QString table_to_fill;
  for (const Notice& notice : result.notices) {
    if (table_to_fill.isEmpty()) table_to_fill = QString::fromStdString(GaugeTableToFill(notice));
  }
  fill_tables_link_->setText(
      QStringLiteral("<a href=\"%1\">填写量规公差表…</a>").arg(table_to_fill));
  fill_tables_link_->setVisible(!table_to_fill.isEmpty());
  // The user's own database is damaged: it stays in use (and said so) until it is replaced,
  // and its last good generation is offered.
  const std::filesystem::path user = EditorFiles().user_database;
  const bool damaged_user_database =
      std::any_of(result.notices.begin(), result.notices.end(), [&](const Notice& notice) {
        const auto* failure = std::get_if<LookupFailure>(&notice);
        return failure != nullptr && failure->kind == LookupFailureKind::DatabaseUnavailable &&
               !user.empty() && failure->key == Utf8(user) &&
               failure->open_status != OpenStatus::FileMissing;
      });
  if (damaged_user_database && LastGoodTables(user)) {
    fill_tables_link_->setText(QStringLiteral("<a href=\"#backup\">用备份恢复公差表…</a>"));
    fill_tables_link_->setVisible(true);
  }
}

std::filesystem::path Form1::CurrentDatabase() const {
  return files_.database ? *files_.database : LocateDatabase(files_.places).path;
}

TableEditorFiles Form1::EditorFiles() {
  const std::filesystem::path user = files_.places.user_directory
                                         ? UserDatabasePath(*files_.places.user_directory)
                                         : std::filesystem::path();
  const std::filesystem::path fallback =
      files_.database
          ? *files_.database
          : LocateDatabase(DataPlaces{files_.places.program_directory, std::nullopt}).path;
  return {CurrentDatabase(), user, fallback, [this] { session_.Close(); }};
}

void Form1::OpenGaugeSet() {
  const CalculationInputs inputs = Inputs();
  auto set = CalculateGaugeSet(inputs, session_.Open(CurrentDatabase()));
  if (const auto* rejection = std::get_if<Rejection>(&set)) {
    Reject(rejection->message);
    return;
  }
  GaugeSetDialog dialog(
      [this]() -> const ToleranceDatabase& { return session_.Open(CurrentDatabase()); },
      std::get<GaugeSet>(std::move(set)), inputs.length_range, this);
  dialog.SetRegister(Register());
  dialog.exec();
}

void Form1::Reject(const std::string& message) {
  QMessageBox box(QMessageBox::NoIcon, windowTitle(), QString::fromStdString(message),
                  QMessageBox::Ok, this);
  box.setObjectName("RejectionBox");
  box.exec();
}

void Form1::EditTables() { OpenTableEditor(this, EditorFiles(), QString(), false); }

void Form1::ImportTables() { OpenTableEditor(this, EditorFiles(), QString(), true); }

void Form1::ExportTables() { ExportTablesAsCsv(this, CurrentDatabase()); }

void Form1::CheckTables() { ShowCheckReport(this, CurrentDatabase()); }

RegisterPlace Form1::Register() {
  RegisterPlace place;
  place.file = files_.register_file;
  if (!place.file && files_.places.user_directory) {
    place.file = DefaultRegisterPath(*files_.places.user_directory);
  }
  if (files_.today) place.today = files_.today;
  place.database = [this]() -> const ToleranceDatabase& {
    return session_.Open(CurrentDatabase());
  };
  return place;
}

void Form1::OpenRegister() {
  RegisterDialog dialog(Register(), RegisterDialog::Mode::All, this);
  dialog.exec();
}

void Form1::ShowDueGauges() {
  RegisterDialog dialog(Register(), RegisterDialog::Mode::Due, this);
  dialog.exec();
}

void Form1::OpenPitchToleranceWorkbook() { OpenWorkbook(this, files_.pitch_tolerance_workbook); }

void Form1::OpenCoarsePitchWorkbook() { OpenWorkbook(this, files_.coarse_pitch_workbook); }

void Form1::Quit() {
  close();
  QApplication::exit(0);
}

}  // namespace threadgauge
