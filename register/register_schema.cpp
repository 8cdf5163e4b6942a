#include "register_schema.h"

namespace threadgauge {

const std::vector<RegisterTrigger>& RegisterTriggers() {
  // A REPLACE deletes the row it conflicts with without firing delete triggers: an insert
  // over an existing key is refused before it gets there.
  static const std::vector<RegisterTrigger> triggers = {
      {"records_fixed",
       "CREATE TRIGGER records_fixed BEFORE UPDATE ON records BEGIN "
       "SELECT RAISE(ABORT, '检定记录不可修改'); END"},
      {"records_kept",
       "CREATE TRIGGER records_kept BEFORE DELETE ON records BEGIN "
       "SELECT RAISE(ABORT, '检定记录不可删除'); END"},
      {"records_not_replaced",
       "CREATE TRIGGER records_not_replaced BEFORE INSERT ON records "
       "WHEN EXISTS (SELECT 1 FROM records WHERE id = NEW.id) BEGIN "
       "SELECT RAISE(ABORT, '检定记录不可覆盖'); END"},
      {"readings_fixed",
       "CREATE TRIGGER readings_fixed BEFORE UPDATE ON readings BEGIN "
       "SELECT RAISE(ABORT, '检定记录不可修改'); END"},
      {"readings_kept",
       "CREATE TRIGGER readings_kept BEFORE DELETE ON readings BEGIN "
       "SELECT RAISE(ABORT, '检定记录不可删除'); END"},
      {"readings_not_replaced",
       "CREATE TRIGGER readings_not_replaced BEFORE INSERT ON readings "
       "WHEN EXISTS (SELECT 1 FROM readings WHERE record_id = NEW.record_id AND seq = NEW.seq) "
       "BEGIN SELECT RAISE(ABORT, '检定记录不可覆盖'); END"},
      {"checks_fixed",
       "CREATE TRIGGER checks_fixed BEFORE UPDATE ON check_results BEGIN "
       "SELECT RAISE(ABORT, '检定记录不可修改'); END"},
      {"checks_kept",
       "CREATE TRIGGER checks_kept BEFORE DELETE ON check_results BEGIN "
       "SELECT RAISE(ABORT, '检定记录不可删除'); END"},
      {"checks_not_replaced",
       "CREATE TRIGGER checks_not_replaced BEFORE INSERT ON check_results "
       "WHEN EXISTS (SELECT 1 FROM check_results WHERE record_id = NEW.record_id "
       "AND plug = NEW.plug) BEGIN SELECT RAISE(ABORT, '检定记录不可覆盖'); END"},
      {"gauges_kept",
       "CREATE TRIGGER gauges_kept BEFORE DELETE ON gauges "
       "WHEN EXISTS (SELECT 1 FROM records WHERE gauge_id = OLD.id) BEGIN "
       "SELECT RAISE(ABORT, '有检定记录的量规不可删除，只能报废'); END"},
      {"gauges_id_fixed",
       "CREATE TRIGGER gauges_id_fixed BEFORE UPDATE OF id ON gauges "
       "WHEN NEW.id IS NOT OLD.id BEGIN SELECT RAISE(ABORT, '量规的内部编号不可修改'); END"},
      {"gauges_not_replaced",
       "CREATE TRIGGER gauges_not_replaced BEFORE INSERT ON gauges "
       "WHEN EXISTS (SELECT 1 FROM gauges WHERE id = NEW.id OR number = NEW.number) BEGIN "
       "SELECT RAISE(ABORT, '编号已在量规台账中'); END"},
  };
  return triggers;
}

const std::vector<const char*> kEarlierTriggers = {
    "records_fixed", "records_kept", "readings_fixed", "readings_kept",
    "checks_fixed",  "checks_kept",  "gauges_kept"};

const char* const kRegisterSchema =
    "CREATE TABLE gauges ("
    "  id INTEGER PRIMARY KEY,"
    "  number TEXT NOT NULL UNIQUE,"
    "  thread TEXT NOT NULL,"
    "  kind TEXT NOT NULL,"
    "  length TEXT NOT NULL DEFAULT '',"
    "  maker TEXT NOT NULL DEFAULT '',"
    "  serial TEXT NOT NULL DEFAULT '',"
    "  since TEXT NOT NULL DEFAULT '',"
    "  interval_months INTEGER NOT NULL DEFAULT 12 CHECK (interval_months > 0),"
    "  department TEXT NOT NULL DEFAULT '',"
    "  keeper TEXT NOT NULL DEFAULT '',"
    "  state TEXT NOT NULL DEFAULT '在用' CHECK (state IN ('在用', '停用', '封存', '报废')),"
    "  notes TEXT NOT NULL DEFAULT '');"
    "CREATE TABLE records ("
    "  id INTEGER PRIMARY KEY,"
    "  gauge_id INTEGER NOT NULL REFERENCES gauges(id),"
    "  date TEXT NOT NULL,"
    "  inspector TEXT NOT NULL DEFAULT '',"
    "  temperature REAL NOT NULL DEFAULT 20,"
    "  method TEXT NOT NULL CHECK (method IN ('wires', 'balls', 'checks')),"
    "  element REAL,"
    "  element_certificate TEXT NOT NULL DEFAULT '',"
    "  major REAL,"
    "  notes TEXT NOT NULL DEFAULT '',"
    "  replaces INTEGER REFERENCES records(id),"
    "  thread TEXT NOT NULL, kind TEXT NOT NULL, length TEXT NOT NULL,"
    "  database_file TEXT NOT NULL, database_hash TEXT NOT NULL,"
    "  program_version TEXT NOT NULL,"
    "  limit_low REAL, limit_high REAL, wear_limit REAL,"
    "  has_wear_limit INTEGER NOT NULL,"
    "  limits_note TEXT NOT NULL DEFAULT '',"
    "  verdict TEXT NOT NULL, verdict_text TEXT NOT NULL, margin_um REAL,"
    "  created TEXT NOT NULL,"
    "  uncertainty REAL,"
    "  acceptance INTEGER NOT NULL DEFAULT 0,"
    "  imported INTEGER NOT NULL DEFAULT 0,"
    "  margin_limit TEXT NOT NULL DEFAULT '',"
    "  coverage_k REAL,"
    "  instrument TEXT NOT NULL DEFAULT '',"
    "  instrument_number TEXT NOT NULL DEFAULT '',"
    "  instrument_certificate TEXT NOT NULL DEFAULT '',"
    "  instrument_valid_until TEXT NOT NULL DEFAULT '',"
    "  wear_side REAL,"
    "  hash TEXT NOT NULL DEFAULT '');"
    "CREATE TABLE readings ("
    "  record_id INTEGER NOT NULL REFERENCES records(id),"
    "  seq INTEGER NOT NULL,"
    "  value REAL NOT NULL,"
    "  pitch_diameter REAL NOT NULL,"
    "  position TEXT NOT NULL DEFAULT '',"
    "  PRIMARY KEY (record_id, seq));"
    "CREATE TABLE check_results ("
    "  record_id INTEGER NOT NULL REFERENCES records(id),"
    "  plug TEXT NOT NULL,"
    "  passed INTEGER NOT NULL,"
    "  gauge_number TEXT NOT NULL DEFAULT '',"
    "  PRIMARY KEY (record_id, plug));"
    "CREATE TABLE settings (key TEXT PRIMARY KEY, value TEXT NOT NULL);"
    "CREATE INDEX records_of_gauge ON records(gauge_id, date);"
    // What the due list reads of every record, without reading the records themselves.
    "CREATE INDEX records_due ON records(gauge_id, date, id, verdict, kind, replaces, "
    "wear_limit, wear_side);";

const std::vector<const char*> kMigrations = {
    // Version 1 kept one 保管人 column ("holder") and no uncertainty, and did not guard its
    // records against change.
    "ALTER TABLE gauges ADD COLUMN department TEXT NOT NULL DEFAULT '';"
    "ALTER TABLE gauges ADD COLUMN keeper TEXT NOT NULL DEFAULT '';"
    "UPDATE gauges SET keeper = holder;"
    "ALTER TABLE records ADD COLUMN uncertainty REAL;",
    // Version 2 had no chain of record hashes, no acceptance of new gauges, no measuring
    // instrument, reading positions or check plug numbers, and no settings. The extreme
    // reading on the wearing side is kept with the record for the due list.
    "ALTER TABLE records ADD COLUMN acceptance INTEGER NOT NULL DEFAULT 0;"
    "ALTER TABLE records ADD COLUMN imported INTEGER NOT NULL DEFAULT 0;"
    "ALTER TABLE records ADD COLUMN margin_limit TEXT NOT NULL DEFAULT '';"
    "ALTER TABLE records ADD COLUMN coverage_k REAL;"
    "ALTER TABLE records ADD COLUMN instrument TEXT NOT NULL DEFAULT '';"
    "ALTER TABLE records ADD COLUMN instrument_number TEXT NOT NULL DEFAULT '';"
    "ALTER TABLE records ADD COLUMN instrument_certificate TEXT NOT NULL DEFAULT '';"
    "ALTER TABLE records ADD COLUMN instrument_valid_until TEXT NOT NULL DEFAULT '';"
    "ALTER TABLE records ADD COLUMN wear_side REAL;"
    "ALTER TABLE records ADD COLUMN hash TEXT NOT NULL DEFAULT '';"
    "ALTER TABLE readings ADD COLUMN position TEXT NOT NULL DEFAULT '';"
    "ALTER TABLE check_results ADD COLUMN gauge_number TEXT NOT NULL DEFAULT '';"
    "CREATE TABLE settings (key TEXT PRIMARY KEY, value TEXT NOT NULL);"
    "UPDATE records SET wear_side = (SELECT CASE WHEN records.kind LIKE '%环规' "
    "  THEN max(pitch_diameter) ELSE min(pitch_diameter) END "
    "  FROM readings WHERE record_id = records.id);"
    "CREATE INDEX records_due ON records(gauge_id, date, id, verdict, kind, replaces, "
    "wear_limit, wear_side);",
};

}  // namespace threadgauge
