#pragma once

#include "ui/controls/container.h"
#include "ui/controls/layout_separator.h"

namespace SkinUI {

// Stacks its children top to bottom, sharing the height between fixed-size
// and stretching children; an optional separator strip resizes the layout.
class CVerticalLayoutUI : public CContainerUI {
public:
    CVerticalLayoutUI();

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override;

    void SetSepHeight(int size) { separator_.SetSize(size); }
    int GetSepHeight() const { return separator_.GetSize(); }
    void SetSepImmMode(bool immediate) { separator_.SetImmediate(this, immediate); }
    bool IsSepImmMode() const { return separator_.IsImmediate(); }

    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    void SetPos(RECT rect, bool invalidate = true) override;
    void DoEvent(TUIEvent& event) override;
    void DoPostPaint(HDC dc, const RECT& paintRect) override;

    // The separator strip, of the current or of the dragged rectangle.
    RECT GetThumbRect(bool useNew = false) const;

private:
    CLayoutSeparator separator_;
};

} // namespace SkinUI
