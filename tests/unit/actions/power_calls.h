// The call sequences the action tests expect from FakePower, built from named pieces.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "tests/fakes/fake_power.h"

namespace dormivo::actiontest {

using Calls = std::vector<std::string>;

// Application window handle the tests pass.
inline constexpr platform::WindowHandle kWindow = 0x5000;
// Tokens in the order the fake opens them.
inline constexpr const char* kToken1 = "0x20";
inline constexpr const char* kToken2 = "0x24";

inline Calls Join(std::initializer_list<Calls> parts) {
  Calls out;
  for (const Calls& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

// The first two calls of EnablePrivilege: the token of the current process, access 0x28.
inline Calls OpenToken() {
  return {"GetCurrentProcess()", "OpenProcessToken(0x10,0x28)"};
}

inline std::string Lookup(const std::string& name = "SeShutdownPrivilege") {
  return "LookupPrivilegeValueA(null," + name + ")";
}

// AdjustTokenPrivileges with the one-entry set {1, LUID, attributes}, DisableAllPrivileges
// FALSE, the 16-byte previous-state buffer and a return length starting at 0.
inline std::string Adjust(const std::string& token, bool enable, unsigned luid = 19) {
  return "AdjustTokenPrivileges(" + token + ",FALSE,{1," + std::to_string(luid) + ":0," +
         (enable ? "2" : "0") + "},16,buffer,0)";
}

inline std::string Close(const std::string& token) {
  return "CloseHandle(" + token + ")";
}

// A whole EnablePrivilege("SeShutdownPrivilege", enable) that gets as far as the adjustment.
inline Calls Shutdown(const std::string& token, bool enable) {
  return Join({OpenToken(), {Lookup(), Adjust(token, enable), Close(token)}});
}

inline std::string Exit(unsigned flags, unsigned reason) {
  return "ExitWindowsEx(" + std::to_string(flags) + "," + std::to_string(reason) + ")";
}

inline std::string PowerState(bool suspend) {
  return std::string("SetSystemPowerState(") + (suspend ? "TRUE" : "FALSE") + ",TRUE)";
}

inline std::string MonitorOff(int lParam) {
  return "SendMessageA(0x5000,0x112,0xF170," + std::to_string(lParam) + ")";
}

inline std::string ScreenSave() {
  return "SendMessageA(0x5000,0x112,0xF140,0)";
}

inline std::string Lock() {
  return "LockWorkStation()";
}

}  // namespace dormivo::actiontest
