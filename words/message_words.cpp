#include "words/message_words.h"

#include <cstdlib>

#include "words/file_words.h"

namespace threadgauge {
namespace {

// Each message's sentence: {0} is its first arg, {e1} the engine code in its second arg
// said in words, {m0} its first part said.
const char* SentenceOf(MessageCode code) {
  switch (code) {
    case MessageCode::DamagedShownIncomplete:
      return "量规台账已损坏：{m0}；以下内容可能不全。{m1}";
    case MessageCode::DamagedReadIncomplete:
      return "量规台账读取时出错：{m0}；以上内容可能不全。{m1}";
    case MessageCode::DamagedInWindow:
      return "量规台账已损坏：{m0}；以下内容可能不全，也不能写入。请在“量规 → "
             "量规台账…”中点“从备份恢复…”";
    case MessageCode::NoWritePermission:
      return "没有写入权限";
    case MessageCode::ReadOnlyFileSystem:
      return "文件系统是只读的";
    case MessageCode::DiskFull:
      return "磁盘已满";
    case MessageCode::SameNamedFileInPath:
      return "路径上有一个同名的文件";
    case MessageCode::SystemReason:
      return "{0}";
    case MessageCode::EngineCannotWrite:
      return "数据库引擎无法写入";
    case MessageCode::FolderUnreadable:
      return "无法读取文件夹 {0}";
    case MessageCode::FileUnreadable:
      return "无法读取 {0}";
    case MessageCode::FileNotUtf8OrGbkText:
      return "{0} 既不是 UTF-8 也不是 GBK 编码的文本";
    case MessageCode::CsvWithoutHeadings:
      return "{0} 没有标题行（列名）";
    case MessageCode::CsvRowWidth:
      return "{0} 第 {1} 行有 {2} 个单元格，标题行有 {3} 个";
    case MessageCode::SourceMissing:
      return "找不到 {0}";
    case MessageCode::NoToleranceTables:
      return "来源中没有任何一张公差表（表名须为“基本偏差”“位置要素”等）{;0}";
    case MessageCode::DatabaseUnopenable:
      return "{s0}：{1}";
    case MessageCode::TableReadFailed:
      return "读取表“{0}”时出错（{e1}）";
    case MessageCode::SourceLacksTable:
      return "来源中没有表“{0}”，已建立空表";
    case MessageCode::SourceLacksColumn:
      return "表“{0}”的来源中没有列“{1}”，该列为空";
    case MessageCode::FileUncreatableIn:
      return "无法在 {0} 中建立文件：{m0}";
    case MessageCode::WriteFailed:
      return "写入 {0} 失败（{e1}）";
    case MessageCode::ResultUnplaceable:
      return "无法把结果写到 {0}：{m0}";
    case MessageCode::OutputExists:
      return "{0} 已存在；要替换它请加 --force";
    case MessageCode::CsvExists:
      return "{0} 已存在；要替换请加 --force";
    case MessageCode::FolderUncreatable:
      return "无法建立文件夹 {0}：{m0}";
    case MessageCode::FileUnwritable:
      return "无法写入 {0}";
    case MessageCode::FileUnwritableBecause:
      return "无法写入 {0}：{m0}";
    case MessageCode::NoUsableBackup:
      return "没有可用的备份文件 {0}";
    case MessageCode::PasteRowsUneven:
      return "第 {0} 行有 {1} 个单元格，第 1 行有 {2} "
             "个；各行单元格数不同，无法判断缺的是哪一列，未粘贴。请在 PDF "
             "中每个空单元格处写“—”，或从电子表格复制";
    case MessageCode::PasteBeyondLastColumn:
      return "每行右边的 {0} 个单元格超出表格的最后一列，未粘贴";
    case MessageCode::BothSaid:
      return "{m0}；{m1}";
    case MessageCode::ListOf:
      return "{list}";
    case MessageCode::QuotedListOf:
      return "{qlist}";
    case MessageCode::CheckMustBeNumber:
      return "此处须填数值";
    case MessageCode::CheckNotNumber:
      return "“{0}”不是数值";
    case MessageCode::CheckRowCell:
      return "第 {0} 行 “{1}”";
    case MessageCode::CheckNotNumbers:
      return "表“{0}”列“{1}”中有不是数值的单元格：{m0}";
    case MessageCode::CheckEmptyCells:
      return "表“{0}”列“{1}”有 {2} 个空单元格";
    case MessageCode::CheckEmptyBounds:
      return "表“{0}”列“{1}”有 {2} 个空单元格（范围的界限为空时按 0 读取）";
    case MessageCode::CheckEmptyNoValue:
      return "表“{0}”列“{1}”有 {2} 个空单元格（标准在此无值时属正常）";
    case MessageCode::CheckWhereTable:
      return "表“{0}”";
    case MessageCode::CheckWhereGroup:
      return "表“{0}”中 {1} 的行";
    case MessageCode::CheckLowerAboveUpper:
      return "{m0}：第 {0} 行的下限大于上限";
    case MessageCode::CheckMarkLowerAboveUpper:
      return "下限大于上限";
    case MessageCode::CheckDescending:
      return "{m0}不是升序：第 {0} 行的下限 {1} 小于上一行的 {2}";
    case MessageCode::CheckMarkDescending:
      return "不是升序：下限小于上一行的下限";
    case MessageCode::CheckGap:
      return "{m0}有间隙：{0} 至 {1} 之间没有行";
    case MessageCode::CheckMarkGap:
      return "与上一行之间有间隙：{0} 至 {1}";
    case MessageCode::CheckOverlap:
      return "{m0}有重叠：第 {0} 行从 {1} 起，上一行到 {2} 止";
    case MessageCode::CheckMarkOverlap:
      return "与上一行重叠";
    case MessageCode::CheckGaugeCovered:
      return "中径公差表中的每个 TD2/Td2 都在“位置要素”的某一行范围内";
    case MessageCode::CheckGaugeUncovered:
      return "以下 TD2/Td2 值（µm）不在“位置要素”任何一行的范围内，查不到量规公差：{m0}";
    case MessageCode::CheckMissingUncovered:
      return "以下 TD2/Td2 值（µm）未被任何一行覆盖：{m0}";
    case MessageCode::CheckPitchRowsComplete:
      return "表“{0}”有螺距列表中每个螺距的行";
    case MessageCode::CheckPitchRowsMissingOptional:
      return "表“{0}”没有以下螺距的行：{m0}，可选（空时用最佳直径）";
    case MessageCode::CheckMissingPitchRowsOptional:
      return "可选（空时用最佳直径）：没有以下螺距的行：{m0}";
    case MessageCode::CheckPitchRowsMissing:
      return "表“{0}”没有以下螺距的行：{m0}";
    case MessageCode::CheckMissingPitchRows:
      return "没有以下螺距的行：{m0}";
    case MessageCode::CheckLengthRowsMissing:
      return "表“螺距公差”没有以下螺纹部分长度的行：{m0}";
    case MessageCode::CheckMissingLengthRows:
      return "没有以下螺纹部分长度的行：{m0}";
    case MessageCode::CheckTableMissing:
      return "缺少表“{0}”";
    case MessageCode::CheckColumnsMissing:
      return "表“{0}”缺少列 {m0}";
    case MessageCode::CheckNoRowsOptional:
      return "表“{0}”：0 行，可选（空时用最佳直径）";
    case MessageCode::CheckMissingNoRowsOptional:
      return "表中还没有行，可选（空时用最佳直径）";
    case MessageCode::CheckNoRows:
      return "表“{0}”：0 行";
    case MessageCode::CheckMissingNoRows:
      return "表中还没有行";
    case MessageCode::CheckRows:
      return "表“{0}”：{1} 行";
    case MessageCode::AccessFileMissing:
      return "找不到 Access 数据库文件";
    case MessageCode::AccessNotReadable:
      return "不是可读的 Access 数据库文件";
    case MessageCode::AccessCatalogUnreadable:
      return "无法读取 Access 数据库的表目录";
    case MessageCode::AccessReaderMissing:
      return "找不到读取 Access 文件的程序 {0}";
    case MessageCode::AccessReaderNotStarted:
      return "无法启动读取 Access 文件的程序 {0}";
    case MessageCode::AccessReadTimedOut:
      return "读取超过 {0} 秒仍未结束（文件可能已损坏），已停止读取";
    case MessageCode::AccessReaderCrashed:
      return "读取程序在读这个文件时出错中止（文件已损坏）";
    case MessageCode::AccessTablesIncomplete:
      return "读取程序交回的表不完整";
    case MessageCode::RegisterMissing:
      return "量规台账 “{0}” 不存在（先用 gauges add 或 gauges import 登记量规）";
    case MessageCode::RegisterEmptyFile:
      return "量规台账 “{0}” 是空文件（0 字节），多半是复制或保存中断留下的；未把它当作新台账{;m0}";
    case MessageCode::RegisterUncreatable:
      return "无法创建量规台账 “{0}”（文件夹不可写？）";
    case MessageCode::RegisterUnreadable:
      return "量规台账已损坏：“{0}” 无法读取（{e1}）。{m0}";
    case MessageCode::RegisterEmptyReadOnly:
      return "量规台账 “{0}” 是空文件且不可写";
    case MessageCode::RegisterOtherDatabase:
      return "“{0}” 不是量规台账（是另一种数据库）";
    case MessageCode::RegisterWithoutVersion:
      return "“{0}” 不是量规台账（没有版本号）";
    case MessageCode::NotARegister:
      return "“{0}” 不是量规台账（{m0}）{;m1}";
    case MessageCode::NotReadableDatabase:
      return "不是可读的 SQLite 数据库";
    case MessageCode::RegisterReadOnly:
      return "量规台账 “{0}” 只能读取（没有写入权限）";
    case MessageCode::RegisterOnReadOnlyMedium:
      return "量规台账 “{0}” 在只读的文件夹或介质上，只能读取，不能写入";
    case MessageCode::RegisterNewer:
      return "量规台账 “{0}” 由较新版本的程序写入（版本 {1}），本程序只读打开它";
    case MessageCode::RegisterMigrated:
      return "量规台账已从版本 {0} 升级到版本 {1}；原文件已复制为 “{2}”";
    case MessageCode::MigrationCopyFailed:
      return "量规台账 “{0}” 需要升级，但未能先把它复制为 “{1}”（{e2}）；台账未改动";
    case MessageCode::DamagedCannotMigrate:
      return "量规台账已损坏：{m0}；它须升级到版本 {0} 才能读取，损坏的文件不能升级。{m1}";
    case MessageCode::MigrationNeedsWriting:
      return "量规台账 “{0}” 需要升级到版本 {1}，但它不可写";
    case MessageCode::RegisterBusy:
      return "量规台账 “{0}” 正被另一程序写入，请稍后再试；未写入任何内容";
    case MessageCode::RegisterWriteFailed:
      return "量规台账 “{0}” 未能写入（{e1}）；台账保持原样";
    case MessageCode::DamagedNoWriting:
      return "量规台账已损坏，不能写入：{m0}；台账保持原样。{m1}";
    case MessageCode::ReadOnlyNoWriting:
      return "量规台账 “{0}” 只读打开，不能写入{(m0)}";
    case MessageCode::FileCheckImpossible:
      return "文件检查无法进行（{e0}）";
    case MessageCode::FileCheckFaults:
      return "“{0}” 的检查发现 {1} 处错误（第一处：{2}）";
    case MessageCode::FileCheckManyFaults:
      return "“{0}” 的检查发现 20 处以上错误（第一处：{1}）";
    case MessageCode::RegisterReadError:
      return "“{0}” 读取时出错（{e1}）";
    case MessageCode::RestoreFromNewest:
      return "可从备份恢复：threadgauge-cli gauges restore {0}（最新的备份，{1}；备份共 {2} 份，在 "
             "{3}）";
    case MessageCode::NoBackupFound:
      return "没有找到它的备份（{0}）；有别处的备份时可用 threadgauge-cli gauges restore 备份文件 "
             "恢复";
    case MessageCode::BackupUnusable:
      return "备份 “{0}” 不能用来恢复：{m0}；量规台账未改动";
    case MessageCode::BackupMissing:
      return "文件不存在";
    case MessageCode::BackupEmpty:
      return "是空文件（0 字节）";
    case MessageCode::BackupUnopenable:
      return "无法打开（{e0}）";
    case MessageCode::BackupNotDatabase:
      return "不是可读的 SQLite 数据库，或已损坏";
    case MessageCode::BackupNotRegister:
      return "不是量规台账";
    case MessageCode::BackupVersion:
      return "版本 {0} 不是本程序能读的量规台账";
    case MessageCode::BackupDamaged:
      return "文件已损坏{(0)}";
    case MessageCode::RestoreKeepFailed:
      return "未能先把当前的量规台账保存为 “{0}”（{1}）；未恢复，量规台账未改动";
    case MessageCode::RestoreCopyFailed:
      return "未能复制备份 “{0}”；量规台账未改动";
    case MessageCode::RestoreInUse:
      return "量规台账 “{0}” 正被使用，未能恢复；请先关闭其他打开它的程序";
    case MessageCode::RestorePlaceFailed:
      return "未能把备份放到 “{0}”（{1}）；当前文件已保存为 “{2}”";
    case MessageCode::CopyTargetExists:
      return "“{0}” 已存在；备份不覆盖已有的文件";
    case MessageCode::CopyFailed:
      return "未能把量规台账复制为 “{0}”（{e1}）";
    case MessageCode::DailyBackupFailed:
      return "今天第一次修改量规台账之前须先备份，但{m0}；未写入任何内容";
    case MessageCode::GaugeNumberTaken:
      return "编号 {0} 已在量规台账中；未写入任何内容";
    case MessageCode::GaugeNumberUnknown:
      return "编号 {0} 不在量规台账中";
    case MessageCode::GaugeNumberUnknownUnwritten:
      return "编号 {0} 不在量规台账中；未写入任何内容";
    case MessageCode::CorrectedRecordUnknown:
      return "被更正的记录 {0} 不在量规台账中；未写入任何内容";
    case MessageCode::Told:
      return "{0}";
    case MessageCode::HashUnreadable:
      return "无法读取";
    case MessageCode::FillGaugeTable:
      return "请在“公差表→编辑公差表…”中补上“{0}”表";
    case MessageCode::EntryNumberMissing:
      return "缺少编号";
    case MessageCode::ThreadWithoutClass:
      return "螺纹标记“{0}”没有公差带，例如 M10×1.5-6g";
    case MessageCode::UnknownGaugeKind:
      return "量规名称“{0}”不是十种量规之一";
    case MessageCode::KindForInternal:
      return "{0} 检验内螺纹（G、H），与 {1} 不符";
    case MessageCode::KindForExternal:
      return "{0} 检验外螺纹（e、f、g、h），与 {1} 不符";
    case MessageCode::LengthUnknown:
      return "螺纹部分长度“{0}”不是 {*1} 之一，也不是毫米数";
    case MessageCode::SinceNotDate:
      return "启用日期“{0}”不是日期，例如 2026-12-07";
    case MessageCode::SinceAfterToday:
      return "启用日期 {0} 在今天（{1}）之后";
    case MessageCode::IntervalOutOfRange:
      return "检定周期须为 1 至 120 个月";
    case MessageCode::StateUnknown:
      return "状态“{0}”不是 在用、停用、封存、报废 之一";
    case MessageCode::GaugeRetired:
      return "量规 {0} 已报废，不再检定";
    case MessageCode::InspectionDateNotDate:
      return "检定日期“{0}”不是日期，例如 2026-12-07";
    case MessageCode::InspectionDateAfterToday:
      return "检定日期 {0} 在今天（{1}）之后";
    case MessageCode::PlugNeedsWires:
      return "{0} 用三针测量 M 值（三针直径和 M 读数）";
    case MessageCode::RingNeedsBalls:
      return "{0} 用钢球测量 E 值，或用校对塞规检验";
    case MessageCode::WireDiameterMissing:
      return "缺少三针直径";
    case MessageCode::BallDiameterMissing:
      return "缺少钢球直径";
    case MessageCode::ReadingsMissing:
      return "缺少 {0} 读数";
    case MessageCode::CheckResultsMissing:
      return "缺少校对塞规的检验结果（通过 或 不通过）";
    case MessageCode::CheckResultsContradict:
      return "校对塞规的结果相互矛盾：较大的 {0} 通过，较小的 {1} "
             "却不通过，可能输错了；请核对后重新输入";
    case MessageCode::TemperatureOutOfRange:
      return "温度须在 −50 至 +100 ℃ 之间";
    case MessageCode::WireDiameterOutOfRange:
      return "三针直径须为正数（不大于 100 mm）";
    case MessageCode::BallDiameterOutOfRange:
      return "钢球直径须为正数（不大于 100 mm）";
    case MessageCode::MajorOutOfRange:
      return "大径须为正数（不大于 1000 mm）";
    case MessageCode::UncertaintyOutOfRange:
      return "测量不确定度 U 不能为负数，也不能大于 1000 µm";
    case MessageCode::CoverageOutOfRange:
      return "包含因子 k 须为正数（不大于 10）";
    case MessageCode::ReadingOutOfRange:
      return "第 {0} 个 {1} 读数须为正数（不大于 1000 mm）";
    case MessageCode::PositionUnknown:
      return "第 {0} 个读数的位置“{1}”须为 起始、中间 或 末端";
    case MessageCode::MorePositionsThanReadings:
      return "位置比读数多";
    case MessageCode::ReplacedNotThisGauge:
      return "记录 {0} 不是量规 {1} 的检定记录";
    case MessageCode::ReplacedAlready:
      return "记录 {0} 已被记录 {1} 更正";
    case MessageCode::ReadingFarOff:
      return "第 {0} 个读数 {1} = {2} 得中径 {3}，与量规中径 {4} 相差超过 0.2 mm，可能输错了";
    case MessageCode::NotUtf8OrGbk:
      return "文件既不是 UTF-8 也不是 GBK 编码的文字，无法读取";
    case MessageCode::FileEmpty:
      return "文件是空的";
    case MessageCode::RowProblem:
      return "第 {0} 行：{m0}";
    case MessageCode::LedgerColumnMissing:
      return "第 1 行缺少“{0}”列（第 1 行须为列标题：编号、螺纹、量规 …）";
    case MessageCode::RecordColumnMissing:
      return "第 {0} 行缺少“{1}”列（第 1 "
             "行须为列标题：编号、检定日期、检定员、方法、测针或钢球直径、读数 …）";
    case MessageCode::IntervalNotMonths:
      return "检定周期“{0}”不是月数";
    case MessageCode::NumberInRegister:
      return "编号 {0} 已在量规台账中";
    case MessageCode::NumberRepeated:
      return "编号 {0} 在文件中重复";
    case MessageCode::InspectionDateMissing:
      return "缺少检定日期";
    case MessageCode::MethodUnknown:
      return "方法“{0}”不是 三针、钢球 或 校对塞规";
    case MessageCode::UncertaintyNotNumber:
      return "不确定度“{0}”不是数";
    case MessageCode::TooManyCheckResults:
      return "校对塞规的结果最多三个（通、止、损）";
    case MessageCode::CheckResultUnknown:
      return "校对塞规的结果“{0}”须为 通过、不通过 或 -";
    case MessageCode::ElementNotNumber:
      return "测针或钢球直径“{0}”不是数";
    case MessageCode::ReadingNotNumber:
      return "读数“{0}”不是数";
    case MessageCode::DueWearForecast:
      return "预计 {0} 达到磨损极限";
    case MessageCode::DueNeverInspected:
      return "从未检定";
    case MessageCode::DueWornOut:
      return "检定不合格：超出磨损极限（记录 {0}）";
    case MessageCode::DueOutOfTolerance:
      return "检定不合格：超出制造公差（记录 {0}）";
    case MessageCode::DueUndecided:
      return "未能判定（记录 {0}）";
    case MessageCode::DueOverdue:
      return "（已过期 {0} 天）";
    case MessageCode::TriggerMissing:
      return "缺少触发器 {0}";
    case MessageCode::TriggerChanged:
      return "触发器 {0} 已被改动";
    case MessageCode::EngineCode:
      return "{e0}";
    case MessageCode::EngineReport:
      return "{0}";
  }
  return "";
}

// One placeholder's text: "0" an arg, "*1" the args from the second on in a list, "e0" an
// engine code said, "s0" an OpenStatus said, "m0" a part said. An
// optional one, "(…)" or ";…", is said in brackets or after "；" when there is something to
// say, and left out when the message does not carry it.
std::string Filled(const Message& message, std::string_view slot) {
  std::string before, after;
  if (slot.starts_with('(') && slot.ends_with(')')) {
    before = "（", after = "）";
    slot = slot.substr(1, slot.size() - 2);
  } else if (slot.starts_with(';')) {
    before = "；";
    slot = slot.substr(1);
  }
  const char kind =
      std::string_view("ems*").find(slot.front()) != std::string_view::npos ? slot.front() : 'a';
  const size_t index =
      std::strtoul(std::string(slot.substr(kind == 'a' ? 0 : 1)).c_str(), nullptr, 10);
  std::string text;
  if (kind == '*') {
    for (size_t i = index; i < message.args.size(); ++i) {
      text += (i == index ? "" : "、") + message.args[i];
    }
  } else if (kind == 'm') {
    if (index < message.parts.size()) text = Say(message.parts[index]);
  } else if (index < message.args.size()) {
    const std::string& arg = message.args[index];
    if (kind == 'e') {
      text = DescribeEngineCode(std::atoi(arg.c_str()));
    } else if (kind == 's') {
      text = DescribeOpenStatus(static_cast<OpenStatus>(std::atoi(arg.c_str())));
    } else {
      text = arg;
    }
  }
  return text.empty() ? text : before + text + after;
}

constexpr size_t kListedAtMost = 10;  // items named before "等（共 N 个）"

std::string Listed(const std::vector<std::string>& items, bool quoted) {
  std::string out;
  for (size_t i = 0; i < items.size() && i < kListedAtMost; ++i) {
    out += (i ? "、" : "") + (quoted ? "“" + items[i] + "”" : items[i]);
  }
  if (items.size() > kListedAtMost) out += " 等（共 " + std::to_string(items.size()) + " 个）";
  return out;
}

}  // namespace

std::string Say(const Message& message) {
  if (message.code == MessageCode::ListOf || message.code == MessageCode::QuotedListOf) {
    return Listed(message.args, message.code == MessageCode::QuotedListOf);
  }
  const std::string_view sentence = SentenceOf(message.code);
  std::string out;
  size_t at = 0;
  while (at < sentence.size()) {
    const size_t open = sentence.find('{', at);
    const size_t close = open == std::string_view::npos ? open : sentence.find('}', open);
    if (close == std::string_view::npos) {
      out.append(sentence.substr(at));
      break;
    }
    out.append(sentence.substr(at, open - at));
    out += Filled(message, sentence.substr(open + 1, close - open - 1));
    at = close + 1;
  }
  return out;
}

std::string Say(const std::optional<Message>& message) { return message ? Say(*message) : ""; }

}  // namespace threadgauge
