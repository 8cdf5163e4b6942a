#include "report/record_page.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>

#include "platform/number_text.h"
#include "platform/utf8.h"
#include "report/fonts.h"
#include "report/paged_layout.h"
#include "words/message_words.h"

namespace threadgauge {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

std::string OrDash(const std::string& text) { return text.empty() ? "—" : text; }

std::string LimitText(const std::optional<double>& mm) {
  return mm ? Millimetres(*mm) + " mm" : "未知";
}

// Builds the record's blocks, each measured for the page's width with the painter's device.
class Blocks {
 public:
  Blocks(QPainter& painter, double width) : p_(painter), width_(width) {}

  // Ruled rows of label–value pairs, two pairs to a row.
  void Pairs(const std::vector<std::pair<std::string, std::string>>& pairs) {
    const double label = width_ * 0.14, value = width_ * 0.36;
    for (size_t i = 0; i < pairs.size(); i += 2) {
      std::vector<Cell> cells;
      for (size_t j = i; j < i + 2; ++j) {
        const bool real = j < pairs.size();
        cells.push_back({real ? Q(pairs[j].first) : QString(), label, true});
        cells.push_back({real ? Q(pairs[j].second) : QString(), value, false});
      }
      Row(cells);
    }
    Space(0.4);
  }

  // A ruled table: its heading row in bold, repeated above the rows that open a new page.
  void Table(const std::vector<std::string>& headings, const std::vector<double>& shares,
             const std::vector<std::vector<std::string>>& rows) {
    double total = 0;
    for (double share : shares) total += share;
    const auto cells_of = [&](const std::vector<std::string>& texts, bool bold) {
      std::vector<Cell> cells;
      for (size_t c = 0; c < headings.size(); ++c) {
        cells.push_back({Q(c < texts.size() ? texts[c] : ""), width_ * shares[c] / total, bold});
      }
      return cells;
    };
    const size_t heading = blocks_.size();
    Row(cells_of(headings, true));
    for (const auto& row : rows) {
      Row(cells_of(row, false));
      blocks_.back().heading = heading;
    }
    Space(0.4);
  }

  void Paragraph(const std::string& text, double points = 9, bool bold = false) {
    const QFont font = PaperFont(points, bold);
    const QFontMetricsF metrics(font, p_.device());
    const QString q = Q(text);
    const double height =
        metrics.boundingRect(QRectF(0, 0, width_, 1e6), Qt::TextWordWrap, q).height() +
        metrics.height() * 0.3;
    Add(height, [font, q](QPainter& p, const QRectF& at) {
      p.setFont(font);
      p.drawText(at, Qt::TextWordWrap, q);
    });
  }

  void Space(double lines) {
    Add(QFontMetricsF(PaperFont(9), p_.device()).height() * lines, [](QPainter&, const QRectF&) {});
  }

  void Signatures() {
    const QFont font = PaperFont(10);
    const double h = QFontMetricsF(font, p_.device()).height();
    Add(h * 4, [font, h](QPainter& p, const QRectF& at) {
      p.setFont(font);
      const double w = at.width() / 3, y = at.top() + h * 2.5;
      const QStringList names = {QStringLiteral("检定员："), QStringLiteral("核验员："),
                                 QStringLiteral("批准：")};
      for (int i = 0; i < names.size(); ++i) {
        const double x = at.left() + w * i;
        p.drawText(QPointF(x, y), names[i]);
        p.drawLine(QPointF(x + w * 0.32, y + 2), QPointF(x + w * 0.92, y + 2));
      }
    });
  }

  // From the next block on, everything stays on one page.
  void KeepRestTogether() { keep_next_ = true; }

  std::vector<PageBlock>& blocks() { return blocks_; }

 private:
  struct Cell {
    QString text;
    double width;
    bool bold;
  };

  void Row(const std::vector<Cell>& cells) {
    const QFont base = PaperFont(9);
    const double line = QFontMetricsF(base, p_.device()).height();
    const double pad = line * 0.3;
    std::vector<FittedText> fitted;
    double height = line * 1.6;
    for (const Cell& cell : cells) {
      QFont font = base;
      font.setBold(cell.bold);
      fitted.push_back(FitText(p_, cell.text, font, cell.width - 2 * pad));
      height = std::max(height, fitted.back().height + 2 * pad);
    }
    Add(height, [cells, fitted, pad](QPainter& p, const QRectF& at) {
      double x = at.left();
      p.setPen(QPen(Qt::black, 0.5));
      for (size_t c = 0; c < cells.size(); ++c) {
        const QRectF cell(x, at.top(), cells[c].width, at.height());
        p.drawRect(cell);
        p.setFont(fitted[c].font);
        p.drawText(cell.adjusted(pad, pad, -pad, -pad), fitted[c].flags, fitted[c].text);
        x += cells[c].width;
      }
    });
  }

  void Add(double height, std::function<void(QPainter&, const QRectF&)> draw) {
    blocks_.push_back({height, std::move(draw), std::nullopt, keep_next_});
    keep_next_ = false;
  }

