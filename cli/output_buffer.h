#pragma once
// OutputBuffer: collects result lines and hands them to a ByteOutput in large blocks. After
// the first failed write it drops everything and remembers the failure, so a closed pipe ends
// the output once instead of failing on every line.

#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>

#include "cli/byte_io.h"

namespace zendrel::cli {

class OutputBuffer {
 public:
  // 64 KiB: the size of a Linux pipe buffer, large enough that a write call costs little per
  // line, small enough to stay in the cache.
  static constexpr std::size_t kCapacity = 64 * 1024;

  explicit OutputBuffer(ByteOutput& sink);

  // Appending is inline: a result line is a few appends of a few bytes each.
  void append(std::string_view bytes) {
    if (bytes.size() > kCapacity - size_) return flushAndAppend(bytes);
    std::memcpy(buffer_.get() + size_, bytes.data(), bytes.size());
    size_ += bytes.size();
  }
  void append(char byte) {
    if (size_ == kCapacity) flush();
    buffer_[size_++] = byte;
  }
  // Room for n bytes (n <= kCapacity) after what is collected, to be written in place and then
  // counted with commit.
  char* room(std::size_t n) {
    if (n > kCapacity - size_) flush();
    return buffer_.get() + size_;
  }
  // Counts the first n bytes written at room() as collected.
  void commit(std::size_t n) { size_ += n; }
  // Writes out everything collected so far.
  void flush();

  bool failed() const { return error_ != 0; }
  // The errno of the first failed write, 0 while none has failed.
  int error() const { return error_; }

 private:
  void flushAndAppend(std::string_view bytes);

  ByteOutput& sink_;
  std::unique_ptr<char[]> buffer_;
  std::size_t size_ = 0;  // after a failed write, dropped at every flush
  int error_ = 0;
};

}  // namespace zendrel::cli
