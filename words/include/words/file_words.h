#pragma once

#include <string>

#include "platform/problems.h"
#include "tolerance/access_reader.h"

namespace threadgauge {

// What went wrong with a file, in the words of the program's messages.

// An opening failure of the tolerance database: "找不到公差数据库文件", …
std::string DescribeOpenStatus(OpenStatus status);

// An engine result code with what it means: "数据库引擎错误码 13，磁盘已满".
std::string DescribeEngineCode(int engine_code);
// "按代码页 936（GBK）读取；文件头记录的是 1252" when the code page an Access file was read in
// is not the one its header records; empty otherwise.
std::string DescribeCodePage(const CodePageChoice& choice);

}  // namespace threadgauge
