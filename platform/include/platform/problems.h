#pragma once

#include <string>
#include <vector>

// The vocabulary every part uses to say that something went wrong, or what the user must
// know: codes with their data, never sentences. The words module (words/) turns each into
// the sentence the user reads, so the window, the command line and the pages say a thing the
// same way.
//
// A function that can fail returns its result or the failure: `std::variant<T, E>`, or
// `std::optional<E>` when success has nothing to return. E is one of
//   OpenStatus       opening a tolerance database (a calculation falls back on it);
//   LookupFailure    a tolerance table without the row a calculation needs (tolerance/);
//   Rejection        the window's inputs refused before calculating (calculation/);
//   DesignationError a thread designation not understood (calculation/);
//   Notice           why a field stayed empty, or what a value shown means (calculation/);
//   Message          everything else: files, tables, the register and its records;
//   ReadFailure, RegisterError, InspectionRefusal: a Message with what the caller acts on.

namespace threadgauge {

// The outcome of opening a database file, in terms a notice can explain.
enum class OpenStatus {
  Opened,
  FileMissing,   // no file at the path
  NotReadable,   // the file exists but cannot be read (permissions, a folder, ...)
  NotADatabase,  // the bytes are not a database the program can read
  Locked,        // another program holds the file locked for writing
  TimedOut,      // reading it did not end in time (a damaged Access file can loop)
  ReaderFailed,  // the reader of the file broke down on it: the file is damaged
};

// What an engine failure while reading means for the user.
enum class EngineFault {
  None,
  Damaged,     // the file is corrupt
  Locked,      // another program holds the file
  Refused,     // a constraint or a trigger of the file refused the change
  Unwritable,  // no right to write the file or its folder, or the medium is read-only
  DiskFull,
  ReadWriteFailed,  // the system could not read or write the file
  Other,
};

// What a Message says. Each case lists its data in order: `args` are texts it names (a file
// as UTF-8, a number as written, a gauge's 编号), "engine" an SQLite result code written as
// digits, `parts` messages told inside this one; [data] may be left out.
enum class MessageCode {
  // --- tolerance tables read from files ---
  AccessFileMissing,
  AccessNotReadable,
  AccessCatalogUnreadable,
  AccessReaderMissing,     // the reader program
  AccessReaderNotStarted,  // the reader program
  AccessReadTimedOut,      // seconds allowed
  AccessReaderCrashed,
  AccessTablesIncomplete,
  // --- files written, tables imported, exported and pasted ---
  NoWritePermission,      // (a reason)
  ReadOnlyFileSystem,     // (a reason)
  DiskFull,               // (a reason)
  SameNamedFileInPath,    // (a reason)
  SystemReason,           // the system's own words for a reason
  EngineCannotWrite,      // (a reason)
  FolderUnreadable,       // folder
  FileUnreadable,         // file
  FileNotUtf8OrGbkText,   // file
  CsvWithoutHeadings,     // file
  CsvRowWidth,            // file, row (from 1), its cells, the heading's cells
  SourceMissing,          // the source
  NoToleranceTables,      // [how the Access file was read, as DescribeCodePage says it]
  DatabaseUnopenable,     // the OpenStatus as digits, file
  TableReadFailed,        // table, engine
  SourceLacksTable,       // table
  SourceLacksColumn,      // table, column
  FileUncreatableIn,      // folder; parts: the reason
  WriteFailed,            // file, engine
  ResultUnplaceable,      // file; parts: the reason
  OutputExists,           // file
  CsvExists,              // file
  FolderUncreatable,      // folder; parts: the reason
  FileUnwritable,         // file
  FileUnwritableBecause,  // file; parts: the reason
  NoUsableBackup,         // the backup file looked for
  PasteRowsUneven,        // row (from 1), its cells, the first row's cells
  PasteBeyondLastColumn,  // how many cells of each row
  BothSaid,               // parts: two messages, said one after the other
  // --- the check of a tolerance database ---
  ListOf,                // items: the first ten, then how many in all
  QuotedListOf,          // items, each quoted
  CheckMustBeNumber,     // (a cell)
  CheckNotNumber,        // the cell
  CheckRowCell,          // row (from 1), the cell
  CheckNotNumbers,       // table, column; parts: the cells
  CheckEmptyCells,       // table, column, how many
  CheckEmptyBounds,      // table, column, how many
  CheckEmptyNoValue,     // table, column, how many
  CheckWhereTable,       // table
  CheckWhereGroup,       // table, the group ("P = 1.5")
  CheckLowerAboveUpper,  // row (from 1); parts: where
  CheckMarkLowerAboveUpper,
  CheckDescending,  // row (from 1), its lower bound, the row before's; parts: where
  CheckMarkDescending,
  CheckGap,      // from, to; parts: where
  CheckMarkGap,  // from, to
  CheckOverlap,  // row (from 1), its lower bound, the row before's upper; parts: where
  CheckMarkOverlap,
  CheckGaugeCovered,
  CheckGaugeUncovered,            // parts: the values
  CheckMissingUncovered,          // parts: the values
  CheckPitchRowsComplete,         // table
  CheckPitchRowsMissingOptional,  // table; parts: the pitches
  CheckMissingPitchRowsOptional,  // parts: the pitches
  CheckPitchRowsMissing,          // table; parts: the pitches
  CheckMissingPitchRows,          // parts: the pitches
  CheckLengthRowsMissing,         // parts: the ranges
  CheckMissingLengthRows,         // parts: the ranges
  CheckTableMissing,              // table
  CheckColumnsMissing,            // table; parts: the columns
  CheckNoRowsOptional,            // table
  CheckMissingNoRowsOptional,
  CheckNoRows,  // table
  CheckMissingNoRows,
  CheckRows,  // table, how many rows
  // --- the register's file ---
  RegisterMissing,           // file
  RegisterEmptyFile,         // file; parts: [how to restore] when a backup exists
  RegisterUncreatable,       // file
  RegisterUnreadable,        // file, engine; parts: how to restore
  RegisterEmptyReadOnly,     // file
  RegisterOtherDatabase,     // file
  RegisterWithoutVersion,    // file
  NotARegister,              // file; parts: why, [how to restore] when a backup exists
  NotReadableDatabase,       // (why a file is not a register)
  RegisterReadOnly,          // file (a note: no right to write it)
  RegisterOnReadOnlyMedium,  // file (a note)
  RegisterNewer,             // file, its version (a note: opened read-only)
  RegisterMigrated,          // old version, new version, the copy taken (a note)
  MigrationCopyFailed,       // file, the copy, engine
  DamagedCannotMigrate,      // version needed; parts: the damage, how to restore
  MigrationNeedsWriting,     // file, version needed
  RegisterBusy,              // file: another program is writing; try again
  RegisterWriteFailed,       // file, engine
  DamagedNoWriting,          // parts: the damage, how to restore
  ReadOnlyNoWriting,         // file; parts: [why it is read-only]
  // The damage found in a register: what `damage()` says.
  FileCheckImpossible,     // engine
  FileCheckFaults,         // file, how many, the first
  FileCheckManyFaults,     // file, the first (20 or more found)
  RegisterReadError,       // file, engine
  DamagedShownIncomplete,  // parts: the damage, how to restore
  DamagedReadIncomplete,   // parts: the damage, how to restore
  DamagedInWindow,         // parts: the damage
  // --- backups ---
  RestoreFromNewest,   // newest backup, its day, how many, the folder
  NoBackupFound,       // the folder where backups are looked for
  BackupUnusable,      // backup; parts: its fault
  BackupMissing,       // (a backup's fault) no such file
  BackupEmpty,         // (fault) 0 bytes
  BackupUnopenable,    // (fault) engine
  BackupNotDatabase,   // (fault)
  BackupNotRegister,   // (fault)
  BackupVersion,       // (fault) its version
  BackupDamaged,       // (fault) [what the check said]
  RestoreKeepFailed,   // the copy of the current file, the system's reason
  RestoreCopyFailed,   // backup
  RestoreInUse,        // register file
  RestorePlaceFailed,  // register file, the system's reason, the copy of the current one
  CopyTargetExists,    // target
  CopyFailed,          // target, engine
  DailyBackupFailed,   // parts: why the copy failed
  // --- gauges and records in the register ---
  GaugeNumberTaken,             // 编号
  GaugeNumberUnknown,           // 编号
  GaugeNumberUnknownUnwritten,  // 编号 (nothing was written)
  CorrectedRecordUnknown,       // the record's number
  // --- gauges entered and inspections recorded ---
  Told,            // a sentence the words module made already (a designation's fault)
  HashUnreadable,  // (a record's database hash when the file could not be read)
  FillGaugeTable,  // table: where the user adds the gauge table a limit needs
  EntryNumberMissing,
  ThreadWithoutClass,  // designation
  UnknownGaugeKind,    // gauge kind
  KindForInternal,     // gauge kind, designation of an external thread
  KindForExternal,     // gauge kind, designation of an internal thread
  LengthUnknown,       // length, then each range the window lists
  SinceNotDate,        // 启用日期 as typed
  SinceAfterToday,     // 启用日期, today
  IntervalOutOfRange,
  StateUnknown,              // state as typed
  GaugeRetired,              // 编号
  InspectionDateNotDate,     // date as typed
  InspectionDateAfterToday,  // date, today
  PlugNeedsWires,            // gauge kind
  RingNeedsBalls,            // gauge kind
  WireDiameterMissing,
  BallDiameterMissing,
  ReadingsMissing,  // M or E
  CheckResultsMissing,
  CheckResultsContradict,  // the larger plug that passed, the smaller that did not
  TemperatureOutOfRange,
  WireDiameterOutOfRange,
  BallDiameterOutOfRange,
  MajorOutOfRange,
  UncertaintyOutOfRange,
  CoverageOutOfRange,
  ReadingOutOfRange,  // which reading (from 1), M or E
  PositionUnknown,    // which reading (from 1), the position as typed
  MorePositionsThanReadings,
  ReplacedNotThisGauge,  // record, 编号
  ReplacedAlready,       // record, the record that corrected it
  ReadingFarOff,         // which reading (from 1), M or E, the reading, its d2, the gauge's d2
  // --- spreadsheets read into the register ---
  NotUtf8OrGbk,
  FileEmpty,
  RowProblem,           // line; parts: what is wrong in it
  LedgerColumnMissing,  // the column's heading
  RecordColumnMissing,  // line, the column's heading
  IntervalNotMonths,    // the cell
  NumberInRegister,     // 编号
  NumberRepeated,       // 编号
  InspectionDateMissing,
  MethodUnknown,         // the cell
  UncertaintyNotNumber,  // the cell
  TooManyCheckResults,
  CheckResultUnknown,  // the word
  ElementNotNumber,    // the cell
  ReadingNotNumber,    // the word
  // --- the due list and the register's check ---
  DueWearForecast,  // the day the wear limit is expected
  DueNeverInspected,
  DueWornOut,         // the failed record
  DueOutOfTolerance,  // the failed record
  DueUndecided,       // the undecided record
  DueOverdue,         // days past the due day
  TriggerMissing,     // the trigger's name
  TriggerChanged,     // the trigger's name
  EngineCode,         // engine
  EngineReport,       // a line of the engine's own integrity report
  // --- the register on a server ---
  ServerMissing,
  ServerUnreachable,  // the reason libpq gives
  ServerRefused,      // the server's reason
  NoPermission,       // what was tried, the role it needs
  PersonExists,       // login
  PersonUnknown,      // login
  RoleUnknown,        // the role as typed
  PasswordMissing,
  ServerAlreadyInitialised,
  ServerPasswordRefused,  // the server's address
  ServerNotARegister,     // the server's address: no register made there by init-server
  ServerRegisterNewer,    // the server's address
  NoPermissionTo,         // the role it needs; part: the action
  ActionAddGauge,         // the actions a server may refuse, said inside NoPermissionTo
  ActionChangeGauge,
  ActionRecordInspection,
  ActionChangeSetting,
  ActionPublishTables,
  ActionCopyRegister,
  GaugeRetiredMeanwhile,  // 编号, when, who: someone retired it since it was read
  GaugeChangedMeanwhile,  // 编号, when, who: someone changed it since it was read
  CopyTargetNotEmpty,     // where: a register is moved only into an empty one
  CopyCountsDiffer,       // the count on each side; part: what was counted
  CountedGauges,
  CountedRecords,
  CountedReadings,
  CountedChecks,
  CopyChainBroken,
  CopyNeedsOwner,         // part: the action; only the database's owner may
  ServerShownIncomplete,  // part: the server's fault; what follows may be incomplete
  ServerReadIncomplete,   // part: the server's fault met while reading
  ServerClientMissing,    // the address: this build has no server client  // the first record whose
                          // link does not hold in the copy
  EndOfCodes,             // not a message: the count of the codes above
};

// A code with its data; see MessageCode for what each names.
struct Message {
  MessageCode code;
  std::vector<std::string> args = {};
  std::vector<Message> parts = {};
  friend bool operator==(const Message&, const Message&) = default;
};

// What went wrong with the register. `busy` when another program is writing and the user
// should try again; `damaged` when the file is the register's but cannot be used as it is
// (empty, damaged): a fault of the file, not of what the user typed.
struct RegisterError {
  Message message;
  bool busy = false;
  bool damaged = false;
};

// A store of tables that could not be read whole, and why.
struct ReadFailure {
  Message message;
  OpenStatus status = OpenStatus::NotADatabase;  // what it means for a calculation
};

// Why an inspection's entries cannot be taken; nothing is then to be written. A reading far
// from the gauge's pitch diameter may be what was measured: the user may confirm it.
struct InspectionRefusal {
  Message message;
  bool needs_confirmation = false;
};

}  // namespace threadgauge
