#include "viewer/log_view.h"

#include "storage/file_util.h"
#include "viewer/csv.h"
#include "viewer/log_model.h"

namespace dormivo::viewer {
namespace {

bool IsCsvSwitch(const std::string& arg) {
  if (arg.size() != 4 || (arg[0] != '/' && arg[0] != '-'))
    return false;
  for (size_t i = 1; i < 4; ++i) {
    const char lower = (arg[i] >= 'A' && arg[i] <= 'Z') ? static_cast<char>(arg[i] + 32) : arg[i];
    if (lower != "csv"[i - 1])
      return false;
  }
  return true;
}

// An argument that looks like a switch ("/x", "-x") rather than a file name. A lone "-" or "/"
// is neither and counts as a switch it does not know.
bool IsSwitch(const std::string& arg) {
  return !arg.empty() && (arg[0] == '/' || arg[0] == '-');
}

ParsedArgs Error(std::string text) {
  ParsedArgs parsed;
  parsed.error = std::move(text);
  return parsed;
}

}  // namespace

ParsedArgs ParseLogViewArgs(const std::vector<std::string>& args) {
  ParsedArgs parsed;
  size_t i = 0;
  if (i < args.size() && !IsCsvSwitch(args[i])) {
    if (args[i].empty())
      return Error("The name of the log file is empty.");
    if (IsSwitch(args[i]))
      return Error("Unknown option \"" + args[i] + "\"; the only option is /csv <file>.");
    parsed.args.logPath = args[i++];
  }
  if (i < args.size()) {
    if (!IsCsvSwitch(args[i])) {
      return Error("Unexpected argument \"" + args[i] +
                   "\"; the command line is [<log file>] [/csv <CSV file>].");
    }
    ++i;
    if (i >= args.size() || args[i].empty())
      return Error("/csv needs the name of the CSV file to write.");
    if (IsCsvSwitch(args[i]))
      return Error("/csv is given twice.");
    parsed.args.exportCsv = true;
    parsed.args.csvPath = args[i++];
  }
  if (i < args.size()) {
    return Error("Unexpected argument \"" + args[i] +
                 "\"; the command line is [<log file>] [/csv <CSV file>].");
  }
  parsed.ok = true;
  return parsed;
}

std::string FolderOf(const std::string& programPath) {
  const size_t slash = programPath.find_last_of("\\/:");
  return slash == std::string::npos ? std::string() : programPath.substr(0, slash + 1);
}

int ExportCsv(platform::FileSystem& fs, const std::string& logPath, const std::string& csvPath,
              std::string* error) {
  const LogRead read = ReadLog(fs, logPath);
  if (read.state == LogState::kUnreadable) {
    if (error != nullptr) {
      *error = "Cannot open file \"" + fs.GetFullPathNameA(logPath) + "\". " +
               SysErrorMessage(fs, read.error);
    }
    return kExitFailed;
  }
  const WriteResult written = WriteCsvFile(fs, csvPath, read.records);
  if (!written.ok) {
    if (error != nullptr)
      *error = written.message;
    return kExitFailed;
  }
  return kExitOk;
}

int RunLogView(platform::FileSystem& fs, const std::string& programPath,
               const std::vector<std::string>& args, const LogViewHooks& hooks) {
  const ParsedArgs parsed = ParseLogViewArgs(args);
  if (!parsed.ok) {
    if (hooks.reportError)
      hooks.reportError(parsed.error);
    return kExitUsage;
  }
  const std::string logPath =
      parsed.args.logPath.empty() ? FolderOf(programPath) + "Log.dat" : parsed.args.logPath;
  if (!parsed.args.exportCsv)
    return hooks.showWindow ? hooks.showWindow(logPath) : kExitFailed;

  std::string error;
  int code = kExitFailed;
  try {
    code = ExportCsv(fs, logPath, parsed.args.csvPath, &error);
  } catch (const std::exception& e) {
    // Out of memory for a huge log: nothing was written.
    error = e.what();
  }
  if (code != kExitOk && hooks.reportError)
    hooks.reportError(error);
  return code;
}

}  // namespace dormivo::viewer
