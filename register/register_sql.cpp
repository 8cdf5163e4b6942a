#include "register_sql.h"

#include "platform/utf8.h"

namespace threadgauge {

RegisterError EngineError(const std::filesystem::path& path, int code) {
  if (FaultOf(code) == EngineFault::Locked) {
    return {{MessageCode::RegisterBusy, {Utf8(path)}}, true};
  }
  return {{MessageCode::RegisterWriteFailed, {Utf8(path), std::to_string(code)}}};
}

std::optional<long long> ReadInteger(const SqliteConnection& db, const char* sql) {
  auto statement = db.Prepare(sql);
  if (!statement || statement->Next() != SqliteStatement::Step::Row) return std::nullopt;
  return static_cast<long long>(statement->Read(0).number);
}

std::string TextOf(const Cell& cell) {
  if (cell.kind == Cell::Kind::Text) return cell.text;
  if (cell.kind == Cell::Kind::Integer) return std::to_string(static_cast<long long>(cell.number));
  return "";
}

std::optional<double> NumberOf(const Cell& cell) {
  if (cell.kind == Cell::Kind::Integer || cell.kind == Cell::Kind::Real) return cell.number;
  return std::nullopt;
}

void BindOptional(SqliteStatement& statement, int index, const std::optional<double>& value) {
  if (value) {
    statement.BindReal(index, *value);
  } else {
    statement.BindNull(index);
  }
}

}  // namespace threadgauge
