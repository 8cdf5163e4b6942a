#include "cli/cli11_reading.h"
#include "cli/ledger_xlsx.h"
#include "cli/register_access.h"
#include "cli/register_commands.h"
#include "cli/render.h"
#include "gauges_subcommands.h"
#include "platform/utf8.h"
#include "register/ledger.h"

namespace threadgauge {

int GaugesExport(const Arguments& args, std::ostream& out, std::ostream& err) {
  CLI::App app;
  RegisterOptions where;
  where.AddTo(app);
  std::string format;
  std::optional<std::string> file;
  app.add_option("--format", format);
  app.add_option("--out", file);
  const Reading read = ReadArguments(app, args, kGaugesHelp, out, err);
  if (read.done) return read.exit;
  if ((format != "csv" && format != "xlsx") || !file) {
    err << "gauges export 须有 --format csv 或 xlsx，以及 --out 文件\n";
    return 2;
  }
  int exit = 0;
  auto gauges = OpenRegister(where, false, err, exit);
  if (!gauges) return exit;
  const bool damaged = gauges->damage().has_value();
  const auto rows = LedgerRows(*gauges);
  const std::filesystem::path path = PathFromUtf8(*file);
  if (format == "xlsx") {
    if (auto failed = WriteLedgerXlsx(rows, path)) {
      err << *failed << "\n";
      return 1;
    }
  } else if (!WriteOutput(LedgerCsv(rows), path, out, err)) {
    return 1;
  }
  out << "已导出 " << rows.size() << " 件量规到 " << *file << "\n";
  return ReadStatus(*gauges, damaged, 0, err);
}

}  // namespace threadgauge
