// A fake process for the native tests: a given command line and module path, COM that can fail
// to initialise, and ExitProcess recorded (and handed to a hook, so that the fake message loop
// stops as the real process would).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/process.h"

namespace dormivo::fakes {

class FakeProcess final : public platform::ProcessApi {
 public:
  std::string commandLine = "Notifier.exe";
  std::string modulePath = "C:\\Dormivo\\Notifier.exe";
  int32_t coInitializeResult = 0;  // S_OK
  std::function<void(uint32_t)> onExit;

  std::optional<uint32_t> ExitCode() const { return exitCode_; }
  const std::vector<std::string>& Calls() const { return calls_; }

  std::string GetCommandLineA() override { return commandLine; }
  std::string GetModuleFileNameA() override { return modulePath; }
  int32_t CoInitialize() override {
    calls_.push_back("CoInitialize");
    return coInitializeResult;
  }
  void CoUninitialize() override { calls_.push_back("CoUninitialize"); }
  void ExitProcess(uint32_t exitCode) override {
    calls_.push_back("ExitProcess(" + std::to_string(exitCode) + ")");
    if (!exitCode_)
      exitCode_ = exitCode;
    if (onExit)
      onExit(exitCode);
  }

 private:
  std::optional<uint32_t> exitCode_;
  std::vector<std::string> calls_;
};

}  // namespace dormivo::fakes
