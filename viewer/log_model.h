// The rows the log viewer shows: Log.dat read with the task log's own reading rules, one row per
// entry in the order of the file, and what the status bar says about it. The window drives the
// model: Reload() at start and on F5, CheckForChange() from a timer (about every 500 ms), and the
// rows by index for a virtual list. The model never shows a message; every failure becomes a
// status.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/clock_locale.h"
#include "platform/file_system.h"
#include "storage/JvLogFile.h"

namespace dormivo::viewer {

// One row of the list: the entry's time text, title and description, as the log stores them
// (ANSI text). The views stay valid until the next Reload() or CheckForChange() that returns
// true.
struct LogRow {
  std::string_view time;
  std::string_view event;
  std::string_view description;
};

// What a look at the file's folder entry found; two looks that differ mean the file changed.
struct FileStamp {
  bool exists = false;
  uint64_t size = 0;
  uint64_t lastWriteTime = 0;  // FILETIME: 100 ns steps since 1601-01-01, UTC
  bool operator==(const FileStamp&) const = default;
};

// The stamp of a file (not a folder) by a folder search for its path; exists is false for a
// missing file or a folder.
FileStamp StampOf(platform::FileSystem& fs, const std::string& path);

enum class LogState {
  kLoaded,      // the rows are the file's entries
  kMissing,     // no file (or a folder) at the path: no rows
  kUnreadable,  // the file exists but cannot be read now: the rows of the last read stay
};

// One read of the log: the file is opened for reading only, sharing read, write and delete (so
// that no writer is kept out), read whole, and closed before its text is parsed.
struct LogRead {
  LogState state = LogState::kMissing;
  TJvLogRecordList records;  // the entries (empty unless kLoaded)
  FileStamp stamp;           // of the file when it was read
  uint32_t error = 0;        // GetLastError of the failed open or read (kUnreadable)
};
LogRead ReadLog(platform::FileSystem& fs, const std::string& path);

class LogModel {
 public:
  // Nothing is read until Reload() or CheckForChange().
  LogModel(platform::FileSystem& fs, platform::ClockLocale& clock, std::string path);
  LogModel(const LogModel&) = delete;
  LogModel& operator=(const LogModel&) = delete;

  const std::string& Path() const { return path_; }

  // Reads the file anew, whatever its stamp. Never throws.
  void Reload();
  // Looks at the file's stamp and reads it anew when the stamp differs from the one seen at the
  // last read or attempt (so a file that could not be read is tried again at its next change).
  // True when the rows or the status may have changed: the window then sets its item count anew
  // and scrolls to the newest row. Never throws.
  bool CheckForChange();

  LogState State() const { return state_; }
  int RowCount() const { return records_.Count(); }
  // The row at `index`, 0 the oldest; raises "List index out of bounds (<index>)" outside
  // 0..RowCount()-1.
  LogRow Row(int index) const;
  const TJvLogRecordList& Records() const { return records_; }

  // The status bar's texts:
  //   kLoaded:     "<n> entries" ("1 entry"), and "Last written <local time of the file>"
  //   kMissing:    "No task has been logged yet", and an empty time text
  //   kUnreadable: "<file name> cannot be read at the moment (<system text>); it is read again
  //                when it changes", and the time text of the last good read
  std::string EntryText() const;
  std::string FileTimeText() const;
  // Both in one line, separated by three blanks when both are there.
  std::string StatusText() const;

 private:
  void Apply(LogRead read);

  platform::FileSystem& fs_;
  platform::ClockLocale& clock_;
  std::string path_;
  TJvLogRecordList records_;
  LogState state_ = LogState::kMissing;
  FileStamp seen_;         // the stamp at the last read or attempt
  bool looked_ = false;    // whether there was a read or attempt at all
  FileStamp loadedStamp_;  // the stamp of the rows shown
  uint32_t error_ = 0;
};

// The local date and time of a file time in the log's own time text (see LogTimeText); empty
// when the system cannot convert it.
std::string FileTimeText(platform::ClockLocale& clock, uint64_t fileTime);

}  // namespace dormivo::viewer
