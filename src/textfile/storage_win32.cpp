// Windows: the process heap serves every size.
#include <cstdlib>

#include "textfile/storage.h"

namespace tintgrove::platform {

void* growStorage(void* block, std::size_t, std::size_t, std::size_t newCapacity) {
  return std::realloc(block, newCapacity);
}

void releaseStorage(void* block, std::size_t) { std::free(block); }

}  // namespace tintgrove::platform
