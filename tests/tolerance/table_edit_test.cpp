// The table editor's model: paste parsing, and what editing does to rows and cells.
#include "tables/table_edit.h"

#include <gtest/gtest.h>

#include <random>

#include "support/filled_database.h"
#include "support/fixture_database.h"
#include "tables/database_files.h"

namespace threadgauge {
namespace {

using Cells = std::vector<std::vector<std::optional<std::string>>>;
constexpr std::nullopt_t none = std::nullopt;

struct PasteCase {
  const char* name;
  const char* text;
  Cells rows;
  const char* left_out;
};

class Pasted : public ::testing::TestWithParam<PasteCase> {};

TEST_P(Pasted, ReadsAsTheSourceMeantIt) {
  const PastedBlock block = ParsePastedText(GetParam().text);
  EXPECT_EQ(block.rows, GetParam().rows);
  EXPECT_EQ(block.width, GetParam().rows.empty() ? 0 : GetParam().rows.front().size());
  EXPECT_EQ(block.left_out, GetParam().left_out);
}

INSTANTIATE_TEST_SUITE_P(
    Clipboard, Pasted,
    ::testing::Values(
        // Excel and WPS: tabs, CRLF, a line end after the last row.
        PasteCase{
            "Spreadsheet", "0\t50\t4\r\n50\t80\t6\r\n", {{"0", "50", "4"}, {"50", "80", "6"}}, ""},
        PasteCase{"SpreadsheetEmptyCells", "\t50\t\r\n", {{none, "50", none}}, ""},
        PasteCase{"SpreadsheetLastLineWithoutEnd", "1\t2\n3\t4", {{"1", "2"}, {"3", "4"}}, ""},
        PasteCase{"InchMarkIsNoQuote", "12\"\t5\r\n", {{"12\"", "5"}}, ""},
        PasteCase{"QuotedCells",
                  "\"a\tb\"\t\"x\"\"y\"\r\n\"two\r\nlines\"\t1\r\n",
                  {{"a\tb", "x\"y"}, {"two\r\nlines", "1"}},
                  ""},
        PasteCase{"ByteOrderMark",
                  "\xEF\xBB\xBF"
                  "1\t2\n",
                  {{"1", "2"}},
                  ""},
        // A PDF table: blanks between cells, a dash for an empty cell, blank lines skipped.
        PasteCase{"Pdf",
                  "—   50  4\n\n50  80 —\n  80 – 6  \n",
                  {{none, "50", "4"}, {"50", "80", none}, {"80", none, "6"}},
                  ""},
        PasteCase{"PdfIdeographicBlanks",
                  "大于14至32\u30000.004\r\n－\u00A00.005",
                  {{"大于14至32", "0.004"}, {none, "0.005"}},
                  ""},
        // A spreadsheet's short line lacks only empty cells at its end: nothing shifts.
        PasteCase{"SpreadsheetShortLine",
                  "1\t2\t3\n4\t5\n6\t7\t8\n",
                  {{"1", "2", "3"}, {"4", "5", none}, {"6", "7", "8"}},
                  ""},
        PasteCase{"SpreadsheetEmptyLineIsAnEmptyRow",
                  "1\t2\r\n\r\n3\t4\r\n",
                  {{"1", "2"}, {none, none}, {"3", "4"}},
                  ""},
        // One column: an empty line is an empty cell, and the values below stay in place.
        PasteCase{
            "ColumnWithEmptyCells", "40\r\n\r\n48\r\n56", {{"40"}, {none}, {"48"}, {"56"}}, ""},
        PasteCase{"ColumnEndingInEmptyCell", "40\n\n", {{"40"}, {none}}, ""},
        PasteCase{"OneEmptyCell", "\r\n", {{none}}, ""},
        PasteCase{"FullWidthDigits", "１２．５\t\u22123\t\u3000８\r\n", {{"12.5", "-3", "8"}}, ""},
        // A PDF line with a cell fewer: which one is missing cannot be told, so nothing.
        PasteCase{"PdfRowMissingACell",
                  "0 50 4\n50 80\n",
                  {},
                  "第 2 行有 2 个单元格，第 1 行有 3 个；各行单元格数不同，无法判断缺的是哪一列，"
                  "未粘贴。请在 PDF 中每个空单元格处写“—”，或从电子表格复制"},
        PasteCase{"Nothing", "", {}, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TableData GaugeTable(Cells rows) {
  return TableData{
      "位置要素", {"TD2/Td2下限", "TD2/Td2上限", "TPL"}, {true, true, true}, std::move(rows)};
}

TEST(TableEdit, RowsAreInsertedRemovedAndMovedInPlace) {
  TableData t = GaugeTable({{"0", "50", "4"}, {"50", "80", "6"}, {"80", "100", "8"}});
  InsertRows(t, 1, 2);
  ASSERT_EQ(t.rows.size(), 5u);
  EXPECT_EQ(t.rows[1], (std::vector<std::optional<std::string>>{none, none, none}));
  EXPECT_EQ(t.rows[3][2], "6");
  RemoveRows(t, {2, 1, 2});
  EXPECT_EQ(t.rows, (Cells{{"0", "50", "4"}, {"50", "80", "6"}, {"80", "100", "8"}}));

  EXPECT_FALSE(MoveRows(t, 0, 1, -1));  // at the top already
  EXPECT_FALSE(MoveRows(t, 1, 2, +1));  // at the bottom already
  EXPECT_FALSE(MoveRows(t, 2, 5, -1));  // more rows than there are
  EXPECT_FALSE(MoveRows(t, 0, 1, +2));  // one place at a time
  EXPECT_TRUE(MoveRows(t, 1, 2, -1));
  EXPECT_EQ(t.rows, (Cells{{"50", "80", "6"}, {"80", "100", "8"}, {"0", "50", "4"}}));
  EXPECT_TRUE(MoveRows(t, 0, 1, +1));
  EXPECT_EQ(t.rows, (Cells{{"80", "100", "8"}, {"50", "80", "6"}, {"0", "50", "4"}}));

  SetCell(t, 0, 1, "");  // an emptied cell holds nothing
  EXPECT_EQ(t.rows[0][1], std::nullopt);
  const Cells before = t.rows;
  SetCell(t, 3, 0, "x");  // outside the table: nothing happens
  SetCell(t, 0, 3, "x");
  EXPECT_EQ(t.rows, before);
}

TEST(TableEdit, PasteOverwritesGrowsAndNamesWhatFellOff) {
  TableData t = GaugeTable({{"0", "50", "4"}});
  const PasteOutcome grown = PasteBlock(t, 0, 1, ParsePastedText("60\t7\n90\t9\n120\t11\n"));
  EXPECT_EQ(grown.rows_added, 2u);
  EXPECT_EQ(grown.left_out, "");
  EXPECT_EQ(t.rows, (Cells{{"0", "60", "7"}, {none, "90", "9"}, {none, "120", "11"}}));

  const PasteOutcome wide = PasteBlock(t, 1, 1, ParsePastedText("1\t2\t3\t4\n5\t6\t7\t8\n"));
  EXPECT_EQ(wide.rows_added, 0u);
  EXPECT_EQ(wide.left_out, "每行右边的 2 个单元格超出表格的最后一列，未粘贴");
  EXPECT_EQ(t.rows, (Cells{{"0", "60", "7"}, {none, "1", "2"}, {none, "5", "6"}}));

  // A block reaching beyond the table holds what the table has.
  EXPECT_EQ(CopyBlock(t, 1, 9, 1, 9), (Cells{{"1", "2"}, {"5", "6"}}));
  // What is copied out pastes back the same.
  const std::string copied = ToTabSeparated(CopyBlock(t, 0, 2, 0, 2));
  EXPECT_EQ(copied, "0\t60\t7\r\n\t1\t2\r\n\t5\t6\r\n");
  TableData again = GaugeTable({});
  PasteBlock(again, 0, 0, ParsePastedText(copied));
  EXPECT_EQ(again.rows, t.rows);
}

// Whatever block of whatever table is copied, pasting it back at its own place, or into an
// empty table of the same shape, gives the same cells: no cell moves to another row or
// column, and an empty cell stays empty.
TEST(TableEdit, CopiedBlocksPasteBackCellForCell) {
  testing::TemporaryFolder folder;
  const auto file = folder.path() / "filled.db";
  ASSERT_FALSE(testing::WriteFilledDatabase(testing::ShippedDatabase(), file));
  auto read = ReadProductTables(file);
  ASSERT_TRUE(std::holds_alternative<ProductTables>(read));
  std::vector<TableData> tables = std::get<ProductTables>(read).tables;
  std::mt19937 random(20261207);
  // More empty cells than the tables have of themselves. An empty text is an empty cell
  // to the editor, as NULL is.
  for (TableData& table : tables) {
    for (auto& row : table.rows) {
      for (auto& cell : row) {
        if (random() % 5 == 0 || (cell && cell->empty())) cell.reset();
      }
    }
  }
  size_t blocks = 0;
  for (const TableData& table : tables) {
    ASSERT_FALSE(table.rows.empty()) << table.name;
    const size_t height = table.rows.size(), width = table.columns.size();
    for (int trial = 0; trial < 400; ++trial) {
      const size_t top = random() % height, left = random() % width;
      const size_t bottom = top + random() % std::min<size_t>(height - top, 12);
      const size_t right = left + random() % (width - left);
      const auto block = CopyBlock(table, top, bottom, left, right);
      const PastedBlock pasted = ParsePastedText(ToTabSeparated(block));
      ASSERT_EQ(pasted.rows, block)
          << table.name << " rows " << top << "–" << bottom << " columns " << left << "–" << right;
      TableData same = table;
      PasteBlock(same, top, left, pasted);
      ASSERT_EQ(same.rows, table.rows) << table.name;
      TableData empty{table.name, table.columns, table.numeric, {}};
      PasteBlock(empty, 0, left, pasted);
      ASSERT_EQ(CopyBlock(empty, 0, bottom - top, left, right), block) << table.name;
      ++blocks;
    }
  }
  EXPECT_EQ(blocks, 8u * 400u);
}

}  // namespace
}  // namespace threadgauge
