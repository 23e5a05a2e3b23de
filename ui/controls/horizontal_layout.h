#pragma once

#include "ui/controls/linear_layout.h"

namespace SkinUI {

// Lines its children up left to right, sharing the width between fixed-size
// and stretching children; an optional separator strip resizes the layout.
class CHorizontalLayoutUI : public CLinearLayoutUI {
public:
    CHorizontalLayoutUI();

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;

    void SetSepWidth(int size) { separator_.SetSize(size); }
    int GetSepWidth() const { return separator_.GetSize(); }
};

} // namespace SkinUI
