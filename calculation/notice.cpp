#include "calculation/notice.h"

#include <algorithm>
#include <array>

#include "tolerance/table_names.h"

namespace threadgauge {
namespace {

bool IsUserGaugeTable(const std::string& table) {
  return std::find(names::kUserGaugeTables.begin(), names::kUserGaugeTables.end(), table) !=
         names::kUserGaugeTables.end();
}

}  // namespace

bool IsInformational(const Notice& notice) {
  return std::holds_alternative<DecimalCommaRead>(notice) ||
         std::holds_alternative<GaugesUseClass>(notice);
}

std::string GaugeTableToFill(const Notice& notice) {
  const auto* failure = std::get_if<LookupFailure>(&notice);
  if (failure == nullptr || !IsUserGaugeTable(failure->table)) return {};
  switch (failure->kind) {
    case LookupFailureKind::DatabaseUnavailable:
    case LookupFailureKind::EngineError:
      return {};
    default:
      return failure->table;
  }
}

void AddNotices(std::vector<Notice>& to, const std::vector<Notice>& from) {
  for (const Notice& notice : from) {
    if (std::find(to.begin(), to.end(), notice) == to.end()) to.push_back(notice);
  }
}

}  // namespace threadgauge
