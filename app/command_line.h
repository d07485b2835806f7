// The executor's own reading of its command line. Bytes 1 to 32 separate arguments; before each
// argument, separators and empty pairs of double quotes are skipped alike; inside an argument a
// double quote opens a stretch that runs to the next double quote (or the end of the line), whose
// quotes are dropped and whose separators are kept. There is no escape character.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/ansi_text.h"

namespace dormivo {

// Argument `index` of the raw command line (as GetCommandLineA gives it). Index 0 is
// `modulePath`, the full path of the running module, never the program as typed; the first token
// of the line is skipped. An index beyond the last argument gives the empty string.
std::string ParamStr(std::string_view commandLine, int index, const std::string& modulePath,
                     const platform::AnsiText& codePage);

// The action number of the first argument, or 5 when it is missing or no number.
int32_t ActionIndexFromArgument(std::string_view argument);

}  // namespace dormivo
