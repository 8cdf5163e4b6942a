#include "words/file_words.h"

#include "sqlite/sqlite_database.h"

namespace threadgauge {
namespace {

std::string CodePageName(int code_page) {
  switch (code_page) {
    case 936:
      return "936（GBK）";
    case 950:
      return "950（Big5）";
    case 1252:
      return "1252（西欧）";
    default:
      return std::to_string(code_page);
  }
}

}  // namespace

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

std::string DescribeEngineCode(int engine_code) {
  std::string words;
  switch (FaultOf(engine_code)) {
    case EngineFault::DiskFull:
      words = "磁盘已满";
      break;
    case EngineFault::Unwritable:
      words = "没有写入权限";
      break;
    case EngineFault::ReadWriteFailed:
      words = "读写文件出错";
      break;
    case EngineFault::Damaged:
      words = "文件已损坏";
      break;
    case EngineFault::Locked:
      words = "文件正被其他程序锁定";
      break;
    case EngineFault::None:
    case EngineFault::Refused:
    case EngineFault::Other:
      break;
  }
  return "数据库引擎错误码 " + std::to_string(engine_code) + (words.empty() ? "" : "，" + words);
}

std::string DescribeCodePage(const CodePageChoice& choice) {
  if (choice.used == choice.recorded) return {};
  std::string text = "按代码页 " + CodePageName(choice.used) + "读取";
  if (choice.recorded != 0) text += "；文件头记录的是 " + std::to_string(choice.recorded);
  return text;
}

}  // namespace threadgauge
