#pragma once

#include <windows.h>
#include <propidl.h>

#include <cstdint>

namespace SevenZip::intl {

// Owns one property value read from a reader.
struct PropValue {
    PROPVARIANT value;
    PropValue() { PropVariantInit(&value); }
    ~PropValue() { PropVariantClear(&value); }
    PropValue(const PropValue&) = delete;
    PropValue& operator=(const PropValue&) = delete;
};

// An unsigned integer of any width as a size; false for other kinds.
bool AsSize(const PROPVARIANT& value, uint64_t& size);

} // namespace SevenZip::intl
