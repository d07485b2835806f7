// LogView.exe's command line and its entry point without the window:
//   LogView.exe                       the window, for Log.dat beside the program
//   LogView.exe <log>                 the window, for that file
//   LogView.exe /csv <file>           writes Log.dat beside the program as CSV to <file>
//   LogView.exe <log> /csv <file>     writes <log> as CSV to <file>
// The switch is "/csv" or "-csv" in any letter case. The export shows no window and no message:
// exit code 0 when the CSV is written (a missing log gives the header row alone), 1 when the log
// exists but cannot be read or the CSV cannot be written, 2 for a command line it does not
// understand.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/clock_locale.h"
#include "platform/file_system.h"

namespace dormivo::viewer {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

struct LogViewArgs {
  std::string logPath;  // empty: Log.dat beside the program
  bool exportCsv = false;
  std::string csvPath;  // with exportCsv
};

struct ParsedArgs {
  bool ok = false;
  LogViewArgs args;
  std::string error;  // when !ok: what is wrong, in a sentence
};

// The arguments after the program's name, as the C runtime splits them.
ParsedArgs ParseLogViewArgs(const std::vector<std::string>& args);

// The folder part of a program path, with its trailing backslash ("C:\App\" for
// "C:\App\LogView.exe"); empty when the path has no folder.
std::string FolderOf(const std::string& programPath);

// Writes the log at `logPath` as CSV to `csvPath`. Returns kExitOk or kExitFailed; on failure
// `error` (when given) receives the reason, "Cannot open file ..." or "Cannot create file ...".
int ExportCsv(platform::FileSystem& fs, const std::string& logPath, const std::string& csvPath,
              std::string* error = nullptr);

struct LogViewHooks {
  // Shows the window for the log file at the path and returns the exit code when it closes.
  std::function<int(const std::string& logPath)> showWindow;
  // Receives the reason of a failed export or a bad command line (the window layer may write it
  // to a console when there is one); never a message box. May be empty.
  std::function<void(const std::string& text)> reportError;
};

// The whole program but its window: parses the arguments, runs the export without any window,
// or calls showWindow with the log's path (Log.dat beside `programPath` when none is named).
int RunLogView(platform::FileSystem& fs, const std::string& programPath,
               const std::vector<std::string>& args, const LogViewHooks& hooks);

}  // namespace dormivo::viewer
