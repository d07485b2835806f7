// What the log tests share: a log folder in the fake file system and a readable form of the
// records.
#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "storage/JvLogFile.h"
#include "tests/fakes/fake_clock_locale.h"
#include "tests/fakes/fake_file_system.h"

namespace dormivo::logtest {

inline constexpr char kFolder[] = "C:\\Dormivo";
inline constexpr char kLog[] = "C:\\Dormivo\\Log.dat";
inline constexpr char kTemp[] = "C:\\Dormivo\\Log.dat.tmp";

// One record as three owned texts, for comparisons.
struct Entry {
  std::string time, title, description;
  bool operator==(const Entry&) const = default;
};

inline std::vector<Entry> Entries(const TJvLogRecordList& records) {
  std::vector<Entry> out;
  for (int i = 0; i < records.Count(); ++i) {
    const TJvLogRecord r = records[i];
    out.push_back(Entry{std::string(r.Time), std::string(r.Title), std::string(r.Description)});
  }
  return out;
}

inline std::ostream& operator<<(std::ostream& os, const Entry& e) {
  return os << "{[" << e.time << "] [" << e.title << "] [" << e.description << "]}";
}

// A fake file system with the log folder, a clock set to 14 March 2026 21:05:07 in a United
// States locale, and a log on them.
class LogTest : public ::testing::Test {
 protected:
  LogTest() {
    fs_.AddFolder(kFolder);
    clock_.UseUnitedStates();
    platform::SystemTime now;
    now.wYear = 2026;
    now.wMonth = 3;
    now.wDay = 14;
    now.wDayOfWeek = 6;
    now.wHour = 21;
    now.wMinute = 5;
    now.wSecond = 7;
    clock_.SetTime(now);
  }

  fakes::FakeFileSystem fs_;
  fakes::FakeClockLocale clock_;
};

}  // namespace dormivo::logtest
