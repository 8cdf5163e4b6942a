#pragma once

// The subcommands of `threadgauge-cli gauges`, one file each.
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace threadgauge {

using Arguments = std::vector<std::string>;

int GaugesAdd(const Arguments& args, std::ostream& out, std::ostream& err);
int GaugesList(const Arguments& args, std::ostream& out, std::ostream& err);
int GaugesShow(const Arguments& args, std::ostream& out, std::ostream& err);
int GaugesRetire(const Arguments& args, std::ostream& out, std::ostream& err);
int GaugesSetState(const Arguments& args, std::ostream& out, std::ostream& err);
int GaugesImport(const Arguments& args, std::ostream& out, std::ostream& err);
int GaugesImportRecords(const Arguments& args, std::ostream& out, std::ostream& err);
int GaugesExport(const Arguments& args, std::ostream& out, std::ostream& err);
int GaugesBackup(const Arguments& args, std::ostream& out, std::ostream& err);
int GaugesRestore(const Arguments& args, std::ostream& out, std::ostream& err);
int GaugesVerify(const Arguments& args, std::ostream& out, std::ostream& err);
int GaugesSettings(const Arguments& args, std::ostream& out, std::ostream& err);
int GaugesMigrate(const Arguments& args, std::ostream& out, std::ostream& err);
int GaugesHistory(const Arguments& args, std::ostream& out, std::ostream& err);

// The file's bytes, or nothing after saying on `err` that it cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& typed, std::ostream& err);

}  // namespace threadgauge
