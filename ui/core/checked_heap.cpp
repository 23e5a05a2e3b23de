#include "ui/core/checked_heap.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#ifdef SKINUI_GUARDED_HEAP
#include <windows.h>
#endif

namespace SkinUI {

#ifdef SKINUI_GUARDED_HEAP

namespace {

const size_t kPage = 4096;

} // namespace

void* HeapBlockAlloc(size_t bytes)
{
    if (bytes == 0)
        bytes = 1;
    size_t pages = (bytes + kPage - 1) / kPage;
    char* base = static_cast<char*>(VirtualAlloc(nullptr, (pages + 1) * kPage, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    if (!base)
        return nullptr;
    DWORD old = 0;
    VirtualProtect(base + pages * kPage, kPage, PAGE_NOACCESS, &old);
    return base + pages * kPage - bytes;
}

void* HeapBlockRealloc(void* block, size_t oldBytes, size_t newBytes)
{
    void* grown = HeapBlockAlloc(newBytes);
    if (!grown)
        return nullptr;
    if (block) {
        memcpy(grown, block, oldBytes < newBytes ? oldBytes : newBytes);
        HeapBlockFree(block);
    }
    return grown;
}

void HeapBlockFree(void* block)
{
    if (!block)
        return;
    uintptr_t start = reinterpret_cast<uintptr_t>(block);
    VirtualFree(reinterpret_cast<void*>(start & ~(kPage - 1)), 0, MEM_RELEASE);
}

#else

void* HeapBlockAlloc(size_t bytes)
{
    return malloc(bytes);
}

void* HeapBlockRealloc(void* block, size_t, size_t newBytes)
{
    return realloc(block, newBytes);
}

void HeapBlockFree(void* block)
{
    free(block);
}

#endif

} // namespace SkinUI
