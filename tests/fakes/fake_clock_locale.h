// A clock and regional settings for the native tests: the time, the thread's locale and each
// locale value are whatever the test sets; a value never set cannot be read. Every call is
// recorded.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/clock_locale.h"

namespace dormivo::fakes {

class FakeClockLocale final : public platform::ClockLocale {
 public:
  // The locale GetThreadLocale reports unless SetThreadLocale says otherwise (en-US).
  static constexpr platform::LocaleId kDefaultLocale = 0x0409;

  void SetTime(const platform::SystemTime& time) { time_ = time; }
  void SetThreadLocale(platform::LocaleId locale) { locale_ = locale; }
  // The value GetLocaleInfoA gives for `lcType` of the thread's current locale.
  void SetInfo(uint32_t lcType, const std::string& value) { info_[{locale_, lcType}] = value; }
  void RemoveInfo(uint32_t lcType) { info_.erase({locale_, lcType}); }
  // The difference of the local time zone to UTC in minutes that FileTimeToLocalFileTime adds
  // (0 at first); nullopt makes the conversion fail.
  void SetUtcOffsetMinutes(std::optional<int> minutes) { utcOffsetMinutes_ = minutes; }

  // The settings of two familiar locales, for the thread's current locale:
  // month/day/four-digit year, 12-hour clock without leading zero, designator after the time.
  void UseUnitedStates();
  // day.month.four-digit year with leading zeros, 24-hour clock with leading zero.
  void UseGermany();

  // Each call as "GetLocalTime()", "GetThreadLocale()" or "GetLocaleInfoA(0x409,0x1F)".
  const std::vector<std::string>& Calls() const { return calls_; }

  void GetLocalTime(platform::SystemTime* time) override;
  platform::LocaleId GetThreadLocale() override;
  std::optional<std::string> GetLocaleInfoA(platform::LocaleId locale, uint32_t lcType) override;
  bool FileTimeToLocalFileTime(uint64_t fileTime, uint64_t* localFileTime) override;

 private:
  platform::SystemTime time_;
  platform::LocaleId locale_ = kDefaultLocale;
  std::map<std::pair<platform::LocaleId, uint32_t>, std::string> info_;
  std::vector<std::string> calls_;
  std::optional<int> utcOffsetMinutes_ = 0;
};

}  // namespace dormivo::fakes
