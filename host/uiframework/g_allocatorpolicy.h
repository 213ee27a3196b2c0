#pragma once

// The reader's settings of the C library's allocator, made once at start-up before any
// document is open. Programs that measure the reader (the benchmarks) make them too.
void G_ApplyAllocatorPolicy();
