// A recording fake of the power, session and privilege calls for the native tests. It models one
// process token with its privileges, records every call with its arguments in order, and can
// make the Nth call of an operation fail or throw, once or from then on.
#pragma once

#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/power.h"
#include "tests/fakes/fault_injector.h"

namespace dormivo::fakes {

class FakePower final : public platform::PowerApi {
 public:
  enum class Op {
    GetCurrentProcess,
    OpenProcessToken,
    LookupPrivilegeValue,
    AdjustTokenPrivileges,
    CloseHandle,
    ExitWindowsEx,
    SetSystemPowerState,
    SendMessage,
    LockWorkStation,
    GetVersionEx,
  };

  // What an injected throw raises.
  struct Thrown : std::runtime_error {
    using std::runtime_error::runtime_error;
  };

  // The pseudo handle GetCurrentProcess gives; tokens are handed out from 0x20 in steps of 4.
  static constexpr platform::Handle kProcess = 0x10;
  static constexpr platform::Handle kFirstToken = 0x20;
  // The LUID the local system gives "SeShutdownPrivilege" (19, as on Windows).
  static constexpr uint32_t kShutdownLuid = 19;

  FakePower();

  // --- Set-up.
  // The dwPlatformId GetVersionExA reports (default 2, the NT family).
  void SetPlatformId(uint32_t id) { platformId_ = id; }
  // Whether the token holds a privilege (by LUID) and in which state. The token holds
  // "SeShutdownPrivilege", disabled, unless told otherwise.
  void SetTokenPrivilege(uint32_t luid, bool enabled);
  void RemoveTokenPrivilege(uint32_t luid) { token_.erase(luid); }

  // --- Faults. The call of `op` after `skip` calls of it fails (returns false, 0 for the
  // handle and message calls), `times` times (-1: from then on). The call is still recorded.
  void Fail(Op op, int skip = 0, int times = 1);
  // Likewise, but the call throws Thrown after it has been recorded.
  void Throw(Op op, int skip = 0, int times = 1);

  // --- What happened.
  // Each call like "ExitWindowsEx(13,0)"; see the .cpp for every form.
  const std::vector<std::string>& Calls() const { return calls_; }
  void ClearCalls() { calls_.clear(); }
  // The state of a privilege of the token: true when held and enabled.
  bool PrivilegeEnabled(uint32_t luid) const;
  // Token handles opened and not closed yet.
  size_t OpenTokenCount() const { return openTokens_.size(); }

  // platform::PowerApi
  platform::Handle GetCurrentProcess() override;
  bool OpenProcessToken(platform::Handle process, uint32_t desiredAccess,
                        platform::Handle* token) override;
  bool LookupPrivilegeValueA(const char* systemName, const std::string& name,
                             platform::Luid* luid) override;
  bool AdjustTokenPrivileges(platform::Handle token, bool disableAllPrivileges,
                             const platform::TokenPrivileges* newState, uint32_t bufferLength,
                             platform::TokenPrivileges* previousState,
                             uint32_t* returnLength) override;
  bool CloseHandle(platform::Handle handle) override;
  bool ExitWindowsEx(uint32_t flags, uint32_t reason) override;
  bool SetSystemPowerState(bool suspend, bool force) override;
  intptr_t SendMessageA(platform::WindowHandle window, uint32_t message, uintptr_t wParam,
                        intptr_t lParam) override;
  bool LockWorkStation() override;
  bool GetVersionExA(platform::OsVersionInfo* info) override;

 private:
  // Records the call, then applies a due fault: throws, or returns true when the call must fail.
  bool Call(Op op, const std::string& text);

  std::vector<std::string> calls_;
  FaultInjector<Op> faults_;
  std::map<uint32_t, uint32_t> token_;  // LUID low part -> attributes
  std::vector<platform::Handle> openTokens_;
  std::map<platform::Handle, uint32_t> access_;  // desired access of each open token
  platform::Handle nextToken_ = kFirstToken;
  uint32_t platformId_ = 2;
};

}  // namespace dormivo::fakes
