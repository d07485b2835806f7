// The settings file through the real Windows layer.
#include <gtest/gtest.h>

#include "platform/exception.h"
#include "platform/win32/ansi_text_win32.h"
#include "platform/win32/file_system_win32.h"
#include "storage/uIniOption.h"
#include "tests/wine/wine_support.h"

namespace dormivo {
namespace {

TEST(SettingsOnWindows, ReadsTheFileBesideTheFolder) {
  winetest::ScratchFolder folder;
  folder.WriteFile("Settings.dat", "[settings]\r\nNotifyTimer=0x1E\r\nCache=1\r\nForce=False\r\n");
  platform::Win32FileSystem fs;
  platform::Win32AnsiText codePage;
  ExecutorSettings settings;
  LoadSettings(folder.Path(), settings, fs, codePage);
  EXPECT_EQ(settings.NotifyTimer, 30);
  EXPECT_TRUE(settings.Cache);
  EXPECT_TRUE(settings.Force);
  EXPECT_TRUE(settings.Notify);
}

TEST(SettingsOnWindows, MissingFileAndFolderOfThatNameGiveDefaults) {
  winetest::ScratchFolder folder;
  platform::Win32FileSystem fs;
  platform::Win32AnsiText codePage;
  ExecutorSettings settings;
  LoadSettings(folder.Path(), settings, fs, codePage);
  EXPECT_EQ(settings.NotifyTimer, 10);
  ASSERT_TRUE(CreateDirectoryA((folder.Path() + "Settings.dat").c_str(), nullptr));
  ExecutorSettings again;
  LoadSettings(folder.Path(), again, fs, codePage);
  EXPECT_EQ(again.NotifyTimer, 10);
  EXPECT_TRUE(again.Force);
}

TEST(SettingsOnWindows, FileHeldOpenForWritingByAnotherProcessFailsWithTheSystemText) {
  winetest::ScratchFolder folder;
  folder.WriteFile("Settings.dat", "[Settings]\r\nNotifyTimer=30\r\n");
  const std::string path = folder.Path() + "Settings.dat";
  winetest::FileHolder holder(path, "w", FILE_SHARE_READ | FILE_SHARE_WRITE);
  ASSERT_TRUE(holder.Holding());

  // What the system itself says for a sharing violation, trimmed as the message trims it.
  const std::string systemText = winetest::SystemText(ERROR_SHARING_VIOLATION);
  ASSERT_FALSE(systemText.empty());

  platform::Win32FileSystem fs;
  platform::Win32AnsiText codePage;
  ExecutorSettings settings;
  try {
    LoadSettings(folder.Path(), settings, fs, codePage);
    FAIL() << "no error raised";
  } catch (const Exception& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot open file \"" + path + "\". " + systemText);
  }
  EXPECT_EQ(settings.NotifyTimer, 0);
  EXPECT_FALSE(settings.Force);
}

}  // namespace
}  // namespace dormivo
