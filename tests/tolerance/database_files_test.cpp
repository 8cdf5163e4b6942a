// Import, export and their round trip; a failed import changes nothing.
#include "tables/database_files.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <fstream>

#include "support/fixture_database.h"
#include "tables/table_store.h"
#include "tolerance/schema.h"
#include "words/message_words.h"

namespace threadgauge {
namespace {

using testing::ReadBytes;
using testing::TemporaryFolder;

void Write(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary) << bytes;
}

std::string Utf8ToGbk(const std::string& utf8) {
  iconv_t convert = iconv_open("GBK", "UTF-8");
  std::string in = utf8, out(utf8.size() * 2 + 8, '\0');
  char* in_ptr = in.data();
  char* out_ptr = out.data();
  size_t in_left = in.size(), out_left = out.size();
  iconv(convert, &in_ptr, &in_left, &out_ptr, &out_left);
  iconv_close(convert);
  out.resize(out.size() - out_left);
  return out;
}

std::vector<TableData> Tables(const std::filesystem::path& file) {
  auto read = ReadTablesFrom(file);
  EXPECT_TRUE(std::holds_alternative<TableSource>(read));
  return std::get<TableSource>(read).tables;
}

bool SameRows(const std::vector<TableData>& a, const std::vector<TableData>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i].name != b[i].name || a[i].columns != b[i].columns || a[i].rows != b[i].rows)
      return false;
  }
  return true;
}

const char* kGaugeRows =
    "TD2/Td2下限,TD2/Td2上限,TPL,ZPL,ZR,m,TCP,TR,WGO环规,WNG环规\n"
    "0,100,12,20,8,11,9,6,24,21\n"
    "100,200,14,22,9,12,10,7,26,23\n";

TEST(Export, RoundTripChangesNothing) {
  TemporaryFolder folder;
  ASSERT_FALSE(ExportDatabase(testing::ShippedDatabase(), folder.path() / "csv", false));
  ASSERT_FALSE(ImportDatabase(folder.path() / "csv", folder.path() / "again.db", false).error);
  EXPECT_TRUE(SameRows(Tables(testing::ShippedDatabase()), Tables(folder.path() / "again.db")));
  ASSERT_FALSE(ExportDatabase(folder.path() / "again.db", folder.path() / "csv2", false));
  for (const auto& entry : std::filesystem::directory_iterator(folder.path() / "csv")) {
    EXPECT_EQ(ReadBytes(entry.path()), ReadBytes(folder.path() / "csv2" / entry.path().filename()))
        << entry.path();
  }
  // Exporting over the first export needs --force.
  EXPECT_TRUE(ExportDatabase(testing::ShippedDatabase(), folder.path() / "csv", false));
  EXPECT_FALSE(ExportDatabase(testing::ShippedDatabase(), folder.path() / "csv", true));
}

