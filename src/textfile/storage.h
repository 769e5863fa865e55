// Memory for BlockList, one implementation per platform (storage_posix.cpp,
// storage_win32.cpp): large blocks are where the platform can do better than
// the general-purpose allocator.
#pragma once

#include <cstddef>

namespace tintgrove::platform {

// Blocks of this size and more are large.
inline constexpr std::size_t kLargeBlock = std::size_t{2} << 20;

// A block of `size` bytes, or null when there is no memory for it.
void* allocateBlock(std::size_t size);
// Releases a block that allocateBlock gave for `size` bytes.
void releaseBlock(void* block, std::size_t size);

}  // namespace tintgrove::platform
