// Memory for the large arrays that hold a whole log. It comes straight from
// the system, in large pages where the system offers them, and grows in place
// where it can: a log of millions of lines then costs few page faults and no
// copy while it grows. One implementation per platform.
#pragma once

#include <cstddef>

// Null when the memory cannot be had.
void* AcquireLargeMemory(size_t bytes);
// Keeps the first oldBytes; may move the block. Null when it cannot grow;
// the old block is then still valid.
void* GrowLargeMemory(void* block, size_t oldBytes, size_t newBytes);
void ReleaseLargeMemory(void* block, size_t bytes);
