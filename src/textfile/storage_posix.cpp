// Large blocks on their own huge-page-aligned mappings: a fresh 4 KiB page
// costs a fault each, and on a virtual machine a million stops touch enough
// of them to take longer than reading the gradient.
#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>

#include "textfile/storage.h"

namespace tintgrove::platform {

namespace {

std::size_t mappedLength(std::size_t size) {
  return (size + kLargeBlock - 1) / kLargeBlock * kLargeBlock;
}

}  // namespace

void* allocateBlock(std::size_t size) {
  if (size < kLargeBlock) return std::malloc(size);
  const std::size_t length = mappedLength(size);
  if (length < size || length + kLargeBlock < length) return nullptr;
  void* raw = ::mmap(nullptr, length + kLargeBlock, PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) return nullptr;
  // Keep the part aligned to a huge page, where the system can put one.
  const auto start = reinterpret_cast<std::uintptr_t>(raw);
  const std::uintptr_t aligned = (start + kLargeBlock - 1) / kLargeBlock * kLargeBlock;
  const std::size_t head = aligned - start;
  if (head > 0) ::munmap(raw, head);
  const std::size_t tail = kLargeBlock - head;
  if (tail > 0) ::munmap(reinterpret_cast<void*>(aligned + length), tail);
  void* block = reinterpret_cast<void*>(aligned);
  // Only a hint: without transparent huge pages the block is ordinary memory.
  ::madvise(block, length, MADV_HUGEPAGE);
  return block;
}

void releaseBlock(void* block, std::size_t size) {
  if (block == nullptr) return;
  if (size < kLargeBlock) {
    std::free(block);
  } else {
    ::munmap(block, mappedLength(size));
  }
}

}  // namespace tintgrove::platform
