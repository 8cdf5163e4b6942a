#include "report/paged_layout.h"

#include <QFontMetricsF>
#include <QPainter>

namespace threadgauge {

std::vector<std::vector<size_t>> Paginate(const std::vector<PageBlock>& blocks,
                                          double body_height) {
  std::vector<std::vector<size_t>> pages(1);
  double used = 0;
  const auto new_page = [&] {
    if (!pages.back().empty()) pages.emplace_back();
    used = 0;
  };
  for (size_t i = 0; i < blocks.size(); ++i) {
    const PageBlock& block = blocks[i];
    if (block.keeps_rest_together) {
      double rest = 0;
      for (size_t j = i; j < blocks.size(); ++j) rest += blocks[j].height;
      if (used + rest > body_height && rest <= body_height) new_page();
    }
    if (used + block.height > body_height && used > 0) {
      new_page();
      if (block.heading) {
        pages.back().push_back(*block.heading);
        used += blocks[*block.heading].height;
      }
    }
    pages.back().push_back(i);
    used += block.height;
  }
  return pages;
}

FittedText FitText(const QPainter& painter, const QString& text, const QFont& font, double width) {
  FittedText fitted{font, text, 0, Qt::AlignVCenter | Qt::AlignLeft};
  QPaintDevice* device = painter.device();
  for (double scale = 1.0; scale >= 0.69; scale -= 0.1) {
    QFont smaller = font;
    smaller.setPointSizeF(font.pointSizeF() * scale);
    const QFontMetricsF metrics(smaller, device);
    if (metrics.horizontalAdvance(text) <= width) {
      fitted.font = smaller;
      fitted.height = metrics.height();
      return fitted;
    }
  }
  // Too long even at 70 %: wrapped at its smallest size, anywhere a word does not fit.
  fitted.font.setPointSizeF(font.pointSizeF() * 0.7);
  fitted.flags = Qt::AlignVCenter | Qt::AlignLeft | Qt::TextWrapAnywhere;
  const QFontMetricsF metrics(fitted.font, device);
  fitted.height = metrics.boundingRect(QRectF(0, 0, width, 1e6), fitted.flags, text).height();
  return fitted;
}

}  // namespace threadgauge
