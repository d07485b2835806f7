#include "viewer/csv.h"

#include <algorithm>

#include "platform/win_constants.h"
#include "storage/file_util.h"

namespace dormivo::viewer {
namespace {

// WriteFile takes at most this many bytes at once.
constexpr size_t kWriteChunk = 1u << 30;
// Names tried for the new file beside the target before giving up.
constexpr int kTempNames = 100;

bool StartsLikeFormula(std::string_view field) {
  if (field.empty())
    return false;
  const char c = field.front();
  return c == '=' || c == '+' || c == '-' || c == '@' || c == '\t';
}

WriteResult Failure(platform::FileSystem& fs, const std::string& path, uint32_t code) {
  WriteResult result;
  result.ok = false;
  result.error = code;
  result.message =
      "Cannot create file \"" + fs.GetFullPathNameA(path) + "\". " + SysErrorMessage(fs, code);
  return result;
}

}  // namespace

void AppendCsvField(std::string& out, std::string_view field) {
  out.push_back('"');
  if (StartsLikeFormula(field))
    out.push_back('\'');
  for (const char c : field) {
    out.push_back(c);
    if (c == '"')
      out.push_back('"');
  }
  out.push_back('"');
}

void AppendCsvRow(std::string& out, std::string_view time, std::string_view event,
                  std::string_view description) {
  AppendCsvField(out, time);
  out.push_back(',');
  AppendCsvField(out, event);
  out.push_back(',');
  AppendCsvField(out, description);
  out.append("\r\n");
}

std::string CsvText(const TJvLogRecordList& records) {
  std::string out;
  // The fields, their quotes, commas and line breaks; doubled quotes and apostrophes may add a
  // little more.
  out.reserve(static_cast<size_t>(records.TextSize()) + static_cast<size_t>(records.Count()) * 4 +
              64);
  AppendCsvRow(out, "Date-Time", "Event", "Command / Description");
  for (int i = 0; i < records.Count(); ++i) {
    const TJvLogRecord record = records[i];
    AppendCsvRow(out, record.Time, record.Title, record.Description);
  }
  return out;
}

WriteResult WriteFileReplacing(platform::FileSystem& fs, const std::string& path,
                               std::string_view text) {
  // A fresh name beside the target, never one that is there already: the new file is created,
  // not opened, so no other file is overwritten on the way.
  std::string temp;
  platform::Handle file = platform::kInvalidHandle;
  for (int n = 0; n < kTempNames && file == platform::kInvalidHandle; ++n) {
    temp = path + (n == 0 ? std::string() : "." + std::to_string(n)) + ".tmp";
    file = fs.CreateFileA(temp, win::kGenericWrite, 0, win::kCreateNew, win::kFileAttributeNormal);
    if (file == platform::kInvalidHandle) {
      const uint32_t code = fs.GetLastError();
      if (code != win::kErrorFileExists && code != win::kErrorAlreadyExists)
        return Failure(fs, path, code);
    }
  }
  if (file == platform::kInvalidHandle)
    return Failure(fs, path, win::kErrorFileExists);

  bool written = true;
  uint32_t code = 0;
  for (size_t done = 0; written && done < text.size();) {
    const auto want = static_cast<uint32_t>(std::min(text.size() - done, kWriteChunk));
    uint32_t wrote = 0;
    written = fs.WriteFile(file, text.data() + done, want, &wrote) && wrote == want;
    if (!written)
      code = fs.GetLastError();
    done += wrote;
  }
  if (written && !fs.FlushFileBuffers(file)) {
    written = false;
    code = fs.GetLastError();
  }
  if (!fs.CloseHandle(file) && written) {
    written = false;
    code = fs.GetLastError();
  }
  if (!written) {
    fs.DeleteFileA(temp);
    return Failure(fs, path, code != 0 ? code : win::kErrorWriteFault);
  }
  if (!fs.MoveFileExA(temp, path, win::kMovefileReplaceExisting | win::kMovefileWriteThrough)) {
    code = fs.GetLastError();
    fs.DeleteFileA(temp);
    return Failure(fs, path, code);
  }
  return WriteResult{};
}

WriteResult WriteCsvFile(platform::FileSystem& fs, const std::string& path,
                         const TJvLogRecordList& records) {
  return WriteFileReplacing(fs, path, CsvText(records));
}

}  // namespace dormivo::viewer
