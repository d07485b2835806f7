// When a repeating timer is due next, kept against a monotonic clock so that the ticks do not
// drift: each tick is planned one interval after the previous tick's due time, not after the
// moment it was handled.
#pragma once

#include <cstdint>

namespace dormivo {

class TickSchedule {
 public:
  // Starts the schedule at `now` (milliseconds of a monotonic clock); returns the delay until
  // the first tick.
  uint32_t Start(uint64_t now, uint32_t interval);
  // Called when the timer fired at `now`; returns the delay until the next tick. A tick that
  // comes more than a whole interval late starts the schedule anew from `now`, so that missed
  // ticks are not made up in a burst.
  uint32_t Fired(uint64_t now);
  uint64_t Due() const { return due_; }

 private:
  uint64_t due_ = 0;
  uint32_t interval_ = 0;
};

}  // namespace dormivo
