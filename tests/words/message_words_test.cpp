#include "words/message_words.h"

#include <gtest/gtest.h>

#include "message_sentences.h"

namespace threadgauge {
namespace {

struct Said {
  Message message;
  const char* sentence;
};

// Each sentence written out as the user reads it: the data in place, an optional part left
// out with its "；" or brackets when it is not there, an engine code said with its cause.
TEST(MessageWords, EachCodeIsSaidWithItsDataInPlace) {
  const Message no_backup{MessageCode::NoBackupFound, {"/d/量规台账备份"}};
  const Said cases[] = {
      {{MessageCode::GaugeNumberTaken, {"TG-7"}}, "编号 TG-7 已在量规台账中；未写入任何内容"},
      {{MessageCode::RegisterEmptyFile, {"/d/台账.db"}},
       "量规台账 “/d/台账.db” 是空文件（0 字节），多半是复制或保存中断留下的；未把它当作新台账"},
      {{MessageCode::RegisterEmptyFile, {"/d/台账.db"}, {no_backup}},
       "量规台账 “/d/台账.db” 是空文件（0 字节），多半是复制或保存中断留下的；未把它当作新台账；"
       "没有找到它的备份（/d/量规台账备份）；有别处的备份时可用 threadgauge-cli gauges restore "
       "备份文件 恢复"},
      {{MessageCode::ReadOnlyNoWriting, {"/d/台账.db"}},
       "量规台账 “/d/台账.db” 只读打开，不能写入"},
      {{MessageCode::ReadOnlyNoWriting,
        {"/d/台账.db"},
        {{MessageCode::RegisterReadOnly, {"/d/台账.db"}}}},
       "量规台账 “/d/台账.db” 只读打开，不能写入（量规台账 “/d/台账.db” "
       "只能读取（没有写入权限））"},
      {{MessageCode::BackupDamaged}, "文件已损坏"},
      {{MessageCode::BackupDamaged, {"*** in database main ***"}},
       "文件已损坏（*** in database main ***）"},
      {{MessageCode::CopyFailed, {"/e/副本.db", "13"}},
       "未能把量规台账复制为 “/e/副本.db”（数据库引擎错误码 13，磁盘已满）"},
      {{MessageCode::LengthUnknown, {"99", "小于或等于14", "大于14至32"}},
       "螺纹部分长度“99”不是 小于或等于14、大于14至32 之一，也不是毫米数"},
      {{MessageCode::DatabaseUnopenable,
        {std::to_string(static_cast<int>(OpenStatus::FileMissing)), "/d/表.db"}},
       "找不到公差数据库文件：/d/表.db"},
      {{MessageCode::NoToleranceTables, {""}},
       "来源中没有任何一张公差表（表名须为“基本偏差”“位置要素”等）"},
      {{MessageCode::RowProblem, {"7"}, {{MessageCode::ReadingNotNumber, {"10.3a"}}}},
       "第 7 行：读数“10.3a”不是数"},
      {{MessageCode::DailyBackupFailed, {}, {{MessageCode::CopyTargetExists, {"/b/x.db"}}}},
       "今天第一次修改量规台账之前须先备份，但“/b/x.db” "
       "已存在；备份不覆盖已有的文件；未写入任何内容"},
  };
  for (const Said& c : cases) EXPECT_EQ(Say(c.message), c.sentence);
  EXPECT_EQ(Say(std::optional<Message>()), "");
}

// A list names its first ten items, then how many there are.
TEST(MessageWords, ListsStopAtTenAndCountTheRest) {
  std::vector<std::string> items;
  for (int i = 1; i <= 10; ++i) items.push_back(std::to_string(i));
  EXPECT_EQ(Say({MessageCode::ListOf, items}), "1、2、3、4、5、6、7、8、9、10");
  items.push_back("11");
  items.push_back("12");
  EXPECT_EQ(Say({MessageCode::ListOf, items}), "1、2、3、4、5、6、7、8、9、10 等（共 12 个）");
  EXPECT_EQ(Say({MessageCode::QuotedListOf, {"P", "es(g)"}}), "“P”、“es(g)”");
  EXPECT_EQ(Say({MessageCode::CheckColumnsMissing,
                 {"基本偏差"},
                 {{MessageCode::QuotedListOf, {"P", "es(g)"}}}}),
            "表“基本偏差”缺少列 “P”、“es(g)”");
}

// A code without its sentence would say nothing at all; one listed twice would say one
// of two things.
TEST(MessageWords, EveryCodeHasOneSentence) {
  std::vector<int> times(static_cast<size_t>(MessageCode::EndOfCodes), 0);
  for (const auto* table : {&kFileSentences, &kRegisterSentences}) {
    for (const auto& [code, sentence] : *table) {
      ++times.at(static_cast<size_t>(code));
      EXPECT_NE(std::string(sentence), "");
    }
  }
  for (size_t code = 0; code < times.size(); ++code) EXPECT_EQ(times[code], 1) << "code " << code;
}

}  // namespace
}  // namespace threadgauge
