// Memory for GrowingArray, one implementation per platform (storage_posix.cpp,
// storage_win32.cpp): large blocks are where the platform can do better than
// the general-purpose allocator.
#pragma once

#include <cstddef>

namespace tintgrove::platform {

// A block of `newCapacity` bytes holding the first `used` bytes of `block`
// (of `oldCapacity` bytes; null when there was none). On success the old
// block is gone; on failure the result is null and the old block is intact.
void* growStorage(void* block, std::size_t used, std::size_t oldCapacity,
                  std::size_t newCapacity);
// Releases a block of `capacity` bytes that growStorage gave; null is ignored.
void releaseStorage(void* block, std::size_t capacity);

}  // namespace tintgrove::platform
