// The real clock and regional settings: each call forwards to the Windows call of the same name.
#pragma once

#include <windows.h>

#include "platform/clock_locale.h"

namespace dormivo::platform {

// A Windows SYSTEMTIME in the interface's own structure.
SystemTime FromWindowsTime(const SYSTEMTIME& time);

class Win32ClockLocale final : public ClockLocale {
 public:
  void GetLocalTime(SystemTime* time) override;
  LocaleId GetThreadLocale() override;
  std::optional<std::string> GetLocaleInfoA(LocaleId locale, uint32_t lcType) override;
  bool FileTimeToLocalFileTime(uint64_t fileTime, uint64_t* localFileTime) override;
};

}  // namespace dormivo::platform
