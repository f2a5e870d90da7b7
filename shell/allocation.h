#pragma once
// Every dynamic allocation of the program goes through the global operator new of this
// unit, which knows the size asked for: a request the heap cannot satisfy ends in fatalError
// with "分配 %d 字节内存失败!" and the size in decimal, the nothrow forms included.

#include <cstddef>

#include "core/text.h"

namespace zendrel {

// The message for a failed request of `bytes` bytes, in code page 936.
Text allocationFailureMessage(std::size_t bytes);

// For tests only (the program never calls it): the next allocation request fails as if the
// heap were exhausted.
void failNextAllocationForTesting();

}  // namespace zendrel
