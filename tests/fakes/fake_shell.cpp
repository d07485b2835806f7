#include "tests/fakes/fake_shell.h"

#include <cstdio>

namespace dormivo::fakes {

int32_t FakeShell::SHEmptyRecycleBinA(platform::WindowHandle owner, const std::string& rootPath,
                                      uint32_t flags) {
  char text[64];
  std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(owner));
  const std::string call = "SHEmptyRecycleBinA(" + std::string(text) + "," + rootPath + "," +
                           std::to_string(flags) + ")";
  calls_.push_back(call);
  if (journal_ != nullptr)
    journal_->push_back(call);
  return result_;
}

}  // namespace dormivo::fakes
