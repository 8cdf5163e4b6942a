#include <gtest/gtest.h>

#include "platform/csv_field.h"
#include "platform/csv_reading.h"

namespace threadgauge {
namespace {

TEST(Csv, ReadsQuotedFieldsLineEndsAndByteOrderMark) {
  const auto rows =
      ParseCsv("\xEF\xBB\xBFP,\"a, b\",c\r\n1.5,\"say \"\"hi\"\"\",\n\"two\nlines\",,x\n\n");
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0], (CsvRow{"P", "a, b", "c"}));
  EXPECT_EQ(rows[1], (CsvRow{"1.5", "say \"hi\"", ""}));
  EXPECT_EQ(rows[2], (CsvRow{"two\nlines", "", "x"}));
}

TEST(Csv, LineEndsEmptyFieldsAndQuotesInside) {
  EXPECT_EQ(ParseCsv("a,b\n1,2"), (std::vector<CsvRow>{{"a", "b"}, {"1", "2"}}));
  EXPECT_EQ(ParseCsv("a\rb\r\nc"), (std::vector<CsvRow>{{"a"}, {"b"}, {"c"}}));  // CR alone too
  EXPECT_EQ(ParseCsv("a,\n1,"), (std::vector<CsvRow>{{"a", ""}, {"1", ""}}));    // no last line end
  EXPECT_EQ(ParseCsv(",\n1,2"), (std::vector<CsvRow>{{"", ""}, {"1", "2"}}));
  EXPECT_EQ(ParseCsv("\"\"\nx"), (std::vector<CsvRow>{{""}, {"x"}}));   // a quoted empty field
  EXPECT_EQ(ParseCsv("12\",5"), (std::vector<CsvRow>{{"12\"", "5"}}));  // a quote inside is kept
  EXPECT_TRUE(ParseCsv("").empty());
}

// Written fields read back as they were; only what needs quotes gets them.
TEST(Csv, WrittenFieldsReadBackUnchanged) {
  const std::pair<const char*, const char*> cases[] = {{"8.986 ± 0.0030", "8.986 ± 0.0030"},
                                                       {"", ""},
                                                       {"a, b", "\"a, b\""},
                                                       {"say \"hi\"", "\"say \"\"hi\"\"\""},
                                                       {"two\nlines", "\"two\nlines\""},
                                                       {" 对不起", "\" 对不起\""},
                                                       {"大于14至32 ", "\"大于14至32 \""}};
  for (const auto& [text, written] : cases) {
    EXPECT_EQ(CsvField(text), written) << text;
    EXPECT_EQ(ParseCsv(CsvField(text) + ",x"), (std::vector<CsvRow>{{text, "x"}})) << text;
  }
}

}  // namespace
}  // namespace threadgauge
