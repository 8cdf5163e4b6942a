#pragma once

#include <string>

#include "platform/open_status.h"

namespace threadgauge {

// What went wrong with a file, in the words of the program's messages.

// An opening failure of the tolerance database: "找不到公差数据库文件", …
std::string DescribeOpenStatus(OpenStatus status);

// An engine result code with what it means: "数据库引擎错误码 13，磁盘已满".
std::string DescribeEngineCode(int engine_code);

}  // namespace threadgauge
