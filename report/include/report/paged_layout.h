#pragma once

#include <QFont>
#include <QRectF>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

class QPainter;

namespace threadgauge {

// One piece of a page, laid below the one before: a paragraph, a table row.
struct PageBlock {
  double height = 0;  // as measured for the page's width
  std::function<void(QPainter&, const QRectF&)> draw;
  // A table's heading row, drawn again above this row when the row opens a page.
  std::optional<size_t> heading;
  // This block and all after it belong on one page (the conclusion and the signatures).
  bool keeps_rest_together = false;
};

// Which blocks go on which page: a block that does not fit in what is left of a page opens
// the next one, with its table's heading above it; the rest kept together moves to a page of
// its own when it does not fit below the last block.
std::vector<std::vector<size_t>> Paginate(const std::vector<PageBlock>& blocks, double body_height);

// Text fitted into a cell `width` wide: at its size when it fits, else smaller (down to
// 70 %), else wrapped onto as many lines as it needs. Never cut.
struct FittedText {
  QFont font;
  QString text;
  double height = 0;
  int flags = 0;
};
FittedText FitText(const QPainter& painter, const QString& text, const QFont& font, double width);

}  // namespace threadgauge
