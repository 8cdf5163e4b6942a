#include "platform/open_status.h"

namespace threadgauge {

std::string DescribeOpenStatus(OpenStatus status) {
  switch (status) {
    case OpenStatus::FileMissing:
      return "找不到公差数据库文件";
    case OpenStatus::NotADatabase:
      return "公差数据库文件已损坏或不是数据库文件";
    case OpenStatus::Locked:
      return "公差数据库文件正被其他程序锁定，请稍后再按确定";
    case OpenStatus::TimedOut:
      return "公差数据库文件未能在限定时间内读完（文件可能已损坏），未使用其中的表";
    case OpenStatus::ReaderFailed:
      return "读取公差数据库文件时读取程序出错，文件已损坏，未使用其中的表";
    case OpenStatus::Opened:
    case OpenStatus::NotReadable:
      break;
  }
  return "无法读取公差数据库文件";
}

}  // namespace threadgauge
