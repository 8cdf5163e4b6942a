// Which block lands on which page, and text fitted into a cell without being cut.
#include "report/paged_layout.h"

#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

#include "report/fonts.h"

namespace threadgauge {
namespace {

struct Block {
  double height;
  std::optional<size_t> heading = std::nullopt;
  bool keep_rest = false;
};

struct PaginateCase {
  const char* name;
  std::vector<Block> blocks;
  double body;
  std::vector<std::vector<size_t>> pages;
};

class Pages : public ::testing::TestWithParam<PaginateCase> {};

TEST_P(Pages, EachBlockOnItsPage) {
  const PaginateCase& c = GetParam();
  std::vector<PageBlock> blocks;
  for (const Block& b : c.blocks) blocks.push_back({b.height, nullptr, b.heading, b.keep_rest});
  EXPECT_EQ(Paginate(blocks, c.body), c.pages) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, Pages,
    ::testing::Values(
        PaginateCase{"all fit", {{10}, {10}, {10}}, 100, {{0, 1, 2}}},
        // Filling the page exactly is still the page.
        PaginateCase{"exactly full", {{50}, {50}, {1}}, 100, {{0, 1}, {2}}},
        PaginateCase{"overflow", {{40}, {40}, {40}}, 100, {{0, 1}, {2}}},
        // A table row that opens a page brings its heading row with it.
        PaginateCase{"heading repeated",
                     {{10}, {30, 0}, {30, 0}, {30, 0}, {30, 0}, {30, 0}, {30, 0}},
                     100,
                     {{0, 1, 2, 3}, {0, 4, 5, 6}}},
        // The conclusion and the signatures go together to the next page …
        PaginateCase{"kept together", {{50}, {30, std::nullopt, true}, {30}}, 100, {{0}, {1, 2}}},
        // … unless together they would not fit on any page.
        PaginateCase{
            "too long to keep", {{50}, {80, std::nullopt, true}, {40}}, 100, {{0}, {1}, {2}}},
        // A block taller than a page is put on an empty page rather than leave one blank.
        PaginateCase{"taller than a page", {{150}, {10}}, 100, {{0}, {1}}}),
    [](const auto& info) {
      std::string name = info.param.name;
      for (char& c : name) {
        if (c == ' ') c = '_';
      }
      return name;
    });

class FitTextTest : public ::testing::Test {
 protected:
  FitTextTest() : image_(800, 200, QImage::Format_RGB32), painter_(&image_) {}
  QImage image_;
  QPainter painter_;
  QFont font_ = PaperFont(10);
};

TEST_F(FitTextTest, ShortTextKeepsItsSize) {
  const QString text = QStringLiteral("中径 8.975");
  const FittedText fitted = FitText(painter_, text, font_, 400);
  EXPECT_EQ(fitted.font.pointSizeF(), font_.pointSizeF());
  EXPECT_EQ(fitted.text, text);
  EXPECT_FALSE(fitted.flags & Qt::TextWrapAnywhere);
}

TEST_F(FitTextTest, SlightlyLongTextShrinksButNotBelowSeventyPercent) {
  const QString text = QStringLiteral("公差数据库：公差表.db（第 3 版）");
  const double width = QFontMetricsF(font_, &image_).horizontalAdvance(text) * 0.85;
  const FittedText fitted = FitText(painter_, text, font_, width);
  EXPECT_LT(fitted.font.pointSizeF(), font_.pointSizeF());
  EXPECT_GE(fitted.font.pointSizeF(), font_.pointSizeF() * 0.69);
  EXPECT_LE(QFontMetricsF(fitted.font, &image_).horizontalAdvance(fitted.text), width);
  EXPECT_EQ(fitted.text, text);
}

TEST_F(FitTextTest, TooLongTextWrapsWholeOntoMoreLines) {
  const QString text =
      QStringLiteral("量规台账已损坏：记录 12 的校验值与内容不符，以下内容可能不全").repeated(3);
  const double width = 120;
  const FittedText fitted = FitText(painter_, text, font_, width);
  EXPECT_TRUE(fitted.flags & Qt::TextWrapAnywhere);
  EXPECT_EQ(fitted.text, text);  // never cut or elided
  const QFontMetricsF metrics(fitted.font, &image_);
  EXPECT_GT(fitted.height, 3 * metrics.height());
  // Every character has room in the height given.
  const QRectF needed = metrics.boundingRect(QRectF(0, 0, width, 1e6), fitted.flags, text);
  EXPECT_GE(fitted.height, needed.height());
}

}  // namespace
}  // namespace threadgauge
