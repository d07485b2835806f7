// The log as CSV, for Save and the command-line export alike:
//   "Date-Time","Event","Command / Description" CR LF
//   then one row per entry in file order, each ending with CR LF (the last one too).
// Every field stands in double quotes, a double quote inside is doubled, and a field whose first
// character is "=", "+", "-", "@" or TAB gets a leading apostrophe inside the quotes, so that a
// spreadsheet does not run it as a formula. The bytes are those of the log (the system's ANSI
// code page), without a byte-order mark.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "storage/JvLogFile.h"

namespace dormivo::viewer {

// Appends one quoted field.
void AppendCsvField(std::string& out, std::string_view field);
// Appends one row of three fields and its CR LF.
void AppendCsvRow(std::string& out, std::string_view time, std::string_view event,
                  std::string_view description);
// The header row and one row per record.
std::string CsvText(const TJvLogRecordList& records);

// The outcome of writing a file: on failure, the system's error code and the message to show,
// "Cannot create file "<full path>". <system text>".
struct WriteResult {
  bool ok = true;
  uint32_t error = 0;
  std::string message;
};

// Writes `text` to `path` so that nothing partial is ever left there: the bytes go to a new file
// beside it, which replaces `path` only when complete; on failure that file is deleted and
// `path` is as it was.
WriteResult WriteFileReplacing(platform::FileSystem& fs, const std::string& path,
                               std::string_view text);
// CsvText of the records, written as WriteFileReplacing does, a piece at a time (the CSV of a
// large log never stands whole in memory).
WriteResult WriteCsvFile(platform::FileSystem& fs, const std::string& path,
                         const TJvLogRecordList& records);

}  // namespace dormivo::viewer
