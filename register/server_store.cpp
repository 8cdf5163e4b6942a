// The register on a server: connecting, reading and changing in transactions, settings, and
// what `gauges verify` can ask of a server.
#include "server_store.h"

#include <charconv>
#include <cstdlib>

#include "platform/utf8.h"
#include "register/gauge_register.h"
#include "register/server_register.h"

namespace threadgauge {
namespace {

// The triggers that keep records unchanged and say who did what.
constexpr const char* kGuards[] = {
    "records_fixed",       "readings_fixed", "check_results_fixed", "tolerance_versions_fixed",
    "records_not_emptied", "records_signed", "gauges_stamped",      "gauges_history",
    "gauges_kept"};

Message Unreachable(const std::string& detail) {
  return {MessageCode::ServerUnreachable, {detail.substr(0, detail.find('\n'))}};
}

}  // namespace

std::string ExactText(double value) {
  char text[32];
  const auto [end, error] = std::to_chars(text, text + sizeof text, value);
  return error == std::errc() ? std::string(text, end) : std::to_string(value);
}

PgParameter OptionalText(const std::optional<double>& value) {
  if (!value) return std::nullopt;
  return ExactText(*value);
}

std::optional<double> OptionalNumber(const std::optional<std::string>& cell) {
  if (!cell) return std::nullopt;
  return std::strtod(cell->c_str(), nullptr);
}

std::variant<std::unique_ptr<RegisterServer>, RegisterError> RegisterServer::Open(
    const std::string& where, const std::string& password) {
  auto connected = PgConnection::Connect(where, password);
  if (const auto* error = std::get_if<PgError>(&connected)) {
    if (error->sqlstate == "28P01") {
      return RegisterError{{MessageCode::ServerPasswordRefused, {where}}};
    }
    return RegisterError{Unreachable(error->detail)};
  }
  auto server =
      std::make_unique<RegisterServer>(std::get<PgConnection>(std::move(connected)), where);
  const auto version = server->Read("SELECT version FROM schema_version");
  if (!version || version->rows() != 1) {
    return RegisterError{{MessageCode::ServerNotARegister, {where}}};
  }
  if (std::stoi(version->Cell(0, 0).value_or("0")) > 1) {
    return RegisterError{{MessageCode::ServerRegisterNewer, {where}}};
  }
  return server;
}

bool RegisterServer::Ready() const {
  if (db_.connected()) return true;
  if (db_.Reconnect()) {
    fault_.reset();
    return true;
  }
  fault_ = Unreachable(where_);
  return false;
}

std::optional<PgResult> RegisterServer::Read(const std::string& sql,
                                             const std::vector<PgParameter>& parameters) const {
  if (!Ready()) return std::nullopt;
  auto done = db_.Exec(sql, parameters);
  // A server restarted since the last action: a read is asked again once it is found.
  if (const auto* error = std::get_if<PgError>(&done); error && error->lost && db_.Reconnect()) {
    done = db_.Exec(sql, parameters);
  }
  if (const auto* error = std::get_if<PgError>(&done)) {
    fault_ = error->lost ? Unreachable(error->detail)
                         : Message{MessageCode::ServerRefused, {error->detail}};
    return std::nullopt;
  }
  fault_.reset();
  return std::get<PgResult>(std::move(done));
}

RegisterError RegisterServer::Refusal(const PgError& error, MessageCode action,
                                      RegisterRole needed) const {
  if (error.sqlstate == "42501") {
    return {{MessageCode::NoPermissionTo,
             {std::string(ServerRoleName(needed)).substr(12)},
             {Message{action}}}};
  }
  if (error.lost) {
    fault_ = Unreachable(error.detail);
    return {*fault_};
  }
  return {{MessageCode::ServerRefused, {error.detail.substr(0, error.detail.find('\n'))}}};
}

std::optional<RegisterError> RegisterServer::Change(
    const std::function<std::optional<RegisterError>()>& change, MessageCode action,
    RegisterRole needed) {
  if (!Ready()) return RegisterError{*fault_};
  auto begun = db_.Exec("BEGIN");
  if (const auto* error = std::get_if<PgError>(&begun); error && error->lost && db_.Reconnect()) {
    begun = db_.Exec("BEGIN");
  }
  if (const auto* error = std::get_if<PgError>(&begun)) return Refusal(*error, action, needed);
  if (auto refused = change()) {
    db_.Exec("ROLLBACK");
    return refused;
  }
  const auto committed = db_.Exec("COMMIT");
  if (const auto* error = std::get_if<PgError>(&committed)) return Refusal(*error, action, needed);
  fault_.reset();
  return std::nullopt;
}

std::string RegisterServer::Setting(const std::string& key) const {
  const auto value = Read("SELECT value FROM settings WHERE key = $1", {key});
  return value && value->rows() == 1 ? value->Cell(0, 0).value_or("") : "";
}

std::optional<RegisterError> RegisterServer::SetSetting(const std::string& key,
                                                        const std::string& value) {
  return Change(
      [&]() -> std::optional<RegisterError> {
        const auto done = db_.Exec(
            "INSERT INTO settings (key, value) VALUES ($1, $2) "
            "ON CONFLICT (key) DO UPDATE SET value = excluded.value",
            {key, value});
        if (const auto* error = std::get_if<PgError>(&done)) {
          return Refusal(*error, MessageCode::ActionChangeSetting, RegisterRole::Admin);
        }
        return std::nullopt;
      },
      MessageCode::ActionChangeSetting, RegisterRole::Admin);
}

std::vector<Message> RegisterServer::MissingGuards() const {
  std::vector<Message> missing;
  for (const char* guard : kGuards) {
    const auto found = Read("SELECT 1 FROM pg_trigger WHERE tgname = $1 AND tgenabled <> 'D'",
                            {std::string(guard)});
    if (!found) return {*fault_};
    if (found->rows() == 0) missing.push_back({MessageCode::TriggerMissing, {guard}});
  }
  return missing;
}

std::optional<RegisterError> RegisterServer::CopyTo(const std::filesystem::path& target) const {
  std::error_code error;
  if (std::filesystem::exists(target, error)) {
    return RegisterError{{MessageCode::CopyTargetExists, {Utf8(target)}}};
  }
  auto file = GaugeRegister::Open(target);
  if (auto* failed = std::get_if<RegisterError>(&file)) return *failed;
  return CopyRegister(*this, std::get<GaugeRegister>(file).store());
}

std::variant<GaugeRegister, RegisterError> OpenServerRegister(const std::string& where,
                                                              const std::string& password) {
  auto opened = RegisterServer::Open(where, password);
  if (auto* failed = std::get_if<RegisterError>(&opened)) return *failed;
  return GaugeRegister(std::move(std::get<std::unique_ptr<RegisterServer>>(opened)));
}

}  // namespace threadgauge
