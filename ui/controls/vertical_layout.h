#pragma once

#include "ui/controls/linear_layout.h"

namespace SkinUI {

// Stacks its children top to bottom, sharing the height between fixed-size
// and stretching children; an optional separator strip resizes the layout.
class CVerticalLayoutUI : public CLinearLayoutUI {
public:
    CVerticalLayoutUI();

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;

    void SetSepHeight(int size) { separator_.SetSize(size); }
    int GetSepHeight() const { return separator_.GetSize(); }
};

} // namespace SkinUI
