#include <gtest/gtest.h>

#include <optional>

#include "actions/uShowdownLib.h"
#include "tests/fakes/fake_power.h"
#include "tests/unit/actions/power_calls.h"

namespace dormivo {
namespace {

using namespace actiontest;
using fakes::FakePower;
using Op = FakePower::Op;

constexpr uint32_t kShutdown = FakePower::kShutdownLuid;

TEST(EnablePrivilege, SwitchesThePrivilegeThroughTheTokenCalls) {
  struct Row {
    const char* name;
    bool heldBefore;
    bool enabledBefore;
    bool enable;
    bool enabledAfter;
    Calls expected;
  };
  const Row rows[] = {
      {"enable a disabled privilege", true, false, true, true, Shutdown(kToken1, true)},
      {"disable an enabled privilege", true, true, false, false, Shutdown(kToken1, false)},
      {"enable an enabled privilege", true, true, true, true, Shutdown(kToken1, true)},
      {"disable a disabled privilege", true, false, false, false, Shutdown(kToken1, false)},
      // The token does not hold it: the adjustment still succeeds and nothing changes.
      {"enable a privilege the token lacks", false, false, true, false, Shutdown(kToken1, true)},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FakePower power;
    if (row.heldBefore)
      power.SetTokenPrivilege(kShutdown, row.enabledBefore);
    else
      power.RemoveTokenPrivilege(kShutdown);
    EXPECT_TRUE(EnablePrivilege(power, "SeShutdownPrivilege", row.enable));
    EXPECT_EQ(power.Calls(), row.expected);
    EXPECT_EQ(power.PrivilegeEnabled(kShutdown), row.enabledAfter);
    EXPECT_EQ(power.OpenTokenCount(), 0u);
  }
}

TEST(EnablePrivilege, LooksUpTheNameItIsGiven) {
  FakePower power;
  power.SetTokenPrivilege(20, false);
  EXPECT_TRUE(EnablePrivilege(power, "SeDebugPrivilege", true));
  EXPECT_EQ(
      power.Calls(),
      Join({OpenToken(), {Lookup("SeDebugPrivilege"), Adjust(kToken1, true, 20), Close(kToken1)}}));
  EXPECT_TRUE(power.PrivilegeEnabled(20));
  EXPECT_FALSE(power.PrivilegeEnabled(kShutdown));
}

TEST(EnablePrivilege, FailsWithoutTokenOrIdentifierOrAdjustment) {
  struct Row {
    const char* name;
    std::optional<Op> failing;  // none: the name itself is unknown
    const char* privilege;
    Calls expected;
  };
  const Row rows[] = {
      // The token cannot be opened: nothing else happens, there is nothing to close.
      {"token cannot be opened", Op::OpenProcessToken, "SeShutdownPrivilege", OpenToken()},
      // No identifier: no adjustment, the token is closed.
      {"lookup fails", Op::LookupPrivilegeValue, "SeShutdownPrivilege",
       Join({OpenToken(), {Lookup(), Close(kToken1)}})},
      {"unknown privilege name", std::nullopt, "SeNoSuchPrivilege",
       Join({OpenToken(), {Lookup("SeNoSuchPrivilege"), Close(kToken1)}})},
      // The adjustment fails: the result is false and the token is still closed.
      {"adjustment fails", Op::AdjustTokenPrivileges, "SeShutdownPrivilege",
       Shutdown(kToken1, true)},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FakePower power;
    if (row.failing)
      power.Fail(*row.failing);
    EXPECT_FALSE(EnablePrivilege(power, row.privilege, true));
    EXPECT_EQ(power.Calls(), row.expected);
    EXPECT_FALSE(power.PrivilegeEnabled(kShutdown));
    EXPECT_EQ(power.OpenTokenCount(), 0u);
  }
}

TEST(EnablePrivilege, ResultIgnoresAFailedClose) {
  FakePower power;
  power.Fail(Op::CloseHandle);
  EXPECT_TRUE(EnablePrivilege(power, "SeShutdownPrivilege", true));
  EXPECT_EQ(power.Calls(), Shutdown(kToken1, true));
}

TEST(EnablePrivilege, DisablingDoesNotRestoreAnEarlierEnabledState) {
  FakePower power;
  power.SetTokenPrivilege(kShutdown, true);
  EXPECT_TRUE(EnablePrivilege(power, "SeShutdownPrivilege", true));
  EXPECT_TRUE(EnablePrivilege(power, "SeShutdownPrivilege", false));
  EXPECT_FALSE(power.PrivilegeEnabled(kShutdown));
  EXPECT_EQ(power.Calls(), Join({Shutdown(kToken1, true), Shutdown(kToken2, false)}));
}

}  // namespace
}  // namespace dormivo
