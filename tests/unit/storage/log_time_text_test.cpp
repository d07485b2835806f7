// The date and time text that stamps a new log entry, from the clock and the thread's locale.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/win_constants.h"
#include "storage/JvLogFile.h"
#include "tests/fakes/fake_clock_locale.h"
#include "tests/unit/storage/log_test_support.h"

namespace dormivo {
namespace {

using fakes::FakeClockLocale;

platform::SystemTime At(uint16_t year, uint16_t month, uint16_t day, uint16_t hour, uint16_t minute,
                        uint16_t second, uint16_t milliseconds = 0, uint16_t dayOfWeek = 6) {
  platform::SystemTime t;
  t.wYear = year;
  t.wMonth = month;
  t.wDay = day;
  t.wDayOfWeek = dayOfWeek;
  t.wHour = hour;
  t.wMinute = minute;
  t.wSecond = second;
  t.wMilliseconds = milliseconds;
  return t;
}

const platform::SystemTime kEvening = At(2026, 3, 14, 21, 5, 7);

TEST(LogTimeText, FollowsTheThreadLocale) {
  struct Row {
    const char* name;
    std::function<void(FakeClockLocale&)> locale;
    platform::SystemTime time;
    std::string text;
  };
  const auto us = [](FakeClockLocale& c) { c.UseUnitedStates(); };
  const auto germany = [](FakeClockLocale& c) { c.UseGermany(); };
  const Row rows[] = {
      {"12-hour clock, designator after the time", us, kEvening, "3/14/2026 9:05:07 PM"},
      {"12-hour clock, morning", us, At(2026, 3, 14, 9, 5, 7), "3/14/2026 9:05:07 AM"},
      {"12-hour clock, noon is 12 PM", us, At(2026, 3, 14, 12, 0, 0), "3/14/2026 12:00:00 PM"},
      {"12-hour clock, a second before noon", us, At(2026, 3, 14, 11, 59, 59),
       "3/14/2026 11:59:59 AM"},
      {"12-hour clock, hour 0 is 12 AM", us, At(2026, 3, 14, 0, 0, 1), "3/14/2026 12:00:01 AM"},
      {"midnight exactly is the date alone", us, At(2026, 3, 14, 0, 0, 0), "3/14/2026"},
      {"within the first second after midnight the milliseconds do not count", us,
       At(2026, 3, 14, 0, 0, 0, 999), "3/14/2026"},
      {"a minute after midnight has a time", us, At(2026, 3, 14, 0, 1, 0), "3/14/2026 12:01:00 AM"},
      {"12-hour clock, designator before the time",
       [](FakeClockLocale& c) {
         c.UseUnitedStates();
         c.SetInfo(win::kLocaleITimeMarkPosn, "1");
         c.SetInfo(win::kLocaleS2359, "\xBF\xC0\xC8\xC4");
       },
       kEvening, "3/14/2026 \xBF\xC0\xC8\xC4 9:05:07"},
      {"12-hour clock with a leading zero",
       [](FakeClockLocale& c) {
         c.UseUnitedStates();
         c.SetInfo(win::kLocaleITLZero, "1");
       },
       At(2026, 3, 14, 9, 5, 7), "3/14/2026 09:05:07 AM"},
      {"24-hour clock with a leading zero", germany, kEvening, "14.03.2026 21:05:07"},
      {"24-hour clock with a leading zero, morning", germany, At(2026, 3, 4, 9, 5, 7),
       "04.03.2026 09:05:07"},
      {"24-hour clock, midnight exactly", germany, At(2026, 3, 14, 0, 0, 0), "14.03.2026"},
      {"24-hour clock, hour 0", germany, At(2026, 3, 14, 0, 0, 1), "14.03.2026 00:00:01"},
      {"24-hour clock without a leading zero",
       [](FakeClockLocale& c) {
         c.UseGermany();
         c.SetInfo(win::kLocaleITLZero, "0");
       },
       At(2026, 3, 14, 9, 5, 7), "14.03.2026 9:05:07"},
      {"the first character of the separators",
       [](FakeClockLocale& c) {
         c.UseGermany();
         c.SetInfo(win::kLocaleSShortDate, "yyyy/MM/dd");
         c.SetInfo(win::kLocaleSDate, "-x");
         c.SetInfo(win::kLocaleSTime, ".x");
       },
       kEvening, "2026-03-14 21.05.07"},
      {"nothing readable: M/d/yy, 12-hour, am and pm after the time", [](FakeClockLocale&) {},
       kEvening, "3/14/26 9:05:07 pm"},
      {"nothing readable, morning", [](FakeClockLocale&) {}, At(2005, 11, 2, 0, 30, 0),
       "11/2/05 12:30:00 am"},
      {"pattern unreadable, separator readable",
       [](FakeClockLocale& c) {
         c.UseGermany();
         c.RemoveInfo(win::kLocaleSShortDate);
       },
       kEvening, "3.14.26 21:05:07"},
      {"empty pattern counts as unreadable",
       [](FakeClockLocale& c) {
         c.UseGermany();
         c.SetInfo(win::kLocaleSShortDate, "");
       },
       kEvening, "3.14.26 21:05:07"},
      {"separators unreadable",
       [](FakeClockLocale& c) {
         c.UseUnitedStates();
         c.RemoveInfo(win::kLocaleSDate);
         c.RemoveInfo(win::kLocaleSTime);
         c.SetInfo(win::kLocaleSShortDate, "d/M/yyyy");
       },
       kEvening, "14/3/2026 9:05:07 PM"},
      {"clock settings unreadable count as 0",
       [](FakeClockLocale& c) {
         c.UseGermany();
         c.RemoveInfo(win::kLocaleITime);
         c.RemoveInfo(win::kLocaleITLZero);
         c.RemoveInfo(win::kLocaleITimeMarkPosn);
         c.RemoveInfo(win::kLocaleS1159);
         c.RemoveInfo(win::kLocaleS2359);
       },
       At(2026, 3, 14, 9, 5, 7), "14.03.2026 9:05:07 am"},
      {"clock settings that are no number count as 0",
       [](FakeClockLocale& c) {
         c.UseGermany();
         c.SetInfo(win::kLocaleITime, "x");
         c.SetInfo(win::kLocaleITLZero, "");
         c.SetInfo(win::kLocaleS2359, "PM");
       },
       kEvening, "14.03.2026 9:05:07 PM"},
      {"a slash of the pattern is the locale's date separator",
       [](FakeClockLocale& c) {
         c.UseUnitedStates();
         c.SetInfo(win::kLocaleSDate, "-");
       },
       kEvening, "3-14-2026 9:05:07 PM"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FakeClockLocale clock;
    row.locale(clock);
    EXPECT_EQ(LogTimeText(row.time, clock), row.text);
  }
}

TEST(LogTimeText, DatePatternElements) {
  struct Row {
    const char* pattern;
    platform::SystemTime time;
    std::string text;
  };
  // Midnight, so that the text is the date alone.
  const platform::SystemTime early = At(2005, 1, 2, 0, 0, 0, 0, 0);  // a Sunday
  const platform::SystemTime saturday = At(2026, 3, 14, 0, 0, 0, 0, 6);
  const Row rows[] = {
      {"d/M/y", early, "2.1.5"},
      {"dd/MM/yy", early, "02.01.05"},
      {"yyyy/M/d", early, "2005.1.2"},
      {"yyyyy", early, "2005"},
      {"ddd, MMM d yyyy", saturday, "Sa, Mrz 14 2026"},
      {"dddd d. MMMM yyyy", saturday, "Samstag 14. M\xE4rz 2026"},
      {"dddd", early, "Sonntag"},
      {"'Tag' d 'o''clock' ''", saturday, "Tag 14 o'clock '"},
      {"'unterminated d/M", saturday, "unterminated d/M"},
      {"g yyyy", saturday, " 2026"},
      {"D Y m", saturday, "D Y m"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.pattern);
    FakeClockLocale clock;
    clock.UseGermany();
    clock.SetInfo(win::kLocaleSShortDate, row.pattern);
    clock.SetInfo(win::kLocaleSAbbrevDayName1 + 5, "Sa");
    clock.SetInfo(win::kLocaleSDayName1 + 5, "Samstag");
    clock.SetInfo(win::kLocaleSDayName1 + 6, "Sonntag");
    clock.SetInfo(win::kLocaleSAbbrevMonthName1 + 2, "Mrz");
    clock.SetInfo(win::kLocaleSMonthName1 + 2, "M\xE4rz");
    EXPECT_EQ(LogTimeText(row.time, clock), row.text);
  }
}

TEST(LogTimeText, UnreadableNamesAreEnglish) {
  FakeClockLocale clock;
  clock.SetInfo(win::kLocaleSShortDate, "ddd dddd MMM MMMM");
  EXPECT_EQ(LogTimeText(At(2026, 3, 14, 0, 0, 0, 0, 6), clock), "Sat Saturday Mar March");
  EXPECT_EQ(LogTimeText(At(2026, 12, 13, 0, 0, 0, 0, 0), clock), "Sun Sunday Dec December");
}

TEST(LogTimeText, AsksTheThreadLocaleForItsSettings) {
  FakeClockLocale clock;
  clock.UseUnitedStates();
  clock.SetThreadLocale(0x0407);
  clock.UseGermany();
  EXPECT_EQ(LogTimeText(kEvening, clock), "14.03.2026 21:05:07");
  std::vector<std::string> asked;
  for (const std::string& call : clock.Calls()) {
    if (call.rfind("GetLocaleInfoA(", 0) == 0)
      asked.push_back(call);
  }
  ASSERT_FALSE(asked.empty());
  for (const std::string& call : asked) EXPECT_EQ(call.substr(0, 21), "GetLocaleInfoA(0x407,");
}

class LogStamp : public logtest::LogTest {};

TEST_F(LogStamp, AddWithoutATimeStampsTheEntryWithTheLocalTime) {
  TJvLogFile log(fs_, clock_);
  log.Add("Nightly backup", "Power Off");
  clock_.SetTime(At(2026, 3, 15, 0, 0, 0, 500, 0));
  log.Add("Midnight", "Restart");
  ASSERT_EQ(log.Records().Count(), 2);
  EXPECT_EQ(log.Records()[0].Time, "3/14/2026 9:05:07 PM");
  EXPECT_EQ(log.Records()[0].Title, "Nightly backup");
  EXPECT_EQ(log.Records()[0].Description, "Power Off");
  EXPECT_EQ(log.Records()[1].Time, "3/15/2026");
}

}  // namespace
}  // namespace dormivo
