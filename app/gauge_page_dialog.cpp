#include "gauge_page_dialog.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include "dialog_button.h"
#include "fit_to_screen.h"
#include "platform/utf8.h"
#include "record_dialog.h"
#include "register/inspection.h"
#include "register/ledger.h"
#include "register_place.h"
#include "report/record_page.h"
#include "tolerance/tolerance_database.h"
#include "wear_trend_plot.h"
#include "words/message_words.h"

namespace threadgauge {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }
QString OrDash(const std::string& text) { return text.empty() ? QStringLiteral("—") : Q(text); }

}  // namespace

GaugePageDialog::GaugePageDialog(RegisterPlace place, std::string number, QWidget* parent)
    : QDialog(parent), place_(std::move(place)), number_(std::move(number)) {
  setObjectName("GaugePage");
  setWindowTitle(QStringLiteral("量规 ") + Q(number_));
  auto* layout = new QVBoxLayout(this);
  warning_ = new QLabel(this);
  warning_->setObjectName("PageWarning");
  warning_->setWordWrap(true);
  warning_->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold"));
  layout->addWidget(warning_);
  identity_ = new QLabel(this);
  identity_->setObjectName("Identity");
  identity_->setWordWrap(true);
  identity_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  limits_ = new QLabel(this);
  limits_->setObjectName("PageLimits");
  limits_->setWordWrap(true);
  layout->addWidget(identity_);
  layout->addWidget(limits_);
  records_ = new QTableWidget(0, 6, this);
  records_->setObjectName("Records");
  records_->setHorizontalHeaderLabels({QStringLiteral("记录号"), QStringLiteral("检定日期"),
                                       QStringLiteral("检定员"), QStringLiteral("结论"),
                                       QStringLiteral("读数"), QStringLiteral("更正")});
  records_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  records_->horizontalHeader()->setSectionResizeMode(3, QHeaderView::Stretch);
  records_->horizontalHeader()->setSectionResizeMode(4, QHeaderView::Stretch);
  records_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  records_->setSelectionBehavior(QAbstractItemView::SelectRows);
  records_->setSelectionMode(QAbstractItemView::SingleSelection);
  records_->verticalHeader()->setVisible(false);
  layout->addWidget(records_, 1);
  plot_ = new WearTrendPlot(this);
  layout->addWidget(plot_, 1);
  trend_text_ = new QLabel(this);
  trend_text_->setObjectName("TrendText");
  layout->addWidget(trend_text_);
  auto* buttons = new QHBoxLayout;
  QPushButton* record = DialogButton("NewRecord", "新建检定记录…", this);
  QPushButton* pdf = DialogButton("SaveRecordPdf", "保存所选记录 PDF…", this);
  suspend_ = DialogButton("Suspend", "停用", this);
  retire_ = DialogButton("Retire", "报废", this);
  QPushButton* close = DialogButton("Close", "关闭", this);
  QPushButton* history = DialogButton("GaugeHistory", "变更记录", this);
  buttons->addWidget(record);
  buttons->addWidget(pdf);
  buttons->addWidget(history);
  buttons->addWidget(suspend_);
  buttons->addWidget(retire_);
  buttons->addStretch();
  buttons->addWidget(close);
  layout->addLayout(buttons);
  connect(record, &QPushButton::clicked, this, &GaugePageDialog::NewRecord);
  connect(pdf, &QPushButton::clicked, this, &GaugePageDialog::SaveRecordPdf);
  connect(suspend_, &QPushButton::clicked, this, [this] { SetState(QStringLiteral("停用")); });
  connect(retire_, &QPushButton::clicked, this, [this] { SetState(QStringLiteral("报废")); });
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  connect(history, &QPushButton::clicked, this, &GaugePageDialog::ShowHistory);
  resize(820, 720);
  FitToScreen(this, size());
  Reload();
}

