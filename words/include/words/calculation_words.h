#pragma once

#include <filesystem>
#include <string>

#include "calculation/calculate.h"
#include "calculation/gauge_request.h"
#include "calculation/inspection.h"
#include "calculation/notice.h"

namespace threadgauge {

// What a calculation tells, in the words of a gauge designer.

// Why a field stayed empty, or what the user must know about a value shown.
std::string DescribeNotice(const Notice& notice);
// Several, one after the other: "…；…".
std::string DescribeNotices(const std::vector<Notice>& notices);

// Why 确定 refused the inputs: " 对不起,公称直径不能为空！" and the like, as the old form said it.
std::string DescribeRejection(Rejection rejection);

// The status line's first line: the database this calculation read, and how.
std::string DescribeDatabase(const std::filesystem::path& database,
                             const std::optional<CodePageChoice>& code_page);
std::string DescribeDatabase(const CalculationResult& result);

// "合格（新制范围内）", "不合格（超出磨损极限）", …
const char* VerdictText(VerdictCode code);

}  // namespace threadgauge
