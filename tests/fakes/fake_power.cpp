// The recorded forms of the calls:
//   GetCurrentProcess()
//   OpenProcessToken(0x10,0x28)                         process, desired access
//   LookupPrivilegeValueA(null,SeShutdownPrivilege)     system name or null, privilege name
//   AdjustTokenPrivileges(0x20,FALSE,{1,19:0,2},16,buffer,0)
//       token, DisableAllPrivileges, {count, LUID low:high, attributes}, buffer length,
//       previous-state buffer ("buffer" or "null"), return length as passed in (or "null")
//   CloseHandle(0x20)
//   ExitWindowsEx(13,0)                                 flags, reason
//   SetSystemPowerState(FALSE,TRUE)                     fSuspend, fForce
//   SendMessageA(0x5000,0x112,0xF170,1)                 window, message, wParam, lParam
//   LockWorkStation()
//   GetVersionExA()
#include "tests/fakes/fake_power.h"

#include <algorithm>
#include <cctype>

#include "platform/win_constants.h"
#include "tests/fakes/call_text.h"

namespace dormivo::fakes {
namespace {

const char* Bool(bool value) {
  return value ? "TRUE" : "FALSE";
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// The privileges the fake's local system knows, with their LUIDs as Windows gives them.
uint32_t KnownLuid(const std::string& name) {
  static const std::map<std::string, uint32_t> known = {
      {"seshutdownprivilege", FakePower::kShutdownLuid},
      {"sedebugprivilege", 20},
      {"seremoteshutdownprivilege", 24},
      {"setimezoneprivilege", 34},
  };
  const auto found = known.find(Lower(name));
  return found == known.end() ? 0 : found->second;
}

}  // namespace

FakePower::FakePower() {
  token_[kShutdownLuid] = 0;
}

void FakePower::SetTokenPrivilege(uint32_t luid, bool enabled) {
  token_[luid] = enabled ? win::kSePrivilegeEnabled : 0;
}

void FakePower::Fail(Op op, int skip, int times) {
  faults_.Add({op, 0, skip, times, false});
}

void FakePower::Throw(Op op, int skip, int times) {
  faults_.Add({op, 0, skip, times, true});
}

bool FakePower::PrivilegeEnabled(uint32_t luid) const {
  const auto found = token_.find(luid);
  return found != token_.end() && (found->second & win::kSePrivilegeEnabled) != 0;
}

bool FakePower::Call(Op op, const std::string& text) {
  calls_.push_back(text);
  const auto* fault = faults_.Meet(op);
  if (fault != nullptr && fault->throws)
    throw Thrown("injected failure of " + text);
  return fault != nullptr;
}

platform::Handle FakePower::GetCurrentProcess() {
  if (Call(Op::GetCurrentProcess, "GetCurrentProcess()"))
    return 0;
  return kProcess;
}

bool FakePower::OpenProcessToken(platform::Handle process, uint32_t desiredAccess,
                                 platform::Handle* token) {
  if (Call(Op::OpenProcessToken,
           "OpenProcessToken(" + Hex(process) + "," + Hex(desiredAccess) + ")")) {
    return false;
  }
  if (process != kProcess)
    return false;
  *token = nextToken_;
  nextToken_ += 4;
  openTokens_.push_back(*token);
  access_[*token] = desiredAccess;
  return true;
}

bool FakePower::LookupPrivilegeValueA(const char* systemName, const std::string& name,
                                      platform::Luid* luid) {
  const std::string system = systemName == nullptr ? "null" : systemName;
  if (Call(Op::LookupPrivilegeValue, "LookupPrivilegeValueA(" + system + "," + name + ")"))
    return false;
  const uint32_t known = KnownLuid(name);
  if (systemName != nullptr || known == 0)
    return false;  // only the local system is known
  luid->lowPart = known;
  luid->highPart = 0;
  return true;
}

bool FakePower::AdjustTokenPrivileges(platform::Handle token, bool disableAllPrivileges,
                                      const platform::TokenPrivileges* newState,
                                      uint32_t bufferLength,
                                      platform::TokenPrivileges* previousState,
                                      uint32_t* returnLength) {
  std::string state = "null";
  if (newState != nullptr) {
    const platform::LuidAndAttributes& entry = newState->privileges[0];
    state = "{" + std::to_string(newState->privilegeCount) + "," +
            std::to_string(entry.luid.lowPart) + ":" + std::to_string(entry.luid.highPart) + "," +
            std::to_string(entry.attributes) + "}";
  }
  const std::string text =
      "AdjustTokenPrivileges(" + Hex(token) + "," + Bool(disableAllPrivileges) + "," + state + "," +
      std::to_string(bufferLength) + "," + (previousState ? "buffer" : "null") + "," +
      (returnLength ? std::to_string(*returnLength) : std::string("null")) + ")";
  if (Call(Op::AdjustTokenPrivileges, text))
    return false;

  // As Windows: the token must be open with TOKEN_ADJUST_PRIVILEGES, and with TOKEN_QUERY too
  // when the previous state is asked for.
  const auto access = access_.find(token);
  if (std::find(openTokens_.begin(), openTokens_.end(), token) == openTokens_.end() ||
      access == access_.end() || !(access->second & win::kTokenAdjustPrivileges) ||
      (previousState != nullptr && !(access->second & win::kTokenQuery))) {
    return false;
  }
  // The changes to make; a privilege the token does not hold is left out (Windows then still
  // succeeds, with ERROR_NOT_ALL_ASSIGNED).
  std::vector<std::pair<uint32_t, uint32_t>> changes;  // LUID, new attributes
  if (disableAllPrivileges) {
    for (const auto& [luid, attributes] : token_) changes.emplace_back(luid, 0);
  } else if (newState != nullptr) {
    for (uint32_t i = 0; i < newState->privilegeCount && i < 1; ++i) {
      const platform::LuidAndAttributes& entry = newState->privileges[i];
      if (entry.luid.highPart == 0 && token_.count(entry.luid.lowPart))
        changes.emplace_back(entry.luid.lowPart, entry.attributes & win::kSePrivilegeEnabled);
    }
  }
  std::vector<std::pair<uint32_t, uint32_t>> changed;  // LUID, old attributes
  for (const auto& [luid, attributes] : changes) {
    if (token_[luid] != attributes)
      changed.emplace_back(luid, token_[luid]);
  }
  const uint32_t needed = static_cast<uint32_t>(4 + 12 * changed.size());
  if (previousState != nullptr) {
    if (returnLength != nullptr)
      *returnLength = needed;
    if (bufferLength < needed || changed.size() > 1)
      return false;  // ERROR_INSUFFICIENT_BUFFER, nothing changed
    previousState->privilegeCount = static_cast<uint32_t>(changed.size());
    if (!changed.empty()) {
      previousState->privileges[0].luid = platform::Luid{changed[0].first, 0};
      previousState->privileges[0].attributes = changed[0].second;
    }
  }
  for (const auto& [luid, attributes] : changes) token_[luid] = attributes;
  return true;
}

bool FakePower::CloseHandle(platform::Handle handle) {
  if (Call(Op::CloseHandle, "CloseHandle(" + Hex(handle) + ")"))
    return false;
  const auto found = std::find(openTokens_.begin(), openTokens_.end(), handle);
  if (found == openTokens_.end())
    return false;
  openTokens_.erase(found);
  access_.erase(handle);
  return true;
}

bool FakePower::ExitWindowsEx(uint32_t flags, uint32_t reason) {
  return !Call(Op::ExitWindowsEx,
               "ExitWindowsEx(" + std::to_string(flags) + "," + std::to_string(reason) + ")");
}

bool FakePower::SetSystemPowerState(bool suspend, bool force) {
  return !Call(Op::SetSystemPowerState,
               std::string("SetSystemPowerState(") + Bool(suspend) + "," + Bool(force) + ")");
}

intptr_t FakePower::SendMessageA(platform::WindowHandle window, uint32_t message, uintptr_t wParam,
                                 intptr_t lParam) {
  Call(Op::SendMessage, "SendMessageA(" + Hex(window) + "," + Hex(message) + "," + Hex(wParam) +
                            "," + std::to_string(lParam) + ")");
  return 0;
}

bool FakePower::LockWorkStation() {
  return !Call(Op::LockWorkStation, "LockWorkStation()");
}

bool FakePower::GetVersionExA(platform::OsVersionInfo* info) {
  if (Call(Op::GetVersionEx, "GetVersionExA()"))
    return false;
  const bool nt = platformId_ == win::kVerPlatformWin32Nt;
  info->majorVersion = nt ? 6 : 4;
  info->minorVersion = nt ? 1 : 10;
  info->buildNumber = nt ? 7601 : 2222;
  info->platformId = platformId_;
  info->csdVersion = nt ? "Service Pack 1" : " A ";
  return true;
}

}  // namespace dormivo::fakes
