#pragma once
// OutputBuffer: collects result lines and hands them to a ByteOutput in large blocks. After
// the first failed write it drops everything and remembers the failure, so a closed pipe ends
// the output once instead of failing on every line.

#include <string>
#include <string_view>

#include "cli/byte_io.h"

namespace zendrel::cli {

class OutputBuffer {
 public:
  // 64 KiB: the size of a Linux pipe buffer, large enough that a write call costs little per
  // line, small enough to stay in the cache.
  static constexpr std::size_t kCapacity = 64 * 1024;

  explicit OutputBuffer(ByteOutput& sink);

  void append(std::string_view bytes);
  void append(char byte);
  // Writes out everything collected so far.
  void flush();

  bool failed() const { return error_ != 0; }
  // The errno of the first failed write, 0 while none has failed.
  int error() const { return error_; }

 private:
  ByteOutput& sink_;
  std::string pending_;
  int error_ = 0;
};

}  // namespace zendrel::cli
