#include "report/sheet_page.h"

#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cmath>

#include "platform/number_text.h"
#include "platform/utf8.h"
#include "report/fonts.h"
#include "words/calculation_words.h"
#include "words/file_words.h"
#include "words/gauge_set_table.h"
#include "words/message_words.h"

namespace threadgauge {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

// "+12.3" / "−4" in µm, to one decimal where the value has one.
QString Micrometres(double value) {
  const double rounded = std::round(value * 10) / 10;
  const QString number = Q(PlainDecimal(std::fabs(rounded)));
  return (rounded > 0   ? QStringLiteral("+")
          : rounded < 0 ? QStringLiteral("−")
                        : QString()) +
         number;
}

QString Limits(const Zone& zone) {
  if (!zone.lower || !zone.upper) return QStringLiteral("未知");
  return Micrometres(*zone.lower) + QStringLiteral(" … ") + Micrometres(*zone.upper);
}

// A tick spacing of 1, 2 or 5 × 10ⁿ µm giving about eight ticks.
double TickStep(double span) {
  const double raw = span / 8;
  const double power = std::pow(10, std::floor(std::log10(raw)));
  for (double factor : {1.0, 2.0, 5.0, 10.0}) {
    if (raw <= factor * power) return factor * power;
  }
  return 10 * power;
}

struct Scale {
  double top_value, bottom_value;
  QRectF plot;
  double Y(double value) const {
    return plot.top() + (top_value - value) / (top_value - bottom_value) * plot.height();
  }
};

void DrawUnknown(QPainter& p, const QRectF& column, const QString& text) {
  p.save();
  p.setPen(QPen(Qt::gray, 0.8, Qt::DashLine));
  p.setBrush(Qt::NoBrush);
  p.drawRect(column);
  p.drawText(column, Qt::AlignCenter | Qt::TextWordWrap, text);
  p.restore();
}

// The µm range the diagram spans: every zone and wear limit, the zero line, and a margin.
std::pair<double, double> DiagramRange(const ZoneDiagram& z) {
  std::vector<double> values = {0};
  const auto add = [&](const std::optional<double>& v) {
    if (v) values.push_back(*v);
  };
  add(z.thread.lower);
  add(z.thread.upper);
  for (const auto& gauge : z.gauges) {
    add(gauge.zone.lower);
    add(gauge.zone.upper);
    add(gauge.wear);
  }
  double low = *std::min_element(values.begin(), values.end());
  double high = *std::max_element(values.begin(), values.end());
  const double pad = std::max(5.0, (high - low) * 0.1);
  low -= pad;
  high += pad;
  return {low, high};
}

// The µm axis from the basic pitch diameter, its caption, and the zero line.
void DrawAxis(QPainter& p, const QRectF& area, const Scale& scale, const ZoneDiagram& z, double low,
              double high) {
  const QFontMetricsF metrics(p.font());
  // Axis in µm from d2, with the basic pitch diameter as the zero line.
  p.setPen(QPen(Qt::black, 0.6));
  p.drawLine(QPointF(scale.plot.left(), scale.plot.top()),
             QPointF(scale.plot.left(), scale.plot.bottom()));
  const double step = TickStep(high - low);
  for (double tick = std::ceil(low / step) * step; tick <= high; tick += step) {
    const double y = scale.Y(tick);
    p.drawLine(QPointF(scale.plot.left() - 3, y), QPointF(scale.plot.left(), y));
    p.drawText(QRectF(area.left(), y - metrics.height() / 2, scale.plot.left() - area.left() - 5,
                      metrics.height()),
               Qt::AlignRight | Qt::AlignVCenter, Micrometres(tick));
  }
  p.drawText(QRectF(area.left(), area.top(), area.width(), metrics.height()),
             Qt::AlignLeft | Qt::AlignTop,
             QStringLiteral("中径公差带（µm，自基本中径 %1 = %2 mm 起）")
                 .arg(z.internal ? QStringLiteral("D2") : QStringLiteral("d2"),
                      Q(PlainDecimal(std::round(z.d2 * 100000) / 100000))));
  p.setPen(QPen(Qt::black, 0.8, Qt::DashDotLine));
  p.drawLine(QPointF(scale.plot.left(), scale.Y(0)), QPointF(scale.plot.right(), scale.Y(0)));
}

}  // namespace

