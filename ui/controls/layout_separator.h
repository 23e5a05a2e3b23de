#pragma once

#include "ui/controls/control.h"

namespace SkinUI {

// The strip along one edge of a linear layout that resizes the layout when
// dragged: along the bottom (vertical layout) or right edge (horizontal)
// for a positive size, along the top or left edge for a negative one.
class CLayoutSeparator {
public:
    explicit CLayoutSeparator(bool vertical) : vertical_(vertical) {}

    int GetSize() const { return size_; }
    void SetSize(int size);
    bool IsImmediate() const { return immediate_; }
    void SetImmediate(CControlUI* owner, bool immediate);

    // The strip of the given rectangle, or of the one being dragged.
    RECT StripRect(const RECT& item, bool dragged) const;
    // True when the event belonged to the separator.
    bool OnEvent(CControlUI* owner, const TUIEvent& event);
    // The dragged strip, drawn after the tree while a deferred drag lasts.
    void PaintDrag(HDC hDC) const;

private:
    static const UINT kDragging = 0x40;

    bool IsDragging() const { return (state_ & kDragging) != 0; }
    int DraggedSize(const CControlUI* owner, POINT mouse) const;
    void ApplySize(CControlUI* owner, int size) const;
    void MoveDragged(CControlUI* owner, int size);

    bool vertical_;
    int size_ = 0;
    bool immediate_ = false;
    UINT state_ = 0;
    POINT dragStart_ = {0, 0};
    int dragStartSize_ = 0;
    RECT dragRect_ = {0, 0, 0, 0};
};

} // namespace SkinUI
