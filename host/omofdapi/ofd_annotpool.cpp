#include "ofd_annotpool.h"

#include <cstdint>
#include <cstdlib>
#include <new>

namespace {

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer sees each annotation as its own allocation, leaks and overruns included.
constexpr bool Pooled = false;
#else
constexpr bool Pooled = true;
#endif

constexpr size_t BlockBytes = 64 * 1024;
// Slots start on cache lines, so an annotation's first line holds its type and its page.
constexpr size_t SlotAlign = 64;

struct Block
{
    Block *prev = nullptr; // in the list of blocks with room
    Block *next = nullptr;
    void *freed = nullptr; // slots given back, each holding the next
    size_t used = 0;
    size_t bumped = 0; // slots handed out once, from the start
};

constexpr size_t HeaderBytes = (sizeof(Block) + SlotAlign - 1) / SlotAlign * SlotAlign;

struct Pool
{
    size_t slot = 0; // every pooled allocation has this size
    size_t capacity = 0;
    Block *withRoom = nullptr;
    Block *spare = nullptr;
    size_t blocks = 0;
};

Pool g_pool;

size_t SlotFor(size_t size)
{
    return (size + SlotAlign - 1) / SlotAlign * SlotAlign;
}

void Unlink(Block *block)
{
    if (block->prev)
        block->prev->next = block->next;
    else
        g_pool.withRoom = block->next;
    if (block->next)
        block->next->prev = block->prev;
    block->prev = block->next = nullptr;
}

void PushFront(Block *block)
{
    block->prev = nullptr;
    block->next = g_pool.withRoom;
    if (g_pool.withRoom)
        g_pool.withRoom->prev = block;
    g_pool.withRoom = block;
}

Block *NewBlock()
{
    if (Block *spare = g_pool.spare) {
        g_pool.spare = nullptr;
        return new (spare) Block;
    }
    void *memory = std::aligned_alloc(BlockBytes, BlockBytes);
    if (!memory)
        throw std::bad_alloc();
    ++g_pool.blocks;
    return new (memory) Block;
}

bool Pools(size_t size)
{
    if (!Pooled || size == 0 || size > (BlockBytes - HeaderBytes) / 16)
        return false;
    if (g_pool.slot == 0) {
        g_pool.slot = SlotFor(size);
        g_pool.capacity = (BlockBytes - HeaderBytes) / g_pool.slot;
    }
    return SlotFor(size) == g_pool.slot;
}

} // namespace

void *OFD_AnnotPool::Allocate(size_t size)
{
    if (!Pools(size))
        return ::operator new(size);
    Block *block = g_pool.withRoom;
    if (!block) {
        block = NewBlock();
        PushFront(block);
    }
    void *slot = block->freed;
    if (slot) {
        block->freed = *static_cast<void **>(slot);
    } else {
        slot = reinterpret_cast<char *>(block) + HeaderBytes + block->bumped * g_pool.slot;
        ++block->bumped;
    }
    if (++block->used == g_pool.capacity)
        Unlink(block);
    return slot;
}

void OFD_AnnotPool::Release(void *slot, size_t size)
{
    if (!slot)
        return;
    if (!Pools(size)) {
        ::operator delete(slot);
        return;
    }
    auto *block = reinterpret_cast<Block *>(reinterpret_cast<uintptr_t>(slot) & ~uintptr_t(BlockBytes - 1));
    const bool wasFull = block->used == g_pool.capacity;
    *static_cast<void **>(slot) = block->freed;
    block->freed = slot;
    if (--block->used == 0) {
        if (!wasFull)
            Unlink(block);
        if (g_pool.spare) {
            --g_pool.blocks;
            std::free(block);
        } else {
            g_pool.spare = block;
        }
        return;
    }
    if (wasFull)
        PushFront(block);
}

size_t OFD_AnnotPool::BlockCount()
{
    return g_pool.blocks;
}
