#pragma once
// Messages of the command line on standard error: every one is a single line that begins with
// the program's name. Bytes taken from the user are shown quoted and escaped, so a message
// stays one readable line whatever was typed.

#include <string>
#include <string_view>

#include "cli/byte_io.h"

namespace zendrel::cli {

inline constexpr std::string_view kProgramName = "zendrel-calc";

// bytes in double quotes: printable ASCII as it is, other bytes as \xNN, cut after 32 bytes.
std::string quoteBytes(std::string_view bytes);

// Writes "zendrel-calc: <message>\n".
void report(ByteOutput& diagnostics, std::string_view message);

}  // namespace zendrel::cli
