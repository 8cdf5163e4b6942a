#include "postgres/postgres_connection.h"

#include <libpq-fe.h>

namespace threadgauge {
namespace {

PgError ErrorOf(const PGconn* connection, const PGresult* result) {
  PgError error;
  if (result != nullptr) {
    if (const char* state = PQresultErrorField(result, PG_DIAG_SQLSTATE)) error.sqlstate = state;
    if (const char* text = PQresultErrorMessage(result)) error.detail = text;
  }
  if (error.detail.empty()) error.detail = PQerrorMessage(connection);
  error.lost = PQstatus(connection) != CONNECTION_OK;
  return error;
}

}  // namespace

PgResult::PgResult(PGresult* result) : result_(result, PQclear) {}

int PgResult::rows() const { return PQntuples(result_.get()); }
int PgResult::columns() const { return PQnfields(result_.get()); }

std::optional<std::string> PgResult::Cell(int row, int column) const {
  if (PQgetisnull(result_.get(), row, column)) return std::nullopt;
  return std::string(PQgetvalue(result_.get(), row, column),
                     static_cast<size_t>(PQgetlength(result_.get(), row, column)));
}

long long PgResult::affected() const {
  const char* count = PQcmdTuples(result_.get());
  return count && *count ? std::stoll(count) : 0;
}

PgConnection::PgConnection(PGconn* connection) : connection_(connection, PQfinish) {}

std::variant<PgConnection, PgError> PgConnection::Connect(const std::string& where,
                                                          const std::string& password) {
  // The typed password, when there is one, is given beside the connection string, never
  // written into it (a connection string may be shown or logged).
  const char* keywords[] = {"dbname", "password", "client_encoding", "connect_timeout", nullptr};
  const char* values[] = {where.c_str(), password.empty() ? nullptr : password.c_str(), "UTF8",
                          "10", nullptr};
  PGconn* raw = PQconnectdbParams(keywords, values, 1);
  if (raw == nullptr) return PgError{"", "out of memory", true};
  PgConnection connection(raw);
  if (PQstatus(raw) != CONNECTION_OK) {
    PgError error{"", PQerrorMessage(raw), true};
    // libpq says a refused or missing password only in words; the server's code is 28P01.
    if (error.detail.find("password authentication failed") != std::string::npos ||
        error.detail.find("no password supplied") != std::string::npos) {
      error.sqlstate = "28P01";
    }
    return error;
  }
  return connection;
}

std::variant<PgResult, PgError> PgConnection::Exec(
    const std::string& sql, const std::vector<PgParameter>& parameters) const {
  std::vector<const char*> values;
  for (const PgParameter& parameter : parameters) {
    values.push_back(parameter ? parameter->c_str() : nullptr);
  }
  PGresult* raw = PQexecParams(connection_.get(), sql.c_str(), static_cast<int>(values.size()),
                               nullptr, values.data(), nullptr, nullptr, 0);
  PgResult result(raw);
  const ExecStatusType status = raw ? PQresultStatus(raw) : PGRES_FATAL_ERROR;
  if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) return result;
  return ErrorOf(connection_.get(), raw);
}

std::variant<PgResult, PgError> PgConnection::ExecScript(const std::string& sql) const {
  PGresult* raw = PQexec(connection_.get(), sql.c_str());
  PgResult result(raw);
  const ExecStatusType status = raw ? PQresultStatus(raw) : PGRES_FATAL_ERROR;
  if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) return result;
  return ErrorOf(connection_.get(), raw);
}

std::optional<std::string> PgConnection::PasswordVerifier(const std::string& login,
                                                          const std::string& password) const {
  char* verifier =
      PQencryptPasswordConn(connection_.get(), password.c_str(), login.c_str(), "scram-sha-256");
  if (verifier == nullptr) return std::nullopt;
  std::string kept = verifier;
  PQfreemem(verifier);
  return kept;
}

bool PgConnection::Reconnect() {
  PQreset(connection_.get());
  return PQstatus(connection_.get()) == CONNECTION_OK;
}

bool PgConnection::connected() const { return PQstatus(connection_.get()) == CONNECTION_OK; }

std::string PgConnection::user() const {
  const char* name = PQuser(connection_.get());
  return name ? name : "";
}

}  // namespace threadgauge
