// How the fakes write numbers into the calls they record.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace dormivo::fakes {

// "0x" and the value in upper-case hexadecimal, as in "SendMessageA(0x1234,0x112,0xF170,1)".
inline std::string Hex(uint64_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
  return text;
}

}  // namespace dormivo::fakes
