#include "app/tick_schedule.h"

namespace dormivo {

uint32_t TickSchedule::Start(uint64_t now, uint32_t interval) {
  interval_ = interval == 0 ? 1 : interval;
  due_ = now + interval_;
  return interval_;
}

uint32_t TickSchedule::Fired(uint64_t now) {
  due_ += interval_;
  if (due_ <= now)
    due_ = now + interval_;
  return static_cast<uint32_t>(due_ - now);
}

}  // namespace dormivo