void PaintZoneDiagram(QPainter& p, const QRectF& area, const GaugeSet& set) {
  const ZoneDiagram& z = set.diagram;
  auto [low, high] = DiagramRange(z);

  p.save();
  // 9 pt: legible on screen and on paper.
  p.setFont(PaperFont(9));
  const QFontMetricsF metrics(p.font());
  const double label_height = metrics.height() * 3.2;
  const QRectF plot(area.left() + metrics.horizontalAdvance(QStringLiteral("−0000 µm")) + 6,
                    area.top() + metrics.height() * 1.5, 0, 0);
  Scale scale{high, low,
              QRectF(plot.topLeft(), QPointF(area.right(), area.bottom() - label_height))};

  DrawAxis(p, area, scale, z, low, high);

  const size_t columns = z.gauges.size() + 1;
  const double width = scale.plot.width() / static_cast<double>(columns);
  const auto column_at = [&](size_t i) {
    return QRectF(scale.plot.left() + width * static_cast<double>(i) + width * 0.2,
                  scale.plot.top(), width * 0.6, scale.plot.height());
  };
  const auto draw_zone = [&](size_t i, const Zone& zone, const QBrush& brush, const QString& name) {
    const QRectF column = column_at(i);
    QRectF label(scale.plot.left() + width * static_cast<double>(i), scale.plot.bottom() + 2, width,
                 label_height);
    p.setPen(Qt::black);
    p.drawText(label, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap,
               name + QStringLiteral("\n") + Limits(zone));
    if (!zone.lower || !zone.upper) {
      DrawUnknown(p, column, QStringLiteral("未知"));
      return;
    }
    const QRectF box(QPointF(column.left(), scale.Y(*zone.upper)),
                     QPointF(column.right(), scale.Y(*zone.lower)));
    p.setPen(QPen(Qt::black, 0.6));
    p.setBrush(brush);
    p.drawRect(box.height() < 1 ? box.adjusted(0, -0.5, 0, 0.5) : box);
    p.setBrush(Qt::NoBrush);
  };

  draw_zone(0, z.thread, QBrush(QColor(180, 200, 255), Qt::BDiagPattern),
            z.internal ? QStringLiteral("内螺纹 TD2") : QStringLiteral("外螺纹 Td2"));
  for (size_t i = 0; i < z.gauges.size(); ++i) {
    const auto& gauge = z.gauges[i];
    draw_zone(i + 1, gauge.zone, QBrush(QColor(255, 200, 120)), Q(gauge.gauge));
    if (!gauge.wear_known) continue;
    const QRectF column = column_at(i + 1);
    if (!gauge.wear) {
      DrawUnknown(p, QRectF(column.left(), scale.plot.top(), column.width(), metrics.height() * 2),
                  QStringLiteral("磨损极限未知"));
      continue;
    }
    const double y = scale.Y(*gauge.wear);
    p.setPen(QPen(QColor(200, 0, 0), 1.0, Qt::DashLine));
    p.drawLine(QPointF(column.left() - width * 0.15, y), QPointF(column.right() + width * 0.15, y));
    p.drawText(
        QRectF(column.left() - width * 0.2, y - metrics.height() - 1, width, metrics.height()),
        Qt::AlignLeft | Qt::AlignBottom, QStringLiteral("磨损 ") + Micrometres(*gauge.wear));
  }
  p.restore();
}

