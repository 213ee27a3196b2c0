#include "cca_memory.h"

#include <cstdlib>

void *CA_AllocMemory(size_t size)
{
    // malloc(0) may answer null, which callers would take for a failure.
    return std::malloc(size ? size : 1);
}

void *CA_ReallocMemory(void *block, size_t size)
{
    return std::realloc(block, size ? size : 1);
}

void CA_FreeMemory(void *block)
{
    std::free(block);
}
