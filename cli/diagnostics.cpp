#include "cli/diagnostics.h"

namespace zendrel::cli {

std::string quoteBytes(std::string_view bytes) {
  constexpr std::size_t kShownBytes = 32;
  constexpr char kHex[] = "0123456789ABCDEF";
  std::string text = "\"";
  for (std::size_t i = 0; i < bytes.size() && i < kShownBytes; ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (byte >= 0x20 && byte < 0x7F && byte != '"' && byte != '\\') {
      text += static_cast<char>(byte);
    } else {
      text += "\\x";
      text += kHex[byte >> 4];
      text += kHex[byte & 0xF];
    }
  }
  text += bytes.size() > kShownBytes ? "\"..." : "\"";
  return text;
}

void report(ByteOutput& diagnostics, std::string_view message) {
  std::string line(kProgramName);
  line += ": ";
  line += message;
  line += '\n';
  diagnostics.write(line);
}

}  // namespace zendrel::cli
