#include "platform/win32/clock_locale_win32.h"

#include <windows.h>

namespace dormivo::platform {

void Win32ClockLocale::GetLocalTime(SystemTime* time) {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  time->wYear = now.wYear;
  time->wMonth = now.wMonth;
  time->wDayOfWeek = now.wDayOfWeek;
  time->wDay = now.wDay;
  time->wHour = now.wHour;
  time->wMinute = now.wMinute;
  time->wSecond = now.wSecond;
  time->wMilliseconds = now.wMilliseconds;
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

}  // namespace dormivo::platform
