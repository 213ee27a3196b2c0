#include "g_allocatorpolicy.h"

#include <cstdlib>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

// A document with many links frees a million small blocks when it closes. glibc parks them
// in its fast bins and coalesces them all at the next large request, which made closing
// 100,000 links take 2-3 times as long as freeing them where they lie, and grow faster than
// their number. Small blocks still go through the per-thread cache first.
//
// Page images and frames are megabytes each and come and go with every open, zoom and
// window. glibc would map each afresh or hand freed heap back to the system, and touching
// new memory page by page cost more than drawing into it; the heap keeps them for reuse.
void G_ApplyAllocatorPolicy()
{
#if defined(__GLIBC__)
    mallopt(M_MXFAST, 0);
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 128 << 20);
#endif
}
