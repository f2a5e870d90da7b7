#pragma once
// runCommand: the whole of zendrel-calc over three byte streams, so that tests can run it in
// memory. Exit status 0 when every request was answered; 1 when a batch line was malformed or
// the input could not be read or the output written; 2 for a wrong command line. A reader
// that has gone away (EPIPE) ends the output quietly.

#include <span>
#include <string_view>

#include "cli/byte_io.h"

namespace zendrel::cli {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailedRequests = 1;
inline constexpr int kExitMisuse = 2;

// arguments excludes the program name.
int runCommand(std::span<const std::string_view> arguments, ByteInput& input, ByteOutput& output,
               ByteOutput& diagnostics);

}  // namespace zendrel::cli
