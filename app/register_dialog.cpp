#include "register_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include "dialog_button.h"
#include "fit_to_screen.h"
#include "gauge_entry_dialog.h"
#include "gauge_page_dialog.h"
#include "platform/utf8.h"
#include "record_dialog.h"
#include "register/record_import.h"
#include "register/register_backup.h"
#include "tolerance/tolerance_database.h"
#include "words/message_words.h"

namespace threadgauge {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }
constexpr long kDueDays = 30;

}  // namespace

std::vector<QString> RegisterNotices(const RegisterPlace& place) {
  if (!place.Exists()) return {};
  auto opened = OpenPlace(place, false);
  if (const auto* error = std::get_if<RegisterError>(&opened)) {
    // Signing in waits until the register is first used.
    if (error->message.code == MessageCode::ServerPasswordRefused && place.password->empty()) {
      return {};
    }
    // "量规台账服务器无法连接：…" names the register itself.
    if (place.server) return {Q(Say(error->message))};
    return {QStringLiteral("量规台账：") + Q(Say(error->message))};
  }
  const GaugeRegister& gauges = std::get<GaugeRegister>(opened);
  const Day today = place.today();
  int overdue = 0, never = 0;
  std::vector<QString> failed;
  for (const LedgerRow& row : LedgerRows(gauges)) {
    if (row.gauge.state != kInUse) continue;
    if (row.due.reason == DueReason::NotConforming) {
      failed.push_back(QStringLiteral("量规台账：%1 %2，该量规应停止使用，待处理")
                           .arg(Q(row.gauge.number), Q(DueReasonText(row.due))));
    } else if (row.due.reason == DueReason::NeverInspected) {
      ++never;
    } else if (DueWithin(row, today, -1)) {
      ++overdue;
    }
  }
  std::vector<QString> notices;
  if (gauges.damage()) notices.push_back(Q(DamageWords(gauges)));
  if (overdue > 0) {
    notices.push_back(
        QStringLiteral("量规台账：%1 件量规已过检定日期（量规 → 到期量规…）").arg(overdue));
  }
  if (never > 0) {
    notices.push_back(QStringLiteral("量规台账：%1 件量规从未检定（量规 → 到期量规…）").arg(never));
  }
  constexpr size_t kNamed = 5;  // the rest are counted, not named, to keep the status short
  for (size_t i = 0; i < failed.size() && i < kNamed; ++i) notices.push_back(failed[i]);
  if (failed.size() > kNamed) {
    notices.push_back(
        QStringLiteral("量规台账：另有 %1 件量规检定不合格或未能判定（量规 → 到期量规…）")
            .arg(failed.size() - kNamed));
  }
  return notices;
}

