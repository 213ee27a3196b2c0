#pragma once

#include <cstddef>

// Where annotations live. Every bulk path walks a page's annotations one after another (hit
// tests, painting, a delete-all and its undo); allocated one by one they lie between their
// appearances, paths and strings, a kilobyte or more apart, and a walk over tens of thousands
// misses the cache on each. Here they sit side by side in 64 KiB blocks instead. A block
// goes back to the heap when its last annotation goes (one empty block is kept for the next).
// Used from the GUI thread only, as the model is.
class OFD_AnnotPool
{
public:
    static void *Allocate(size_t size);
    static void Release(void *slot, size_t size);

    // Blocks held now, the spare included.
    static size_t BlockCount();
};
