#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "actions/uShowdownLib.h"
#include "tests/fakes/fake_power.h"

namespace dormivo {
namespace {

using fakes::FakePower;

TEST(QueryPlatformFamily, IsThePlatformIdOfTheVersionQueryOrZero) {
  struct Row {
    const char* name;
    uint32_t platformId;
    bool queryFails;
    uint32_t expected;
  };
  const Row rows[] = {
      {"NT family", 2, false, 2},        {"9x family", 1, false, 1},        {"Win32s", 0, false, 0},
      {"query fails on NT", 2, true, 0}, {"query fails on 9x", 1, true, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FakePower power;
    power.SetPlatformId(row.platformId);
    if (row.queryFails)
      power.Fail(FakePower::Op::GetVersionEx);
    EXPECT_EQ(QueryPlatformFamily(power), row.expected);
    EXPECT_EQ(power.Calls(), std::vector<std::string>{"GetVersionExA()"});
  }
}

}  // namespace
}  // namespace dormivo
