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
#include "register_location.h"
#include "register_location_dialog.h"
#include "register_place.h"
#include "table_menu.h"
#include "tables/user_database.h"
#include "words/calculation_words.h"
#include "workbooks.h"

namespace threadgauge {

Form1::Form1(Form1Files files, QWidget* parent) : QMainWindow(parent), files_(std::move(files)) {
  QWidget* client = BuildForm();
  BuildMenus();
  BuildStatusLine();
  BindInputs();
  LoadChoices();
  // The designed client area with the menu and a few status lines; a window manager then
  // maximises it. Never more than the screen holds: the form scrolls within it.
  const int scroll_bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  FitToScreen(this, client->minimumSize() +
                        QSize(scroll_bar + 4, menuBar()->sizeHint().height() +
                                                  statusBar()->sizeHint().height() + 40));
}

void Form1::BindInputs() {
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
    Reject(DescribeRejection(*rejection));
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
    Reject(DescribeRejection(*rejection));
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

std::optional<std::filesystem::path> Form1::SettingsFile() const {
  if (!files_.places.user_directory) return std::nullopt;
  return WindowSettingsPath(*files_.places.user_directory);
}

RegisterPlace Form1::Register() {
  RegisterPlace place;
  place.file = files_.register_file;
  if (!place.file && files_.places.user_directory) {
    place.file = DefaultRegisterPath(*files_.places.user_directory);
  }
  // A register file named when the window was started is the one used, whatever is kept.
  if (const auto settings = SettingsFile(); settings && !files_.register_file) {
    if (const RegisterLocation kept = ReadRegisterLocation(*settings); kept.on_server) {
      place.server = kept.Address();
    }
  }
  place.password = server_password_;
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

void Form1::ChooseRegisterLocation() {
  const auto settings = SettingsFile();
  if (!settings) {
    QMessageBox::warning(this, QStringLiteral("台账位置"),
                         QStringLiteral("系统没有给出用户数据文件夹，台账位置无处保存"));
    return;
  }
  RegisterLocationDialog dialog(*settings, server_password_, this);
  if (dialog.exec() == QDialog::Accepted) ShowRegisterNotices();
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
