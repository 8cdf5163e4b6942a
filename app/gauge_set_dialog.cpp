#include "gauge_set_dialog.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDate>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QTableWidget>
#include <QVBoxLayout>
#include <fstream>

#include "calculation/designated_gauge_set.h"
#include "calculation/form_lists.h"
#include "dialog_button.h"
#include "fit_to_screen.h"
#include "platform/number_text.h"
#include "platform/utf8.h"
#include "register/inspection.h"
#include "report/sheet_page.h"
#include "tolerance/tolerance_database.h"
#include "words/calculation_words.h"
#include "words/designation_words.h"
#include "words/gauge_set_table.h"
#include "words/message_words.h"

namespace threadgauge {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

void ZoneDiagramWidget::Show(const GaugeSet* set) {
  set_ = set;
  update();
}

void ZoneDiagramWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  if (set_ != nullptr) PaintZoneDiagram(painter, QRectF(rect()).adjusted(8, 8, -8, -4), *set_);
}

GaugeSetDialog::GaugeSetDialog(DatabaseNow database, GaugeSet set, std::string length_range,
                               QWidget* parent)
    : QDialog(parent), database_(std::move(database)), length_range_(std::move(length_range)) {
  setObjectName("GaugeSetDialog");
  setWindowTitle(QStringLiteral("本螺纹全套量规"));
  auto* layout = new QVBoxLayout(this);
  BuildDesignationRow(*layout);
  BuildSheet(*layout);
  BuildButtons(*layout);
  FitToScreen(this, QSize(1100, 820));
  designation_->setText(Q(set.designation));
  Show(std::move(set));
}

// The designation typed, its length, and 计算.
void GaugeSetDialog::BuildDesignationRow(QVBoxLayout& layout) {
  auto* top = new QHBoxLayout;
  top->addWidget(new QLabel(QStringLiteral("螺纹标记："), this));
  designation_ = new QLineEdit(this);
  designation_->setObjectName("Designation");
  designation_->setPlaceholderText(QStringLiteral("例如 M10×1.5-6H 或 M12-6g"));
  top->addWidget(designation_, 1);
  top->addWidget(new QLabel(QStringLiteral("螺纹部分长度："), this));
  // The dialog's own length, so another designation need not go back to the window.
  length_ = new QComboBox(this);
  length_->setObjectName("Length");
  length_->addItem(QString());
  for (const char* range : kLengthRanges) length_->addItem(QString::fromUtf8(range));
  length_->setCurrentText(Q(length_range_));
  top->addWidget(length_);
  QPushButton* compute = DialogButton("Compute", "计算", this);
  top->addWidget(compute);
  layout.addLayout(top);
  connect(compute, &QPushButton::clicked, this, [this] { ShowDesignation(designation_->text()); });
}

void GaugeSetDialog::BuildSheet(QVBoxLayout& layout) {
  // The sheet scrolls inside the dialog, so its buttons stay on small screens.
  auto* sheet = new QWidget(this);
  auto* sheet_layout = new QVBoxLayout(sheet);
  sheet_layout->setContentsMargins(0, 0, 0, 0);
  auto* scroll = new QScrollArea(this);
  scroll->setObjectName("SheetScroll");
  scroll->setWidget(sheet);
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  layout.addWidget(scroll, 1);
  heading_ = new QLabel(sheet);
  heading_->setObjectName("Heading");
  heading_->setWordWrap(true);
  sheet_layout->addWidget(heading_);
  table_ = new QTableWidget(sheet);
  table_->setObjectName("GaugeTable");
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  sheet_layout->addWidget(table_, 2);
  notices_ = new QLabel(sheet);
  notices_->setObjectName("SetNotices");
  notices_->setWordWrap(true);
  notices_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  sheet_layout->addWidget(notices_);
  diagram_ = new ZoneDiagramWidget(sheet);
  diagram_->setObjectName("ZoneDiagram");
  diagram_->setMinimumHeight(300);
  sheet_layout->addWidget(diagram_, 3);
}

