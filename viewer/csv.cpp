#include "viewer/csv.h"

#include <algorithm>
#include <functional>

#include "platform/win_constants.h"
#include "storage/file_util.h"

namespace dormivo::viewer {
namespace {

// WriteFile takes at most this many bytes at once.
constexpr size_t kWriteChunk = 1u << 30;
// Names tried for the new file beside the target before giving up.
constexpr int kTempNames = 100;
// The CSV of a large log goes to the file in pieces of about this size, so that it never stands
// in memory whole beside the records.
constexpr size_t kCsvPiece = 1u << 20;

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
  // The texts and, per row, six quotes, two commas and CR LF; doubled quotes and apostrophes may
  // add a little more.
  uint64_t size = 64;
  for (int i = 0; i < records.Count(); ++i) {
    const TJvLogRecord record = records[i];
    size += record.Time.size() + record.Title.size() + record.Description.size() + 10;
  }
  out.reserve(static_cast<size_t>(size));
  AppendCsvRow(out, "Date-Time", "Event", "Command / Description");
  for (int i = 0; i < records.Count(); ++i) {
    const TJvLogRecord record = records[i];
    AppendCsvRow(out, record.Time, record.Title, record.Description);
  }
  return out;
}

// Writes the pieces that `next` gives, up to the first empty one, as WriteFileReplacing does.
WriteResult WritePiecesReplacing(platform::FileSystem& fs, const std::string& path,
                                 const std::function<std::string_view()>& next) {
  // A fresh name beside the target, never one that is there already: the new file is created,
  // not opened, so no other file is overwritten on the way.
  std::string temp;
  platform::Handle file = platform::kInvalidHandle;
  for (int n = 0; n < kTempNames && file == platform::kInvalidHandle; ++n) {
    temp = path;
    if (n > 0)
      temp.append(".").append(std::to_string(n));
    temp.append(".tmp");
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
  for (std::string_view text = next(); written && !text.empty(); text = next()) {
    for (size_t done = 0; written && done < text.size();) {
      const auto want = static_cast<uint32_t>(std::min(text.size() - done, kWriteChunk));
      uint32_t wrote = 0;
      written = fs.WriteFile(file, text.data() + done, want, &wrote) && wrote == want;
      if (!written)
        code = fs.GetLastError();
      done += wrote;
    }
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

WriteResult WriteFileReplacing(platform::FileSystem& fs, const std::string& path,
                               std::string_view text) {
  bool given = false;
  return WritePiecesReplacing(fs, path, [&]() -> std::string_view {
    if (given)
      return {};
    given = true;
    return text;
  });
}

WriteResult WriteCsvFile(platform::FileSystem& fs, const std::string& path,
                         const TJvLogRecordList& records) {
  std::string piece;
  piece.reserve(kCsvPiece + 4096);
  int next = -1;  // -1: the header row
  return WritePiecesReplacing(fs, path, [&]() -> std::string_view {
    piece.clear();
    if (next < 0) {
      AppendCsvRow(piece, "Date-Time", "Event", "Command / Description");
      next = 0;
    }
    for (; next < records.Count() && piece.size() < kCsvPiece; ++next) {
      const TJvLogRecord record = records[next];
      AppendCsvRow(piece, record.Time, record.Title, record.Description);
    }
    return piece;
  });
}

}  // namespace dormivo::viewer
