// A whole calculation from six arbitrary input texts (separated by line feeds), on the
// shipped database and on one with every table filled, so that the gauge formulas run with
// numbers too: no crash, no sanitizer report, and always an answer.
#include <cstdint>
#include <string>
#include <string_view>

#include "calculation/calculate.h"
#include "support/filled_database.h"
#include "tolerance/tolerance_session.h"
#include "words/calculation_words.h"

namespace {

std::filesystem::path filled;

void Check(const threadgauge::CalculationResult& result) {
  if (!result.rejection && result.notices.empty() && !result.update.fields[0]) __builtin_trap();
  for (const auto& notice : result.notices) (void)threadgauge::DescribeNotice(notice);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  filled = std::filesystem::temp_directory_path() / "threadgauge-fuzz-filled.db";
  if (threadgauge::testing::WriteFilledDatabase(std::filesystem::u8path(THREADGAUGE_FUZZ_DATABASE),
                                                filled)) {
    __builtin_trap();
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  std::string texts[6];
  for (std::string& text : texts) {
    const size_t end = rest.find('\n');
    text = std::string(rest.substr(0, end));
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
  }
  const threadgauge::CalculationInputs inputs{texts[0], texts[1], texts[2],
                                              texts[3], texts[4], texts[5]};
  Check(threadgauge::Calculate(inputs, std::filesystem::u8path(THREADGAUGE_FUZZ_DATABASE)));
  // Through a session, as the window calculates: its kept answers are exercised too.
  static threadgauge::ToleranceSession session;
  Check(threadgauge::Calculate(inputs, session.Open(filled)));
  return 0;
}
