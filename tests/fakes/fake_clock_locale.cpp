#include "tests/fakes/fake_clock_locale.h"

#include <cstdio>
#include <string>

#include "platform/win_constants.h"

namespace dormivo::fakes {

void FakeClockLocale::UseUnitedStates() {
  SetInfo(win::kLocaleSShortDate, "M/d/yyyy");
  SetInfo(win::kLocaleSDate, "/");
  SetInfo(win::kLocaleSTime, ":");
  SetInfo(win::kLocaleITime, "0");
  SetInfo(win::kLocaleITLZero, "0");
  SetInfo(win::kLocaleITimeMarkPosn, "0");
  SetInfo(win::kLocaleS1159, "AM");
  SetInfo(win::kLocaleS2359, "PM");
}

void FakeClockLocale::UseGermany() {
  SetInfo(win::kLocaleSShortDate, "dd.MM.yyyy");
  SetInfo(win::kLocaleSDate, ".");
  SetInfo(win::kLocaleSTime, ":");
  SetInfo(win::kLocaleITime, "1");
  SetInfo(win::kLocaleITLZero, "1");
  SetInfo(win::kLocaleITimeMarkPosn, "0");
  SetInfo(win::kLocaleS1159, "");
  SetInfo(win::kLocaleS2359, "");
}

void FakeClockLocale::GetLocalTime(platform::SystemTime* time) {
  calls_.push_back("GetLocalTime()");
  *time = time_;
}

platform::LocaleId FakeClockLocale::GetThreadLocale() {
  calls_.push_back("GetThreadLocale()");
  return locale_;
}

std::optional<std::string> FakeClockLocale::GetLocaleInfoA(platform::LocaleId locale,
                                                           uint32_t lcType) {
  char call[64];
  std::snprintf(call, sizeof call, "GetLocaleInfoA(0x%X,0x%X)", locale, lcType);
  calls_.push_back(call);
  const auto it = info_.find({locale, lcType});
  if (it == info_.end())
    return std::nullopt;
  return it->second;
}

bool FakeClockLocale::FileTimeToLocalFileTime(uint64_t fileTime, uint64_t* localFileTime) {
  calls_.push_back("FileTimeToLocalFileTime(" + std::to_string(fileTime) + ")");
  if (!utcOffsetMinutes_)
    return false;
  constexpr int64_t kStepsPerMinute = 600000000;
  *localFileTime = static_cast<uint64_t>(static_cast<int64_t>(fileTime) +
                                         int64_t{*utcOffsetMinutes_} * kStepsPerMinute);
  return true;
}

}  // namespace dormivo::fakes