void GaugePageDialog::Reload() {
  auto opened = OpenRegisterFor(this, place_, false);
  if (!opened) return;
  const auto found = opened->Find(number_);
  if (!found) return;
  gauge_ = *found;
  const auto records = opened->RecordsOf(number_);
  const GaugeDue due = DueOf(gauge_, records);
  QStringList warnings;
  if (opened->damage()) warnings << Q(DamageWords(*opened));
  for (const BrokenLink& broken : opened->BrokenLinks(number_)) {
    warnings << QStringLiteral("记录 %1 与量规台账的校验链不符：存入后被改动，或其前的记录被删改")
                    .arg(broken.record);
  }
  const bool act = due.reason == DueReason::NotConforming && gauge_.state == kInUse;
  if (act) {
    warnings << QStringLiteral("该量规应停止使用，待处理：%1；请点“停用”或“报废”")
                    .arg(Q(DueReasonText(due)));
  }
  warning_->setText(warnings.join(QLatin1Char('\n')));
  warning_->setVisible(!warnings.isEmpty());
  suspend_->setEnabled(gauge_.state == kInUse && !opened->read_only());
  retire_->setEnabled(gauge_.state != kRetired && !opened->read_only());
  identity_->setText(
      QStringLiteral(
          "<b>%1</b>　%2　%3　螺纹部分长度 %4<br>状态 %5　检定周期 %6 个月　启用日期 %7　"
          "下次检定 %8<br>制造厂 %9　出厂编号 %10　使用部门 %11　保管人 %12")
          .arg(Q(gauge_.number), Q(gauge_.thread), Q(gauge_.kind), OrDash(gauge_.length),
               Q(gauge_.state))
          .arg(gauge_.interval_months)
          .arg(OrDash(gauge_.since), Q(DueText(due, place_.today())).toHtmlEscaped(),
               OrDash(gauge_.maker), OrDash(gauge_.serial), OrDash(gauge_.department),
               OrDash(gauge_.keeper)));
  const auto limits = LimitsOfGauge(gauge_, place_.database());
  if (const auto* l = std::get_if<GaugeLimits>(&limits)) {
    limits_->setText(LimitsLine(*l));
  } else {
    limits_->setText(Q(Say(std::get<Message>(limits))));
  }
  records_->setRowCount(static_cast<int>(records.size()));
  for (int row = 0; row < static_cast<int>(records.size()); ++row) {
    const InspectionRecord& r = records[row];
    QString readings;
    for (const MeasuredReading& reading : r.readings) {
      readings += (readings.isEmpty() ? "" : "、") + Q(Millimetres(reading.pitch_diameter));
    }
    for (const CheckPlugResult& check : r.checks) {
      readings += (readings.isEmpty() ? "" : "、") + Q(check.plug) +
                  (check.passed ? QStringLiteral(" 通过") : QStringLiteral(" 不通过"));
    }
    QString correction;
    if (r.replaces) correction = QStringLiteral("更正记录 %1").arg(*r.replaces);
    if (r.replaced_by) correction = QStringLiteral("已被记录 %1 更正").arg(*r.replaced_by);
    const QStringList cells = {
        QString::number(r.id),
        Q(r.date),
        Q(r.inspector),
        Q(RecordVerdictLine(r)) + (r.imported ? QStringLiteral("（导入）") : QString()),
        readings,
        correction};
    for (int c = 0; c < cells.size(); ++c) {
      auto* item = new QTableWidgetItem(cells[c]);
      if (r.replaced_by) item->setForeground(Qt::gray);
      records_->setItem(row, c, item);
    }
  }
  const auto trend = TrendOf(records);
  plot_->Show(records, trend);
  if (trend) {
    trend_text_->setText(
        QStringLiteral("磨损趋势（%1 次检定，最小二乘）：中径每月 %2；%3")
            .arg(trend->records)
            .arg(Q(Micrometres(trend->fit.um_per_month)))
            .arg(trend->reaches_limit
                     ? QStringLiteral("预计 %1 达到磨损极限").arg(Q(DayText(*trend->reaches_limit)))
                     : QStringLiteral("按此趋势不会达到磨损极限")));
  } else {
    trend_text_->setText(QStringLiteral("磨损趋势：须有两次以上、不在同一天的带读数的检定记录"));
  }
}

void GaugePageDialog::NewRecord() {
  RecordDialog dialog(place_, gauge_, this);
  dialog.exec();
  Reload();
}

std::optional<long long> GaugePageDialog::SelectedRecord() const {
  const int row = records_->currentRow();
  if (row < 0 || !records_->item(row, 0)) return std::nullopt;
  return records_->item(row, 0)->text().toLongLong();
}

void GaugePageDialog::SaveRecordPdf() {
  const auto id = SelectedRecord();
  if (!id) {
    QMessageBox::information(this, windowTitle(), QStringLiteral("请先在表中选一条记录"));
    return;
  }
  auto opened = OpenRegisterFor(this, place_, false);
  if (!opened) return;
  const auto page = RecordPageFor(*opened, *id);
  if (!page) return;
  const QString name = QFileDialog::getSaveFileName(
      this, QStringLiteral("保存检定记录"),
      QStringLiteral("检定记录 %1 %2.pdf").arg(*id).arg(Q(gauge_.number)),
      QStringLiteral("PDF (*.pdf)"));
  if (name.isEmpty()) return;
  if (auto failed = WriteRecordPdf(*page, PathFromUtf8(name.toStdString()))) {
    QMessageBox::warning(this, windowTitle(), Q(*failed));
  }
}

void GaugePageDialog::SetState(const QString& state) {
  QMessageBox ask(QMessageBox::Question, windowTitle(),
                  QStringLiteral("把量规 %1 %2？其检定记录保留。").arg(Q(number_), state),
                  QMessageBox::NoButton, this);
  QPushButton* yes = ask.addButton(state, QMessageBox::AcceptRole);
  ask.setDefaultButton(ask.addButton(QStringLiteral("取消"), QMessageBox::RejectRole));
  ask.exec();
  if (ask.clickedButton() != yes) return;
  auto opened = OpenRegisterFor(this, place_, false);
  if (!opened) return;
  // The gauge as this page read it: on a server, a change someone made since is not
  // overwritten but named.
  GaugeEntry changed = gauge_;
  changed.state = state.toStdString();
  if (auto failed = opened->Update(changed)) {
    QMessageBox::warning(this, windowTitle(), Q(Say(failed->message)));
  }
  Reload();
}

void GaugePageDialog::ShowHistory() {
  auto opened = OpenRegisterFor(this, place_, false);
  if (!opened) return;
  const auto history = opened->History(number_);
  QString text;
  if (!history) {
    text = opened->damage()
               ? Q(Say(*opened->damage()))
               : QStringLiteral("本机文件的量规台账不记录变更；服务器上的量规台账才有变更记录");
  } else {
    for (const GaugeChange& change : *history) {
      text += Q(change.at + "  " + change.who + "  " + FieldHeading(change.field));
      if (change.field != "登记") text += Q("：" + change.before + " → " + change.after);
      text += QStringLiteral("\n");
    }
  }
  QMessageBox box(QMessageBox::NoIcon, QStringLiteral("变更记录 %1").arg(Q(number_)), text,
                  QMessageBox::Close, this);
  box.setObjectName("HistoryBox");
  box.exec();
}

}  // namespace threadgauge
