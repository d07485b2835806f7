#include "platform/win32/clock_locale_win32.h"

namespace dormivo::platform {

SystemTime FromWindowsTime(const SYSTEMTIME& time) {
  SystemTime out;
  out.wYear = time.wYear;
  out.wMonth = time.wMonth;
  out.wDayOfWeek = time.wDayOfWeek;
  out.wDay = time.wDay;
  out.wHour = time.wHour;
  out.wMinute = time.wMinute;
  out.wSecond = time.wSecond;
  out.wMilliseconds = time.wMilliseconds;
  return out;
}

void Win32ClockLocale::GetLocalTime(SystemTime* time) {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  *time = FromWindowsTime(now);
}

LocaleId Win32ClockLocale::GetThreadLocale() {
  return ::GetThreadLocale();
}

std::optional<std::string> Win32ClockLocale::GetLocaleInfoA(LocaleId locale, uint32_t lcType) {
  // The first call asks for the size, terminating zero included; 0 is a failure.
  const int size = ::GetLocaleInfoA(locale, lcType, nullptr, 0);
  if (size <= 0)
    return std::nullopt;
  std::string text(static_cast<size_t>(size), '\0');
  const int written = ::GetLocaleInfoA(locale, lcType, text.data(), size);
  if (written <= 0)
    return std::nullopt;
  text.resize(static_cast<size_t>(written - 1));
  return text;
}

bool Win32ClockLocale::FileTimeToLocalFileTime(uint64_t fileTime, uint64_t* localFileTime) {
  FILETIME utc{static_cast<DWORD>(fileTime), static_cast<DWORD>(fileTime >> 32)};
  FILETIME local{};
  if (!::FileTimeToLocalFileTime(&utc, &local))
    return false;
  *localFileTime = (uint64_t{local.dwHighDateTime} << 32) | local.dwLowDateTime;
  return true;
}

}  // namespace dormivo::platform
