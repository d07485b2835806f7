#include "storage/JvLogFile.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <optional>
#include <stdexcept>

#include "platform/exception.h"
#include "platform/scoped_handle.h"
#include "platform/win_constants.h"
#include "storage/file_util.h"

namespace dormivo {
namespace {

// Texts added one at a time go into blocks of at least this size.
constexpr size_t kMinBlockBytes = 4096;
// Blocks are not compacted while the list stores less than this.
constexpr uint64_t kCompactThreshold = 64 * 1024;
// Blocks emptied by deletions stay in place (records name their block by index) until the list
// is compacted, at the latest when there are more blocks than this.
constexpr size_t kMaxBlocks = 64;
// WriteFile takes at most this many bytes at once.
constexpr size_t kWriteChunk = 1u << 30;

uint32_t CheckedSize(size_t size) {
  if (size > std::numeric_limits<uint32_t>::max())
    throw std::length_error("log text too long");
  return static_cast<uint32_t>(size);
}

uint64_t CountGreater(std::string_view text) {
  return static_cast<uint64_t>(std::count(text.begin(), text.end(), '>'));
}

}  // namespace

// --- TJvLogRecordList

TJvLogRecordList TJvLogRecordList::FromText(std::string text) {
  // A NUL byte ends the text; the rest is ignored.
  const size_t end = std::min(text.size(), text.find('\0'));
  char* const data = text.data();

  TJvLogRecordList list;
  // Every record needs a "[", so their count bounds the number of records.
  list.slots_.reserve(static_cast<size_t>(std::count(data, data + end, '[')));

  // The texts of each record are moved down to `write`, one record after the other, dropping the
  // brackets, separators, line breaks and skipped lines, and undoubling the ">" of the titles.
  // What is written never overtakes what is still to be read.
  size_t write = 0;
  size_t pos = 0;
  while (pos < end) {
    // A line ends at CR, at LF, or at CR LF.
    size_t eol = pos;
    while (eol < end && data[eol] != '\r' && data[eol] != '\n') ++eol;
    const size_t lineStart = pos;
    pos = eol;
    if (pos < end)
      pos += (data[pos] == '\r' && pos + 1 < end && data[pos + 1] == '\n') ? 2 : 1;

    const char* open =
        static_cast<const char*>(std::memchr(data + lineStart, '[', eol - lineStart));
    if (open == nullptr)
      continue;
    const size_t timeStart = static_cast<size_t>(open - data) + 1;
    const char* close =
        static_cast<const char*>(std::memchr(data + timeStart, ']', eol - timeStart));
    if (close == nullptr)
      continue;
    const size_t timeEnd = static_cast<size_t>(close - data);

    // The separator is the first ">" that is not part of a doubled ">>".
    const size_t titleStart = timeEnd + 1;
    size_t titleEnd = eol;
    size_t descriptionStart = eol;
    for (size_t i = titleStart; i < eol;) {
      if (data[i] != '>') {
        ++i;
      } else if (i + 1 < eol && data[i + 1] == '>') {
        i += 2;
      } else {
        titleEnd = i;
        descriptionStart = i + 1;
        break;
      }
    }

    Slot slot{write, 0, static_cast<uint32_t>(timeEnd - timeStart), 0,
              static_cast<uint32_t>(eol - descriptionStart)};
    std::memmove(data + write, data + timeStart, slot.timeSize);
    write += slot.timeSize;
    const size_t titleOut = write;
    for (size_t i = titleStart; i < titleEnd;) {
      const bool doubled = data[i] == '>' && i + 1 < titleEnd && data[i + 1] == '>';
      data[write++] = data[i];
      i += doubled ? 2 : 1;
    }
    slot.titleSize = static_cast<uint32_t>(write - titleOut);
    std::memmove(data + write, data + descriptionStart, slot.descriptionSize);
    write += slot.descriptionSize;
    list.slots_.push_back(slot);
  }

  if (list.slots_.empty())
    return list;
  text.resize(write);
  Block block;
  block.bytes = std::move(text);
  block.records = list.slots_.size();
  block.liveBytes = write;
  list.blocks_.push_back(std::move(block));
  list.storedBytes_ = write;
  list.liveBytes_ = write;
  return list;
}

void TJvLogRecordList::CheckIndex(int index) const {
  if (index < 0 || index >= Count())
    throw Exception("List index out of bounds (" + std::to_string(index) + ")");
}

TJvLogRecord TJvLogRecordList::operator[](int index) const {
  CheckIndex(index);
  const Slot& slot = slots_[static_cast<size_t>(index)];
  const char* base = blocks_[slot.block].bytes.data() + slot.offset;
  return TJvLogRecord{
      std::string_view(base, slot.timeSize), std::string_view(base + slot.timeSize, slot.titleSize),
      std::string_view(base + slot.timeSize + slot.titleSize, slot.descriptionSize)};
}

void TJvLogRecordList::Add(std::string_view time, std::string_view title,
                           std::string_view description) {
  Slot slot{0, 0, CheckedSize(time.size()), CheckedSize(title.size()),
            CheckedSize(description.size())};
  const size_t size = time.size() + title.size() + description.size();
  // Append to the newest block while it has room without moving; otherwise start a new one.
  if (blocks_.empty() || blocks_.back().bytes.capacity() - blocks_.back().bytes.size() < size) {
    const size_t previous = blocks_.empty() ? 0 : blocks_.back().bytes.capacity();
    Block block;
    block.bytes.reserve(std::max({size, kMinBlockBytes, std::min<size_t>(previous, 1u << 20)}));
    if (blocks_.size() >= std::numeric_limits<uint32_t>::max())
      throw std::length_error("too many log blocks");
    blocks_.push_back(std::move(block));
  }
  Block& block = blocks_.back();
  slot.block = static_cast<uint32_t>(blocks_.size() - 1);
  slot.offset = block.bytes.size();
  block.bytes.append(time).append(title).append(description);
  ++block.records;
  block.liveBytes += size;
  storedBytes_ += size;
  liveBytes_ += size;
  slots_.push_back(slot);
}

void TJvLogRecordList::Forget(const Slot& slot) {
  const uint64_t size = uint64_t{slot.timeSize} + slot.titleSize + slot.descriptionSize;
  Block& block = blocks_[slot.block];
  block.liveBytes -= size;
  liveBytes_ -= size;
  if (--block.records == 0) {
    storedBytes_ -= block.bytes.size();
    std::string().swap(block.bytes);
  }
}

void TJvLogRecordList::Delete(int index) {
  CheckIndex(index);
  const auto it = slots_.begin() + index;
  Forget(*it);
  slots_.erase(it);
  if (slots_.empty()) {
    Clear();
    return;
  }
  CompactIfWasteful();
}

void TJvLogRecordList::DeleteOldest(int count) {
  if (count <= 0)
    return;
  if (count >= Count()) {
    Clear();
    return;
  }
  const auto last = slots_.begin() + count;
  for (auto it = slots_.begin(); it != last; ++it) Forget(*it);
  slots_.erase(slots_.begin(), last);
  CompactIfWasteful();
}

void TJvLogRecordList::Clear() {
  std::vector<Slot>().swap(slots_);
  std::vector<Block>().swap(blocks_);
  storedBytes_ = 0;
  liveBytes_ = 0;
}

void TJvLogRecordList::CompactIfWasteful() {
  const bool wasteful = storedBytes_ >= kCompactThreshold && liveBytes_ * 2 <= storedBytes_;
  if (!wasteful && blocks_.size() <= kMaxBlocks)
    return;
  Block fresh;
  fresh.bytes.reserve(static_cast<size_t>(std::max<uint64_t>(liveBytes_, kMinBlockBytes)));
  for (Slot& slot : slots_) {
    const size_t size = size_t{slot.timeSize} + slot.titleSize + slot.descriptionSize;
    const uint64_t offset = fresh.bytes.size();
    fresh.bytes.append(blocks_[slot.block].bytes, static_cast<size_t>(slot.offset), size);
    slot.offset = offset;
    slot.block = 0;
  }
  fresh.records = slots_.size();
  fresh.liveBytes = liveBytes_;
  std::vector<Block> blocks;
  blocks.push_back(std::move(fresh));
  blocks_.swap(blocks);
  storedBytes_ = liveBytes_;
  if (slots_.capacity() > 2 * slots_.size() + 64)
    slots_.shrink_to_fit();
}

uint64_t TJvLogRecordList::LineSize(int index) const {
  const TJvLogRecord record = (*this)[index];
  // "[" Time "]" Title (">" doubled) ">" Description CR LF
  return record.Time.size() + record.Title.size() + CountGreater(record.Title) +
         record.Description.size() + 5;
}

uint64_t TJvLogRecordList::TextSize() const {
  uint64_t size = 0;
  for (int i = 0; i < Count(); ++i) size += LineSize(i);
  return size;
}

void TJvLogRecordList::WriteText(std::string& out) const {
  out.reserve(out.size() + static_cast<size_t>(TextSize()));
  for (int i = 0; i < Count(); ++i) {
    const TJvLogRecord record = (*this)[i];
    out.push_back('[');
    out.append(record.Time);
    out.push_back(']');
    for (const char c : record.Title) {
      out.push_back(c);
      if (c == '>')
        out.push_back('>');
    }
    out.push_back('>');
    out.append(record.Description);
    out.append("\r\n");
  }
}

// --- Time text

namespace {

std::optional<std::string> ReadSetting(platform::ClockLocale& locale, platform::LocaleId id,
                                       uint32_t lcType) {
  std::optional<std::string> value = locale.GetLocaleInfoA(id, lcType);
  // An empty value gives nothing to work with: it counts as unreadable.
  if (value && value->empty())
    return std::nullopt;
  return value;
}

// A numeric setting; one that cannot be read, or is no decimal number, counts as 0.
int ReadNumber(platform::ClockLocale& locale, platform::LocaleId id, uint32_t lcType) {
  const std::optional<std::string> value = ReadSetting(locale, id, lcType);
  if (!value || value->size() > 9)
    return 0;
  int number = 0;
  for (const char c : *value) {
    if (c < '0' || c > '9')
      return 0;
    number = number * 10 + (c - '0');
  }
  return number;
}

void AppendNumber(std::string& out, unsigned value, int minDigits) {
  std::string digits = std::to_string(value);
  if (digits.size() < static_cast<size_t>(minDigits))
    out.append(static_cast<size_t>(minDigits) - digits.size(), '0');
  out.append(digits);
}

const char* const kDayNames[] = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                 "Friday", "Saturday", "Sunday"};
const char* const kMonthNames[] = {"January",   "February", "March",    "April",
                                   "May",       "June",     "July",     "August",
                                   "September", "October",  "November", "December"};

// A day or month name from the locale, or the English one when it cannot be read.
std::string Name(platform::ClockLocale& locale, platform::LocaleId id, uint32_t lcType,
                 const char* fallback, bool abbreviated) {
  if (std::optional<std::string> name = ReadSetting(locale, id, lcType))
    return *name;
  return abbreviated ? std::string(fallback, 3) : std::string(fallback);
}

// The date in a short date pattern: "d" and "dd" the day without and with a leading zero, "ddd"
// and "dddd" the abbreviated and full day name; "M", "MM", "MMM", "MMMM" likewise for the month;
// "y" and "yy" the year within the century without and with a leading zero, "yyy" and longer the
// full year; "g" (the era) is left out; text in single quotes stands as it is ("''" is one
// quote); "/" is the date separator; anything else stands as it is.
std::string FormatDate(const platform::SystemTime& time, const std::string& pattern, char separator,
                       platform::ClockLocale& locale, platform::LocaleId id) {
  std::string out;
  size_t i = 0;
  while (i < pattern.size()) {
    const char c = pattern[i];
    if (c == '\'') {
      ++i;
      if (i < pattern.size() && pattern[i] == '\'') {
        out.push_back('\'');
        ++i;
        continue;
      }
      while (i < pattern.size()) {
        if (pattern[i] == '\'') {
          if (i + 1 < pattern.size() && pattern[i + 1] == '\'') {
            out.push_back('\'');
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        out.push_back(pattern[i++]);
      }
      continue;
    }
    if (c == '/') {
      out.push_back(separator);
      ++i;
      continue;
    }
    if (c != 'd' && c != 'M' && c != 'y' && c != 'g') {
      out.push_back(c);
      ++i;
      continue;
    }
    size_t run = 1;
    while (i + run < pattern.size() && pattern[i + run] == c) ++run;
    i += run;
    switch (c) {
      case 'd':
        if (run <= 2) {
          AppendNumber(out, time.wDay, static_cast<int>(run));
        } else {
          const unsigned day = (time.wDayOfWeek + 6u) % 7u;  // 0 = Monday
          const uint32_t first = run == 3 ? win::kLocaleSAbbrevDayName1 : win::kLocaleSDayName1;
          out.append(Name(locale, id, first + day, kDayNames[day], run == 3));
        }
        break;
      case 'M':
        if (run <= 2 || time.wMonth < 1 || time.wMonth > 12) {
          AppendNumber(out, time.wMonth, run >= 2 ? 2 : 1);
        } else {
          const unsigned month = time.wMonth - 1u;
          const uint32_t first = run == 3 ? win::kLocaleSAbbrevMonthName1 : win::kLocaleSMonthName1;
          out.append(Name(locale, id, first + month, kMonthNames[month], run == 3));
        }
        break;
      case 'y':
        if (run <= 2)
          AppendNumber(out, time.wYear % 100u, static_cast<int>(run));
        else
          AppendNumber(out, time.wYear, 1);
        break;
      default:  // 'g': the era is not written
        break;
    }
  }
  return out;
}

}  // namespace

std::string LogTimeText(const platform::SystemTime& time, platform::ClockLocale& locale) {
  const platform::LocaleId id = locale.GetThreadLocale();

  const std::optional<std::string> dateSeparator = ReadSetting(locale, id, win::kLocaleSDate);
  const char dateSep = dateSeparator ? dateSeparator->front() : '/';
  std::string text;
  if (const std::optional<std::string> pattern = ReadSetting(locale, id, win::kLocaleSShortDate)) {
    text = FormatDate(time, *pattern, dateSep, locale, id);
  } else {
    AppendNumber(text, time.wMonth, 1);
    text.push_back(dateSep);
    AppendNumber(text, time.wDay, 1);
    text.push_back(dateSep);
    AppendNumber(text, time.wYear % 100u, 2);
  }

  if (time.wHour == 0 && time.wMinute == 0 && time.wSecond == 0)
    return text;

  const std::optional<std::string> timeSeparator = ReadSetting(locale, id, win::kLocaleSTime);
  const char timeSep = timeSeparator ? timeSeparator->front() : ':';
  const bool twelveHour = ReadNumber(locale, id, win::kLocaleITime) == 0;
  const bool leadingZero = ReadNumber(locale, id, win::kLocaleITLZero) != 0;
  const bool designatorFirst = ReadNumber(locale, id, win::kLocaleITimeMarkPosn) != 0;

  unsigned hour = time.wHour;
  std::string designator;
  if (twelveHour) {
    const bool morning = hour < 12;
    hour %= 12;
    if (hour == 0)
      hour = 12;
    const std::optional<std::string> mark =
        locale.GetLocaleInfoA(id, morning ? win::kLocaleS1159 : win::kLocaleS2359);
    designator = mark ? *mark : (morning ? "am" : "pm");
  }
  std::string clock;
  AppendNumber(clock, hour, leadingZero ? 2 : 1);
  clock.push_back(timeSep);
  AppendNumber(clock, time.wMinute, 2);
  clock.push_back(timeSep);
  AppendNumber(clock, time.wSecond, 2);

  text.push_back(' ');
  if (twelveHour && designatorFirst) {
    text.append(designator).append(" ").append(clock);
  } else {
    text.append(clock);
    if (twelveHour)
      text.append(" ").append(designator);
  }
  return text;
}

// --- TJvLogFile

TJvLogFile::TJvLogFile(platform::FileSystem& fs, platform::ClockLocale& clock)
    : fs_(fs), clock_(clock) {}

TJvLogFile::~TJvLogFile() {
  if (closed_ || !autoSave_)
    return;
  try {
    Save(fileName_);
  } catch (...) {
    // A destructor must not throw; Close() is the step that reports a failed final save.
  }
}

void TJvLogFile::SetFileName(const std::string& name) {
  fileName_ = name;
  if (!name.empty() && FileExists(fs_, name))
    Load(name);
}

void TJvLogFile::SetAutoSave(bool value) {
  autoSave_ = value && !fileName_.empty();
}

void TJvLogFile::Add(const std::string& title, const std::string& description) {
  platform::SystemTime now;
  clock_.GetLocalTime(&now);
  Add(LogTimeText(now, clock_), title, description);
}

void TJvLogFile::Add(const std::string& time, const std::string& title,
                     const std::string& description) {
  if (!active_)
    return;
  records_.Add(time, title, description);
  ApplySizeLimit();
  if (autoSave_)
    Save(fileName_);
}

void TJvLogFile::Clear() {
  records_.Clear();
  if (autoSave_)
    Save(fileName_);
}

void TJvLogFile::Delete(int index) {
  records_.Delete(index);
  if (autoSave_)
    Save(fileName_);
}

void TJvLogFile::ApplySizeLimit() {
  if (sizeLimit_ == 0)
    return;
  const bool autoSave = autoSave_;
  SetAutoSave(false);
  // Walk from the newest record back until the lines seen reach the limit; the record whose
  // line crosses it is kept, every older one goes.
  int i = records_.Count() - 1;
  uint64_t total = 0;
  while (i >= 0 && total < uint64_t{sizeLimit_}) {
    total += records_.LineSize(i);
    --i;
  }
  if (i >= 0)
    records_.DeleteOldest(i + 1);
  autoSave_ = autoSave;
  if (autoSave_)
    Save(fileName_);
}

void TJvLogFile::Load(const std::string& path) {
  platform::ScopedFile file(fs_, fs_.CreateFileA(path, win::kGenericRead, win::kFileShareRead,
                                                 win::kOpenExisting, win::kFileAttributeNormal));
  if (!file)
    RaiseOpenError(fs_, path);
  // Read and parse in full before anything changes, so that a failed read keeps the records.
  TJvLogRecordList loaded = TJvLogRecordList::FromText(ReadWholeFile(fs_, file.get()));
  file.reset();
  const bool autoSave = autoSave_;
  records_ = std::move(loaded);
  SetAutoSave(autoSave);
}

namespace {

// Raises "Cannot create file "<full path>". <system text>" for the given error code.
[[noreturn]] void RaiseCreateErrorFor(platform::FileSystem& fs, const std::string& path,
                                      uint32_t code) {
  const std::string full = fs.GetFullPathNameA(path);
  throw Exception("Cannot create file \"" + full + "\". " + SysErrorMessage(fs, code));
}

}  // namespace

void TJvLogFile::Save(const std::string& path) {
  if (path.empty())
    return;
  std::string text;
  records_.WriteText(text);

  // Holding the log itself open without sharing fails exactly when any other process has it
  // open, and keeps every other process out until the new content is in place.
  platform::ScopedFile target(fs_, fs_.CreateFileA(path, win::kGenericRead | win::kGenericWrite, 0,
                                                   win::kOpenAlways, win::kFileAttributeNormal));
  if (!target)
    RaiseCreateError(fs_, path);

  // The new content goes to a file beside the log, which replaces the log only when complete.
  const std::string temp = path + ".tmp";
  platform::ScopedFile file(fs_, fs_.CreateFileA(temp, win::kGenericWrite, 0, win::kCreateAlways,
                                                 win::kFileAttributeNormal));
  if (!file)
    RaiseCreateError(fs_, temp);
  bool written = true;
  for (size_t done = 0; written && done < text.size();) {
    const auto want = static_cast<uint32_t>(std::min(text.size() - done, kWriteChunk));
    uint32_t wrote = 0;
    written = fs_.WriteFile(file.get(), text.data() + done, want, &wrote) && wrote == want;
    done += wrote;
  }
  written = written && fs_.FlushFileBuffers(file.get());
  // A failed close may have lost buffered data: it counts as a failed write.
  written = fs_.CloseHandle(file.release()) && written;
  if (!written) {
    fs_.DeleteFileA(temp);
    throw Exception("Stream write error");
  }

  target.reset();
  if (!fs_.MoveFileExA(temp, path, win::kMovefileReplaceExisting | win::kMovefileWriteThrough)) {
    const uint32_t code = fs_.GetLastError();
    fs_.DeleteFileA(temp);
    RaiseCreateErrorFor(fs_, path, code);
  }
}

void TJvLogFile::Close() {
  closed_ = true;
  if (autoSave_)
    Save(fileName_);
}

}  // namespace dormivo
