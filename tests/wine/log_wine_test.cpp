// The task log through the real Windows layer: sharing with other processes, the system's error
// texts, a read-only log, and the time text against the system's own date and time formats.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "platform/forwarding_file_system.h"
#include "platform/win32/clock_locale_win32.h"
#include "platform/win32/file_system_win32.h"
#include "storage/JvLogFile.h"
#include "tests/support/error_of.h"
#include "tests/wine/log_folder_fixture.h"
#include "tests/wine/wine_support.h"

namespace dormivo {
namespace {

using testsupport::ErrorOf;
using winetest::kEarlierLogLine;
using winetest::SystemText;

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class LogOnWindows : public winetest::LogFolderTest {};

TEST_F(LogOnWindows, ExecutorSequenceAppendsItsLineAndLeavesNothingBeside) {
  TJvLogFile log(fs_, clock_);
  log.SetFileName(path_);
  log.SetAutoSave(true);
  log.SetActive(true);
  log.SetSizeLimit(1000);
  log.Add("3/14/2026 9:05:07 PM", "Build > Deploy", "Restart");
  log.Close();
  EXPECT_EQ(folder_.ReadFile("Log.dat"),
            std::string(kEarlierLogLine) + "[3/14/2026 9:05:07 PM]Build >> Deploy>Restart\r\n");
  EXPECT_FALSE(Exists(path_ + ".tmp"));
}

TEST_F(LogOnWindows, SaveFailsWithTheSystemTextWhileAnotherProcessHoldsTheLog) {
  struct Row {
    const char* name;
    const char* access;
    DWORD share;
  };
  const Row rows[] = {
      {"reading, sharing everything", "r", FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE},
      {"reading, sharing reading", "r", FILE_SHARE_READ},
      {"writing, sharing everything", "w", FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE},
      {"reading and writing, sharing nothing", "rw", 0},
  };
  const std::string expected =
      "Cannot create file \"" + path_ + "\". " + SystemText(ERROR_SHARING_VIOLATION);
  ASSERT_NE(SystemText(ERROR_SHARING_VIOLATION), "");
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TJvLogFile log(fs_, clock_);
    log.Add("t", "mine", "kept");
    {
      winetest::FileHolder holder(path_, row.access, row.share);
      ASSERT_TRUE(holder.Holding());
      EXPECT_EQ(ErrorOf([&] { log.Save(path_); }), expected);
    }
    EXPECT_EQ(folder_.ReadFile("Log.dat"), kEarlierLogLine);
    EXPECT_FALSE(Exists(path_ + ".tmp"));
    ASSERT_EQ(log.Records().Count(), 1);
    EXPECT_EQ(log.Records()[0].Title, "mine");
  }
}

TEST_F(LogOnWindows, LoadFailsWhileAnotherProcessHoldsTheLogForWriting) {
  TJvLogFile log(fs_, clock_);
  log.Add("t", "mine", "kept");
  {
    winetest::FileHolder holder(path_, "w", FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    ASSERT_TRUE(holder.Holding());
    EXPECT_EQ(ErrorOf([&] { log.SetFileName(path_); }),
              "Cannot open file \"" + path_ + "\". " + SystemText(ERROR_SHARING_VIOLATION));
  }
  EXPECT_EQ(log.FileName(), path_);
  ASSERT_EQ(log.Records().Count(), 1);
  EXPECT_EQ(log.Records()[0].Title, "mine");
  EXPECT_EQ(folder_.ReadFile("Log.dat"), kEarlierLogLine);

  // Another reader that lets others read does not stop a load.
  winetest::FileHolder reader(path_, "r", FILE_SHARE_READ);
  ASSERT_TRUE(reader.Holding());
  log.Load(path_);
  ASSERT_EQ(log.Records().Count(), 1);
  EXPECT_EQ(log.Records()[0].Title, "Earlier");
}

TEST_F(LogOnWindows, SaveNamesTheFullPathOfARelativeName) {
  ASSERT_TRUE(SetCurrentDirectoryA(folder_.Path().c_str()));
  TJvLogFile log(fs_, clock_);
  log.Add("t", "a", "b");
  EXPECT_EQ(ErrorOf([&] { log.Save("Missing\\Log.dat"); }),
            "Cannot create file \"" + folder_.Path() + "Missing\\Log.dat\". " +
                SystemText(ERROR_PATH_NOT_FOUND));
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  SetCurrentDirectoryA(temp);
}

// The real file system, except that while the new content is written another Windows process
// tries to open the log.
class PeekingFileSystem final : public platform::ForwardingFileSystem {
 public:
  explicit PeekingFileSystem(std::string log) : ForwardingFileSystem(real_), log_(std::move(log)) {}
  std::vector<std::string> outcomes;

  bool WriteFile(platform::Handle file, const void* buffer, uint32_t size,
                 uint32_t* done) override {
    for (const char* access : {"r", "w"}) {
      winetest::FileHolder other(log_, access,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
      outcomes.push_back(std::string(access) + (other.Holding() ? " opened" : " refused"));
    }
    return ForwardingFileSystem::WriteFile(file, buffer, size, done);
  }

 private:
  std::string log_;
  platform::Win32FileSystem real_;
};

TEST_F(LogOnWindows, NoOtherProcessCanOpenTheLogWhileItIsWritten) {
  PeekingFileSystem fs(path_);
  TJvLogFile log(fs, clock_);
  log.SetFileName(path_);
  log.Add("3/14/2026 9:05:07 PM", "Nightly backup", "Power Off");
  log.Save(path_);
  EXPECT_EQ(fs.outcomes, (std::vector<std::string>{"r refused", "w refused"}));
  EXPECT_EQ(folder_.ReadFile("Log.dat"),
            std::string(kEarlierLogLine) + "[3/14/2026 9:05:07 PM]Nightly backup>Power Off\r\n");
  // Once saved, the log is free again.
  winetest::FileHolder after(path_, "r", FILE_SHARE_READ);
  EXPECT_TRUE(after.Holding());
}

// Registered only in the run as another user (see CMakeLists.txt): Wine lets root write to a
// read-only file.
TEST(LogAsOtherUser, SaveFailsOnAReadOnlyLogAndKeepsIt) {
  winetest::ScratchFolder folder;
  // Whether this user is kept out of read-only files at all.
  folder.WriteFile("probe", "x");
  const std::string probe = folder.Path() + "probe";
  ASSERT_TRUE(SetFileAttributesA(probe.c_str(), FILE_ATTRIBUTE_READONLY));
  HANDLE h = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h != INVALID_HANDLE_VALUE) {
    CloseHandle(h);
    const char* why = std::getenv("DORMIVO_OTHER_USER_PROBLEM");
    if (why != nullptr && *why != '\0') {
      GTEST_SKIP() << "read-only files are not enforced for this user, which Wine does only for "
                      "a user other than root, and another user could not be used: "
                   << why;
    }
    FAIL() << "read-only files are not enforced: run this test as a user other than root";
  }

  folder.WriteFile("Log.dat", kEarlierLogLine);
  const std::string path = folder.Path() + "Log.dat";
  ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
  platform::Win32FileSystem fs;
  platform::Win32ClockLocale clock;
  TJvLogFile log(fs, clock);
  log.SetFileName(path);  // reading a read-only log works
  ASSERT_EQ(log.Records().Count(), 1);
  log.SetAutoSave(true);
  EXPECT_EQ(ErrorOf([&] { log.Add("3/14/2026 9:05:07 PM", "Nightly backup", "Power Off"); }),
            "Cannot create file \"" + path + "\". " + SystemText(ERROR_ACCESS_DENIED));
  EXPECT_EQ(ErrorOf([&] { log.Close(); }),
            "Cannot create file \"" + path + "\". " + SystemText(ERROR_ACCESS_DENIED));
  EXPECT_EQ(folder.ReadFile("Log.dat"), kEarlierLogLine);
  EXPECT_FALSE(Exists(path + ".tmp"));
  EXPECT_EQ(log.Records().Count(), 2);
}

// --- Time text

// The real regional settings with a clock that shows a chosen moment.
class FixedClock final : public platform::ClockLocale {
 public:
  explicit FixedClock(const SYSTEMTIME& time) : time_(time) {}
  void GetLocalTime(platform::SystemTime* time) override {
    *time = platform::FromWindowsTime(time_);
  }
  platform::LocaleId GetThreadLocale() override { return real_.GetThreadLocale(); }
  std::optional<std::string> GetLocaleInfoA(platform::LocaleId locale, uint32_t lcType) override {
    return real_.GetLocaleInfoA(locale, lcType);
  }
  bool FileTimeToLocalFileTime(uint64_t fileTime, uint64_t* local) override {
    return real_.FileTimeToLocalFileTime(fileTime, local);
  }

 private:
  SYSTEMTIME time_;
  platform::Win32ClockLocale real_;
};

// The real clock and settings, remembering the moment the clock last gave.
class RecordingClock final : public platform::ClockLocale {
 public:
  SYSTEMTIME seen{};
  void GetLocalTime(platform::SystemTime* time) override {
    real_.GetLocalTime(time);
    seen = SYSTEMTIME{time->wYear, time->wMonth,  time->wDayOfWeek, time->wDay,
                      time->wHour, time->wMinute, time->wSecond,    time->wMilliseconds};
  }
  platform::LocaleId GetThreadLocale() override { return real_.GetThreadLocale(); }
  std::optional<std::string> GetLocaleInfoA(platform::LocaleId locale, uint32_t lcType) override {
    return real_.GetLocaleInfoA(locale, lcType);
  }
  bool FileTimeToLocalFileTime(uint64_t fileTime, uint64_t* local) override {
    return real_.FileTimeToLocalFileTime(fileTime, local);
  }

 private:
  platform::Win32ClockLocale real_;
};

// What Windows itself writes for the moment in the thread's locale: the short date, and unless
// it is 00:00:00 one space and the time.
std::string WindowsText(const SYSTEMTIME& time) {
  char date[128] = {};
  char clock[128] = {};
  EXPECT_GT(GetDateFormatA(GetThreadLocale(), DATE_SHORTDATE, &time, nullptr, date, sizeof date),
            0);
  std::string text = date;
  if (time.wHour != 0 || time.wMinute != 0 || time.wSecond != 0) {
    EXPECT_GT(GetTimeFormatA(GetThreadLocale(), 0, &time, nullptr, clock, sizeof clock), 0);
    text += std::string(" ") + clock;
  }
  return text;
}

// The thread's locale for the life of the object.
class ThreadLocale {
 public:
  explicit ThreadLocale(LCID locale) : previous_(GetThreadLocale()) {
    ok_ = SetThreadLocale(locale) && GetThreadLocale() == locale;
  }
  ~ThreadLocale() { SetThreadLocale(previous_); }
  bool ok() const { return ok_; }

 private:
  LCID previous_;
  bool ok_ = false;
};

TEST(LogTimeTextOnWindows, MatchesTheSystemFormatsUnderSeveralLocales) {
  struct Locale {
    const char* name;
    LCID id;
  };
  const Locale locales[] = {
      {"English (United States): M/d/yyyy h:mm:ss tt", 0x0409},
      {"German (Germany): d.M.yyyy HH:mm:ss", 0x0407},
      {"English (United Kingdom): dd/MM/yyyy HH:mm:ss", 0x0809},
      {"French (France)", 0x040C},
      {"Japanese: yyyy/M/d H:mm:ss", 0x0411},
      {"Korean: designator before the time", 0x0412},
      {"Russian: dd.MM.yyyy", 0x0419},
  };
  const SYSTEMTIME moments[] = {
      // year, month, day of week, day, hour, minute, second, milliseconds
      {2026, 3, 6, 14, 21, 5, 7, 0},  {2026, 3, 6, 14, 9, 5, 7, 0},
      {2026, 3, 6, 14, 0, 0, 0, 0},   {2026, 3, 6, 14, 0, 0, 0, 999},
      {2026, 3, 6, 14, 0, 0, 1, 0},   {2026, 3, 6, 14, 12, 0, 0, 0},
      {2005, 1, 0, 2, 23, 59, 59, 0}, {2024, 12, 2, 31, 11, 59, 59, 0},
  };
  for (const Locale& locale : locales) {
    SCOPED_TRACE(locale.name);
    ThreadLocale scope(locale.id);
    ASSERT_TRUE(scope.ok());
    for (const SYSTEMTIME& moment : moments) {
      SCOPED_TRACE(std::to_string(moment.wYear) + "-" + std::to_string(moment.wMonth) + "-" +
                   std::to_string(moment.wDay) + " " + std::to_string(moment.wHour) + ":" +
                   std::to_string(moment.wMinute) + ":" + std::to_string(moment.wSecond));
      FixedClock clock(moment);
      platform::SystemTime now;
      clock.GetLocalTime(&now);
      EXPECT_EQ(LogTimeText(now, clock), WindowsText(moment));
    }
  }
}

// Run three times: as discovered, and as separate tests whose Wine process starts with
// LC_ALL=en_US.UTF-8 or de_DE.UTF-8 and DORMIVO_EXPECT_LOCALE naming the user locale that gives.
TEST(LogTimeTextOnWindows, AddStampsTheRealTimeInTheUserLocaleAsTheSystemWritesIt) {
  if (const char* expected = std::getenv("DORMIVO_EXPECT_LOCALE")) {
    ASSERT_EQ(GetThreadLocale(), std::strtoul(expected, nullptr, 16))
        << "the user locale did not follow LC_ALL; is that locale generated on this machine?";
  }
  winetest::ScratchFolder folder;
  platform::Win32FileSystem fs;
  RecordingClock clock;
  TJvLogFile log(fs, clock);
  log.SetFileName(folder.Path() + "Log.dat");
  log.SetAutoSave(true);
  log.Add("Nightly backup", "Power Off");
  log.Close();
  ASSERT_NE(clock.seen.wYear, 0);
  const std::string time = WindowsText(clock.seen);
  EXPECT_EQ(folder.ReadFile("Log.dat"), "[" + time + "]Nightly backup>Power Off\r\n");
}

}  // namespace
}  // namespace dormivo
