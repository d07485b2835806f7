// The real shell: each call forwards to the Windows call of the same name.
#pragma once

#include "platform/shell.h"

namespace dormivo::platform {

class Win32Shell final : public Shell {
 public:
  int32_t SHEmptyRecycleBinA(WindowHandle owner, const std::string& rootPath,
                             uint32_t flags) override;
};

}  // namespace dormivo::platform
