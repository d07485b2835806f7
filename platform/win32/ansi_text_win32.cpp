#include "platform/win32/ansi_text_win32.h"

#include <windows.h>

namespace dormivo::platform {

std::string Win32AnsiText::CharUpperBuffA(std::string text) const {
  if (!text.empty())
    ::CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

bool Win32AnsiText::IsDBCSLeadByte(unsigned char byte) const {
  return ::IsDBCSLeadByte(byte) != FALSE;
}

}  // namespace dormivo::platform
