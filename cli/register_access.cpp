#include "cli/register_access.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "cli/render.h"
#include "platform/data_location.h"
#include "platform/number_text.h"
#include "platform/utf8.h"
#include "register/register_backup.h"
#include "register/register_location.h"
#ifdef THREADGAUGE_SERVER_REGISTER
#include "register/server_register.h"
#endif
#include "words/message_words.h"

namespace threadgauge {

void RegisterOptions::AddTo(CLI::App& app) {
  app.add_option("--register", register_typed);
  app.add_option("--database", database_typed);
}

std::optional<std::string> RegisterOptions::Named() const {
  if (register_typed) return register_typed;
  if (const char* named = std::getenv("THREADGAUGE_REGISTER"); named && *named) return named;
  return std::nullopt;
}

std::optional<std::filesystem::path> RegisterOptions::RegisterPath(std::ostream& err) const {
  if (const auto named = Named()) return PathFromUtf8(*named);
  if (const auto user = UserDataDirectory()) return DefaultRegisterPath(*user);
  err << "找不到用户数据文件夹，请用 --register 指定量规台账文件\n";
  return std::nullopt;
}

std::filesystem::path RegisterOptions::DatabasePath() const {
  if (database_typed) return PathFromUtf8(*database_typed);
  return LocateDatabase(DataPlaces::OfThisProgram()).path;
}

std::variant<GaugeRegister, RegisterError> OpenRegisterAt(const std::string& where, bool create) {
  if (IsServerAddress(where)) {
#ifdef THREADGAUGE_SERVER_REGISTER
    return OpenServerRegister(where);
#else
    return RegisterError{{MessageCode::ServerClientMissing, {where}}};
#endif
  }
  const auto path = PathFromUtf8(where);
  return create ? GaugeRegister::Open(path) : GaugeRegister::OpenExisting(path);
}

std::optional<GaugeRegister> OpenRegister(const RegisterOptions& options, bool create,
                                          std::ostream& err, int& exit) {
  exit = 2;
  const auto path = options.RegisterPath(err);
  if (!path) return std::nullopt;
  auto opened = OpenRegisterAt(options.Named().value_or(Utf8(*path)), create);
  if (const auto* error = std::get_if<RegisterError>(&opened)) {
    err << Say(error->message) << "\n";
    const bool server = options.Named() && IsServerAddress(*options.Named());
    if (error->damaged || error->busy || server) exit = 1;
    return std::nullopt;
  }
  GaugeRegister& gauges = std::get<GaugeRegister>(opened);
  if (gauges.note()) err << Say(*gauges.note()) << "\n";
  if (gauges.damage()) err << DamageNotice(gauges) << "\n";
  return std::move(gauges);
}

std::string DamageNotice(const GaugeRegister& gauges) {
  // A server's fault is its connection's: there is no file to restore.
  if (gauges.on_server()) {
    return Say({MessageCode::ServerShownIncomplete,
                {},
                {gauges.damage().value_or(Message{MessageCode::Told})}});
  }
  return Say({MessageCode::DamagedShownIncomplete,
              {},
              {gauges.damage().value_or(Message{MessageCode::Told}), RestoreHint(gauges.path())}});
}

int ReadStatus(const GaugeRegister& gauges, bool damaged_at_open, int status, std::ostream& err) {
  if (!gauges.damage()) return status;
  if (!damaged_at_open) {
    err << Say(gauges.on_server()
                   ? Message{MessageCode::ServerReadIncomplete, {}, {*gauges.damage()}}
                   : Message{MessageCode::DamagedReadIncomplete,
                             {},
                             {*gauges.damage(), RestoreHint(gauges.path())}})
        << "\n";
  }
  return 1;
}

std::optional<long long> WholeNumberOption(const std::string& option, const std::string& text,
                                           std::ostream& err) {
  long long value = 0;
  const bool digits =
      !text.empty() && text.size() <= 15 &&
      std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
  if (digits) value = std::stoll(text);
  if (!digits || value <= 0) {
    err << option << " 的值“" << text << "”不是记录号（正整数）\n";
    return std::nullopt;
  }
  return value;
}

std::optional<double> NumberOption(const std::string& option, const std::string& text,
                                   std::ostream& err) {
  const auto number = ParseStoredNumber(text);
  if (!number) err << option << " 的值“" << text << "”不是数\n";
  return number;
}

std::optional<Day> DayOption(const std::string& option, const std::optional<std::string>& text,
                             std::ostream& err) {
  if (!text) return Today();
  const auto day = ParseDay(*text);
  if (!day) err << option << " 的值“" << *text << "”不是日期，例如 2026-12-07\n";
  return day;
}

std::string JsonNumberOrNull(std::optional<double> value, int decimals) {
  if (!value || !std::isfinite(*value)) return "null";
  const double scale = std::pow(10.0, decimals);
  const double rounded = std::round(*value * scale) / scale;
  return PlainDecimal(std::isfinite(rounded) ? rounded : *value);  // 1e308 × scale overflows
}

}  // namespace threadgauge
