#pragma once

#include <stddef.h>

namespace SkinUI {

// Heap blocks of the markup and the zip reader. Built with
// SKINUI_GUARDED_HEAP, every block ends right at an inaccessible page, so
// that a read or write past its end faults at once (the robustness tests).
void* HeapBlockAlloc(size_t bytes);
void* HeapBlockRealloc(void* block, size_t oldBytes, size_t newBytes);
void HeapBlockFree(void* block);

} // namespace SkinUI
