// DLLs loaded at run time come from the system folder.
#include <gtest/gtest.h>

#include <string>

#include "platform/win32/system_library.h"

namespace dormivo {
namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  return text;
}

TEST(SystemLibrary, LoadsFromTheSystemFolderByFullPath) {
  char folder[MAX_PATH] = {};
  ASSERT_NE(GetSystemDirectoryA(folder, MAX_PATH), 0u);
  for (const char* dll : {"wininet.dll", "winmm.dll"}) {
    SCOPED_TRACE(dll);
    HMODULE module = platform::LoadSystemLibrary(dll);
    ASSERT_NE(module, nullptr);
    char path[MAX_PATH] = {};
    ASSERT_NE(GetModuleFileNameA(module, path, MAX_PATH), 0u);
    EXPECT_EQ(Lower(path), Lower(std::string(folder) + "\\" + dll));
  }
}

TEST(SystemLibrary, MissingDllOrFunctionGivesNull) {
  using Fn = void (*)();
  EXPECT_EQ(platform::LoadSystemLibrary("no-such-library-dormivo.dll"), nullptr);
  EXPECT_EQ(platform::SystemProc<Fn>("no-such-library-dormivo.dll", "X"), nullptr);
  EXPECT_EQ(platform::SystemProc<Fn>("wininet.dll", "NoSuchFunctionDormivo"), nullptr);
  EXPECT_NE(platform::SystemProc<Fn>("wininet.dll", "DeleteUrlCacheEntryA"), nullptr);
}

}  // namespace
}  // namespace dormivo
