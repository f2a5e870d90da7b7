#pragma once
// In-memory stand-ins for standard input and output: an input handed out in chunks of a
// chosen size (to put line ends anywhere relative to reads), an endless input, and an output
// that can fail like a closed pipe.

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <string_view>

#include "cli/byte_io.h"

namespace zendrel::cli::testing {

class ChunkedInput final : public ByteInput {
 public:
  ChunkedInput(std::string bytes, std::size_t chunkSize)
      : bytes_(std::move(bytes)), chunkSize_(chunkSize) {}

  // After the data, read fails with this errno instead of reporting the end.
  void failAtEndWith(int error) { errorAtEnd_ = error; }
  int reads() const { return reads_; }

  std::ptrdiff_t read(char* buffer, std::size_t size) override {
    ++reads_;
    const std::size_t count = std::min({size, chunkSize_, bytes_.size() - position_});
    if (count == 0 && errorAtEnd_ != 0) {
      errno = errorAtEnd_;
      return -1;
    }
    std::memcpy(buffer, bytes_.data() + position_, count);
    position_ += count;
    return static_cast<std::ptrdiff_t>(count);
  }

 private:
  std::string bytes_;
  std::size_t chunkSize_;
  std::size_t position_ = 0;
  int errorAtEnd_ = 0;
  int reads_ = 0;
};

// The same line over and over: for a reader that should stop early, an input without end.
// It ends after maxReads reads all the same, so that a reader that fails to stop fails its
// test instead of hanging.
class EndlessInput final : public ByteInput {
 public:
  EndlessInput(std::string line, int maxReads) : line_(std::move(line)), maxReads_(maxReads) {}
  int reads() const { return reads_; }

  std::ptrdiff_t read(char* buffer, std::size_t size) override {
    if (reads_ == maxReads_) return 0;
    ++reads_;
    for (std::size_t i = 0; i < size; ++i) buffer[i] = line_[next_++ % line_.size()];
    return static_cast<std::ptrdiff_t>(size);
  }

 private:
  std::string line_;
  int maxReads_;
  int reads_ = 0;
  std::size_t next_ = 0;
};

class StringOutput final : public ByteOutput {
 public:
  std::string bytes;
  int writes = 0;

  // Every write after the first count writes fails with error.
  void failAfter(int count, int error) {
    failAfter_ = count;
    error_ = error;
  }

  int write(std::string_view chunk) override {
    if (failAfter_ >= 0 && writes >= failAfter_) return error_;
    ++writes;
    bytes.append(chunk);
    return 0;
  }

 private:
  int failAfter_ = -1;
  int error_ = 0;
};

}  // namespace zendrel::cli::testing
