#include "register/register_location.h"

#include <string>

namespace threadgauge {

bool IsServerAddress(std::string_view where) {
  if (where.starts_with("postgresql://") || where.starts_with("postgres://")) return true;
  // A libpq keyword string: "service=车间 …", "host=… dbname=…"; a file name has no "=" at
  // the start of a word followed by these keywords.
  for (std::string_view keyword : {"service=", "host=", "hostaddr=", "dbname="}) {
    if (where.starts_with(keyword) || where.find(" " + std::string(keyword)) != where.npos)
      return true;
  }
  return false;
}

}  // namespace threadgauge
