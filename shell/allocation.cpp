#include "shell/allocation.h"

#include <QByteArrayView>
#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "shell/fatal_error.h"
#include "ui/code_page_936.h"

namespace zendrel {

namespace {

std::atomic<bool> failNext{false};

void* allocateOrFail(std::size_t bytes) {
  void* block = failNext.exchange(false) ? nullptr : std::malloc(bytes == 0 ? 1 : bytes);
  if (block == nullptr) fatalError(allocationFailureMessage(bytes));
  return block;
}

// aligned_alloc wants a size that is a multiple of the alignment.
void* allocateAlignedOrFail(std::size_t bytes, std::align_val_t alignment) {
  const auto align = static_cast<std::size_t>(alignment);
  const std::size_t rounded = ((bytes == 0 ? 1 : bytes) + align - 1) / align * align;
  void* block = nullptr;
  if (!failNext.exchange(false)) {
#if defined(_WIN32)
    block = _aligned_malloc(rounded, align);
#else
    block = std::aligned_alloc(align, rounded);
#endif
  }
  if (block == nullptr) fatalError(allocationFailureMessage(bytes));
  return block;
}

void releaseAligned(void* block) {
#if defined(_WIN32)
  _aligned_free(block);
#else
  std::free(block);
#endif
}

}  // namespace

Text allocationFailureMessage(std::size_t bytes) {
  const std::string utf8 = "分配 " + std::to_string(bytes) + " 字节内存失败!";
  return utf8ToCodePage936(QByteArrayView(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

void failNextAllocationForTesting() { failNext.store(true); }

}  // namespace zendrel

// The replaceable global allocation functions.
void* operator new(std::size_t bytes) { return zendrel::allocateOrFail(bytes); }
void* operator new[](std::size_t bytes) { return zendrel::allocateOrFail(bytes); }
void* operator new(std::size_t bytes, const std::nothrow_t&) noexcept {
  return zendrel::allocateOrFail(bytes);
}
void* operator new[](std::size_t bytes, const std::nothrow_t&) noexcept {
  return zendrel::allocateOrFail(bytes);
}
void* operator new(std::size_t bytes, std::align_val_t alignment) {
  return zendrel::allocateAlignedOrFail(bytes, alignment);
}
void* operator new[](std::size_t bytes, std::align_val_t alignment) {
  return zendrel::allocateAlignedOrFail(bytes, alignment);
}
void* operator new(std::size_t bytes, std::align_val_t alignment, const std::nothrow_t&) noexcept {
  return zendrel::allocateAlignedOrFail(bytes, alignment);
}
void* operator new[](std::size_t bytes, std::align_val_t alignment,
                     const std::nothrow_t&) noexcept {
  return zendrel::allocateAlignedOrFail(bytes, alignment);
}

void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete(void* block, std::align_val_t) noexcept { zendrel::releaseAligned(block); }
void operator delete[](void* block, std::align_val_t) noexcept { zendrel::releaseAligned(block); }
void operator delete(void* block, std::size_t, std::align_val_t) noexcept {
  zendrel::releaseAligned(block);
}
void operator delete[](void* block, std::size_t, std::align_val_t) noexcept {
  zendrel::releaseAligned(block);
}
void operator delete(void* block, std::align_val_t, const std::nothrow_t&) noexcept {
  zendrel::releaseAligned(block);
}
void operator delete[](void* block, std::align_val_t, const std::nothrow_t&) noexcept {
  zendrel::releaseAligned(block);
}
