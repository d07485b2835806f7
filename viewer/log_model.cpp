#include "viewer/log_model.h"

#include <utility>

#include "platform/exception.h"
#include "platform/scoped_handle.h"
#include "platform/win_constants.h"
#include "storage/file_util.h"

namespace dormivo::viewer {
namespace {

constexpr uint32_t kShareAll = win::kFileShareRead | win::kFileShareWrite | win::kFileShareDelete;

bool IsMissing(uint32_t code) {
  return code == win::kErrorFileNotFound || code == win::kErrorPathNotFound;
}

// The file name at the end of a path.
std::string NameOf(const std::string& path) {
  const size_t slash = path.find_last_of("\\/:");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A file time in the calendar (FileTimeToSystemTime): the days since 1601-01-01 by the
// proleptic Gregorian calendar.
bool ToSystemTime(uint64_t fileTime, platform::SystemTime* out) {
  // FileTimeToSystemTime refuses times with the top bit set.
  if (fileTime >= (uint64_t{1} << 63))
    return false;
  const uint64_t totalMs = fileTime / 10000;
  const uint64_t ms = totalMs % 1000;
  const uint64_t totalSeconds = totalMs / 1000;
  const uint64_t daySeconds = totalSeconds % 86400;
  int64_t days = static_cast<int64_t>(totalSeconds / 86400);
  // 1601-01-01 was a Monday.
  const auto weekDay = static_cast<uint16_t>((days + 1) % 7);
  // Days from 1601-01-01 to a civil date, shifted to a March-based year starting in 1600.
  days += 306;  // 1600-03-01 to 1601-01-01
  const int64_t era = days / 146097;
  const int64_t dayOfEra = days - era * 146097;
  const int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int64_t monthIndex = (5 * dayOfYear + 2) / 153;  // 0 = March
  const int64_t day = dayOfYear - (153 * monthIndex + 2) / 5 + 1;
  const int64_t month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
  const int64_t year = 1600 + era * 400 + yearOfEra + (month <= 2 ? 1 : 0);
  if (year > 30827)
    return false;
  out->wYear = static_cast<uint16_t>(year);
  out->wMonth = static_cast<uint16_t>(month);
  out->wDayOfWeek = weekDay;
  out->wDay = static_cast<uint16_t>(day);
  out->wHour = static_cast<uint16_t>(daySeconds / 3600);
  out->wMinute = static_cast<uint16_t>(daySeconds / 60 % 60);
  out->wSecond = static_cast<uint16_t>(daySeconds % 60);
  out->wMilliseconds = static_cast<uint16_t>(ms);
  return true;
}

}  // namespace

FileStamp StampOf(platform::FileSystem& fs, const std::string& path) {
  FileStamp stamp;
  platform::FindData found;
  const platform::Handle search = fs.FindFirstFileA(path, &found);
  if (search == platform::kInvalidHandle)
    return stamp;
  fs.FindClose(search);
  if (found.attributes & win::kFileAttributeDirectory)
    return stamp;
  stamp.exists = true;
  stamp.size = found.size;
  stamp.lastWriteTime = found.lastWriteTime;
  return stamp;
}

LogRead ReadLog(platform::FileSystem& fs, const std::string& path) {
  LogRead read;
  read.stamp = StampOf(fs, path);
  if (!read.stamp.exists)
    return read;
  // Reading only, and letting every other opener read, write and delete: the executor's own
  // save still fails while the file is open here, so it is held only for the one read.
  const platform::Handle file = fs.CreateFileA(path, win::kGenericRead, kShareAll,
                                               win::kOpenExisting, win::kFileAttributeNormal);
  if (file == platform::kInvalidHandle) {
    const uint32_t code = fs.GetLastError();
    // Gone between the look and the open: as good as never there.
    if (IsMissing(code)) {
      read.stamp = FileStamp{};
      return read;
    }
    read.state = LogState::kUnreadable;
    read.error = code;
    return read;
  }
  std::string text;
  try {
    const platform::ScopedFile closer(fs, file);
    text = ReadWholeFile(fs, file);
  } catch (const Exception&) {
    read.state = LogState::kUnreadable;
    read.error = fs.GetLastError();
    if (read.error == 0)
      read.error = win::kErrorReadFault;
    return read;
  }
  read.records = TJvLogRecordList::FromText(std::move(text));
  read.state = LogState::kLoaded;
  return read;
}

std::string FileTimeText(platform::ClockLocale& clock, uint64_t fileTime) {
  uint64_t local = 0;
  platform::SystemTime time;
  if (!clock.FileTimeToLocalFileTime(fileTime, &local) || !ToSystemTime(local, &time))
    return {};
  return LogTimeText(time, clock);
}

LogModel::LogModel(platform::FileSystem& fs, platform::ClockLocale& clock, std::string path)
    : fs_(fs), clock_(clock), path_(std::move(path)) {}

void LogModel::Apply(LogRead read) {
  looked_ = true;
  seen_ = read.stamp;
  state_ = read.state;
  error_ = read.error;
  switch (read.state) {
    case LogState::kLoaded:
      records_ = std::move(read.records);
      loadedStamp_ = read.stamp;
      break;
    case LogState::kMissing:
      records_.Clear();
      loadedStamp_ = FileStamp{};
      break;
    case LogState::kUnreadable:
      // The rows of the last good read stay in view.
      break;
  }
}

void LogModel::Reload() {
  try {
    Apply(ReadLog(fs_, path_));
  } catch (const std::exception&) {
    // Out of memory for a huge log, or a text beyond what the list can hold.
    looked_ = true;
    seen_ = StampOf(fs_, path_);
    state_ = LogState::kUnreadable;
    error_ = win::kErrorNotEnoughMemory;
  }
}

bool LogModel::CheckForChange() {
  if (looked_) {
    try {
      if (StampOf(fs_, path_) == seen_)
        return false;
    } catch (const std::exception&) {
      return false;
    }
  }
  Reload();
  return true;
}

LogRow LogModel::Row(int index) const {
  const TJvLogRecord record = records_[index];
  return LogRow{record.Time, record.Title, record.Description};
}

std::string LogModel::EntryText() const {
  switch (state_) {
    case LogState::kMissing:
      return "No task has been logged yet";
    case LogState::kUnreadable:
      return NameOf(path_) + " cannot be read at the moment (" + SysErrorMessage(fs_, error_) +
             "); it is read again when it changes";
    case LogState::kLoaded:
      break;
  }
  const int count = RowCount();
  return std::to_string(count) + (count == 1 ? " entry" : " entries");
}

std::string LogModel::FileTimeText() const {
  if (!loadedStamp_.exists)
    return {};
  const std::string time = viewer::FileTimeText(clock_, loadedStamp_.lastWriteTime);
  return time.empty() ? std::string() : "Last written " + time;
}

std::string LogModel::StatusText() const {
  const std::string entries = EntryText();
  const std::string time = FileTimeText();
  return time.empty() ? entries : entries + "   " + time;
}

}  // namespace dormivo::viewer
