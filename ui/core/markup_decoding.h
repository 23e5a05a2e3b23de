#pragma once

#include <stddef.h>

namespace SkinUI {

// A layout's bytes decoded to a new zero-terminated UTF-16 text in a block
// from HeapBlockAlloc (freed with HeapBlockFree); null when out of memory.
// Malformed input decodes as MultiByteToWideChar decodes it.
wchar_t* DecodeUtf8(const unsigned char* bytes, size_t count);
wchar_t* DecodeAnsi(const unsigned char* bytes, size_t count);

} // namespace SkinUI
