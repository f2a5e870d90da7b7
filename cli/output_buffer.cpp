#include "cli/output_buffer.h"

namespace zendrel::cli {

OutputBuffer::OutputBuffer(ByteOutput& sink) : sink_(sink) { pending_.reserve(kCapacity); }

void OutputBuffer::append(std::string_view bytes) {
  if (pending_.size() + bytes.size() > kCapacity) flush();
  if (failed()) return;
  pending_.append(bytes);
}

void OutputBuffer::append(char byte) { append(std::string_view(&byte, 1)); }

void OutputBuffer::flush() {
  if (!failed() && !pending_.empty()) error_ = sink_.write(pending_);
  pending_.clear();
}

}  // namespace zendrel::cli
