// Real COM: object creation and the interface methods the cleaning stage calls.
#pragma once

#include "platform/com.h"

namespace dormivo::platform {

class Win32Com final : public Com {
 public:
  int32_t CoCreateInstance(const Guid& clsid, ComInterface outer, uint32_t clsContext,
                           const Guid& iid, ComInterface* object) override;
  int32_t QueryInterface(ComInterface object, const Guid& iid, ComInterface* result) override;
  int32_t ClearHistory(ComInterface urlHistoryStg2) override;
  uint32_t Release(ComInterface object) override;
};

}  // namespace dormivo::platform
