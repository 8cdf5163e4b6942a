// What a keeper waits for in a workshop's register of 10^4 gauges with 5·10^4 records: the
// opening with its check of the file, the due list, one gauge's page, and the verdict the
// record dialog recomputes at every keystroke, and one inspection recorded. Run with
// --benchmark_repetitions=5; with THREADGAUGE_BENCH_REGISTER=postgresql://… the register is
// the one on that server (filled on the first run), else a file in the temporary folder.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

#include "register/due.h"
#include "register/inspection.h"
#include "register/ledger.h"
#include "support/filled_database.h"
#include "tolerance/tolerance_database.h"
#include "words/message_words.h"
#ifdef THREADGAUGE_SERVER_REGISTER
#include "register/server_register.h"
#endif

namespace {

using namespace threadgauge;

constexpr int kGauges = 10000;
constexpr int kRecordsPerGauge = 5;

GaugeEntry Gauge(int i) {
  GaugeEntry g;
  g.number = "TG-" + std::to_string(100000 + i);
  const bool ring = i % 2 == 0;
  g.thread = ring ? "M10×1.5-6g" : "M10×1.5-6H";
  g.kind = ring ? "通端螺纹环规" : "通端螺纹塞规";
  g.length = "大于14至32";
  g.since = "2020-01-01";
  return g;
}

InspectionRecord Record(const GaugeEntry& g, int k) {
  InspectionRecord r;
  r.gauge_number = g.number;
  r.date = "202" + std::to_string(k) + "-0" +
           std::to_string(1 + std::stoi(g.number.substr(3)) % 9) + "-15";
  const bool ring = g.kind == "通端螺纹环规";
  r.method = ring ? InspectionMethod::Balls : InspectionMethod::Wires;
  r.element = ring ? 0.9 : 0.866;
  const double d2 = ring ? 8.985 + 0.002 * k : 9.050 - 0.003 * k;
  r.readings = {{d2 - 1.4, d2, ""}, {d2 - 1.399, d2 + 0.001, ""}, {d2 - 1.401, d2 - 0.001, ""}};
  r.thread = g.thread, r.kind = g.kind, r.length = g.length;
  r.database_file = "公差表.db", r.database_hash = "0123456789abcdef", r.program_version = "0.2.0";
  r.limit_low = ring ? 8.983 : 9.040, r.limit_high = ring ? 8.989 : 9.052;
  r.wear_limit = ring ? 9.010 : 9.022, r.has_wear_limit = true;
  r.verdict = "worn", r.verdict_text = "合格（已磨损，未超磨损极限）", r.margin_um = 10;
  return r;
}

std::optional<std::string> Server() {
  const char* named = std::getenv("THREADGAUGE_BENCH_REGISTER");
  if (named && *named) return named;
  return std::nullopt;
}

GaugeRegister OpenedAt(const std::filesystem::path& file) {
#ifdef THREADGAUGE_SERVER_REGISTER
  if (const auto server = Server()) {
    auto opened = OpenServerRegister(*server);
    if (auto* failed = std::get_if<RegisterError>(&opened))
      throw std::runtime_error(Say(failed->message));
    return std::move(std::get<GaugeRegister>(opened));
  }
#endif
  return std::move(std::get<GaugeRegister>(GaugeRegister::Open(file)));
}

const std::filesystem::path& Register() {
  static const std::filesystem::path path = [] {
    const auto file = std::filesystem::temp_directory_path() / "threadgauge-bench-register.db";
    if (!Server() && std::filesystem::exists(file)) return file;
    GaugeRegister gauges = OpenedAt(file);
    if (gauges.RecordCount() > 0) return file;
    std::vector<GaugeEntry> all;
    for (int i = 0; i < kGauges; ++i) all.push_back(Gauge(i));
    if (gauges.AddAll(all)) throw std::runtime_error("gauges not added");
    std::vector<InspectionRecord> records;
    for (int i = 0; i < kGauges; ++i) {
      for (int k = 0; k < kRecordsPerGauge; ++k) records.push_back(Record(all[i], k));
    }
    if (std::holds_alternative<RegisterError>(gauges.AddRecords(records))) {
      throw std::runtime_error("records not added");
    }
    return file;
  }();
  return path;
}

GaugeRegister Opened() { return OpenedAt(Register()); }

void OpenWithCheck(benchmark::State& state) {
  Register();
  for (auto _ : state) benchmark::DoNotOptimize(Opened().damage());
}
BENCHMARK(OpenWithCheck)->Unit(benchmark::kMillisecond);

void DueList(benchmark::State& state) {
  const GaugeRegister gauges = Opened();
  const Day on = *ParseDay("2026-12-07");
  for (auto _ : state) {
    std::vector<LedgerRow> rows = LedgerRows(gauges);
    std::erase_if(rows, [&](const LedgerRow& row) { return !DueWithin(row, on, 30); });
    benchmark::DoNotOptimize(rows.size());
  }
}
BENCHMARK(DueList)->Unit(benchmark::kMillisecond);

void GaugePage(benchmark::State& state) {
  const GaugeRegister gauges = Opened();
  const auto tables = std::filesystem::temp_directory_path() / "threadgauge-bench-filled-r.db";
  if (!std::filesystem::exists(tables)) {
    threadgauge::testing::WriteFilledDatabase(std::filesystem::u8path(THREADGAUGE_BENCH_DATABASE),
                                              tables);
  }
  const ToleranceDatabase db = ToleranceDatabase::Open(tables);
  for (auto _ : state) {
    const auto gauge = gauges.Find("TG-105001");
    const auto records = gauges.RecordsOf(gauge->number);
    benchmark::DoNotOptimize(DueOf(*gauge, records));
    benchmark::DoNotOptimize(TrendOf(records));
    benchmark::DoNotOptimize(LimitsOfGauge(*gauge, db));
    benchmark::DoNotOptimize(gauges.BrokenLinks(gauge->number));
  }
}
BENCHMARK(GaugePage)->Unit(benchmark::kMillisecond);

// 保存 in the record dialog: one record with its readings, numbered and linked.
void RecordOneInspection(benchmark::State& state) {
  GaugeRegister gauges = Opened();
  const InspectionRecord record = Record(Gauge(1234), 2);
  for (auto _ : state) {
    if (std::holds_alternative<RegisterError>(gauges.AddRecord(record))) {
      state.SkipWithError("not recorded");
      break;
    }
  }
}
BENCHMARK(RecordOneInspection)->Unit(benchmark::kMillisecond);

void GaugesOnly(benchmark::State& state) {
  const GaugeRegister gauges = Opened();
  for (auto _ : state) benchmark::DoNotOptimize(gauges.Gauges().size());
}
BENCHMARK(GaugesOnly)->Unit(benchmark::kMillisecond);

// One keystroke in the record dialog: the limits were computed when it opened.
void VerdictPerKeystroke(benchmark::State& state) {
  const auto tables = std::filesystem::temp_directory_path() / "threadgauge-bench-filled-r.db";
  if (!std::filesystem::exists(tables)) {
    threadgauge::testing::WriteFilledDatabase(std::filesystem::u8path(THREADGAUGE_BENCH_DATABASE),
                                              tables);
  }
  const ToleranceDatabase db = ToleranceDatabase::Open(tables);
  const GaugeEntry gauge = Gauge(1);
  const GaugeLimits limits = std::get<GaugeLimits>(LimitsOfGauge(gauge, db));
  InspectionInputs in;
  in.element = 0.866;
  in.values = {10.345, 10.346, 10.344};
  const Day today = *ParseDay("2026-12-07");
  for (auto _ : state) benchmark::DoNotOptimize(DecideInspection(gauge, in, limits, today, {}));
}
BENCHMARK(VerdictPerKeystroke)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
