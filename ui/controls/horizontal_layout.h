#pragma once

#include "ui/controls/container.h"

namespace SkinUI {

// Lines its children up left to right, sharing the width between fixed-size
// and stretching children; an optional separator strip resizes the layout.
class CHorizontalLayoutUI : public CContainerUI {
public:
    CHorizontalLayoutUI();

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override;

    void SetSepWidth(int width);
    int GetSepWidth() const { return sepWidth_; }
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
    int DraggedWidth(int mouseX) const;

    int sepWidth_ = 0;
    bool sepImmediate_ = false;
    UINT dragState_ = 0;
    POINT dragStart_ = {0, 0};
    int dragStartSize_ = 0;
    RECT dragRect_ = {0, 0, 0, 0};
};

} // namespace SkinUI
