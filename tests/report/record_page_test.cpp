// The inspection record on paper, read back from the PDF page by page.
#include "report/record_page.h"

#include <gtest/gtest.h>

#include <cmath>
#include <regex>

#include "platform/utf8.h"
#include "support/fixture_database.h"
#include "support/run_program.h"

namespace threadgauge {
namespace {

// A GO check plug measured over wires at 45 places: more rows than one A4 page holds.
RecordPage LongRecord() {
  RecordPage page;
  InspectionRecord& r = page.record;
  r.id = 7;
  r.gauge_number = "TG-2026-07";
  r.thread = "M10×1.5-6g";
  r.kind = "校通-通螺纹塞规";
  r.date = "2026-12-07";
  r.inspector = "张三";
  r.element = 0.8661;
  r.database_file = "公差表.db";
  r.database_hash = "0123456789abcdef";
  r.program_version = "0.2.0";
  r.limit_low = 8.9705;
  r.limit_high = 8.9795;
  r.verdict = "new";
  r.verdict_text = "合格（新制范围内）";
  r.margin_um = 3.2;
  r.margin_limit = "new_high";
  r.created = "2026-12-07 10:42";
  r.hash = "feedc0ffee";
  for (int i = 0; i < 45; ++i) {
    // M 10.2700 + i × 0.0001 over 0.8661 wires: d2 = M − 3 × 0.8661 + 1.2990381.
    const double M = (102700 + i) / 10000.0;
    r.readings.push_back({M, M - 3 * 0.8661 + 0.75 / std::tan(std::acos(-1) / 6), ""});
  }
  page.gauge.number = r.gauge_number;
  page.gauge.maker = "哈量";
  return page;
}

std::string PageText(const std::filesystem::path& pdf, int page) {
  const ProgramRun text = RunProgram({"pdftotext", "-layout", "-f", std::to_string(page), "-l",
                                      std::to_string(page), Utf8(pdf), "-"});
  EXPECT_EQ(text.exit, 0) << "pdftotext (Debian poppler-utils): " << text.err;
  return text.out;
}

TEST(RecordPages, ReadingsRunOnWithTheirHeadingAndTheConclusionClosesTheLastPage) {
  testing::TemporaryFolder folder;
  const auto pdf = folder.path() / u8"记录 7.pdf";
  ASSERT_FALSE(WriteRecordPdf(LongRecord(), pdf).has_value());
  const ProgramRun info = RunProgram({"pdfinfo", Utf8(pdf)});
  std::smatch match;
  ASSERT_TRUE(std::regex_search(info.out, match, std::regex("Pages:\\s+(\\d+)"))) << info.err;
  const int pages = std::stoi(match[1]);
  ASSERT_GE(pages, 2);

  std::string all;
  for (int page = 1; page <= pages; ++page) {
    const std::string text = PageText(pdf, page);
    SCOPED_TRACE("page " + std::to_string(page) + "\n" + text);
    // Every page says which record it belongs to and where it stands among the others.
    EXPECT_NE(text.find("TG-2026-07"), std::string::npos);
    EXPECT_NE(text.find("第 " + std::to_string(page) + " 页 共 " + std::to_string(pages) + " 页"),
              std::string::npos);
    EXPECT_NE(text.find("feedc0ffee"), std::string::npos);
    // A page of readings carries the table's heading.
    if (text.find("10.27") != std::string::npos) {
      EXPECT_NE(text.find("实际中径"), std::string::npos);
    }
    // The conclusion and the signatures only on the last page, together.
    const bool last = page == pages;
    EXPECT_EQ(text.find("结论：") != std::string::npos, last);
    EXPECT_EQ(text.find("检定员：") != std::string::npos, last);
    all += text;
  }
  // Each reading once, none lost between pages: the first, one across a page break, the last.
  for (const char* reading : {" 10.27 ", " 10.2701 ", " 10.2722 ", " 10.2744 "}) {
    const size_t at = all.find(reading);
    EXPECT_NE(at, std::string::npos) << reading;
    EXPECT_EQ(all.find(reading, at + 1), std::string::npos) << reading;
  }
  EXPECT_NE(all.find("合格（新制范围内）"), std::string::npos);
  EXPECT_NE(all.find("哈量"), std::string::npos);
}

TEST(RecordPages, AnUnwritableFileIsSaidWithItsPath) {
  testing::TemporaryFolder folder;
  const auto pdf = folder.path() / u8"没有的文件夹" / u8"记录.pdf";
  const auto error = WriteRecordPdf(LongRecord(), pdf);
  ASSERT_TRUE(error.has_value());
  EXPECT_NE(error->find(Utf8(pdf)), std::string::npos) << *error;
}

}  // namespace
}  // namespace threadgauge