  QPainter& p_;
  double width_;
  std::vector<PageBlock> blocks_;
  bool keep_next_ = false;
};

std::string Instrument(const InspectionRecord& r) {
  if (r.instrument.name.empty() && r.instrument.number.empty()) return "—";
  std::string text = OrDash(r.instrument.name);
  if (!r.instrument.number.empty()) text += "，编号 " + r.instrument.number;
  return text;
}

std::string Certificate(const InspectionRecord& r) {
  std::string text = OrDash(r.instrument.certificate);
  if (!r.instrument.valid_until.empty()) text += "，有效期至 " + r.instrument.valid_until;
  return text;
}

std::string Method(const InspectionRecord& r) {
  std::string text = "校对螺纹塞规";
  if (r.method != InspectionMethod::CheckPlugs) {
    text = std::string(r.method == InspectionMethod::Wires ? "三针 dD = " : "钢球 dB = ") +
           PlainDecimal(r.element.value_or(0)) + " mm" +
           (r.element_certificate.empty() ? "" : "，证书 " + r.element_certificate);
  }
  return r.acceptance ? text + "（新量规验收）" : text;
}

std::string Uncertainty(const InspectionRecord& r) {
  if (!r.uncertainty) return "未给出";
  return Micrometres(*r.uncertainty) +
         (r.coverage_k ? "（k = " + PlainDecimal(*r.coverage_k) + "）" : "（k 未注明）");
}

std::string AppliedLimits(const InspectionRecord& r) {
  std::string text = "所用极限：新制中径 " +
                     (r.limit_low && r.limit_high
                          ? Millimetres(*r.limit_low) + " … " + Millimetres(*r.limit_high) + " mm"
                          : std::string("未知"));
  if (!r.has_wear_limit) return text + "；磨损极限 无（校对塞规）";
  if (r.acceptance) return text + "；新量规验收，不计磨损极限（" + LimitText(r.wear_limit) + "）";
  return text + "；磨损极限 " + LimitText(r.wear_limit);
}

std::string NextDue(const RecordPage& content) {
  if (auto action = ActionAfter(content.record)) {
    return "下次检定日期：—（" + *action + "）";
  }
  const GaugeDue& due = content.due;
  std::string text = "下次检定日期：" + (due.day ? DayText(*due.day) : std::string("—")) +
                     "（检定周期 " + std::to_string(content.gauge.interval_months) + " 个月";
  if (due.reason == DueReason::WearForecast) text += "；" + DueReasonText(due);
  return text + "）";
}

void Body(Blocks& w, const RecordPage& content) {
  const InspectionRecord& r = content.record;
  const GaugeEntry& g = content.gauge;
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
           {"检定方式", Method(r)},
           {"测量仪器", Instrument(r)},
           {"证书号", Certificate(r)},
           {"不确定度 U", Uncertainty(r)},
           {"检定依据", "ISO 1502（GB/T 3934）；圆柱螺纹量规 " + r.program_version}});
  w.Paragraph(AppliedLimits(r));
  w.Paragraph("公差数据库：" + r.database_file + "（内容校验 " + r.database_hash + "）", 8);
  w.Space(0.3);
  if (r.method != InspectionMethod::CheckPlugs) {
    const GaugeLimits limits = LimitsOfRecord(r);
    std::vector<std::vector<std::string>> rows;
    for (size_t i = 0; i < r.readings.size(); ++i) {
      const MeasuredReading& reading = r.readings[i];
      const Verdict one = Judge(limits, reading.pitch_diameter, r.uncertainty);
      rows.push_back({std::to_string(i + 1), OrDash(reading.position), PlainDecimal(reading.value),
                      Millimetres(reading.pitch_diameter), VerdictLine(one, r.uncertainty)});
    }
    w.Table({"序号", "位置", r.method == InspectionMethod::Wires ? "M 读数 (mm)" : "E 读数 (mm)",
             "实际中径 (mm)", "判定"},
            {0.5, 0.6, 1.1, 1.1, 3.9}, rows);
  } else {
    std::vector<std::vector<std::string>> rows;
    for (const CheckPlugResult& check : r.checks) {
      rows.push_back({check.plug, OrDash(check.gauge_number), check.passed ? "通过" : "不通过"});
    }
    w.Table({"校对塞规", "编号", "结果"}, {2, 2, 1}, rows);
  }
  if (r.major) w.Paragraph("实测大径：" + Millimetres(*r.major) + " mm");
}

void Tail(Blocks& w, const RecordPage& content) {
  const InspectionRecord& r = content.record;
  w.KeepRestTogether();
  w.Paragraph("结论：" + RecordVerdictLine(r), 11, true);
  if (auto action = ActionAfter(r)) w.Paragraph(*action, 11, true);
  for (const std::string& remark : RecordRemarks(r)) w.Paragraph(remark, 8.5);
  if (content.trend) {
    const GaugeTrend& t = *content.trend;
    w.Paragraph("磨损趋势（" + std::to_string(t.records) + " 次检定，最小二乘）：中径每月 " +
                    Micrometres(t.fit.um_per_month) + "；" +
                    (t.reaches_limit ? "预计 " + DayText(*t.reaches_limit) + " 达到磨损极限"
                                     : std::string("按此趋势不会达到磨损极限")),
                8.5);
  }
  w.Paragraph(NextDue(content));
  if (!r.notes.empty()) w.Paragraph("备注：" + r.notes);
  w.Signatures();
  w.Paragraph("本记录由 圆柱螺纹量规 " + r.program_version + " 于 " + r.created +
                  " 存入量规台账，存入后不再改动；更正须新建记录。",
              7.5);
}

