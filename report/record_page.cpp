#include "report/record_page.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include "report/fonts.h"
#include "tolerance/number_text.h"
#include "tolerance/utf8.h"

namespace threadgauge {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

std::string OrDash(const std::string& text) { return text.empty() ? "—" : text; }

// Draws down the page, one block after the other.
class PageWriter {
 public:
  PageWriter(QPainter& painter, const QRectF& page) : p_(painter), page_(page), y_(page.top()) {}

  void Title(const QString& left, const QString& right) {
    p_.setFont(PaperFont(15, true));
    const double h = QFontMetricsF(p_.font()).height();
    p_.drawText(QRectF(page_.left(), y_, page_.width(), h), Qt::AlignHCenter, left);
    p_.setFont(PaperFont(9));
    p_.drawText(QRectF(page_.left(), y_ + h, page_.width(), h), Qt::AlignRight, right);
    y_ += h * 2.2;
  }

  // Rows of label–value pairs, two pairs to a row, in a ruled table.
  void Pairs(const std::vector<std::pair<std::string, std::string>>& pairs) {
    p_.setFont(PaperFont(9));
    const double h = QFontMetricsF(p_.font()).height() * 1.6;
    const double label = page_.width() * 0.14, value = page_.width() * 0.36;
    for (size_t i = 0; i < pairs.size(); i += 2) {
      double x = page_.left();
      for (size_t j = i; j < std::min(i + 2, pairs.size()); ++j) {
        Cell(QRectF(x, y_, label, h), Q(pairs[j].first), true);
        Cell(QRectF(x + label, y_, value, h), Q(pairs[j].second), false);
        x += label + value;
      }
      if (i + 1 == pairs.size()) Cell(QRectF(x, y_, label + value, h), QString(), false);
      y_ += h;
    }
    y_ += h * 0.4;
  }

  // A ruled table: a heading row in bold, column widths in proportion to `shares`.
  void Table(const std::vector<std::string>& headings, const std::vector<double>& shares,
             const std::vector<std::vector<std::string>>& rows) {
    p_.setFont(PaperFont(9));
    const double h = QFontMetricsF(p_.font()).height() * 1.6;
    double total = 0;
    for (double share : shares) total += share;
    std::vector<std::vector<std::string>> all = rows;
    all.insert(all.begin(), headings);
    for (size_t r = 0; r < all.size(); ++r) {
      double x = page_.left();
      for (size_t c = 0; c < headings.size(); ++c) {
        const double w = page_.width() * shares[c] / total;
        Cell(QRectF(x, y_, w, h), Q(c < all[r].size() ? all[r][c] : ""), r == 0);
        x += w;
      }
      y_ += h;
    }
    y_ += h * 0.4;
  }

  void Paragraph(const std::string& text, double points = 9, bool bold = false) {
    p_.setFont(PaperFont(points, bold));
    const QRectF box = p_.boundingRect(QRectF(page_.left(), y_, page_.width(), page_.height()),
                                       Qt::TextWordWrap, Q(text));
    p_.drawText(box, Qt::TextWordWrap, Q(text));
    y_ = box.bottom() + QFontMetricsF(p_.font()).height() * 0.3;
  }

  void Space(double lines) { y_ += QFontMetricsF(PaperFont(9)).height() * lines; }

  void Signatures() {
    p_.setFont(PaperFont(10));
    const double h = QFontMetricsF(p_.font()).height();
    const double y = std::max(y_ + h * 2, page_.bottom() - h * 4);
    const double w = page_.width() / 3;
    const QStringList names = {QStringLiteral("检定员："), QStringLiteral("核验员："),
                               QStringLiteral("批准：")};
    for (int i = 0; i < names.size(); ++i) {
      const double x = page_.left() + w * i;
      p_.drawText(QPointF(x, y), names[i]);
      p_.drawLine(QPointF(x + w * 0.32, y + 2), QPointF(x + w * 0.92, y + 2));
    }
    y_ = y + h;
  }

 private:
  void Cell(const QRectF& cell, const QString& text, bool bold) {
    p_.setPen(QPen(Qt::black, 0.5));
    p_.drawRect(cell);
    QFont font = p_.font();
    font.setBold(bold);
    p_.setFont(font);
    p_.drawText(cell.adjusted(4, 0, -4, 0), Qt::AlignVCenter | Qt::AlignLeft, text);
    font.setBold(false);
    p_.setFont(font);
  }

  QPainter& p_;
  QRectF page_;
  double y_;
};

std::string LimitText(const std::optional<double>& mm) {
  return mm ? Millimetres(*mm) + " mm" : "未知";
}

}  // namespace

