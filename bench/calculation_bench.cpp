// What one calculation costs, beside the floor that the database engine sets: plain SQLite
// calls that open the same database, run the six SELECTs of one plug calculation, step
// their rows and close. Run with --benchmark_repetitions=10 for medians.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <fstream>
#include <sstream>

#include "calculation/calculate.h"
#include "cli/batch_command.h"
#include "support/filled_database.h"
#include "tolerance/tolerance_database.h"
#include "tolerance/tolerance_session.h"

namespace {

using threadgauge::CalculationInputs;

// Every table filled, so that every lookup finds its row and the formulas run.
const std::filesystem::path& Filled() {
  static const std::filesystem::path file = [] {
    const auto path = std::filesystem::temp_directory_path() / "threadgauge-bench-filled.db";
    if (const auto error = threadgauge::testing::WriteFilledDatabase(
            std::filesystem::u8path(THREADGAUGE_BENCH_DATABASE), path)) {
      throw std::runtime_error(*error);
    }
    return path;
  }();
  return file;
}

const CalculationInputs kGoPlug{"10", "1.5", "6", "H", "通端螺纹塞规", "大于14至32"};

void Floor(benchmark::State& state) {
  const std::string path = Filled().string();
  const char* selects[] = {"Select * from 螺距公差 Where [螺纹量规螺纹部分长度(mm)] = '大于14至32'",
                           "Select * from 半角公差 Where[P] = 1.5",
                           "Select * from 基本偏差 Where[P] = 1.5",
                           "Select * from 内螺纹中径公差 Where[P] = 1.5",
                           "Select * from 位置要素 ",
                           "Select * from 圆柱螺纹塞规 Where[P] = 1.5"};
  for (auto _ : state) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    for (const char* sql : selects) {
      sqlite3_stmt* statement = nullptr;
      sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
      while (sqlite3_step(statement) == SQLITE_ROW) {
        benchmark::DoNotOptimize(sqlite3_column_text(statement, 0));
      }
      sqlite3_finalize(statement);
    }
    sqlite3_close(db);
  }
}
BENCHMARK(Floor)->Unit(benchmark::kMicrosecond);

// The form's own path: the database opened afresh for one calculation.
void FreshCalculation(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(threadgauge::Calculate(kGoPlug, Filled()));
}
BENCHMARK(FreshCalculation)->Unit(benchmark::kMicrosecond);

// Through a session, on a file that does not change: what a press of 确定 costs.
void SessionCalculation(benchmark::State& state) {
  threadgauge::ToleranceSession session;
  for (auto _ : state) {
    benchmark::DoNotOptimize(threadgauge::Calculate(kGoPlug, session.Open(Filled())));
  }
  state.counters["openings"] = static_cast<double>(session.openings());
}
BENCHMARK(SessionCalculation)->Unit(benchmark::kMicrosecond);

// Of which: the check that the file is unchanged (identity, size, time, the header's change
// counter, the engine's data version) ...
void SessionFileCheck(benchmark::State& state) {
  threadgauge::ToleranceSession session;
  for (auto _ : state) benchmark::DoNotOptimize(&session.Open(Filled()));
}
BENCHMARK(SessionFileCheck)->Unit(benchmark::kMicrosecond);

// ... and the calculation on the database kept open, its answers known.
void CalculationOnKeptDatabase(benchmark::State& state) {
  threadgauge::ToleranceSession session;
  const threadgauge::ToleranceDatabase& db = session.Open(Filled());
  for (auto _ : state) benchmark::DoNotOptimize(threadgauge::Calculate(kGoPlug, db));
}
BENCHMARK(CalculationOnKeptDatabase)->Unit(benchmark::kMicrosecond);

// An Access 97 file kept in memory by the session while it is unchanged.
void AccessSessionCalculation(benchmark::State& state) {
  const auto file = std::filesystem::u8path(THREADGAUGE_BENCH_ACCESS_FILE);
  if (!std::filesystem::exists(file)) {
    state.SkipWithError("the Access test file is missing");
    return;
  }
  threadgauge::ToleranceSession session;
  for (auto _ : state) {
    benchmark::DoNotOptimize(threadgauge::Calculate(kGoPlug, session.Open(file)));
  }
  state.counters["openings"] = static_cast<double>(session.openings());
}
BENCHMARK(AccessSessionCalculation)->Unit(benchmark::kMicrosecond);

// The whole coarse and fine series from M1 to M64 in 6H and 6g, as CSV to a file.
void SeriesBatch(benchmark::State& state) {
  const auto out = std::filesystem::temp_directory_path() / "threadgauge-bench-series.csv";
  for (auto _ : state) {
    std::istringstream in;
    std::ostringstream ignored;
    benchmark::DoNotOptimize(threadgauge::RunBatchCommand(
        {"--series", "all", "--from", "1", "--to", "64", "--classes", "6H,6g", "--database",
         Filled().string(), "--format", "csv", "--out", out.string()},
        in, ignored, ignored));
  }
}
BENCHMARK(SeriesBatch)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
