#include <gtest/gtest.h>

#include <string>

#include "actions/uShowdownLib.h"
#include "tests/fakes/fake_power.h"
#include "tests/unit/actions/power_calls.h"

namespace dormivo {
namespace {

using namespace actiontest;
using fakes::FakePower;
using Op = FakePower::Op;

constexpr uint32_t kNt = 2;    // VER_PLATFORM_WIN32_NT
constexpr uint32_t k9x = 1;    // VER_PLATFORM_WIN32_WINDOWS
constexpr uint32_t kNone = 0;  // the version query failed

// ExitWindowsPrivileged: the privilege on, ExitWindowsEx(flags, 0), the privilege off.
Calls NtExit(unsigned flags) {
  return Join({Shutdown(kToken1, true), {Exit(flags, 0)}, Shutdown(kToken2, false)});
}

// Hibernate (suspend false) or standby (suspend true) with the privilege held around it.
Calls Power(bool suspend) {
  return Join({Shutdown(kToken1, true), {PowerState(suspend)}, Shutdown(kToken2, false)});
}

std::string Describe(uint32_t index, uint32_t family, bool force) {
  return "index " + std::to_string(index) + ", platform " + std::to_string(family) +
         (force ? ", Force" : ", no Force");
}

struct Row {
  uint32_t index;
  uint32_t family;
  bool force;
  Calls expected;
};

TEST(ExecuteAction, PerformsEachActionOnEachPlatformFamily) {
  const Row rows[] = {
      // NT family: power off, restart and log out through the shutdown privilege, with EWX_FORCE
      // only when Force is set; monitor off with lParam 1.
      {0, kNt, true, NtExit(13)},
      {0, kNt, false, NtExit(9)},
      {1, kNt, true, NtExit(6)},
      {1, kNt, false, NtExit(2)},
      {2, kNt, true, Power(false)},
      {2, kNt, false, Power(false)},
      {3, kNt, true, Power(true)},
      {3, kNt, false, Power(true)},
      {4, kNt, true, NtExit(4)},
      {4, kNt, false, NtExit(0)},
      {5, kNt, true, {MonitorOff(1)}},
      {5, kNt, false, {MonitorOff(1)}},
      {6, kNt, true, {Lock()}},
      {6, kNt, false, {Lock()}},
      {7, kNt, true, {ScreenSave()}},
      {7, kNt, false, {ScreenSave()}},
      // 9x family: ExitWindowsEx directly, always forced, second argument 32, no privilege
      // calls; monitor off with lParam 0.
      {0, k9x, true, {Exit(13, 32)}},
      {0, k9x, false, {Exit(13, 32)}},
      {1, k9x, true, {Exit(6, 32)}},
      {1, k9x, false, {Exit(6, 32)}},
      {2, k9x, true, Power(false)},
      {2, k9x, false, Power(false)},
      {3, k9x, true, Power(true)},
      {3, k9x, false, Power(true)},
      {4, k9x, true, {Exit(4, 32)}},
      {4, k9x, false, {Exit(4, 32)}},
      {5, k9x, true, {MonitorOff(0)}},
      {5, k9x, false, {MonitorOff(0)}},
      {6, k9x, true, {Lock()}},
      {6, k9x, false, {Lock()}},
      {7, k9x, true, {ScreenSave()}},
      {7, k9x, false, {ScreenSave()}},
      // No platform family: 0, 1, 4 and 5 do nothing; the others as usual.
      {0, kNone, true, {}},
      {0, kNone, false, {}},
      {1, kNone, true, {}},
      {1, kNone, false, {}},
      {2, kNone, true, Power(false)},
      {2, kNone, false, Power(false)},
      {3, kNone, true, Power(true)},
      {3, kNone, false, Power(true)},
      {4, kNone, true, {}},
      {4, kNone, false, {}},
      {5, kNone, true, {}},
      {5, kNone, false, {}},
      {6, kNone, true, {Lock()}},
      {6, kNone, false, {Lock()}},
      {7, kNone, true, {ScreenSave()}},
      {7, kNone, false, {ScreenSave()}},
      // Any other family value behaves as none.
      {0, 3, true, {}},
      {1, 3, true, {}},
      {4, 3, true, {}},
      {5, 3, true, {}},
      {0, 0xFFFFFFFFu, true, {}},
      {5, 0xFFFFFFFFu, true, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(Describe(row.index, row.family, row.force));
    FakePower power;
    EXPECT_TRUE(ExecuteAction(power, row.index, row.force, row.family, kWindow));
    EXPECT_EQ(power.Calls(), row.expected);
    EXPECT_FALSE(power.PrivilegeEnabled(FakePower::kShutdownLuid));
    EXPECT_EQ(power.OpenTokenCount(), 0u);
  }
}

TEST(ExecuteAction, OutOfRangeIndexPerformsNothingAndSucceeds) {
  const uint32_t indexes[] = {8, 9, 100, 0x7FFFFFFFu, 0x80000000u, 4294967295u};
  const uint32_t families[] = {kNone, k9x, kNt};
  for (uint32_t index : indexes) {
    for (uint32_t family : families) {
      for (bool force : {true, false}) {
        SCOPED_TRACE(Describe(index, family, force));
        FakePower power;
        EXPECT_TRUE(ExecuteAction(power, index, force, family, kWindow));
        EXPECT_EQ(power.Calls(), Calls{});
      }
    }
  }
}

TEST(ExecuteAction, FailedSystemCallsAreSilentAndTheResultStaysTrue) {
  struct FailureRow {
    const char* name;
    uint32_t index;
    uint32_t family;
    Op failing;
    int skip;
    Calls expected;
    bool leftEnabled = false;  // the privilege stays on when disabling it failed
  };
  const FailureRow rows[] = {
      // NT family: a privilege that cannot be enabled means no ExitWindowsEx at all.
      {"power off, token cannot be opened", 0, kNt, Op::OpenProcessToken, 0, OpenToken()},
      {"restart, privilege lookup fails", 1, kNt, Op::LookupPrivilegeValue, 0,
       Join({OpenToken(), {Lookup(), Close(kToken1)}})},
      {"log out, privilege lookup fails", 4, kNt, Op::LookupPrivilegeValue, 0,
       Join({OpenToken(), {Lookup(), Close(kToken1)}})},
      {"power off, enabling fails", 0, kNt, Op::AdjustTokenPrivileges, 0, Shutdown(kToken1, true)},
      // ExitWindowsEx refusing: the disable call still follows.
      {"power off, ExitWindowsEx refuses", 0, kNt, Op::ExitWindowsEx, 0, NtExit(13)},
      {"restart, ExitWindowsEx refuses", 1, kNt, Op::ExitWindowsEx, 0, NtExit(6)},
      {"log out, ExitWindowsEx refuses", 4, kNt, Op::ExitWindowsEx, 0, NtExit(4)},
      {"power off, disabling fails", 0, kNt, Op::AdjustTokenPrivileges, 1, NtExit(13), true},
      // 9x family: the refusal is not looked at.
      {"9x power off, ExitWindowsEx refuses", 0, k9x, Op::ExitWindowsEx, 0, {Exit(13, 32)}},
      // Hibernate and standby without the privilege: no power call and no disable call.
      {"hibernate, token cannot be opened", 2, kNt, Op::OpenProcessToken, 0, OpenToken()},
      {"standby, token cannot be opened", 3, kNt, Op::OpenProcessToken, 0, OpenToken()},
      {"hibernate, privilege lookup fails", 2, kNt, Op::LookupPrivilegeValue, 0,
       Join({OpenToken(), {Lookup(), Close(kToken1)}})},
      {"standby, privilege lookup fails", 3, k9x, Op::LookupPrivilegeValue, 0,
       Join({OpenToken(), {Lookup(), Close(kToken1)}})},
      {"hibernate, enabling fails", 2, k9x, Op::AdjustTokenPrivileges, 0, Shutdown(kToken1, true)},
      {"standby, enabling fails", 3, kNone, Op::AdjustTokenPrivileges, 0, Shutdown(kToken1, true)},
      // The power-state call failing (hibernation not available): the disable call follows.
      {"hibernate, SetSystemPowerState fails", 2, kNt, Op::SetSystemPowerState, 0, Power(false)},
      {"standby, SetSystemPowerState fails", 3, kNt, Op::SetSystemPowerState, 0, Power(true)},
      {"standby, disabling fails", 3, kNt, Op::AdjustTokenPrivileges, 1, Power(true), true},
      // The other calls' results are not used.
      {"lock, LockWorkStation fails", 6, kNt, Op::LockWorkStation, 0, {Lock()}},
      {"monitor off, message fails", 5, kNt, Op::SendMessage, 0, {MonitorOff(1)}},
      {"screen saver, message fails", 7, k9x, Op::SendMessage, 0, {ScreenSave()}},
  };
  for (const FailureRow& row : rows) {
    SCOPED_TRACE(row.name);
    FakePower power;
    power.Fail(row.failing, row.skip);
    EXPECT_TRUE(ExecuteAction(power, row.index, true, row.family, kWindow));
    EXPECT_EQ(power.Calls(), row.expected);
    EXPECT_EQ(power.PrivilegeEnabled(FakePower::kShutdownLuid), row.leftEnabled);
  }
}

TEST(ExecuteAction, AnExceptionFromAnyCallEndsTheActionWithFalse) {
  struct ThrowRow {
    const char* name;
    uint32_t index;
    uint32_t family;
    Op throwing;
    int skip;
    Calls expected;  // up to and including the call that threw, and the close of an open token
  };
  const ThrowRow rows[] = {
      {"power off, GetCurrentProcess", 0, kNt, Op::GetCurrentProcess, 0, {"GetCurrentProcess()"}},
      {"restart, OpenProcessToken", 1, kNt, Op::OpenProcessToken, 0, OpenToken()},
      {"log out, LookupPrivilegeValueA", 4, kNt, Op::LookupPrivilegeValue, 0,
       Join({OpenToken(), {Lookup(), Close(kToken1)}})},
      {"power off, ExitWindowsEx", 0, kNt, Op::ExitWindowsEx, 0,
       Join({Shutdown(kToken1, true), {Exit(13, 0)}})},
      {"power off, disabling", 0, kNt, Op::AdjustTokenPrivileges, 1,
       Join({Shutdown(kToken1, true),
             {Exit(13, 0)},
             OpenToken(),
             {Lookup(), Adjust(kToken2, false), Close(kToken2)}})},
      {"9x restart, ExitWindowsEx", 1, k9x, Op::ExitWindowsEx, 0, {Exit(6, 32)}},
      {"hibernate, SetSystemPowerState", 2, kNt, Op::SetSystemPowerState, 0,
       Join({Shutdown(kToken1, true), {PowerState(false)}})},
      {"standby, CloseHandle", 3, kNt, Op::CloseHandle, 0, Shutdown(kToken1, true)},
      {"monitor off, SendMessageA", 5, kNt, Op::SendMessage, 0, {MonitorOff(1)}},
      {"lock, LockWorkStation", 6, kNt, Op::LockWorkStation, 0, {Lock()}},
      {"screen saver, SendMessageA", 7, kNt, Op::SendMessage, 0, {ScreenSave()}},
  };
  for (const ThrowRow& row : rows) {
    SCOPED_TRACE(row.name);
    FakePower power;
    power.Throw(row.throwing, row.skip);
    EXPECT_FALSE(ExecuteAction(power, row.index, true, row.family, kWindow));
    EXPECT_EQ(power.Calls(), row.expected);
    // A token whose close itself threw is the only one left open.
    EXPECT_EQ(power.OpenTokenCount(), row.throwing == Op::CloseHandle ? 1u : 0u);
  }
}

TEST(ExecuteAction, SendsTheSystemCommandsToTheGivenWindow) {
  FakePower power;
  EXPECT_TRUE(ExecuteAction(power, 5, true, kNt, 0x1234));
  EXPECT_TRUE(ExecuteAction(power, 7, true, kNt, 0x1234));
  EXPECT_EQ(power.Calls(),
            (Calls{"SendMessageA(0x1234,0x112,0xF170,1)", "SendMessageA(0x1234,0x112,0xF140,0)"}));
}

}  // namespace
}  // namespace dormivo
