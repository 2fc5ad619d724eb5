#include "base/LargeBlocks.h"

#include <malloc.h>

void returnLargeBlocksAtOnce() {
    // Setting the threshold also stops its growth.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
}
