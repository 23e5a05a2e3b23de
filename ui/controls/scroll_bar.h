#pragma once

#include "ui/controls/control.h"
#include "ui/controls/image_spec.h"

namespace SkinUI {

class CContainerUI;

// A scroll bar drawn from colours and images: two end buttons, a thumb whose
// length shows the visible share, a track and an optional rail. With an
// owner it scrolls the owner through its line and page steps; without one
// it moves its own position and posts "scroll".
class CScrollBarUI : public CControlUI {
public:
    static const int kRepeatTimerId = 10;
    static const UINT kRepeatElapse = 50;
    // Ticks of the repeat timer that pass before a held button repeats (250 ms).
    static const int kRepeatDelayTicks = 5;
    static const int kDefaultThickness = 16;

    enum ImageState { kNormal = 0, kHot, kPushed, kDisabled, kImageStates };

    CScrollBarUI();

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    void SetVisible(bool visible = true) override;
    void SetEnabled(bool enabled = true) override;
    void SetFocus() override;

    bool IsHorizontal() const { return horizontal_; }
    void SetHorizontal(bool horizontal = true);
    int GetScrollRange() const { return range_; }
    void SetScrollRange(int range);
    int GetScrollPos() const { return position_; }
    void SetScrollPos(int position, bool notify = true);
    int GetLineSize() const { return lineSize_; }
    void SetLineSize(int size);
    int GetScrollUnit() const { return scrollUnit_; }
    void SetScrollUnit(int unit);
    CContainerUI* GetOwner() const { return owner_; }
    void SetOwner(CContainerUI* owner) { owner_ = owner; }
    bool GetShowButton1() const { return showButton1_; }
    void SetShowButton1(bool show);
    bool GetShowButton2() const { return showButton2_; }
    void SetShowButton2(bool show);

    void SetButton1Color(DWORD color);
    void SetButton2Color(DWORD color);
    void SetThumbColor(DWORD color);
    void SetTrackImage(ImageState state, const wchar_t* text);
    void SetButton1Image(ImageState state, const wchar_t* text);
    void SetButton2Image(ImageState state, const wchar_t* text);
    void SetThumbImage(ImageState state, const wchar_t* text);
    void SetRailImage(ImageState state, const wchar_t* text);

    // Computed part rectangles, absolute like the item rectangle.
    RECT GetButton1Rect() const { return button1_.rect; }
    RECT GetButton2Rect() const { return button2_.rect; }
    RECT GetThumbRect() const { return thumb_.rect; }

    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    void SetPos(RECT rect, bool invalidate = true) override;
    void DoEvent(TUIEvent& event) override;
    bool DoPaint(HDC dc, const RECT& paintRect, CControlUI* stopControl) override;

private:
    // One end button or the thumb: its place, state bits, fill and images.
    struct Part {
        RECT rect = {0, 0, 0, 0};
        UINT state = 0;
        DWORD color = 0;
        TImageSpec images[kImageStates];
    };

    bool SetPartImage(TImageSpec* images, ImageState state, const wchar_t* text);
    bool ApplyImageAttribute(const wchar_t* name, const wchar_t* value);

    void PlaceParts(const RECT& rect);
    int Thickness() const;
    int ThumbLength(int track) const;

    int LineStep() const;
    int PageStep() const;
    void LineBack();
    void LineForward();
    void PageBack();
    void PageForward();
    void PageToward(POINT point);
    void ScrollTo(int position);
    void OnButtonDown(const TUIEvent& event);
    void OnMouseMove(const TUIEvent& event);
    void OnButtonUp();
    void OnRepeatTimer();
    void OnMouseEnter(const TUIEvent& event);
    bool OnMouseLeave(const TUIEvent& event);
    void PassOn(TUIEvent& event);

    static ImageState StateImage(UINT state);
    void SyncDisabled(UINT& state) const;
    void PaintTrack(HDC dc);
    void PaintPart(HDC dc, Part& part, bool shown);
    void PaintRail(HDC dc);
    void DrawStateImage(HDC dc, TImageSpec* images, ImageState state, const RECT* part);
    bool DrawPartImage(HDC dc, TImageSpec& image, const RECT* part);

    bool horizontal_ = false;
    int range_ = 100;
    int position_ = 0;
    int lineSize_ = 8;
    int scrollUnit_ = 1;
    CContainerUI* owner_ = nullptr;
    POINT dragStart_ = {0, 0};
    int dragStartPosition_ = 0;
    int dragOffset_ = 0;
    int repeatCount_ = 0;
    TImageSpec trackImages_[kImageStates];
    bool showButton1_ = true;
    bool showButton2_ = true;
    Part button1_;
    Part button2_;
    Part thumb_;
    TImageSpec railImages_[kImageStates];
};

} // namespace SkinUI
