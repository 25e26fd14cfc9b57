#include "platform/LargeBlocks.h"

#include <cstdlib>  // defines __GLIBC__ on glibc

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace Varn {

void GiveLargeBlocksOwnMappings() {
#if defined(__GLIBC__)
    // The C library's own starting threshold, now fixed.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
#endif
}

}  // namespace Varn
