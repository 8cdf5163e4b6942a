#include "register_schema.h"

namespace threadgauge {

const char* const kKeepRecords =
    "CREATE TRIGGER records_fixed BEFORE UPDATE ON records BEGIN "
    "  SELECT RAISE(ABORT, '检定记录不可修改'); END;"
    "CREATE TRIGGER records_kept BEFORE DELETE ON records BEGIN "
    "  SELECT RAISE(ABORT, '检定记录不可删除'); END;"
    "CREATE TRIGGER readings_fixed BEFORE UPDATE ON readings BEGIN "
    "  SELECT RAISE(ABORT, '检定记录不可修改'); END;"
    "CREATE TRIGGER readings_kept BEFORE DELETE ON readings BEGIN "
    "  SELECT RAISE(ABORT, '检定记录不可删除'); END;"
    "CREATE TRIGGER checks_fixed BEFORE UPDATE ON check_results BEGIN "
    "  SELECT RAISE(ABORT, '检定记录不可修改'); END;"
    "CREATE TRIGGER checks_kept BEFORE DELETE ON check_results BEGIN "
    "  SELECT RAISE(ABORT, '检定记录不可删除'); END;"
    "CREATE TRIGGER gauges_kept BEFORE DELETE ON gauges "
    "  WHEN EXISTS (SELECT 1 FROM records WHERE gauge_id = OLD.id) BEGIN "
    "  SELECT RAISE(ABORT, '有检定记录的量规不可删除，只能报废'); END;";

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
    "  uncertainty REAL);"
    "CREATE TABLE readings ("
    "  record_id INTEGER NOT NULL REFERENCES records(id),"
    "  seq INTEGER NOT NULL,"
    "  value REAL NOT NULL,"
    "  pitch_diameter REAL NOT NULL,"
    "  PRIMARY KEY (record_id, seq));"
    "CREATE TABLE check_results ("
    "  record_id INTEGER NOT NULL REFERENCES records(id),"
    "  plug TEXT NOT NULL,"
    "  passed INTEGER NOT NULL,"
    "  PRIMARY KEY (record_id, plug));"
    "CREATE INDEX records_of_gauge ON records(gauge_id, date);";

// Version 1 kept one 保管人 column ("holder") and no uncertainty, and did not guard its
// records against change.
const char* const kMigrateFromVersion1 =
    "ALTER TABLE gauges ADD COLUMN department TEXT NOT NULL DEFAULT '';"
    "ALTER TABLE gauges ADD COLUMN keeper TEXT NOT NULL DEFAULT '';"
    "UPDATE gauges SET keeper = holder;"
    "ALTER TABLE records ADD COLUMN uncertainty REAL;";

}  // namespace threadgauge
