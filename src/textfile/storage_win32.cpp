// Windows: the process heap serves every size.
#include <cstdlib>

#include "textfile/storage.h"

namespace tintgrove::platform {

void* allocateBlock(std::size_t size) { return std::malloc(size); }

void releaseBlock(void* block, std::size_t) { std::free(block); }

}  // namespace tintgrove::platform
