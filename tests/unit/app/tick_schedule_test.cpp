#include "app/tick_schedule.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/cpu_usage.h"

namespace dormivo {
namespace {

TEST(TickSchedule, PlansEachTickFromTheLastDueTimeNotFromWhenItWasHandled) {
  struct Row {
    const char* name;
    std::vector<uint64_t> firedAt;  // when each tick was handled
    std::vector<uint32_t> delays;   // the delay planned after each
  };
  const Row rows[] = {
      {"on time", {1000, 2000, 3000}, {1000, 1000, 1000}},
      {"late ticks are made up by the next delay", {1015, 2016, 3031}, {985, 984, 969}},
      {"an early tick waits longer", {995, 2000}, {1005, 1000}},
      {"more than a whole interval late starts anew", {1000, 3500, 4500}, {1000, 1000, 1000}},
      {"just under an interval late", {1999}, {1}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TickSchedule schedule;
    EXPECT_EQ(schedule.Start(0, 1000), 1000u);
    std::vector<uint32_t> delays;
    for (uint64_t at : row.firedAt) delays.push_back(schedule.Fired(at));
    EXPECT_EQ(delays, row.delays);
  }
}

TEST(TickSchedule, TenTicksLandOnTheTenthSecondWhateverTheLateness) {
  TickSchedule schedule;
  uint64_t now = 5000;
  uint64_t due = now + schedule.Start(now, 1000);
  for (int i = 0; i < 10; ++i) {
    now = due + 16;  // every tick handled 16 ms late, as a coarse system timer would
    due = now + schedule.Fired(now);
  }
  EXPECT_EQ(now, 5000u + 10 * 1000 + 16);
}

TEST(RuntimeError, MessageNamesTheCodeAndTheAddressInPointerWidth) {
  const std::string text = RuntimeErrorMessage(217, 0x4A3F2C);
  const std::string digits = sizeof(void*) == 8 ? "00000000004A3F2C" : "004A3F2C";
  EXPECT_EQ(text, "Runtime error 217 at " + digits);
}

}  // namespace
}  // namespace dormivo