void GaugeSetDialog::BuildButtons(QVBoxLayout& layout) {
  auto* bottom = new QHBoxLayout;
  status_ = new QLabel(this);
  status_->setObjectName("SetStatus");
  status_->setWordWrap(true);
  bottom->addWidget(status_, 1);
  QPushButton* print = DialogButton("Print", "打印…", this);
  QPushButton* pdf = DialogButton("SavePdf", "保存 PDF…", this);
  QPushButton* csv = DialogButton("SaveCsv", "保存 CSV…", this);
  QPushButton* copy = DialogButton("CopyTable", "复制表格", this);
  QPushButton* enrol = DialogButton("RegisterSet", "登记这些量规…", this);
  QPushButton* close = DialogButton("Close", "关闭", this);
  for (QPushButton* button : {print, pdf, csv, copy, enrol, close}) bottom->addWidget(button);
  layout.addLayout(bottom);
  sheet_buttons_ = {print, pdf, csv, copy, enrol};
  connect(enrol, &QPushButton::clicked, this, &GaugeSetDialog::AskRegister);

  connect(designation_, &QLineEdit::returnPressed, this,
          [this] { ShowDesignation(designation_->text()); });
  connect(length_, &QComboBox::currentTextChanged, this, [this](const QString& range) {
    length_range_ = range.toStdString();
    if (!set_.rows.empty()) ShowDesignation(designation_->text());
  });
  connect(print, &QPushButton::clicked, this, &GaugeSetDialog::Print);
  connect(pdf, &QPushButton::clicked, this, [this] { AskSave(true); });
  connect(csv, &QPushButton::clicked, this, [this] { AskSave(false); });
  connect(copy, &QPushButton::clicked, this, &GaugeSetDialog::CopyTable);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

void GaugeSetDialog::AskRegister() {
  if (!register_) return;
  auto opened = OpenRegisterFor(this, *register_, true);
  if (!opened) return;
  const std::string prefix =
      "TG-" + std::to_string(static_cast<int>(register_->today().year())) + "-";
  bool ok = false;
  const QString typed = QInputDialog::getText(
      this, QStringLiteral("登记这些量规"),
      QStringLiteral("%1 的 %2 件量规登记到量规台账。编号为前缀加顺序号（接着已有的编号）；前缀：")
          .arg(Q(set_.designation))
          .arg(set_.rows.size()),
      QLineEdit::Normal, Q(prefix), &ok);
  if (!ok) return;
  if (auto failed = RegisterGauges(*opened, typed.trimmed().toStdString())) {
    QMessageBox::warning(this, windowTitle(), Q(*failed));
  }
}

std::optional<std::string> GaugeSetDialog::RegisterGauges(GaugeRegister& gauges,
                                                          const std::string& prefix) {
  // Numbers go on from the highest one the register has with this prefix.
  int next = 1;
  for (const GaugeEntry& gauge : gauges.Gauges()) {
    if (gauge.number.rfind(prefix, 0) != 0) continue;
    const std::string rest = gauge.number.substr(prefix.size());
    if (!rest.empty() && rest.find_first_not_of("0123456789") == std::string::npos &&
        rest.size() < 9) {
      next = std::max(next, std::stoi(rest) + 1);
    }
  }
  std::vector<GaugeEntry> entries;
  for (const GaugeSetRow& row : set_.rows) {
    GaugeEntry entry;
    char sequence[16];
    std::snprintf(sequence, sizeof sequence, "%02d", next++);
    entry.number = prefix + sequence;
    entry.thread = set_.designation;
    entry.kind = row.gauge;
    entry.length = length_range_;
    if (auto wrong = NormaliseEntry(entry, register_->today())) return Say(*wrong);
    entries.push_back(std::move(entry));
  }
  if (auto failed = gauges.AddAll(entries)) return Say(failed->message);
  status_->setText(QStringLiteral("已登记 %1 件量规：%2 至 %3")
                       .arg(entries.size())
                       .arg(Q(entries.front().number), Q(entries.back().number)));
  return std::nullopt;
}

void GaugeSetDialog::Refuse(const QString& message) {
  // Nothing of the previous thread may stay up under a designation it does not belong to.
  set_ = GaugeSet{};
  table_->clear();
  table_->setRowCount(0);
  table_->setColumnCount(0);
  notices_->clear();
  notices_->setVisible(false);
  diagram_->Show(nullptr);
  heading_->setText(
      QStringLiteral("<span style=\"color:#b00000\">%1</span>").arg(message.toHtmlEscaped()));
  for (QPushButton* button : sheet_buttons_) button->setEnabled(false);
  status_->clear();
}

void GaugeSetDialog::Show(GaugeSet set) {
  set_ = std::move(set);
  for (QPushButton* button : sheet_buttons_) button->setEnabled(true);
  heading_->setText(
      QStringLiteral("%1　　螺纹部分长度：%2　　%3")
          .arg(Q(set_.designation),
               set_.length_range.empty() ? QStringLiteral("（未选）") : Q(set_.length_range),
               Q(DescribeDatabase(set_.database, set_.database_code_page))));
  const std::vector<std::string> columns = GaugeSetColumns();
  const auto cells = GaugeSetCells(set_);
  table_->clear();
  table_->setColumnCount(static_cast<int>(columns.size()));
  table_->setRowCount(static_cast<int>(cells.size()));
  for (size_t c = 0; c < columns.size(); ++c) {
    table_->setHorizontalHeaderItem(static_cast<int>(c), new QTableWidgetItem(Q(columns[c])));
  }
  for (size_t r = 0; r < cells.size(); ++r) {
    for (size_t c = 0; c < cells[r].size(); ++c) {
      table_->setItem(static_cast<int>(r), static_cast<int>(c),
                      new QTableWidgetItem(Q(cells[r][c])));
    }
  }
  // Tall enough for every gauge of the set without scrolling.
  table_->setMinimumHeight(table_->horizontalHeader()->sizeHint().height() +
                           table_->verticalHeader()->length() + 2 * table_->frameWidth() + 2);
  QStringList notices;
  for (const Notice& notice : set_.notices)
    notices << QStringLiteral("· ") + Q(DescribeNotice(notice));
  notices_->setText(notices.join(QLatin1Char('\n')));
  notices_->setVisible(!notices.isEmpty());
  diagram_->Show(&set_);
}

bool GaugeSetDialog::ShowDesignation(const QString& text) {
  auto calculated = GaugeSetFromDesignation(text.toStdString(), length_range_, database_());
  if (const auto* refusal = std::get_if<GaugeSetRefusal>(&calculated)) {
    if (const auto* no_class = std::get_if<NoClassInDesignation>(refusal)) {
      Refuse(QStringLiteral("标记中没有公差带，全套量规需要它；请写出公差带，例如 ") +
             Q(no_class->thread) + QStringLiteral("-6H 或 ") + Q(no_class->thread) +
             QStringLiteral("-6g"));
    } else if (const auto* error = std::get_if<DesignationError>(refusal)) {
      Refuse(Q(DescribeDesignationError(*error)));
    } else {
      Refuse(Q(DescribeRejection(std::get<Rejection>(*refusal))));
    }
    return false;
  }
  status_->clear();
  Show(std::get<DesignatedGaugeSet>(std::move(calculated)).set);
  return true;
}

std::optional<std::string> GaugeSetDialog::SaveCsv(const std::filesystem::path& file) const {
  std::ofstream out(file, std::ios::binary);
  out << GaugeSetCsv(set_);
  out.close();
  if (!out) return Say({MessageCode::FileUnwritable, {Utf8(file)}});
  return std::nullopt;
}

std::optional<std::string> GaugeSetDialog::SavePdf(const std::filesystem::path& file) const {
  return WriteSheetPdf(set_, file, QDate::currentDate());
}

void GaugeSetDialog::CopyTable() const {
  QApplication::clipboard()->setText(Q(GaugeSetTabSeparated(set_)));
  status_->setText(QStringLiteral("表格已复制，可粘贴到电子表格中。"));
}

void GaugeSetDialog::AskSave(bool pdf) {
  const QString suggested =
      Q(set_.designation) + (pdf ? QStringLiteral(".pdf") : QStringLiteral(".csv"));
  const QString chosen = QFileDialog::getSaveFileName(
      this, pdf ? QStringLiteral("保存 PDF") : QStringLiteral("保存 CSV"), suggested,
      pdf ? QStringLiteral("PDF 文件 (*.pdf)") : QStringLiteral("CSV 文件 (*.csv)"));
  if (chosen.isEmpty()) return;
  const std::filesystem::path file(chosen.toStdU16String());
  const auto error = pdf ? SavePdf(file) : SaveCsv(file);
  status_->setText(error ? Q(*error) : QStringLiteral("已保存 ") + chosen);
}

void GaugeSetDialog::Print() {
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageOrientation(QPageLayout::Landscape);
  printer.setPageSize(QPageSize(QPageSize::A4));
  QPrintPreviewDialog preview(&printer, this);
  preview.setObjectName("PrintPreview");
  connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* target) {
    QPainter painter(target);
    const QRectF page = target->pageLayout().paintRectPixels(target->resolution());
    PaintSheet(painter, QRectF(QPointF(0, 0), page.size()), set_, QDate::currentDate());
  });
  preview.exec();
}

}  // namespace threadgauge
