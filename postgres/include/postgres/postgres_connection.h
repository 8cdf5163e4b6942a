#pragma once

#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

struct pg_conn;
struct pg_result;

namespace threadgauge {

// What the server or the way to it answered instead of a result. `sqlstate` is the
// server's five-character code ("42501": no privilege, "40001": a serialisation failure),
// empty when no answer came; `lost` when the connection is gone (the server stopped or
// restarted, the network broke): nothing of the statement was kept.
struct PgError {
  std::string sqlstate;
  std::string detail;  // the server's or libpq's own words, for the log and for support
  bool lost = false;
};

// The rows a statement returned, each cell its text or NULL.
class PgResult {
 public:
  int rows() const;
  int columns() const;
  std::optional<std::string> Cell(int row, int column) const;
  long long affected() const;  // rows an INSERT, UPDATE or DELETE touched

  explicit PgResult(pg_result* result);

 private:
  std::shared_ptr<pg_result> result_;
};

using PgParameter = std::optional<std::string>;  // text, or NULL

// A connection to a PostgreSQL server. Every value goes to the server as a parameter
// ($1, $2 …), never inside the SQL text.
class PgConnection {
 public:
  // `where` is any libpq connection string: a URI "postgresql://host:port/db", or
  // "service=name" from pg_service.conf. The password comes from libpq's password file,
  // PGPASSWORD, or `password` when the user typed it in a sign-in.
  static std::variant<PgConnection, PgError> Connect(const std::string& where,
                                                     const std::string& password = "");

  std::variant<PgResult, PgError> Exec(const std::string& sql,
                                       const std::vector<PgParameter>& parameters = {}) const;

  // Several statements without parameters, as one string (a schema): the first failure.
  std::variant<PgResult, PgError> ExecScript(const std::string& sql) const;

  // The password as the server keeps it (its SCRAM verifier), so that the password itself
  // never travels to the server in a statement.
  std::optional<std::string> PasswordVerifier(const std::string& login,
                                              const std::string& password) const;

  // After `lost`: one try to connect again with what the connection was opened with.
  bool Reconnect();
  bool connected() const;
  std::string user() const;

  PgConnection(PgConnection&&) noexcept = default;
  PgConnection& operator=(PgConnection&&) noexcept = default;

 private:
  explicit PgConnection(pg_conn* connection);
  std::unique_ptr<pg_conn, void (*)(pg_conn*)> connection_;
};

}  // namespace threadgauge
