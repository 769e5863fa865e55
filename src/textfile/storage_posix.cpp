// Large blocks on their own huge-page-aligned mappings: a fresh 4 KiB page
// costs a fault each, and on a virtual machine a million stops touch enough
// of them to take longer than reading the gradient.
#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "textfile/storage.h"

namespace tintgrove::platform {

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

bool mapped(std::size_t capacity) { return capacity >= kHugePage; }

std::size_t mappedLength(std::size_t capacity) {
  return (capacity + kHugePage - 1) / kHugePage * kHugePage;
}

void* mapAligned(std::size_t capacity) {
  const std::size_t length = mappedLength(capacity);
  if (length < capacity || length + kHugePage < length) return nullptr;
  void* raw = ::mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) return nullptr;
  // Keep the huge-page-aligned part only.
  const auto start = reinterpret_cast<std::uintptr_t>(raw);
  const std::uintptr_t aligned = (start + kHugePage - 1) / kHugePage * kHugePage;
  const std::size_t head = aligned - start;
  if (head > 0) ::munmap(raw, head);
  const std::size_t tail = kHugePage - head;
  if (tail > 0) ::munmap(reinterpret_cast<void*>(aligned + length), tail);
  void* block = reinterpret_cast<void*>(aligned);
  // Only a hint: without transparent huge pages the block is ordinary memory.
  ::madvise(block, length, MADV_HUGEPAGE);
  return block;
}

}  // namespace

void* growStorage(void* block, std::size_t used, std::size_t oldCapacity,
                  std::size_t newCapacity) {
  if (!mapped(newCapacity)) return std::realloc(block, newCapacity);
  void* grown = mapAligned(newCapacity);
  if (grown == nullptr) return nullptr;
  if (mapped(oldCapacity)) {
    // Move the pages themselves to the start of the new block: nothing is
    // copied, and the pages already written are not faulted in again.
    void* moved = ::mremap(block, mappedLength(oldCapacity),
                           mappedLength(oldCapacity),
                           MREMAP_MAYMOVE | MREMAP_FIXED, grown);
    if (moved != MAP_FAILED) return grown;
  }
  if (used > 0) std::memcpy(grown, block, used);
  releaseStorage(block, oldCapacity);
  return grown;
}

void releaseStorage(void* block, std::size_t capacity) {
  if (block == nullptr) return;
  if (mapped(capacity)) {
    ::munmap(block, mappedLength(capacity));
  } else {
    std::free(block);
  }
}

}  // namespace tintgrove::platform
