#pragma once

#include "ui/controls/container.h"

namespace SkinUI {

// Stacks its children top to bottom, sharing the height between fixed-size
// and stretching children; an optional separator strip resizes the layout.
class CVerticalLayoutUI : public CContainerUI {
public:
    CVerticalLayoutUI();

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override;

    void SetSepHeight(int height);
    int GetSepHeight() const { return sepHeight_; }
    void SetSepImmMode(bool immediate);
    bool IsSepImmMode() const { return sepImmediate_; }

    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    void SetPos(RECT rect, bool invalidate = true) override;
    void DoEvent(TUIEvent& event) override;
    void DoPostPaint(HDC dc, const RECT& paintRect) override;

    RECT GetThumbRect(bool useNew = false) const;

private:
    static const UINT kDragging = 0x40;

    bool OnSeparatorEvent(const TUIEvent& event);
    int DraggedHeight(int mouseY) const;

    int sepHeight_ = 0;
    bool sepImmediate_ = false;
    UINT dragState_ = 0;
    POINT dragStart_ = {0, 0};
    int dragStartSize_ = 0;
    RECT dragRect_ = {0, 0, 0, 0};
};

} // namespace SkinUI
