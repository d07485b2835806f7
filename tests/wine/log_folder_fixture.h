// A fixture for the tests of the task log through the real Windows layer: a scratch folder whose
// Log.dat holds one earlier entry, with the real file system and clock.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/clock_locale_win32.h"
#include "platform/win32/file_system_win32.h"
#include "tests/wine/wine_support.h"

namespace dormivo::winetest {

// What Log.dat holds when each test starts.
inline constexpr char kEarlierLogLine[] = "[1/1/2026 8:00:00 AM]Earlier>Restart\r\n";

class LogFolderTest : public ::testing::Test {
 protected:
  LogFolderTest() : path_(folder_.Path() + "Log.dat") {
    folder_.WriteFile("Log.dat", kEarlierLogLine);
  }

  ScratchFolder folder_;
  const std::string path_;  // Log.dat in folder_
  platform::Win32FileSystem fs_;
  platform::Win32ClockLocale clock_;
};

}  // namespace dormivo::winetest
