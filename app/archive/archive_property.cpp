#include "app/archive/archive_property.h"

namespace SevenZip::intl {

bool AsSize(const PROPVARIANT& value, uint64_t& size)
{
    switch (value.vt) {
    case VT_UI1: size = value.bVal; return true;
    case VT_UI2: size = value.uiVal; return true;
    case VT_UI4: size = value.ulVal; return true;
    case VT_UI8: size = value.uhVal.QuadPart; return true;
    default: return false;
    }
}

} // namespace SevenZip::intl