void PaintSheet(QPainter& p, const QRectF& page, const GaugeSet& set, const QDate& date) {
  p.save();
  double y = page.top();
  p.setFont(PaperFont(13, true));
  const double title_height = QFontMetricsF(p.font()).height();
  p.drawText(QRectF(page.left(), y, page.width(), title_height), Qt::AlignLeft,
             QStringLiteral("螺纹量规全套工作尺寸　%1").arg(Q(set.designation)));
  y += title_height * 1.3;
  p.setFont(PaperFont(8.5));
  const double line = QFontMetricsF(p.font()).height();
  QString database = Q(Utf8(set.database));
  if (set.database_code_page && !DescribeCodePage(*set.database_code_page).empty()) {
    database +=
        QStringLiteral("（") + Q(DescribeCodePage(*set.database_code_page)) + QStringLiteral("）");
  }
  const QString header =
      QStringLiteral("螺纹部分长度：%1　　日期：%2　　公差数据库：%3")
          .arg(set.length_range.empty() ? QStringLiteral("（未选）") : Q(set.length_range),
               date.toString(Qt::ISODate), database);
  const QRectF header_box =
      p.boundingRect(QRectF(page.left(), y, page.width(), line * 3), Qt::TextWordWrap, header);
  p.drawText(header_box, Qt::TextWordWrap, header);
  y = header_box.bottom() + line * 0.6;

  // The table, columns in proportion to what they hold.
  const std::vector<std::string> headings = GaugeSetColumns();
  const std::vector<double> shares = {1.35, 1.5, 1.5, 1.5, 1.1, 0.8, 1.0, 0.8};
  double total = 0;
  for (double share : shares) total += share;
  const double row_height = line * 1.45;
  std::vector<std::vector<std::string>> rows = GaugeSetCells(set);
  rows.insert(rows.begin(), headings);
  for (size_t r = 0; r < rows.size(); ++r) {
    double x = page.left();
    p.setFont(PaperFont(8.5, r == 0));
    for (size_t c = 0; c < headings.size(); ++c) {
      const double w = page.width() * shares[c] / total;
      const QRectF cell(x, y, w, row_height);
      p.setPen(QPen(Qt::black, 0.5));
      p.drawRect(cell);
      p.drawText(cell.adjusted(3, 0, -3, 0), Qt::AlignVCenter | Qt::AlignLeft, Q(rows[r][c]));
      x += w;
    }
    y += row_height;
  }
  y += line * 0.5;
  p.setFont(PaperFont(8));
  for (const Notice& notice : set.notices) {
    const QString text = QStringLiteral("· ") + Q(DescribeNotice(notice));
    const QRectF box =
        p.boundingRect(QRectF(page.left(), y, page.width(), line * 4), Qt::TextWordWrap, text);
    p.drawText(box, Qt::TextWordWrap, text);
    y = box.bottom();
  }
  y += line * 0.8;
  if (page.bottom() - y > line * 8)
    PaintZoneDiagram(p, QRectF(page.left(), y, page.width(), page.bottom() - y), set);
  p.restore();
}

std::optional<std::string> WriteSheetPdf(const GaugeSet& set, const std::filesystem::path& file,
                                         const QDate& date) {
  const QString name = QString::fromStdU16String(file.u16string());
  QPdfWriter pdf(name);
  pdf.setTitle(QStringLiteral("螺纹量规全套工作尺寸 ") + Q(set.designation));
  pdf.setCreator(QStringLiteral("圆柱螺纹量规"));
  pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter));
  pdf.setResolution(300);
  QPainter painter;
  if (!painter.begin(&pdf)) return Say({MessageCode::FileUnwritable, {Utf8(file)}});
  PaintSheet(painter,
             QRectF(pdf.pageLayout()
                        .paintRectPixels(pdf.resolution())
                        .translated(-pdf.pageLayout().paintRectPixels(pdf.resolution()).topLeft())),
             set, date);
  if (!painter.end()) return Say({MessageCode::FileUnwritable, {Utf8(file)}});
  return std::nullopt;
}

}  // namespace threadgauge
