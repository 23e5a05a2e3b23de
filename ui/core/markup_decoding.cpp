#include "ui/core/markup_decoding.h"

#include "ui/core/checked_heap.h"

#include <windows.h>

#include <stdint.h>
#include <string.h>

namespace SkinUI {

namespace {

// UTF-8 to UTF-16 into out, which has room for count units; returns the
// units written. ASCII, most of a layout, is widened here, four bytes at a
// time; each run of other bytes goes to MultiByteToWideChar whole, which
// decides what its characters and its malformed sequences become. No
// sequence takes in an ASCII byte, so the result is that of one call over
// the whole block.
size_t WidenUtf8(const unsigned char* bytes, size_t count, wchar_t* out)
{
    static_assert(sizeof(wchar_t) == 2, "UTF-16 units");
    size_t length = 0;
    size_t i = 0;
    while (i < count) {
        for (; i + 4 <= count; i += 4, length += 4) {
            uint32_t word;
            memcpy(&word, bytes + i, 4);
            if (word & 0x80808080u)
                break;
            // Two units per store (UTF-16 is little-endian here).
            uint32_t low = (word & 0xFFu) | (word & 0xFF00u) << 8;
            uint32_t high = (word >> 16 & 0xFFu) | (word >> 8 & 0xFF0000u);
            memcpy(out + length, &low, 4);
            memcpy(out + length + 2, &high, 4);
        }
        for (; i < count && bytes[i] < 0x80; ++i, ++length)
            out[length] = static_cast<wchar_t>(bytes[i]);
        size_t run = i;
        while (i < count && bytes[i] >= 0x80)
            ++i;
        if (i > run) {
            length += MultiByteToWideChar(CP_UTF8, 0, reinterpret_cast<const char*>(bytes + run),
                                          static_cast<int>(i - run), out + length, static_cast<int>(count - length));
        }
    }
    return length;
}

} // namespace

// No character needs more units than it has bytes (a malformed byte becomes
// one U+FFFD), so the block is sized by the bytes, which spares a counting
// pass, and then fitted to the text.
wchar_t* DecodeUtf8(const unsigned char* bytes, size_t count)
{
    if (count >= SIZE_MAX / sizeof(wchar_t))
        return nullptr;
    wchar_t* text = static_cast<wchar_t*>(HeapBlockAlloc((count + 1) * sizeof(wchar_t)));
    if (!text)
        return nullptr;
    size_t length = WidenUtf8(bytes, count, text);
    text[length] = L'\0';
    if (length == count)
        return text;
    void* fitted = HeapBlockRealloc(text, (count + 1) * sizeof(wchar_t), (length + 1) * sizeof(wchar_t));
    return fitted ? static_cast<wchar_t*>(fitted) : text;
}

wchar_t* DecodeAnsi(const unsigned char* bytes, size_t count)
{
    const char* source = reinterpret_cast<const char*>(bytes);
    int length = count ? MultiByteToWideChar(CP_ACP, 0, source, static_cast<int>(count), nullptr, 0) : 0;
    wchar_t* text = static_cast<wchar_t*>(HeapBlockAlloc((static_cast<size_t>(length) + 1) * sizeof(wchar_t)));
    if (!text)
        return nullptr;
    if (length > 0)
        MultiByteToWideChar(CP_ACP, 0, source, static_cast<int>(count), text, length);
    text[length] = L'\0';
    return text;
}

} // namespace SkinUI
