// The executor's options, read once at start from "Settings.dat" beside the executable.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ansi_text.h"
#include "platform/file_system.h"

namespace dormivo {

// Before LoadSettings every field is false, 0 or empty.
struct ExecutorSettings {
  bool Notify = false;
  int32_t NotifyTimer = 0;
  bool PlaySound = false;
  std::string SoundFileName;
  bool Recycle = false;
  bool DocList = false;
  bool TempFolder = false;
  bool Cookies = false;
  bool History = false;
  bool Cache = false;
  bool Force = false;
};

// INI text parsed by the executor's rules: lines end at CR, LF or CR LF; a NUL byte ends the
// text; every line is trimmed of bytes 0 to 32; ";" starts a comment; "[name]" opens a section
// (every header a new one); "key=value" is an entry; entries before the first header are
// ignored. Names are compared upper-cased by the code page's rules; the last matching section
// is the only one consulted, and in it the last matching key wins.
class IniFile {
 public:
  IniFile(std::string_view text, const platform::AnsiText& codePage);

  std::string ReadString(std::string_view section, std::string_view key,
                         const std::string& fallback) const;
  int32_t ReadInteger(std::string_view section, std::string_view key, int32_t fallback) const;
  bool ReadBool(std::string_view section, std::string_view key, bool fallback) const;

 private:
  struct Entry {
    bool hasKey = false;
    std::string key;  // upper-cased
    std::string value;
  };
  struct Section {
    std::string name;  // upper-cased
    std::vector<Entry> entries;
  };

  const platform::AnsiText& codePage_;
  std::vector<Section> sections_;
};

// Reads folder + "Settings.dat" into `settings`. A missing file (or a folder of that name)
// gives every default. A file that exists but cannot be opened raises
// "Cannot open file "<path>". <system text>" and leaves `settings` untouched.
void LoadSettings(const std::string& folder, ExecutorSettings& settings, platform::FileSystem& fs,
                  const platform::AnsiText& codePage);

}  // namespace dormivo
