// Whole numbers written as text, as the command line and the settings file carry them.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace dormivo {

// Converts the whole text: optional leading blanks (character 32 only), at most one sign, then
// either decimal digits (range of a 32-bit signed integer; leading zeros are plain zeros) or
// hexadecimal digits after "$", "x", "X", "0x" or "0X" (at most eight significant digits, taken
// as a 32-bit pattern, so "$FFFFFFFF" is -1). Anything else, a trailing blank included, is no
// number.
std::optional<int32_t> ParseInt32(std::string_view text);

// ParseInt32, or the default when the text is no number.
int32_t StrToIntDef(std::string_view text, int32_t fallback);

}  // namespace dormivo
