// The task log "Log.dat": a list of entries held in memory, read back in full when the file name
// is set, stamped with the local date and time, trimmed to a byte limit and rewritten in full
// after every change.
//
// File format: one line per entry, oldest first, each ending with CR LF:
//   "[" Time "]" Title-with-every-">"-doubled ">" Description CR LF
// Nothing else is escaped and there is no header; an empty log is an empty file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock_locale.h"
#include "platform/file_system.h"

namespace dormivo {

// One entry as the list holds it. The three texts are views into the list's storage and stay
// valid until the list changes.
struct TJvLogRecord {
  std::string_view Time;
  std::string_view Title;
  std::string_view Description;
};

// The entries in insertion order: index 0 is the oldest, the last index the newest. The list owns
// the bytes of its records, kept together in a few large blocks rather than three strings per
// record, so that a log of a million short entries takes little more memory than its file.
class TJvLogRecordList {
 public:
  TJvLogRecordList() = default;
  TJvLogRecordList(TJvLogRecordList&&) noexcept = default;
  TJvLogRecordList& operator=(TJvLogRecordList&&) noexcept = default;
  TJvLogRecordList(const TJvLogRecordList&) = delete;
  TJvLogRecordList& operator=(const TJvLogRecordList&) = delete;

  // The records read from the text of a log file (the reading rules are in JvLogFile.cpp). The
  // text's own buffer becomes the storage of the records.
  static TJvLogRecordList FromText(std::string text);

  int Count() const { return static_cast<int>(slots_.size()); }
  // The record at `index`; raises "List index out of bounds (<index>)" outside 0..Count()-1.
  TJvLogRecord operator[](int index) const;

  void Add(std::string_view time, std::string_view title, std::string_view description);
  // Removes the record at `index`; raises "List index out of bounds (<index>)" outside
  // 0..Count()-1 and then changes nothing.
  void Delete(int index);
  // Removes the `count` oldest records at once (all of them when `count` >= Count()).
  void DeleteOldest(int count);
  void Clear();

  // The number of bytes the record's line takes in the file, line break included.
  uint64_t LineSize(int index) const;
  // Appends the lines of all records, in order, in the file format.
  void WriteText(std::string& out) const;
  // The number of bytes WriteText appends.
  uint64_t TextSize() const;

 private:
  // Where one record's texts lie: Time, Title and Description follow each other in one block.
  struct Slot {
    uint64_t offset;
    uint32_t block;
    uint32_t timeSize;
    uint32_t titleSize;
    uint32_t descriptionSize;
  };
  struct Block {
    std::string bytes;
    size_t records = 0;      // records whose texts lie here
    uint64_t liveBytes = 0;  // bytes of those texts
  };

  void CheckIndex(int index) const;
  void Forget(const Slot& slot);
  // Moves the texts of all records into one new block when most stored bytes belong to records
  // that are gone.
  void CompactIfWasteful();

  std::vector<Slot> slots_;
  std::vector<Block> blocks_;
  uint64_t storedBytes_ = 0;  // size of all blocks together
  uint64_t liveBytes_ = 0;    // bytes of the texts of the records still held
};

// The text that stamps a new entry: the date in the short date pattern of the thread's locale
// and, unless the time is 00:00:00, one space and the time (hour, minutes and seconds, with the
// locale's separator, clock type, leading zero and AM/PM designator).
std::string LogTimeText(const platform::SystemTime& time, platform::ClockLocale& locale);

class TJvLogFile {
 public:
  TJvLogFile(platform::FileSystem& fs, platform::ClockLocale& clock);
  // Saves when AutoSave is on and Close() was not called; never throws.
  ~TJvLogFile();
  TJvLogFile(const TJvLogFile&) = delete;
  TJvLogFile& operator=(const TJvLogFile&) = delete;

  // Stores the name and then, when a file (not a folder) of that name exists, loads it.
  void SetFileName(const std::string& name);
  const std::string& FileName() const { return fileName_; }
  // Takes true only while FileName is not empty. While on, every change of the records ends by
  // rewriting the file named by FileName.
  void SetAutoSave(bool value);
  bool AutoSave() const { return autoSave_; }
  // While off, Add does nothing.
  void SetActive(bool value) { active_ = value; }
  bool Active() const { return active_; }
  // Bytes the newest lines are trimmed to after each Add; 0 means no limit.
  void SetSizeLimit(uint32_t bytes) { sizeLimit_ = bytes; }
  uint32_t SizeLimit() const { return sizeLimit_; }

  // Adds an entry stamped with the current local date and time.
  void Add(const std::string& title, const std::string& description);
  void Add(const std::string& time, const std::string& title, const std::string& description);
  void Clear();
  void Delete(int index);
  // Rewrites the file with the lines of all records; an empty path does nothing. The new
  // content is written beside the file and replaces it only when complete, so a failure leaves
  // the earlier file as it was.
  void Save(const std::string& path);
  // Replaces all records by those read from the file; never saves.
  void Load(const std::string& path);
  // Deletes the oldest records so that the newest lines just reach SizeLimit bytes.
  void ApplySizeLimit();
  // The explicit closing step: saves when AutoSave is on and raises its error. The destructor
  // then saves no more.
  void Close();

  const TJvLogRecordList& Records() const { return records_; }

 private:
  platform::FileSystem& fs_;
  platform::ClockLocale& clock_;
  TJvLogRecordList records_;
  std::string fileName_;
  bool autoSave_ = false;
  bool active_ = true;
  uint32_t sizeLimit_ = 0;
  bool closed_ = false;
};

}  // namespace dormivo
