#pragma once

#include "ui/controls/container.h"
#include "ui/controls/layout_separator.h"

namespace SkinUI {

// What the horizontal and vertical layouts share: the separator strip that
// resizes the layout, its attributes, cursor, drag events and drag painting.
class CLinearLayoutUI : public CContainerUI {
public:
    UINT GetControlFlags() const override;

    void SetSepImmMode(bool immediate) { separator_.SetImmediate(this, immediate); }
    bool IsSepImmMode() const { return separator_.IsImmediate(); }

    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    void SetPos(RECT rect, bool invalidate = true) override;
    void DoEvent(TUIEvent& event) override;
    void DoPostPaint(HDC dc, const RECT& paintRect) override;

    // The separator strip, of the current or of the dragged rectangle.
    RECT GetThumbRect(bool useNew = false) const;

protected:
    // sizeAttribute names the separator's size in markup ("sepwidth" or "sepheight").
    CLinearLayoutUI(bool vertical, const wchar_t* sizeAttribute);

    // Places the children inside area (the content rectangle) and settles
    // the bars; available adds the scroll ranges to its size.
    virtual void ArrangeChildren(const RECT& area, SIZE available) = 0;

    CLayoutSeparator separator_;

private:
    const wchar_t* sizeAttribute_;
};

} // namespace SkinUI
