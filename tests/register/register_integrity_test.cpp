// The register keeps what it stores: damage is found and said, a damaged file is never
// written, records changed behind its back are named, and daily backups bring it back.
#include <gtest/gtest.h>

#include <fstream>

#include "platform/utf8.h"
#include "register/gauge_register.h"
#include "register/register_backup.h"
#include "sha256.h"
#include "support/file_damage.h"
#include "support/fixture_database.h"
#include "support/run_program.h"
#include "words/message_words.h"

namespace threadgauge {
namespace {

using testing::ExecSql;
using testing::FlipBitOf;
using testing::ReadBytes;
using testing::TemporaryFolder;
using testing::TryExecSql;
using testing::WriteBytes;
using testing::ZeroPage;

TEST(Sha256, TheStandardsExamples) {
  EXPECT_EQ(Sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(Sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(Sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
            "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
  EXPECT_EQ(Sha256Hex(std::string(1000000, 'a')),
            "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
  // Around the block's end, where the length no longer fits beside the tail (digests from
  // Python's hashlib, an implementation of its own).
  const std::pair<size_t, const char*> lengths[] = {
      {55, "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
      {56, "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a"},
      {63, "7d3e74a05d7db15bce4ad9ec0658ea98e3f06eeecf16b4c6fff2da457ddc2f34"},
      {64, "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
      {119, "31eba51c313a5c08226adf18d4a359cfdfd8d2e816b13f4af952f7ea6584dcfb"}};
  for (const auto& [length, digest] : lengths) {
    EXPECT_EQ(Sha256Hex(std::string(length, 'a')), digest) << length;
  }
}

GaugeEntry Ring(const std::string& number) {
  GaugeEntry gauge;
  gauge.number = number;
  gauge.thread = "M10×1.5-6g";
  gauge.kind = "通端螺纹环规";
  gauge.length = "大于14至32";
  // Long notes spread the gauges over several pages of the file.
  gauge.notes = std::string(600, 'n');
  return gauge;
}

InspectionRecord RecordOf(const std::string& number, const std::string& date, double E) {
  InspectionRecord r;
  r.gauge_number = number;
  r.date = date;
  r.method = InspectionMethod::Balls;
  r.element = 0.9002;
  r.readings = {{E, E + 1.4015619, ""}, {E + 0.004, E + 1.4055619, "末端"}};
  r.thread = "M10×1.5-6g";
  r.kind = "通端螺纹环规";
  r.database_file = "公差表.db";
  r.database_hash = "0123456789abcdef";
  r.program_version = "0.2.0";
  r.limit_low = 8.983, r.limit_high = 8.989, r.wear_limit = 9.010, r.has_wear_limit = true;
  r.verdict = "worn";
  r.verdict_text = "合格（已磨损，未超磨损极限）";
  r.margin_um = 19.4;
  return r;
}

GaugeRegister Opened(const std::filesystem::path& path) {
  auto opened = GaugeRegister::Open(path);
  if (auto* error = std::get_if<RegisterError>(&opened)) ADD_FAILURE() << Say(error->message);
  return std::move(std::get<GaugeRegister>(opened));
}

// Eleven gauges with a record each, the file closed (its WAL written back).
std::filesystem::path Filled(const TemporaryFolder& folder) {
  const auto path = folder.path() / u8"量规台账.db";
  GaugeRegister gauges = Opened(path);
  for (int i = 1; i <= 11; ++i) {
    const std::string number = "TG-" + std::to_string(i);
    EXPECT_FALSE(gauges.Add(Ring(number)).has_value());
    EXPECT_TRUE(std::holds_alternative<long long>(gauges.AddRecord(
        RecordOf(number, "2026-01-0" + std::to_string(i % 9 + 1), 7.58 + i / 1000.0))));
  }
  return path;
}

TEST(DamagedRegister, AZeroedPageOrABrokenOffCopyIsSaidAndNeverWritten) {
  TemporaryFolder folder;
  const auto path = Filled(folder);
  const std::string whole = ReadBytes(path);
  ASSERT_GT(whole.size(), 4096u * 6);
  const std::string damaged[] = {ZeroPage(whole, whole.size() / 4096 / 2),
                                 testing::BrokenOff(whole, 0.6)};
  for (const std::string& bytes : damaged) {
    WriteBytes(path, bytes);
    auto opened = GaugeRegister::Open(path);
    if (auto* error = std::get_if<RegisterError>(&opened)) {
      EXPECT_TRUE(error->damaged) << Say(error->message);
    } else {
      GaugeRegister& gauges = std::get<GaugeRegister>(opened);
      ASSERT_TRUE(gauges.damage().has_value());
      EXPECT_TRUE(gauges.read_only());
      gauges.Gauges();  // what can be read, is
      const auto refused = gauges.Add(Ring("TG-12"));
      ASSERT_TRUE(refused.has_value());
      EXPECT_NE(Say(refused->message).find("量规台账已损坏，不能写入"), std::string::npos);
      EXPECT_TRUE(std::holds_alternative<RegisterError>(
          gauges.AddRecord(RecordOf("TG-1", "2026-02-01", 7.59))));
    }
    EXPECT_EQ(ReadBytes(path), bytes);
  }
}

TEST(DamagedRegister, AnEmptyFileIsToldNotMadeANewRegister) {
  TemporaryFolder folder;
  const auto path = folder.path() / u8"量规台账.db";
  WriteBytes(path, "");
  for (auto* open : {&GaugeRegister::Open, &GaugeRegister::OpenExisting}) {
    const auto opened = open(path);
    const auto* error = std::get_if<RegisterError>(&opened);
    ASSERT_NE(error, nullptr);
    EXPECT_TRUE(error->damaged);
    EXPECT_NE(Say(error->message).find("是空文件（0 字节）"), std::string::npos)
        << Say(error->message);
  }
  EXPECT_EQ(std::filesystem::file_size(path), 0u);
}

TEST(RecordChain, AFlippedBitAForgedReadingOrADeletedRecordIsNamed) {
  TemporaryFolder folder;
  const auto path = Filled(folder);
  {
    GaugeRegister gauges = Opened(path);
    EXPECT_TRUE(gauges.BrokenLinks(std::nullopt).empty());
    EXPECT_TRUE(gauges.IntegrityFaults().empty());
    EXPECT_TRUE(gauges.MissingTriggers().empty());
    const auto r3 = gauges.Record(3);
    ASSERT_TRUE(r3.has_value());
    EXPECT_EQ(r3->hash.size(), 64u);
    EXPECT_EQ(r3->readings[1].position, "末端");
  }
  // One bit of record 5's first reading, 7.585: the file's checks pass, the chain does not.
  WriteBytes(path, FlipBitOf(ReadBytes(path), 7.58 + 5 / 1000.0));
  {
    GaugeRegister gauges = Opened(path);
    EXPECT_FALSE(gauges.damage().has_value());
    const auto broken = gauges.BrokenLinks(std::nullopt);
    ASSERT_EQ(broken.size(), 1u);
    EXPECT_EQ(broken[0].record, 5);
    EXPECT_EQ(broken[0].gauge_number, "TG-5");
    EXPECT_EQ(gauges.BrokenLinks("TG-5").size(), 1u);
    EXPECT_TRUE(gauges.BrokenLinks("TG-6").empty());
  }
}

TEST(RecordChain, ChangesBehindTheRegistersBackAreRefusedOrFound) {
  TemporaryFolder folder;
  const auto path = Filled(folder);
  const std::string before = ReadBytes(path);
  // A REPLACE deletes without firing delete triggers: refused before it gets there.
  for (const char* sql :
       {"INSERT OR REPLACE INTO records SELECT * FROM records WHERE id = 1",
        "REPLACE INTO readings (record_id, seq, value, pitch_diameter) VALUES (1, 1, 7.5, 8.9)",
        "INSERT OR REPLACE INTO gauges (id, number, thread, kind) VALUES (1, 'TG-1', 'M8-6g', "
        "'通端螺纹环规')",
        "UPDATE gauges SET id = 99 WHERE id = 1", "UPDATE readings SET value = 7.5",
        "DELETE FROM records WHERE id = 2"}) {
    std::string message;
    EXPECT_NE(TryExecSql(path, sql, &message), 0) << sql;
  }
  {
    GaugeRegister gauges = Opened(path);
    EXPECT_TRUE(gauges.BrokenLinks(std::nullopt).empty());
    EXPECT_EQ(gauges.RecordsOf("TG-1")[0].readings[0].value, 7.58 + 1 / 1000.0);
  }
  // A result added to a stored record is no change a trigger can tell from a new record's:
  // the chain names it.
  ExecSql(path, "INSERT INTO check_results (record_id, plug, passed) VALUES (1, 'x', 1)");
  EXPECT_EQ(Opened(path).BrokenLinks(std::nullopt).size(), 1u);
  // With the guard dropped and put back, a forged reading is still named.
  ExecSql(path,
          "DROP TRIGGER readings_fixed; UPDATE readings SET value = 7.599 WHERE record_id = 4;"
          "CREATE TRIGGER readings_fixed BEFORE UPDATE ON readings BEGIN "
          "SELECT RAISE(ABORT, '检定记录不可修改'); END");
  {
    GaugeRegister gauges = Opened(path);
    EXPECT_TRUE(gauges.MissingTriggers().empty());
    const auto broken = gauges.BrokenLinks(std::nullopt);
    ASSERT_EQ(broken.size(), 2u);
    EXPECT_EQ(broken[0].record, 1);
    EXPECT_EQ(broken[1].record, 4);
  }
  // A guard dropped and left out, a record taken out: both named.
  ExecSql(path,
          "DROP TRIGGER records_kept; DROP TRIGGER readings_kept;"
          "DELETE FROM readings WHERE record_id = 7; DELETE FROM records WHERE id = 7");
  GaugeRegister gauges = Opened(path);
  const auto missing = gauges.MissingTriggers();
  ASSERT_EQ(missing.size(), 2u);
  EXPECT_EQ(Say(missing[0]), "缺少触发器 records_kept");
  std::vector<long long> named;
  for (const BrokenLink& b : gauges.BrokenLinks(std::nullopt)) named.push_back(b.record);
  EXPECT_EQ(named, (std::vector<long long>{1, 4, 8}));  // 8 was chained to the deleted 7
  EXPECT_FALSE(before.empty());
}

const Day kDay1 = *ParseDay("2026-03-01");

TEST(RegisterBackups, TheFirstChangeOfADayIsPrecededByACopyOfTheRegister) {
  TemporaryFolder folder;
  const auto path = folder.path() / u8"量规台账.db";
  Day today = kDay1;
  {
    GaugeRegister gauges = Opened(path);
    gauges.SetClock([&] { return today; });
    ASSERT_FALSE(gauges.Add(Ring("A")).has_value());  // nothing to lose before the first gauge
    EXPECT_TRUE(BackupsOf(path).empty());
    ASSERT_FALSE(gauges.Add(Ring("B")).has_value());
    ASSERT_FALSE(gauges.Add(Ring("C")).has_value());
    today = AddDays(kDay1, 1);
    ASSERT_FALSE(gauges.Add(Ring("D")).has_value());
  }
  const auto backups = BackupsOf(path);
  ASSERT_EQ(backups.size(), 2u);
  EXPECT_EQ(backups[0].path.filename(), std::filesystem::u8path("量规台账-20260302.db"));
  EXPECT_EQ(backups[1].path, folder.path() / u8"量规台账备份" / u8"量规台账-20260301.db");
  // Each holds the register as it was before that day's first change.
  EXPECT_EQ(Opened(backups[1].path).Gauges().size(), 1u);
  EXPECT_EQ(Opened(backups[0].path).Gauges().size(), 3u);
  EXPECT_FALSE(BackupFault(backups[0].path).has_value());
}

TEST(RegisterBackups, TheLastTenAndOneAMonthForAYearAreKept) {
  std::vector<BackupFile> backups;
  const Day today = *ParseDay("2026-12-07");
  // Daily copies of the last 20 days, and the 5th of each month back to 2025-06.
  for (int d = 0; d < 20; ++d) {
    const Day day = AddDays(today, -d);
    backups.push_back({"c-" + DayText(day), day});
  }
  for (Day month = *ParseDay("2025-06-05"); month < *ParseDay("2026-11-10");
       month = AddMonths(month, 1)) {
    backups.push_back({"c-" + DayText(month), month});
  }
  std::vector<std::string> deleted;
  for (const BackupFile& b : BackupsToDelete(backups, today, "c-2025-06-05")) {
    deleted.push_back(Utf8(b.path));
  }
  // Kept: 2026-12-07 … 11-28 (the last ten, November's newest among them) and the newest
  // of each month 2026-01 … 10, the 5th; 2025-12 and before are a year ago or more, but
  // 2025-06-05 is the newest good copy.
  std::vector<std::string> expected;
  for (int d = 10; d < 20; ++d) expected.push_back("c-" + DayText(AddDays(today, -d)));
  for (const char* old : {"c-2026-11-05", "c-2025-12-05", "c-2025-11-05", "c-2025-10-05",
                          "c-2025-09-05", "c-2025-08-05", "c-2025-07-05"}) {
    expected.push_back(old);
  }
  std::sort(deleted.begin(), deleted.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(deleted, expected);
}

TEST(RegisterBackups, RestoringKeepsTheCurrentFileAndRefusesABadCopy) {
  TemporaryFolder folder;
  const auto path = Filled(folder);
  const auto copy = folder.path() / u8"备份.db";
  ASSERT_FALSE(Opened(path).CopyTo(copy).has_value());
  const std::string damaged = ZeroPage(ReadBytes(path), ReadBytes(path).size() / 4096 / 2);
  WriteBytes(path, damaged);

  // A copy that is itself damaged, or no register, is refused; nothing changes.
  const auto bad = folder.path() / u8"坏.db";
  WriteBytes(bad, damaged);
  const auto text = folder.path() / u8"台账.csv";
  WriteBytes(text, "编号\nTG-1\n");
  const auto newer = folder.path() / u8"新版.db";
  WriteBytes(newer, testing::ReadBytes(copy));
  ExecSql(newer, "PRAGMA user_version = 4");
  EXPECT_EQ(Say(BackupFault(newer)), "版本 4 不是本程序能读的量规台账");
  for (const auto& refused : {bad, text, newer, folder.path() / u8"无.db"}) {
    const auto restored = RestoreRegister(refused, path, kDay1);
    ASSERT_TRUE(std::holds_alternative<RegisterError>(restored));
    EXPECT_NE(Say(std::get<RegisterError>(restored).message).find("不能用来恢复"),
              std::string::npos);
    EXPECT_EQ(ReadBytes(path), damaged);
  }

  const auto restored = RestoreRegister(copy, path, kDay1);
  ASSERT_TRUE(std::holds_alternative<std::filesystem::path>(restored));
  const auto kept = std::get<std::filesystem::path>(restored);
  EXPECT_EQ(kept.filename(), std::filesystem::u8path("量规台账.db.before-restore-20260301"));
  EXPECT_EQ(ReadBytes(kept), damaged);
  {
    GaugeRegister gauges = Opened(path);
    EXPECT_FALSE(gauges.damage().has_value());
    EXPECT_EQ(gauges.Gauges().size(), 11u);
    EXPECT_TRUE(gauges.BrokenLinks(std::nullopt).empty());
  }
  // A second restore the same day keeps the first kept file too.
  const auto again = RestoreRegister(copy, path, kDay1);
  EXPECT_EQ(std::get<std::filesystem::path>(again).filename(),
            std::filesystem::u8path("量规台账.db.before-restore-20260301-2"));
  EXPECT_EQ(ReadBytes(kept), damaged);
}

TEST(RegisterFolders, AWriteProtectedRegisterIsReadAndSaysSo) {
  TemporaryFolder folder;
  const auto path = folder.path() / u8"量规台账.db";
  {
    GaugeRegister gauges = Opened(path);
    ASSERT_FALSE(gauges.Add(Ring("RO-1")).has_value());
  }
  ReadOnlyFolder locked(Utf8(path));  // the file itself, not its folder
  GaugeRegister gauges = Opened(path);
  EXPECT_TRUE(gauges.read_only());
  EXPECT_NE(Say(gauges.note()).find("只能读取（没有写入权限）"), std::string::npos)
      << Say(gauges.note());
  EXPECT_EQ(gauges.Gauges().size(), 1u);
  ASSERT_TRUE(gauges.Add(Ring("RO-2")).has_value());
}

TEST(RegisterFolders, ARegisterOnAReadOnlyMediumIsReadNotCalledNoRegister) {
  TemporaryFolder folder;
  const auto inside = folder.path() / u8"只读";
  std::filesystem::create_directories(inside);
  const auto path = inside / u8"量规台账.db";
  {
    GaugeRegister gauges = Opened(path);
    ASSERT_FALSE(gauges.Add(Ring("RO-1")).has_value());
  }
  const std::string before = ReadBytes(path);
  ReadOnlyFolder locked(Utf8(inside));
  auto opened = GaugeRegister::OpenExisting(path);
  ASSERT_TRUE(std::holds_alternative<GaugeRegister>(opened))
      << Say(std::get<RegisterError>(opened).message);
  GaugeRegister& gauges = std::get<GaugeRegister>(opened);
  EXPECT_TRUE(gauges.read_only());
  EXPECT_NE(Say(gauges.note()).find("只能读取"), std::string::npos) << Say(gauges.note());
  EXPECT_EQ(gauges.Gauges().size(), 1u);
  const auto refused = gauges.Add(Ring("RO-2"));
  ASSERT_TRUE(refused.has_value());
  EXPECT_NE(Say(refused->message).find("不能写入"), std::string::npos) << Say(refused->message);
  EXPECT_EQ(ReadBytes(path), before);
}

}  // namespace
}  // namespace threadgauge