TEST(Import, GbkAndUtf8CsvGiveTheSameDatabase) {
  TemporaryFolder folder;
  std::filesystem::create_directories(folder.path() / "utf8");
  std::filesystem::create_directories(folder.path() / "gbk");
  const std::string half_angle =
      "P,完整螺纹牙形的半角公差          Tα1/2(′),截短螺纹牙形的半角公差         Tα2/2(′)\n"
      "1.5,±10,±15\n";
  Write(folder.path() / "utf8" / u8"位置要素.csv", std::string("\xEF\xBB\xBF") + kGaugeRows);
  Write(folder.path() / "utf8" / u8"螺距公差.csv",
        "螺纹量规螺纹部分长度(mm),螺距公差TP(mm)\n大于14至32,0.005\n");
  // GBK cannot hold α and ′, so that table stays UTF-8 in both folders.
  Write(folder.path() / "utf8" / u8"半角公差.csv", half_angle);
  Write(folder.path() / "gbk" / u8"位置要素.csv", Utf8ToGbk(kGaugeRows));
  Write(folder.path() / "gbk" / u8"螺距公差.csv",
        Utf8ToGbk("螺纹量规螺纹部分长度(mm),螺距公差TP(mm)\n大于14至32,0.005\n"));
  Write(folder.path() / "gbk" / u8"半角公差.csv", half_angle);
  ASSERT_NE(ReadBytes(folder.path() / "gbk" / u8"位置要素.csv"),
            ReadBytes(folder.path() / "utf8" / u8"位置要素.csv"));

  const auto utf8 = ImportDatabase(folder.path() / "utf8", folder.path() / "a.db", false);
  const auto gbk = ImportDatabase(folder.path() / "gbk", folder.path() / "b.db", false);
  ASSERT_FALSE(utf8.error) << Say(utf8.error);
  ASSERT_FALSE(gbk.error) << Say(gbk.error);
  EXPECT_TRUE(SameRows(Tables(folder.path() / "a.db"), Tables(folder.path() / "b.db")));
  const auto tables = Tables(folder.path() / "b.db");
  const auto gauge = std::find_if(tables.begin(), tables.end(),
                                  [](const TableData& t) { return t.name == "位置要素"; });
  ASSERT_NE(gauge, tables.end());
  ASSERT_EQ(gauge->rows.size(), 2u);
  EXPECT_EQ(gauge->columns, ProductSchema()[5].columns);
  EXPECT_EQ(gauge->rows[1][2], std::optional<std::string>("14"));
  // The tables the folder lacks are created empty, and the import says so.
  EXPECT_FALSE(utf8.warnings.empty());
}

// A line of a spreadsheet's CSV that stops early: the cells it lacks are empty.
TEST(Import, CellsAShortRowLacksAreEmpty) {
  std::vector<Message> warnings;
  const TableData source{
      "螺距公差", {"螺纹量规螺纹部分长度(mm)", "螺距公差TP(mm)"}, {false, true}, {{"大于32至50"}}};
  const auto tables = ToProductTables({source}, warnings);
  const auto pitch = std::find_if(tables.begin(), tables.end(),
                                  [](const TableData& t) { return t.name == "螺距公差"; });
  ASSERT_NE(pitch, tables.end());
  EXPECT_EQ(pitch->rows,
            (std::vector<std::vector<std::optional<std::string>>>{{"大于32至50", std::nullopt}}));
}

TEST(Import, AFailedImportLeavesTheOldFileAsItWas) {
  TemporaryFolder folder;
  const auto out = folder.path() / u8"公差表.db";
  ASSERT_FALSE(ExportDatabase(testing::ShippedDatabase(), folder.path() / "good", false));
  ASSERT_FALSE(ImportDatabase(folder.path() / "good", out, false).error);
  const std::string before = ReadBytes(out);

  // A second table that breaks half-way through the source.
  std::filesystem::create_directories(folder.path() / "bad");
  Write(folder.path() / "bad" / u8"位置要素.csv", kGaugeRows);
  Write(folder.path() / "bad" / u8"基本偏差.csv", "P,es(g)\n1.5,-32\n2,-38,99\n");
  const auto failed = ImportDatabase(folder.path() / "bad", out, true);
  ASSERT_TRUE(failed.error);
  EXPECT_NE(Say(failed.error).find("基本偏差.csv 第 3 行"), std::string::npos) << Say(failed.error);
  EXPECT_EQ(ReadBytes(out), before);

  // Without --force an existing file is never replaced, even by a good import.
  const auto refused = ImportDatabase(folder.path() / "good", out, false);
  ASSERT_TRUE(refused.error);
  EXPECT_NE(Say(refused.error).find("--force"), std::string::npos);
  EXPECT_EQ(ReadBytes(out), before);

  // A source without any tolerance table writes nothing.
  std::filesystem::create_directories(folder.path() / "other");
  Write(folder.path() / "other" / "Customers.csv", "Name\nA\n");
  EXPECT_TRUE(ImportDatabase(folder.path() / "other", folder.path() / "new.db", false).error);
  EXPECT_FALSE(std::filesystem::exists(folder.path() / "new.db"));

  size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
    files += entry.is_regular_file() ? 1 : 0;  // no temporary file is left behind
  }
  EXPECT_EQ(files, 1u);
}

}  // namespace
}  // namespace threadgauge
