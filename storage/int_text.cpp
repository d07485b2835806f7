#include "storage/int_text.h"

namespace dormivo {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'a' && c <= 'f')
    return c - 'a' + 10;
  if (c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  return -1;
}

}  // namespace

std::optional<int32_t> ParseInt32(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  std::string_view rest = text.substr(i);
  size_t prefix = 0;
  if (!rest.empty() && (rest[0] == '$' || rest[0] == 'x' || rest[0] == 'X')) {
    prefix = 1;
  } else if (rest.size() >= 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X')) {
    prefix = 2;
  }

  if (prefix != 0) {
    std::string_view digits = rest.substr(prefix);
    if (digits.empty())
      return std::nullopt;
    uint32_t value = 0;
    int significant = 0;
    for (char c : digits) {
      const int digit = HexDigit(c);
      if (digit < 0)
        return std::nullopt;
      if (significant > 0 || digit != 0)
        ++significant;
      if (significant > 8)
        return std::nullopt;
      value = (value << 4) | static_cast<uint32_t>(digit);
    }
    if (negative)
      value = 0u - value;
    return static_cast<int32_t>(value);
  }

  if (rest.empty())
    return std::nullopt;
  // Accumulate the magnitude in 64 bits and stop as soon as it leaves the 32-bit range.
  int64_t magnitude = 0;
  for (char c : rest) {
    if (c < '0' || c > '9')
      return std::nullopt;
    magnitude = magnitude * 10 + (c - '0');
    if (magnitude > 2147483648LL)
      return std::nullopt;
  }
  const int64_t value = negative ? -magnitude : magnitude;
  if (value > 2147483647LL)
    return std::nullopt;
  return static_cast<int32_t>(value);
}

int32_t StrToIntDef(std::string_view text, int32_t fallback) {
  return ParseInt32(text).value_or(fallback);
}

}  // namespace dormivo