RegisterDialog::RegisterDialog(RegisterPlace place, Mode mode, QWidget* parent)
    : QDialog(parent), place_(std::move(place)) {
  setObjectName(mode == Mode::Due ? "DueDialog" : "RegisterDialog");
  setWindowTitle(mode == Mode::Due ? QStringLiteral("到期量规") : QStringLiteral("量规台账"));
  auto* layout = new QVBoxLayout(this);
  auto* filters = new QHBoxLayout;
  state_ = new QComboBox(this);
  state_->setObjectName("StateFilter");
  state_->addItem(QStringLiteral("全部状态"));
  for (const char* state : kGaugeStates) state_->addItem(QString::fromUtf8(state));
  due_only_ = new QCheckBox(QStringLiteral("只列 30 天内到期及已过期的在用量规"), this);
  due_only_->setObjectName("DueOnly");
  due_only_->setChecked(mode == Mode::Due);
  search_ = new QLineEdit(this);
  search_->setObjectName("Search");
  search_->setPlaceholderText(QStringLiteral("查找编号或螺纹"));
  search_->setClearButtonEnabled(true);
  filters->addWidget(new QLabel(QStringLiteral("状态"), this));
  filters->addWidget(state_);
  filters->addWidget(due_only_);
  filters->addWidget(search_, 1);
  layout->addLayout(filters);
  table_ = new QTableWidget(0, 8, this);
  table_->setObjectName("Gauges");
  table_->setHorizontalHeaderLabels({QStringLiteral("编号"), QStringLiteral("螺纹"),
                                     QStringLiteral("量规"), QStringLiteral("螺纹部分长度"),
                                     QStringLiteral("状态"), QStringLiteral("上次检定"),
                                     QStringLiteral("下次检定"), QStringLiteral("上次结论")});
  table_->horizontalHeader()->setSectionResizeMode(7, QHeaderView::Stretch);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->verticalHeader()->setVisible(false);
  layout->addWidget(table_, 1);
  status_ = new QLabel(this);
  status_->setObjectName("RegisterStatus");
  status_->setWordWrap(true);
  layout->addWidget(status_);
  // The selected gauge's actions above, the register's own below.
  using Action = std::pair<QPushButton*, void (RegisterDialog::*)()>;
  const auto row = [&](std::initializer_list<Action> actions) {
    auto* buttons = new QHBoxLayout;
    for (const auto& [button, handler] : actions) {
      buttons->addWidget(button);
      connect(button, &QPushButton::clicked, this, handler);
    }
    buttons->addStretch();
    layout->addLayout(buttons);
    return buttons;
  };
  row({{DialogButton("AddGauge", "登记量规…", this), &RegisterDialog::AddGauge},
       {DialogButton("EditGauge", "修改…", this), &RegisterDialog::EditGauge},
       {DialogButton("RetireGauge", "报废", this), &RegisterDialog::RetireGauge},
       {DialogButton("OpenGauge", "量规页…", this), &RegisterDialog::OpenGauge},
       {DialogButton("NewRecord", "新建检定记录…", this), &RegisterDialog::NewRecord}});
  QHBoxLayout* register_row =
      row({{DialogButton("ImportRecords", "导入检定记录…", this), &RegisterDialog::ImportRecords},
           {DialogButton("Restore", "从备份恢复…", this), &RegisterDialog::RestoreBackup},
           {DialogButton("Organisation", "单位名称…", this), &RegisterDialog::SetOrganisation}});
  QPushButton* close = DialogButton("Close", "关闭", this);
  register_row->addWidget(close);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  connect(state_, &QComboBox::currentIndexChanged, this, &RegisterDialog::Filter);
  connect(due_only_, &QCheckBox::toggled, this, &RegisterDialog::Filter);
  connect(search_, &QLineEdit::textChanged, this, &RegisterDialog::Filter);
  connect(table_, &QTableWidget::cellDoubleClicked, this, &RegisterDialog::OpenGauge);
  resize(980, 560);
  FitToScreen(this, size());
  Reload();
}

void RegisterDialog::Reload() {
  const std::optional<std::string> selected = SelectedNumber();
  rows_.clear();
  if (place_.Exists()) {
    auto opened = OpenRegisterFor(this, place_, false);
    if (opened) {
      rows_ = LedgerRows(*opened);
      QString status = QStringLiteral("量规台账：") + Q(place_.Where());
      if (opened->note()) status += QStringLiteral("\n") + Q(Say(*opened->note()));
      if (opened->damage()) status = Q(DamageWords(*opened)) + QStringLiteral("\n") + status;
      status_->setText(status);
      status_->setStyleSheet(opened->damage() ? QStringLiteral("color: #b00000") : QString());
    }
  } else {
    status_->setText(
        QStringLiteral("还没有量规台账；登记第一件量规时建立：") +
        (place_.file ? Q(Utf8(*place_.file)) : QStringLiteral("（无用户数据文件夹）")));
  }
  Filter();
  if (selected) {
    for (int r = 0; r < table_->rowCount(); ++r) {
      if (table_->item(r, 0)->text() == Q(*selected)) table_->selectRow(r);
    }
  }
}

