#pragma once

#include "ui/core/string_map.h"

namespace SkinUI {

// Texts by name, owned by the table: class defaults, window attributes
// kept for the application, language strings.
class CTextTable {
public:
    CTextTable() = default;
    ~CTextTable();
    CTextTable(const CTextTable&) = delete;
    CTextTable& operator=(const CTextTable&) = delete;

    // A null text is stored as an empty one.
    // Replaces the text under the name, if any.
    void Set(const wchar_t* name, const wchar_t* text);
    // Keeps a text already under the name (false then).
    bool Insert(const wchar_t* name, const wchar_t* text);
    // Null when the name has no text.
    const wchar_t* Find(const wchar_t* name) const;
    void RemoveAll();

private:
    CUIStringMapOf<CUIString> texts_;
};

} // namespace SkinUI
