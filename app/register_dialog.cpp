#include "register_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include "dialog_button.h"
#include "fit_to_screen.h"
#include "gauge_entry_dialog.h"
#include "gauge_page_dialog.h"
#include "record_dialog.h"
#include "tolerance/utf8.h"

namespace threadgauge {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }
constexpr long kDueDays = 30;

}  // namespace

int OverdueGauges(const RegisterPlace& place) {
  if (!place.file || !std::filesystem::exists(*place.file)) return 0;
  auto opened = GaugeRegister::OpenExisting(*place.file);
  if (!std::holds_alternative<GaugeRegister>(opened)) return 0;
  int overdue = 0;
  for (const LedgerRow& row : LedgerRows(std::get<GaugeRegister>(opened))) {
    if (DueWithin(row, place.today(), -1)) ++overdue;
  }
  return overdue;
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
  auto* buttons = new QHBoxLayout;
  const std::pair<QPushButton*, void (RegisterDialog::*)()> actions[] = {
      {DialogButton("AddGauge", "登记量规…", this), &RegisterDialog::AddGauge},
      {DialogButton("EditGauge", "修改…", this), &RegisterDialog::EditGauge},
      {DialogButton("RetireGauge", "报废", this), &RegisterDialog::RetireGauge},
      {DialogButton("OpenGauge", "量规页…", this), &RegisterDialog::OpenGauge},
      {DialogButton("NewRecord", "新建检定记录…", this), &RegisterDialog::NewRecord}};
  for (const auto& [button, handler] : actions) {
    buttons->addWidget(button);
    connect(button, &QPushButton::clicked, this, handler);
  }
  buttons->addStretch();
  QPushButton* close = DialogButton("Close", "关闭", this);
  buttons->addWidget(close);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  layout->addLayout(buttons);
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
  if (place_.file && std::filesystem::exists(*place_.file)) {
    auto opened = OpenRegisterFor(this, place_, false);
    if (opened) {
      rows_ = LedgerRows(*opened);
      status_->setText(
          QStringLiteral("量规台账：") + Q(Utf8(*place_.file)) +
          (opened->note().empty() ? QString() : QStringLiteral("\n") + Q(opened->note())));
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
    QString due = row.next_due ? Q(DayText(*row.next_due)) : QStringLiteral("—");
    const bool overdue = row.next_due && DaysBetween(today, *row.next_due) < 0;
    if (overdue) due += QStringLiteral("（已过期）");
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
    QMessageBox::warning(this, windowTitle(), Q(failed->message));
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
    QMessageBox::warning(this, windowTitle(), Q(failed->message));
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
    QMessageBox::warning(this, windowTitle(), Q(failed->message));
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
