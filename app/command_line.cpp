#include "app/command_line.h"

#include "storage/int_text.h"

namespace dormivo {
namespace {

bool IsSeparator(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte >= 1 && byte <= 32;
}

// Reads one argument starting at `pos`; returns the position after it. A position at the end
// of the line (or at a NUL byte) gives an empty argument.
size_t NextParam(std::string_view line, size_t pos, std::string& param,
                 const platform::AnsiText& codePage) {
  const auto at = [&](size_t i) { return i < line.size() ? line[i] : '\0'; };
  // Step over one character: two bytes for a lead byte followed by anything but the end.
  const auto step = [&](size_t i) {
    return codePage.IsDBCSLeadByte(static_cast<unsigned char>(at(i))) && at(i + 1) != '\0' ? i + 2
                                                                                           : i + 1;
  };
  while (true) {
    while (at(pos) != '\0' && IsSeparator(at(pos))) ++pos;
    if (at(pos) == '"' && at(pos + 1) == '"') {
      pos += 2;
    } else {
      break;
    }
  }
  param.clear();
  while (at(pos) != '\0' && !IsSeparator(at(pos))) {
    if (at(pos) == '"') {
      ++pos;
      while (at(pos) != '\0' && at(pos) != '"') {
        const size_t next = step(pos);
        param.append(line.substr(pos, next - pos));
        pos = next;
      }
      if (at(pos) != '\0')
        ++pos;
    } else {
      const size_t next = step(pos);
      param.append(line.substr(pos, next - pos));
      pos = next;
    }
  }
  return pos;
}

}  // namespace

std::string ParamStr(std::string_view commandLine, int index, const std::string& modulePath,
                     const platform::AnsiText& codePage) {
  if (index == 0)
    return modulePath;
  if (index < 0)
    return {};
  std::string param;
  size_t pos = 0;
  // The first token is the program as typed; an empty token means the line has ended.
  while (true) {
    pos = NextParam(commandLine, pos, param, codePage);
    if (index == 0 || param.empty())
      break;
    --index;
  }
  return param;
}

int32_t ActionIndexFromArgument(std::string_view argument) {
  return StrToIntDef(argument, 5);
}

}  // namespace dormivo