void PaintRecord(QPainter& painter, const QRectF& page, const RecordPage& content) {
  const InspectionRecord& r = content.record;
  const GaugeEntry& g = content.gauge;
  painter.save();
  PageWriter w(painter, page);
  std::string number = "记录号 " + std::to_string(r.id);
  if (r.replaces) number += "（更正记录 " + std::to_string(*r.replaces) + "）";
  if (r.replaced_by) number += "（已被记录 " + std::to_string(*r.replaced_by) + " 更正）";
  w.Title(QStringLiteral("螺纹量规检定记录"), Q(number));

  const bool wires = r.method == InspectionMethod::Wires;
  std::string instrument = "校对螺纹塞规";
  if (r.method != InspectionMethod::CheckPlugs) {
    instrument = std::string(wires ? "三针 dD = " : "钢球 dB = ") + PlainDecimal(*r.element) +
                 " mm" + (r.element_certificate.empty() ? "" : "，证书 " + r.element_certificate);
  }
  w.Pairs({{"量规编号", r.gauge_number},
           {"螺纹", r.thread},
           {"量规名称", r.kind},
           {"螺纹部分长度", OrDash(r.length)},
           {"制造厂", OrDash(g.maker)},
           {"出厂编号", OrDash(g.serial)},
           {"使用部门", OrDash(g.department)},
           {"保管人", OrDash(g.keeper)},
           {"检定日期", r.date},
           {"检定员", OrDash(r.inspector)},
           {"温度", PlainDecimal(r.temperature) + " ℃"},
           {"测量器具", instrument}});
  w.Paragraph("公差数据库：" + r.database_file + "（内容校验 " + r.database_hash + "）", 8);
  w.Paragraph("新制中径：" +
              (r.limit_low && r.limit_high
                   ? Millimetres(*r.limit_low) + " … " + Millimetres(*r.limit_high) + " mm"
                   : std::string("未知")) +
              "　　磨损极限：" + (r.has_wear_limit ? LimitText(r.wear_limit) : "无（校对塞规）"));
  w.Space(0.3);

  if (r.method != InspectionMethod::CheckPlugs) {
    const GaugeLimits limits = LimitsOfRecord(r);
    std::vector<std::vector<std::string>> rows;
    for (size_t i = 0; i < r.readings.size(); ++i) {
      const Verdict one = Judge(limits, r.readings[i].pitch_diameter, r.uncertainty);
      rows.push_back({std::to_string(i + 1), PlainDecimal(r.readings[i].value),
                      Millimetres(r.readings[i].pitch_diameter),
                      VerdictLine(VerdictKey(one.code), one.text, one.margin_um)});
    }
    w.Table({"序号", wires ? "M 读数 (mm)" : "E 读数 (mm)", "实际中径 (mm)", "判定"},
            {0.5, 1.2, 1.2, 3.6}, rows);
  } else {
    std::vector<std::vector<std::string>> rows;
    for (const CheckPlugResult& check : r.checks) {
      rows.push_back({check.plug, check.passed ? "通过" : "不通过"});
    }
    w.Table({"校对塞规", "结果"}, {2, 1}, rows);
  }
  if (r.major) w.Paragraph("实测大径：" + Millimetres(*r.major) + " mm");
  w.Paragraph("结论：" + VerdictLine(r.verdict, r.verdict_text, r.margin_um), 11, true);
  for (const std::string& remark : RecordRemarks(r)) w.Paragraph(remark, 8.5);
  if (content.trend) {
    const GaugeTrend& t = *content.trend;
    w.Paragraph("磨损趋势（" + std::to_string(t.records) + " 次检定，最小二乘）：中径每月 " +
                    Micrometres(t.fit.um_per_month) + "；" +
                    (t.reaches_limit ? "预计 " + DayText(*t.reaches_limit) + " 达到磨损极限"
                                     : std::string("按此趋势不会达到磨损极限")),
                8.5);
  }
  if (const auto day = ParseDay(r.date)) {
    w.Paragraph("下次检定日期：" + DayText(AddMonths(*day, g.interval_months)) + "（检定周期 " +
                std::to_string(g.interval_months) + " 个月）");
  }
  if (!r.notes.empty()) w.Paragraph("备注：" + r.notes);
  w.Signatures();
  w.Paragraph("本记录由 圆柱螺纹量规 " + r.program_version + " 于 " + r.created +
                  " 存入量规台账，存入后不再改动；更正须新建记录。",
              7.5);
  painter.restore();
}

std::optional<std::string> WriteRecordPdf(const RecordPage& content,
                                          const std::filesystem::path& file) {
  const QString name = QString::fromStdU16String(file.u16string());
  QPdfWriter pdf(name);
  pdf.setTitle(QStringLiteral("螺纹量规检定记录 ") + Q(content.record.gauge_number));
  pdf.setCreator(QStringLiteral("圆柱螺纹量规"));
  pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                QMarginsF(18, 15, 15, 15), QPageLayout::Millimeter));
  pdf.setResolution(300);
  QPainter painter;
  if (!painter.begin(&pdf)) return "无法写入 " + Utf8(file);
  const QRect area = pdf.pageLayout().paintRectPixels(pdf.resolution());
  PaintRecord(painter, QRectF(area.translated(-area.topLeft())), content);
  if (!painter.end()) return "无法写入 " + Utf8(file);
  return std::nullopt;
}

}  // namespace threadgauge
