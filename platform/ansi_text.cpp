#include "platform/ansi_text.h"

namespace dormivo::platform {

std::string AsciiText::CharUpperBuffA(std::string text) const {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

}  // namespace dormivo::platform
