// The local clock and the regional settings of the running thread, as the log stamps its
// entries. Each call mirrors the Windows call of the same name.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace dormivo::platform {

// What GetLocalTime reports (SYSTEMTIME).
struct SystemTime {
  uint16_t wYear = 0;
  uint16_t wMonth = 0;      // 1 = January
  uint16_t wDayOfWeek = 0;  // 0 = Sunday
  uint16_t wDay = 0;
  uint16_t wHour = 0;
  uint16_t wMinute = 0;
  uint16_t wSecond = 0;
  uint16_t wMilliseconds = 0;
};

// A locale identifier (LCID).
using LocaleId = uint32_t;

class ClockLocale {
 public:
  virtual ~ClockLocale() = default;

  virtual void GetLocalTime(SystemTime* time) = 0;
  virtual LocaleId GetThreadLocale() = 0;
  // One setting of a locale as ANSI text, without the terminating zero; nullopt when the system
  // cannot give it.
  virtual std::optional<std::string> GetLocaleInfoA(LocaleId locale, uint32_t lcType) = 0;
  // A file time (100 ns steps since 1601-01-01, UTC) in the local time zone; false when the
  // system cannot convert it.
  virtual bool FileTimeToLocalFileTime(uint64_t fileTime, uint64_t* localFileTime) = 0;
};

}  // namespace dormivo::platform
