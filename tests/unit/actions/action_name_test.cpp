#include <gtest/gtest.h>

#include "actions/uShowdownLib.h"

namespace dormivo {
namespace {

TEST(ActionName, GivesTheDisplayNameAndPowerOffOutOfRange) {
  struct Row {
    uint32_t index;
    const char* expected;
  };
  const Row rows[] = {
      {0, "Power Off"},
      {1, "Restart"},
      {2, "Hibernate"},
      {3, "Standby"},
      {4, "Log out"},
      {5, "Turn Monitor Off"},
      {6, "Lock Work Station"},
      {7, "Screen Save"},
      {8, "Power Off"},
      {9, "Power Off"},
      {0x7FFFFFFFu, "Power Off"},
      {0x80000000u, "Power Off"},
      {4294967295u, "Power Off"},  // the unsigned form of -1
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.index);
    EXPECT_EQ(ActionName(row.index), row.expected);
  }
}

}  // namespace
}  // namespace dormivo
