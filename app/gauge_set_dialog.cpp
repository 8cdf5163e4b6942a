#include "gauge_set_dialog.h"

#include <QApplication>
#include <QClipboard>
#include <QDate>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <fstream>

#include "calculation/designation.h"
#include "dialog_button.h"
#include "sheet/sheet_page.h"
#include "tolerance/number_text.h"
#include "tolerance/tolerance_database.h"
#include "tolerance/utf8.h"

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

  auto* top = new QHBoxLayout;
  top->addWidget(new QLabel(QStringLiteral("螺纹标记："), this));
  designation_ = new QLineEdit(this);
  designation_->setObjectName("Designation");
  designation_->setPlaceholderText(QStringLiteral("例如 M10×1.5-6H 或 M12-6g"));
  top->addWidget(designation_, 1);
  QPushButton* compute = DialogButton("Compute", "计算", this);
  top->addWidget(compute);
  layout->addLayout(top);

  heading_ = new QLabel(this);
  heading_->setObjectName("Heading");
  heading_->setWordWrap(true);
  layout->addWidget(heading_);
  table_ = new QTableWidget(this);
  table_->setObjectName("GaugeTable");
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  layout->addWidget(table_, 2);
  notices_ = new QLabel(this);
  notices_->setObjectName("SetNotices");
  notices_->setWordWrap(true);
  notices_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(notices_);
  diagram_ = new ZoneDiagramWidget(this);
  diagram_->setObjectName("ZoneDiagram");
  diagram_->setMinimumHeight(260);
  layout->addWidget(diagram_, 3);

  auto* bottom = new QHBoxLayout;
  status_ = new QLabel(this);
  status_->setObjectName("SetStatus");
  status_->setWordWrap(true);
  bottom->addWidget(status_, 1);
  QPushButton* print = DialogButton("Print", "打印…", this);
  QPushButton* pdf = DialogButton("SavePdf", "保存 PDF…", this);
  QPushButton* csv = DialogButton("SaveCsv", "保存 CSV…", this);
  QPushButton* copy = DialogButton("CopyTable", "复制表格", this);
  QPushButton* close = DialogButton("Close", "关闭", this);
  for (QPushButton* button : {print, pdf, csv, copy, close}) bottom->addWidget(button);
  layout->addLayout(bottom);

  connect(compute, &QPushButton::clicked, this, [this] { ShowDesignation(designation_->text()); });
  connect(designation_, &QLineEdit::returnPressed, this,
          [this] { ShowDesignation(designation_->text()); });
  connect(print, &QPushButton::clicked, this, &GaugeSetDialog::Print);
  connect(pdf, &QPushButton::clicked, this, [this] { AskSave(true); });
  connect(csv, &QPushButton::clicked, this, [this] { AskSave(false); });
  connect(copy, &QPushButton::clicked, this, &GaugeSetDialog::CopyTable);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  resize(1100, 820);
  designation_->setText(Q(set.designation));
  Show(std::move(set));
}

void GaugeSetDialog::Show(GaugeSet set) {
  set_ = std::move(set);
  heading_->setText(
      QStringLiteral("%1　　螺纹部分长度：%2　　%3")
          .arg(Q(set_.designation),
               set_.length_range.empty() ? QStringLiteral("（未选）") : Q(set_.length_range),
               Q(DescribeDatabase(set_.database, set_.database_note))));
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
  const auto parsed = ParseDesignation(text.toStdString());
  if (const auto* error = std::get_if<DesignationError>(&parsed)) {
    status_->setText(Q(error->message));
    return false;
  }
  const Designation& thread = std::get<Designation>(parsed);
  if (!thread.thread_class) {
    status_->setText(QStringLiteral("标记中没有公差带，全套量规需要它；例如 ") + Q(thread.text) +
                     QStringLiteral("-6H"));
    return false;
  }
  GaugeRequest request = RequestFor(thread, nullptr, "", length_range_);
  request.reading_notes = ReadingNotices(thread, text.toStdString());
  auto set = CalculateGaugeSet(request, thread.text, database_());
  if (const auto* rejection = std::get_if<Rejection>(&set)) {
    status_->setText(Q(rejection->message));
    return false;
  }
  status_->clear();
  Show(std::get<GaugeSet>(std::move(set)));
  return true;
}

std::optional<std::string> GaugeSetDialog::SaveCsv(const std::filesystem::path& file) const {
  std::ofstream out(file, std::ios::binary);
  out << GaugeSetCsv(set_);
  out.close();
  if (!out) return "无法写入 " + Utf8(file);
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
