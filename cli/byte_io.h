#pragma once
// Byte streams of the command line: a source that reads in blocks and a sink that writes
// them, over file descriptors or, in tests, over memory. A sink reports why a write failed,
// so that a reader gone away (a closed pipe) can end the command quietly.

#include <cstddef>
#include <string_view>

namespace zendrel::cli {

class ByteInput {
 public:
  virtual ~ByteInput() = default;
  // Reads up to size bytes into buffer: the count read, 0 at the end of the input, or -1 with
  // errno set on a read error.
  virtual std::ptrdiff_t read(char* buffer, std::size_t size) = 0;
};

class ByteOutput {
 public:
  virtual ~ByteOutput() = default;
  // Writes all of bytes: 0 on success, otherwise the errno of the failure (EPIPE when the
  // reader has gone).
  virtual int write(std::string_view bytes) = 0;
};

// Reads a file descriptor; retries reads interrupted by a signal.
class FdInput final : public ByteInput {
 public:
  explicit FdInput(int fd) : fd_(fd) {}
  std::ptrdiff_t read(char* buffer, std::size_t size) override;

 private:
  int fd_;
};

// Writes a file descriptor completely; retries short and interrupted writes.
class FdOutput final : public ByteOutput {
 public:
  explicit FdOutput(int fd) : fd_(fd) {}
  int write(std::string_view bytes) override;

 private:
  int fd_;
};

}  // namespace zendrel::cli