void RegisterDialog::Filter() {
  const Day today = place_.today();
  const QString search = search_->text().trimmed();
  std::vector<const LedgerRow*> shown;
  for (const LedgerRow& row : rows_) {
    if (state_->currentIndex() > 0 && Q(row.gauge.state) != state_->currentText()) continue;
    if (due_only_->isChecked() && !DueWithin(row, today, kDueDays)) continue;
    if (!search.isEmpty() && !Q(row.gauge.number).contains(search, Qt::CaseInsensitive) &&
        !Q(row.gauge.thread).contains(search, Qt::CaseInsensitive)) {
      continue;
    }
    shown.push_back(&row);
  }
  table_->setRowCount(static_cast<int>(shown.size()));
  for (int r = 0; r < static_cast<int>(shown.size()); ++r) {
    const LedgerRow& row = *shown[r];
    const QString due = Q(DueText(row.due, today));
    const bool overdue = row.gauge.state == kInUse &&
                         (row.due.now || (row.due.day && DaysBetween(today, *row.due.day) < 0));
    const QStringList cells = {Q(row.gauge.number),
                               Q(row.gauge.thread),
                               Q(row.gauge.kind),
                               Q(row.gauge.length),
                               Q(row.gauge.state),
                               Q(row.last_record.value_or("—")),
                               due,
                               Q(row.last_verdict)};
    for (int c = 0; c < cells.size(); ++c) {
      auto* item = new QTableWidgetItem(cells[c]);
      if (c == 6 && overdue) item->setForeground(QColor(176, 0, 0));
      table_->setItem(r, c, item);
    }
  }
  table_->resizeColumnsToContents();
  if (table_->rowCount() > 0 && table_->currentRow() < 0) table_->selectRow(0);
}

std::optional<std::string> RegisterDialog::SelectedNumber() const {
  const int row = table_->currentRow();
  if (row < 0 || !table_->item(row, 0)) return std::nullopt;
  return table_->item(row, 0)->text().toStdString();
}

void RegisterDialog::AddGauge() {
  GaugeEntryDialog dialog(std::nullopt, place_.today(), this);
  if (dialog.exec() != QDialog::Accepted) return;
  auto opened = OpenRegisterFor(this, place_, true);
  if (!opened) return;
  if (auto failed = opened->Add(dialog.Entry())) {
    QMessageBox::warning(this, windowTitle(), Q(Say(failed->message)));
  }
  Reload();
}

void RegisterDialog::EditGauge() {
  const auto number = SelectedNumber();
  if (!number) return;
  auto opened = OpenRegisterFor(this, place_, false);
  if (!opened) return;
  const auto gauge = opened->Find(*number);
  if (!gauge) return;
  GaugeEntryDialog dialog(*gauge, place_.today(), this);
  if (dialog.exec() != QDialog::Accepted) return;
  if (auto failed = opened->Update(dialog.Entry())) {
    QMessageBox::warning(this, windowTitle(), Q(Say(failed->message)));
  }
  Reload();
}

void RegisterDialog::RetireGauge() {
  const auto number = SelectedNumber();
  if (!number) return;
  QMessageBox ask(QMessageBox::Question, windowTitle(),
                  QStringLiteral("把量规 %1 报废？其检定记录保留，不能再检定。").arg(Q(*number)),
                  QMessageBox::NoButton, this);
  QPushButton* retire = ask.addButton(QStringLiteral("报废"), QMessageBox::AcceptRole);
  ask.setDefaultButton(ask.addButton(QStringLiteral("取消"), QMessageBox::RejectRole));
  ask.exec();
  if (ask.clickedButton() != retire) return;
  auto opened = OpenRegisterFor(this, place_, false);
  if (!opened) return;
  if (auto failed = opened->SetState(*number, kRetired)) {
    QMessageBox::warning(this, windowTitle(), Q(Say(failed->message)));
  }
  Reload();
}

void RegisterDialog::OpenGauge() {
  const auto number = SelectedNumber();
  if (!number) return;
  GaugePageDialog page(place_, *number, this);
  page.exec();
  Reload();
}

void RegisterDialog::NewRecord() {
  const auto number = SelectedNumber();
  if (!number) return;
  auto opened = OpenRegisterFor(this, place_, false);
  if (!opened) return;
  const auto gauge = opened->Find(*number);
  if (!gauge) return;
  RecordDialog dialog(place_, *gauge, this);
  dialog.exec();
  Reload();
}

}  // namespace threadgauge

