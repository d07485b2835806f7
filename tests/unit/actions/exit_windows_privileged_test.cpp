#include <gtest/gtest.h>

#include "actions/uShowdownLib.h"
#include "tests/fakes/fake_power.h"
#include "tests/unit/actions/power_calls.h"

namespace dormivo {
namespace {

using namespace actiontest;
using fakes::FakePower;
using Op = FakePower::Op;

TEST(ExitWindowsPrivileged, CallsExitWindowsExBetweenEnablingAndDisablingThePrivilege) {
  struct Row {
    const char* name;
    uint32_t flags;
    bool force;
    unsigned passedFlags;
  };
  const Row rows[] = {
      {"power off forced", 9, true, 13},
      {"power off", 9, false, 9},
      {"restart forced", 2, true, 6},
      {"restart", 2, false, 2},
      {"log out forced", 0, true, 4},
      {"log out", 0, false, 0},
      {"force already in flags", 13, false, 13},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FakePower power;
    EXPECT_TRUE(ExitWindowsPrivileged(power, row.flags, row.force));
    EXPECT_EQ(
        power.Calls(),
        Join({Shutdown(kToken1, true), {Exit(row.passedFlags, 0)}, Shutdown(kToken2, false)}));
    EXPECT_FALSE(power.PrivilegeEnabled(FakePower::kShutdownLuid));
    EXPECT_EQ(power.OpenTokenCount(), 0u);
  }
}

TEST(ExitWindowsPrivileged, FailuresOfThePrivilegeAndOfTheRequest) {
  struct Row {
    const char* name;
    Op failing;
    int skip;
    bool expectedResult;
    Calls expected;
  };
  const Row rows[] = {
      // The privilege cannot be enabled: false, and no ExitWindowsEx at all.
      {"token cannot be opened", Op::OpenProcessToken, 0, false, OpenToken()},
      {"lookup fails", Op::LookupPrivilegeValue, 0, false,
       Join({OpenToken(), {Lookup(), Close(kToken1)}})},
      {"enabling fails", Op::AdjustTokenPrivileges, 0, false, Shutdown(kToken1, true)},
      // ExitWindowsEx refuses: false, and the disable call still follows.
      {"ExitWindowsEx refuses", Op::ExitWindowsEx, 0, false,
       Join({Shutdown(kToken1, true), {Exit(13, 0)}, Shutdown(kToken2, false)})},
      // The disable call's result is not used.
      {"disabling fails", Op::AdjustTokenPrivileges, 1, true,
       Join({Shutdown(kToken1, true), {Exit(13, 0)}, Shutdown(kToken2, false)})},
      {"token for disabling cannot be opened", Op::OpenProcessToken, 1, true,
       Join({Shutdown(kToken1, true), {Exit(13, 0)}, OpenToken()})},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FakePower power;
    power.Fail(row.failing, row.skip);
    EXPECT_EQ(ExitWindowsPrivileged(power, 9, true), row.expectedResult);
    EXPECT_EQ(power.Calls(), row.expected);
  }
}

}  // namespace
}  // namespace dormivo
