#pragma once

#include <string>

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

}  // namespace threadgauge
