#pragma once

#include <cstdint>

namespace SevenZip {

// Selects the library's reader. Values other than those named here select
// the 7z reader, as FormatNone does.
enum ArchiveFormat : int32_t {
    FormatNone = 0,
    Format7z = 1,
    FormatZip = 2,
    FormatCab = 8,
    FormatLzma = 9,
    FormatLzma86 = 10,
};

} // namespace SevenZip
