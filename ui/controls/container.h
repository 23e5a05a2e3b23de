#pragma once

#include "ui/controls/control.h"
#include "ui/core/ptr_array.h"

namespace SkinUI {

class CScrollBarUI;

// A control owning an ordered list of children: paints them clipped to its
// client area, routes hit tests into them and scrolls them with its own
// bars. The plain container gives every child the whole client area.
class CContainerUI : public CControlUI, public IContainerUI {
public:
    // How often a layout pass may run again because a bar appeared or went,
    // so that a bar toggling at the boundary cannot loop.
    static const int kMaxScrollRelayout = 3;

    CContainerUI();
    ~CContainerUI() override;

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;

    CControlUI* GetItemAt(int index) const override;
    int GetItemIndex(CControlUI* control) const override;
    bool SetItemIndex(CControlUI* control, int index) override;
    bool SetMultiItemIndex(CControlUI* startControl, int count, int newStartIndex) override;
    int GetCount() const override;
    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    bool Remove(CControlUI* control, bool doNotDestroy = false) override;
    bool RemoveAt(int index, bool doNotDestroy = false) override;
    void RemoveAll() override;

    virtual RECT GetInset() const;
    virtual void SetInset(RECT inset);
    virtual int GetChildPadding() const;
    virtual void SetChildPadding(int padding);
    virtual UINT GetChildAlign() const;
    virtual void SetChildAlign(UINT align);
    virtual UINT GetChildVAlign() const;
    virtual void SetChildVAlign(UINT align);
    virtual bool IsAutoDestroy() const;
    virtual void SetAutoDestroy(bool autoDestroy);
    virtual bool IsDelayedDestroy() const;
    virtual void SetDelayedDestroy(bool delayed);
    virtual bool IsMouseChildEnabled() const;
    virtual void SetMouseChildEnabled(bool enable = true);
    virtual int FindSelectable(int index, bool forward = true) const;
    virtual SIZE GetScrollPos() const;
    virtual SIZE GetScrollRange() const;
    virtual void SetScrollPos(SIZE position);
    virtual void LineUp();
    virtual void LineDown();
    virtual void PageUp();
    virtual void PageDown();
    virtual void HomeUp();
    virtual void EndDown();
    virtual void LineLeft();
    virtual void LineRight();
    virtual void PageLeft();
    virtual void PageRight();
    virtual void HomeLeft();
    virtual void EndRight();
    virtual void EnableScrollBar(bool enableVertical = true, bool enableHorizontal = false);
    virtual CScrollBarUI* GetVerticalScrollBar() const;
    virtual CScrollBarUI* GetHorizontalScrollBar() const;
    virtual void SetFloatPos(int index);
    virtual void ProcessScrollBar(RECT rect, int cxRequired, int cyRequired);

    RECT GetClientPos() const override;
    void SetPos(RECT rect, bool invalidate = true) override;
    void Move(int dx, int dy, bool invalidate = true) override;
    void SetVisible(bool visible = true) override;
    void SetInternVisible(bool visible = true) override;
    void SetMouseEnabled(bool enable = true) override;
    void SetManager(CUIManager* manager, CControlUI* parent, bool init = true) override;
    CControlUI* FindControl(FINDCONTROLPROC proc, LPVOID data, UINT flags) override;
    void DoEvent(TUIEvent& event) override;
    bool DoPaint(HDC dc, const RECT& paintRect, CControlUI* stopControl) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;

protected:
    // Item rectangle minus inset, minus the visible bars (bars stay inside).
    RECT ContentRect() const;
    // The content's size plus the scroll ranges of the shown bars: the room
    // children may take, clamped to the layout limit.
    SIZE AvailableSize(const RECT& content) const;
    // The child at index when the layout pass places it in the flow. Hidden
    // children give null, and so do floating ones, placed here at their own
    // position.
    CControlUI* FlowChildOrPlaceFloat(int index);
    // Gives every flow child the whole view, stretched over the scroll
    // ranges and shifted by the scroll positions of the shown bars.
    void FillWithChildren(RECT view);
    bool IsBarShown(const CScrollBarUI* bar) const;
    // Lays out again at the current rectangle (the relative one when floating).
    void Relayout(bool invalidate);
    void DisposeChild(CControlUI* control);

    CUIPtrArrayOf<CControlUI> items_;
    RECT inset_ = {0, 0, 0, 0};
    int childPadding_ = 0;
    UINT childAlign_ = DT_LEFT;
    UINT childVAlign_ = DT_TOP;
    bool autoDestroy_ = true;
    bool delayedDestroy_ = true;
    bool mouseChildEnabled_ = true;
    bool scrollProcessing_ = false;
    int scrollRelayoutDepth_ = 0;
    CScrollBarUI* verticalScrollBar_ = nullptr;
    CScrollBarUI* horizontalScrollBar_ = nullptr;

private:
    enum BarChange { kBarUnchanged, kBarAppeared, kBarWent, kBarRangeChanged, kBarPositionShrank };

    BarChange SettleBar(CScrollBarUI* bar, int required, int extent, const RECT& place);
    void ProcessVerticalOnly(RECT rect, int cyRequired);
    void ProcessHorizontalOnly(RECT rect, int cxRequired);
    void ProcessBothBars(RECT rect, int cxRequired, int cyRequired);
    void RelayoutInScrollProcessing();
    CScrollBarUI* MakeScrollBar(bool horizontal);
    SIZE ShownBarValues(int (CScrollBarUI::*read)() const) const;
    int MoveShownBar(CScrollBarUI* bar, int position);
    int VerticalLine() const;
    int HorizontalLine() const;
    int ClientHeight() const;
    int ClientWidth() const;
    void ScrollBy(int dx, int dy);
    bool OnKeyDown(const TUIEvent& event);
    bool OnScrollWheel(const TUIEvent& event);
    bool PaintChildren(HDC dc, const RECT& paintRect, CControlUI* stopControl);
};

} // namespace SkinUI
