#include "cli/output_buffer.h"

namespace zendrel::cli {

OutputBuffer::OutputBuffer(ByteOutput& sink)
    : sink_(sink), buffer_(std::make_unique_for_overwrite<char[]>(kCapacity)) {}

void OutputBuffer::flushAndAppend(std::string_view bytes) {
  flush();
  if (bytes.size() <= kCapacity) {
    append(bytes);
  } else if (!failed()) {
    error_ = sink_.write(bytes);  // too large to collect: it goes out as it is, in order
  }
}

void OutputBuffer::flush() {
  if (!failed() && size_ != 0) error_ = sink_.write(std::string_view(buffer_.get(), size_));
  size_ = 0;
}

}  // namespace zendrel::cli