namespace threadgauge {

void RegisterDialog::ImportRecords() {
  const QString name = QFileDialog::getOpenFileName(this, QStringLiteral("导入检定记录"), QString(),
                                                    QStringLiteral("CSV (*.csv);;所有文件 (*)"));
  if (name.isEmpty()) return;
  QFile file(name);
  if (!file.open(QIODevice::ReadOnly)) {
    QMessageBox::warning(this, windowTitle(), QStringLiteral("无法读取 ") + name);
    return;
  }
  const QByteArray bytes = file.readAll();
  auto opened = OpenRegisterFor(this, place_, false);
  if (!opened) return;
  LimitsCache limits(place_.database());
  const auto read = ReadRecordsCsv(std::string_view(bytes.constData(), bytes.size()), *opened,
                                   limits, place_.today());
  if (const auto* wrong = std::get_if<Message>(&read)) {
    QMessageBox::warning(this, windowTitle(), name + QStringLiteral("：") + Q(Say(*wrong)));
    return;
  }
  RecordImport history = std::get<RecordImport>(read);
  if (!history.problems.empty()) {
    QStringList shown;
    for (const Message& problem : history.problems) shown << Q(Say(problem));
    QMessageBox ask(QMessageBox::Warning, windowTitle(),
                    QStringLiteral("%1 行有错：\n").arg(history.problems.size()) +
                        shown.mid(0, 20).join(QLatin1Char('\n')),
                    QMessageBox::NoButton, this);
    QPushButton* good = nullptr;
    if (!history.good.empty()) {
      good = ask.addButton(QStringLiteral("只导入无错的 %1 行").arg(history.good.size()),
                           QMessageBox::AcceptRole);
    }
    ask.setDefaultButton(ask.addButton(QStringLiteral("不导入"), QMessageBox::RejectRole));
    ask.exec();
    if (good == nullptr || ask.clickedButton() != good) return;
  }
  const DatabaseStamp stamp = StampOf(place_.database());
  for (InspectionRecord& record : history.good) Stamp(record, stamp);
  const auto stored = opened->AddRecords(history.good);
  if (const auto* failed = std::get_if<RegisterError>(&stored)) {
    QMessageBox::warning(this, windowTitle(), Q(Say(failed->message)));
    return;
  }
  status_->setText(QStringLiteral("已导入 %1 条检定记录（按 %2 编码读取，标为“导入”）")
                       .arg(history.good.size())
                       .arg(Q(history.encoding)));
  Reload();
}

void RegisterDialog::RestoreBackup() {
  if (!place_.file || place_.server) return;  // a server's register is its administrator's
  const QString name = QFileDialog::getOpenFileName(
      this, QStringLiteral("从备份恢复量规台账"), Q(Utf8(BackupFolder(*place_.file))),
      QStringLiteral("量规台账 (*.db);;所有文件 (*)"));
  if (name.isEmpty()) return;
  QMessageBox ask(
      QMessageBox::Question, windowTitle(),
      QStringLiteral("用备份 %1 替换量规台账？当前的文件先保留为 …before-restore-日期。").arg(name),
      QMessageBox::NoButton, this);
  QPushButton* restore = ask.addButton(QStringLiteral("恢复"), QMessageBox::AcceptRole);
  ask.setDefaultButton(ask.addButton(QStringLiteral("取消"), QMessageBox::RejectRole));
  ask.exec();
  if (ask.clickedButton() != restore) return;
  const auto restored =
      RestoreRegister(PathFromUtf8(name.toStdString()), *place_.file, place_.today());
  if (const auto* failed = std::get_if<RegisterError>(&restored)) {
    QMessageBox::warning(this, windowTitle(), Q(Say(failed->message)));
    return;
  }
  const auto& kept = std::get<std::filesystem::path>(restored);
  Reload();
  status_->setText(
      QStringLiteral("已从备份恢复量规台账") +
      (kept.empty() ? QString() : QStringLiteral("；恢复前的文件保留为 ") + Q(Utf8(kept))));
}

void RegisterDialog::SetOrganisation() {
  auto opened = OpenRegisterFor(this, place_, true);
  if (!opened) return;
  bool ok = false;
  const QString name = QInputDialog::getText(
      this, QStringLiteral("单位名称"), QStringLiteral("检定记录上印的单位名称："),
      QLineEdit::Normal, Q(opened->Setting("organisation")), &ok);
  if (!ok) return;
  if (auto failed = opened->SetSetting("organisation", name.trimmed().toStdString())) {
    QMessageBox::warning(this, windowTitle(), Q(Say(failed->message)));
  }
}

}  // namespace threadgauge
