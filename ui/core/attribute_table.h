#pragma once

#include <string.h>
#include <wchar.h>

namespace SkinUI {

// One row of an attribute table: the markup name and what setting it does.
// A control class's SetAttribute looks in its own table and falls through
// to its base class when the name is not there; the manager keeps one for
// the attributes of a layout's root Window element.
template <typename Control>
struct TAttributeRow {
    enum TMatch { kExact, kAnyCase };

    const wchar_t* name;
    void (*apply)(Control& control, const wchar_t* value);
    TMatch match = kExact;

    bool Matches(const wchar_t* text) const
    {
        return match == kAnyCase ? _wcsicmp(text, name) == 0 : wcscmp(text, name) == 0;
    }
};

// Applies the row named name; false when the table has none.
template <typename Control, size_t Count>
bool ApplyAttributeRow(
    const TAttributeRow<Control> (&table)[Count], Control& control, const wchar_t* name, const wchar_t* value)
{
    for (const TAttributeRow<Control>& row : table) {
        if (row.Matches(name)) {
            row.apply(control, value);
            return true;
        }
    }
    return false;
}

} // namespace SkinUI
