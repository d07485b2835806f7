// Any bytes as Settings.dat: loading must never fail on content, and every lookup must give a
// value (the default where the content is malformed).
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/ansi_text.h"
#include "storage/uIniOption.h"
#include "tests/fakes/fake_file_system.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  dormivo::fakes::FakeFileSystem fs;
  fs.AddFile("C:\\app\\Settings.dat", text);
  const dormivo::platform::AsciiText ascii;
  dormivo::ExecutorSettings settings;
  dormivo::LoadSettings("C:\\app\\", settings, fs, ascii);  // content never raises
  if (settings.SoundFileName.size() > size)
    __builtin_trap();

  const dormivo::IniFile ini(text, ascii);
  for (const char* section : {"Settings", "settings", ""}) {
    for (const char* key : {"NotifyTimer", "", "=", "a"}) {
      const std::string value = ini.ReadString(section, key, "<none>");
      if (value != "<none>" && value.size() > size)
        __builtin_trap();
      (void)ini.ReadInteger(section, key, 10);
      (void)ini.ReadBool(section, key, true);
    }
  }
  return 0;
}
