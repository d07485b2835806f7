// The shell for the native tests: records each request to empty the recycle bins.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/shell.h"

namespace dormivo::fakes {

class FakeShell final : public platform::Shell {
 public:
  // The HRESULT every request returns.
  void SetResult(int32_t result) { result_ = result; }

  // Calls, each like "SHEmptyRecycleBinA(0x1234,,1)".
  const std::vector<std::string>& Calls() const { return calls_; }
  void SetJournal(std::vector<std::string>* journal) { journal_ = journal; }

  int32_t SHEmptyRecycleBinA(platform::WindowHandle owner, const std::string& rootPath,
                             uint32_t flags) override;

 private:
  int32_t result_ = 0;
  std::vector<std::string> calls_;
  std::vector<std::string>* journal_ = nullptr;
};

}  // namespace dormivo::fakes