// The heading and foot every page carries.
struct Frame {
  double head = 0, foot = 0;
  void Measure(QPainter& p) {
    const double title = QFontMetricsF(PaperFont(15, true), p.device()).height();
    const double small = QFontMetricsF(PaperFont(9), p.device()).height();
    head = QFontMetricsF(PaperFont(11, true), p.device()).height() + title + small * 2.2;
    foot = small * 2;
  }
  void Draw(QPainter& p, const QRectF& page, const RecordPage& content, int number,
            int count) const {
    const InspectionRecord& r = content.record;
    double y = page.top();
    p.setPen(Qt::black);
    p.setFont(PaperFont(11, true));
    const double org = QFontMetricsF(p.font(), p.device()).height();
    p.drawText(QRectF(page.left(), y, page.width(), org), Qt::AlignHCenter,
               Q(content.organisation));
    y += org;
    p.setFont(PaperFont(15, true));
    const double title = QFontMetricsF(p.font(), p.device()).height();
    p.drawText(QRectF(page.left(), y, page.width(), title), Qt::AlignHCenter,
               QStringLiteral("螺纹量规检定记录"));
    y += title;
    std::string number_text = "记录号 " + std::to_string(r.id);
    if (r.replaces) number_text += "（更正记录 " + std::to_string(*r.replaces) + "）";
    if (r.replaced_by) number_text += "（已被记录 " + std::to_string(*r.replaced_by) + " 更正）";
    p.setFont(PaperFont(9));
    const double small = QFontMetricsF(p.font(), p.device()).height();
    p.drawText(QRectF(page.left(), y, page.width(), small), Qt::AlignLeft,
               Q("量规 " + r.gauge_number + "　" + r.thread + "　" + r.kind));
    p.drawText(QRectF(page.left(), y, page.width(), small), Qt::AlignRight, Q(number_text));
    const double bottom = page.bottom() - small;
    p.drawText(QRectF(page.left(), bottom, page.width(), small), Qt::AlignRight,
               QStringLiteral("第 %1 页 共 %2 页").arg(number).arg(count));
    p.setFont(PaperFont(7));
    std::string hash = "记录校验（SHA-256）：" + OrDash(r.hash);
    if (content.chain_broken) hash += "　与量规台账的校验链不符";
    p.drawText(QRectF(page.left(), bottom, page.width() * 0.8, small), Qt::AlignLeft, Q(hash));
  }
};

}  // namespace

std::optional<RecordPage> RecordPageFor(const GaugeRegister& gauges, long long id) {
  auto record = gauges.Record(id);
  if (!record) return std::nullopt;
  RecordPage page;
  page.gauge = gauges.Find(record->gauge_number).value_or(GaugeEntry{});
  const std::vector<InspectionRecord> records = gauges.RecordsOf(record->gauge_number);
  std::vector<InspectionRecord> until;
  for (const InspectionRecord& r : records) {
    if (r.id <= id) until.push_back(r);
  }
  page.due = DueOf(page.gauge, until);
  page.trend = TrendOf(records);
  page.organisation = gauges.Setting("organisation");
  const auto broken = gauges.BrokenLinks(record->gauge_number);
  page.chain_broken = std::any_of(broken.begin(), broken.end(),
                                  [&](const BrokenLink& b) { return b.record == id; });
  page.record = std::move(*record);
  return page;
}

int PaintRecord(QPainter& painter, QPagedPaintDevice& device, const QRectF& page,
                const RecordPage& content) {
  painter.save();
  Frame frame;
  frame.Measure(painter);
  Blocks blocks(painter, page.width());
  Body(blocks, content);
  Tail(blocks, content);
  const std::vector<PageBlock>& all = blocks.blocks();
  const double body = page.height() - frame.head - frame.foot;
  const auto pages = Paginate(all, body);
  for (size_t n = 0; n < pages.size(); ++n) {
    if (n > 0) device.newPage();
    frame.Draw(painter, page, content, static_cast<int>(n + 1), static_cast<int>(pages.size()));
    double y = page.top() + frame.head;
    for (size_t index : pages[n]) {
      const PageBlock& block = all[index];
      block.draw(painter, QRectF(page.left(), y, page.width(), block.height));
      y += block.height;
    }
  }
  painter.restore();
  return static_cast<int>(pages.size());
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
  if (!painter.begin(&pdf)) return Say({MessageCode::FileUnwritable, {Utf8(file)}});
  const QRect area = pdf.pageLayout().paintRectPixels(pdf.resolution());
  PaintRecord(painter, pdf, QRectF(area.translated(-area.topLeft())), content);
  if (!painter.end()) return Say({MessageCode::FileUnwritable, {Utf8(file)}});
  return std::nullopt;
}

}  // namespace threadgauge
