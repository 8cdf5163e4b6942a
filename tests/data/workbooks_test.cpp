// The reference workbooks hold exactly their text sources: every cell read back with
// FreeXL, an independent reader of .xls files.
#include <freexl.h>
#include <gtest/gtest.h>

#include <cmath>

#include "platform/csv_reading.h"
#include "platform/utf8.h"
#include "support/fixture_database.h"

namespace threadgauge {
namespace {

// The first sheet's cells as text; numbers as the shortest text that reads back the same.
std::vector<std::vector<std::string>> Sheet(const std::filesystem::path& file) {
  const void* handle = nullptr;
  EXPECT_EQ(freexl_open(Utf8(file).c_str(), &handle), FREEXL_OK) << file;
  std::vector<std::vector<std::string>> cells;
  if (handle == nullptr) return cells;
  EXPECT_EQ(freexl_select_active_worksheet(handle, 0), FREEXL_OK);
  unsigned int rows = 0;
  unsigned short columns = 0;
  EXPECT_EQ(freexl_worksheet_dimensions(handle, &rows, &columns), FREEXL_OK);
  for (unsigned r = 0; r < rows; ++r) {
    std::vector<std::string> row;
    for (unsigned short c = 0; c < columns; ++c) {
      FreeXL_CellValue value;
      EXPECT_EQ(freexl_get_cell_value(handle, r, c, &value), FREEXL_OK);
      switch (value.type) {
        case FREEXL_CELL_INT:
          row.push_back(std::to_string(value.value.int_value));
          break;
        case FREEXL_CELL_DOUBLE: {
          char text[32];
          std::snprintf(text, sizeof text, "%.15g", value.value.double_value);
          row.push_back(text);
          break;
        }
        case FREEXL_CELL_TEXT:
        case FREEXL_CELL_SST_TEXT:
          row.push_back(value.value.text_value);
          break;
        default:
          row.push_back("");
      }
    }
    cells.push_back(row);
  }
  freexl_close(handle);
  return cells;
}

std::vector<CsvRow> Source(const char* relative) {
  return ParseCsv(testing::ReadBytes(std::filesystem::u8path(THREADGAUGE_DATA_DIR) /
                                     std::filesystem::u8path(relative)));
}

void ExpectSameCells(const std::vector<CsvRow>& source,
                     const std::vector<std::vector<std::string>>& sheet) {
  ASSERT_EQ(sheet.size(), source.size());
  for (size_t r = 0; r < source.size(); ++r) {
    ASSERT_EQ(sheet[r].size(), source[r].size()) << "row " << r;
    for (size_t c = 0; c < source[r].size(); ++c) {
      const std::string& expected = source[r][c];
      // A number written as a number reads back as the same double.
      char* end = nullptr;
      const double number = std::strtod(expected.c_str(), &end);
      if (!expected.empty() && *end == '\0') {
        EXPECT_EQ(std::strtod(sheet[r][c].c_str(), nullptr), number) << "row " << r << " col " << c;
      } else {
        EXPECT_EQ(sheet[r][c], expected) << "row " << r << " col " << c;
      }
    }
  }
}

TEST(Workbooks, CoarsePitchWorkbookHoldsTheCoarsePitchSource) {
  const auto source = Source("coarse_pitch.csv");
  ASSERT_EQ(source.front(),
            (CsvRow{"公称直径 d(mm)", "选择系列", "粗牙螺距 P(mm)", "细牙螺距 P(mm)"}));
  ExpectSameCells(source, Sheet(std::filesystem::u8path(THREADGAUGE_DATA_DIR) / "workbooks" /
                                std::filesystem::u8path("粗牙螺纹螺距.xls")));
}

TEST(Workbooks, PitchToleranceWorkbookHoldsTheDatabaseTable) {
  ExpectSameCells(Source("tables/螺距公差.csv"),
                  Sheet(std::filesystem::u8path(THREADGAUGE_DATA_DIR) / "workbooks" /
                        std::filesystem::u8path("螺距公差.xls")));
}

TEST(Workbooks, CoarsePitchSourceHoldsTheSharedSeries) {
  const auto shared = std::filesystem::u8path(THREADGAUGE_ISO_DATA) / "coarse_pitch.csv";
  ASSERT_TRUE(std::filesystem::exists(shared)) << "shared ISO data missing: " << shared;
  const auto iso = ParseCsv(testing::ReadBytes(shared));
  const auto ours = Source("coarse_pitch.csv");
  ASSERT_EQ(iso.size(), ours.size());
  for (size_t r = 1; r < iso.size(); ++r) {
    EXPECT_EQ(ours[r][0], iso[r][0]);  // d
    EXPECT_EQ(ours[r][2], iso[r][2]);  // coarse pitch
    EXPECT_EQ(ours[r][1].find("（推定）") != std::string::npos,
              iso[r][1].find("inferred") != std::string::npos);
  }
}

}  // namespace
}  // namespace threadgauge
