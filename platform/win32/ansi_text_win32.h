// The ANSI code page of the running system.
#pragma once

#include "platform/ansi_text.h"

namespace dormivo::platform {

class Win32AnsiText final : public AnsiText {
 public:
  std::string CharUpperBuffA(std::string text) const override;
  bool IsDBCSLeadByte(unsigned char byte) const override;
};

}  // namespace dormivo::platform
