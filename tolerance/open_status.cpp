#include "tolerance/open_status.h"

namespace threadgauge {

std::string DescribeOpenStatus(OpenStatus status) {
  switch (status) {
    case OpenStatus::FileMissing:
      return "找不到公差数据库文件";
    case OpenStatus::NotADatabase:
      return "公差数据库文件已损坏或不是数据库文件";
    case OpenStatus::Locked:
      return "公差数据库文件正被其他程序锁定，请稍后再按确定";
    case OpenStatus::Opened:
    case OpenStatus::NotReadable:
      break;
  }
  return "无法读取公差数据库文件";
}

}  // namespace threadgauge
