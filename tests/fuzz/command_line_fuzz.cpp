// Any bytes as a command line: splitting must stay inside the line and every argument must come
// from its bytes, and the action number must parse without fault.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/command_line.h"
#include "storage/int_text.h"

namespace {

class OddLeadBytes final : public dormivo::platform::AnsiText {
 public:
  std::string CharUpperBuffA(std::string text) const override { return text; }
  bool IsDBCSLeadByte(unsigned char b) const override { return b >= 0x81 && b <= 0xFE; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view line(reinterpret_cast<const char*>(data), size);
  const dormivo::platform::AsciiText ascii;
  const OddLeadBytes dbcs;
  for (const dormivo::platform::AnsiText* codePage :
       {static_cast<const dormivo::platform::AnsiText*>(&ascii),
        static_cast<const dormivo::platform::AnsiText*>(&dbcs)}) {
    size_t total = 0;
    for (int i = 1; i <= 4; ++i) {
      const std::string arg = dormivo::ParamStr(line, i, "m", *codePage);
      total += arg.size();
      if (arg.find('\0') != std::string::npos)
        __builtin_trap();
      (void)dormivo::ActionIndexFromArgument(arg);
    }
    if (total > size)
      __builtin_trap();
  }
  // The number rule on the raw bytes, and its round trip for what it accepts.
  if (const auto value = dormivo::ParseInt32(line)) {
    if (dormivo::ParseInt32(std::to_string(*value)) != value)
      __builtin_trap();
  }
  return 0;
}
