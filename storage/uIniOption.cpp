#include "storage/uIniOption.h"

#include "platform/scoped_handle.h"
#include "platform/win_constants.h"
#include "storage/file_util.h"
#include "storage/int_text.h"

namespace dormivo {
namespace {

constexpr std::string_view kSection = "Settings";

std::string_view Trim(std::string_view text) {
  const auto blank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

// Calls `line` for each line of the text up to its first NUL byte.
template <typename LineFn>
void ForEachLine(std::string_view text, LineFn line) {
  if (const size_t nul = text.find('\0'); nul != std::string_view::npos) {
    text = text.substr(0, nul);
  }
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      line(text.substr(start));
      return;
    }
    line(text.substr(start, end - start));
    start = end + 1;
    if (text[end] == '\r' && start < text.size() && text[start] == '\n')
      ++start;
  }
}

}  // namespace

IniFile::IniFile(std::string_view text, const platform::AnsiText& codePage) : codePage_(codePage) {
  ForEachLine(text, [this](std::string_view raw) {
    const std::string_view line = Trim(raw);
    if (line.empty() || line.front() == ';')
      return;
    if (line.front() == '[' && line.back() == ']' && line.size() >= 2) {
      sections_.push_back(Section{
          codePage_.CharUpperBuffA(std::string(Trim(line.substr(1, line.size() - 2)))), {}});
      return;
    }
    if (sections_.empty())
      return;
    Entry entry;
    if (const size_t eq = line.find('='); eq != std::string_view::npos) {
      entry.hasKey = true;
      entry.key = codePage_.CharUpperBuffA(std::string(Trim(line.substr(0, eq))));
      entry.value = std::string(Trim(line.substr(eq + 1)));
    } else {
      entry.value = std::string(line);
    }
    sections_.back().entries.push_back(std::move(entry));
  });
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                const std::string& fallback) const {
  const std::string wantedSection = codePage_.CharUpperBuffA(std::string(section));
  const std::string wantedKey = codePage_.CharUpperBuffA(std::string(key));
  for (auto s = sections_.rbegin(); s != sections_.rend(); ++s) {
    if (s->name != wantedSection)
      continue;
    for (auto e = s->entries.rbegin(); e != s->entries.rend(); ++e) {
      if (e->hasKey && e->key == wantedKey)
        return e->value;
    }
    return fallback;  // only the last section of that name is consulted
  }
  return fallback;
}

int32_t IniFile::ReadInteger(std::string_view section, std::string_view key,
                             int32_t fallback) const {
  return StrToIntDef(ReadString(section, key, std::string()), fallback);
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool fallback) const {
  return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

void LoadSettings(const std::string& folder, ExecutorSettings& settings, platform::FileSystem& fs,
                  const platform::AnsiText& codePage) {
  const std::string path = folder + "Settings.dat";
  std::string text;
  if (FileExists(fs, path)) {
    const platform::ScopedFile file(
        fs, fs.CreateFileA(path, win::kGenericRead, win::kFileShareRead, win::kOpenExisting,
                           win::kFileAttributeNormal));
    if (!file)
      RaiseOpenError(fs, path);
    text = ReadWholeFile(fs, file.get());
  }
  const IniFile ini(text, codePage);
  ExecutorSettings loaded;
  loaded.Notify = ini.ReadBool(kSection, "Notify", true);
  loaded.NotifyTimer = ini.ReadInteger(kSection, "NotifyTimer", 10);
  loaded.PlaySound = ini.ReadBool(kSection, "PlaySound", false);
  loaded.SoundFileName = ini.ReadString(kSection, "SoundFileName", std::string());
  loaded.Recycle = ini.ReadBool(kSection, "Recycle", false);
  loaded.Cache = ini.ReadBool(kSection, "Cache", false);
  loaded.Cookies = ini.ReadBool(kSection, "Cookies", false);
  loaded.History = ini.ReadBool(kSection, "History", false);
  loaded.DocList = ini.ReadBool(kSection, "DocList", false);
  loaded.TempFolder = ini.ReadBool(kSection, "TempFolder", false);
  loaded.Force = ini.ReadBool(kSection, "Force", true);
  settings = loaded;
}

}  // namespace dormivo
