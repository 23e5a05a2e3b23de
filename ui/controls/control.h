#pragma once

#include "ui/controls/delegate.h"
#include "ui/controls/image_spec.h"
#include "ui/core/string_map.h"
#include "ui/core/ui_events.h"
#include "ui/core/ui_string.h"

#include <windows.h>

namespace SkinUI {

class CUIManager;

// Fractions of the parent's width and height added to a floating control's
// left, top, right and bottom.
struct TPercentInfo {
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;
};

// The base of every element of a window's control tree: rectangle, layout
// constraints, flags, decoration, text, and the attribute setter the
// layout builder configures it with. Measures (padding, sizes, borders) are
// set in layout units, 1/96 inch, and read in pixels at the window's scale.
class CControlUI {
public:
    CControlUI();
    CControlUI(const CControlUI&) = delete;
    CControlUI& operator=(const CControlUI&) = delete;

    // Leaves the manager's mouse-leave listeners, then destroys the control.
    virtual void Delete();
    virtual ~CControlUI();

    virtual CUIString GetName() const;
    virtual void SetName(const wchar_t* name);
    virtual const wchar_t* GetClass() const;
    virtual void* GetInterface(const wchar_t* name);
    virtual UINT GetControlFlags() const;
    virtual HWND GetNativeWindow() const;
    virtual bool Activate();
    virtual CUIManager* GetManager() const;
    virtual void SetManager(CUIManager* manager, CControlUI* parent, bool init = true);
    virtual CControlUI* GetParent() const;
    virtual CControlUI* GetCover() const;
    virtual void SetCover(CControlUI* cover);
    virtual CUIString GetText() const;
    virtual void SetText(const wchar_t* text);

    virtual const RECT& GetPos() const;
    virtual RECT GetRelativePos() const;
    virtual RECT GetClientPos() const;
    virtual void SetPos(RECT rc, bool invalidate = true);
    virtual void Move(int dx, int dy, bool invalidate = true);
    virtual int GetWidth() const;
    virtual int GetHeight() const;
    virtual int GetX() const;
    virtual int GetY() const;
    virtual RECT GetPadding() const;
    virtual void SetPadding(RECT padding);
    virtual SIZE GetFixedXY() const;
    virtual void SetFixedXY(SIZE xy);
    virtual TPercentInfo GetFloatPercent() const;
    virtual void SetFloatPercent(TPercentInfo percent);
    virtual int GetFixedWidth() const;
    virtual void SetFixedWidth(int cx);
    virtual int GetFixedHeight() const;
    virtual void SetFixedHeight(int cy);
    virtual int GetMinWidth() const;
    virtual void SetMinWidth(int cx);
    virtual int GetMaxWidth() const;
    virtual void SetMaxWidth(int cx);
    virtual int GetMinHeight() const;
    virtual void SetMinHeight(int cy);
    virtual int GetMaxHeight() const;
    virtual void SetMaxHeight(int cy);

    virtual CUIString GetToolTip() const;
    virtual void SetToolTip(const wchar_t* text);
    virtual void SetToolTipWidth(int width);
    virtual int GetToolTipWidth() const;
    virtual wchar_t GetShortcut() const;
    virtual void SetShortcut(wchar_t ch);
    virtual bool IsContextMenuUsed() const;
    virtual void SetContextMenuUsed(bool used);
    virtual const CUIString& GetUserData() const;
    virtual void SetUserData(const wchar_t* text);
    virtual UINT_PTR GetTag() const;
    virtual void SetTag(UINT_PTR tag);

    virtual bool IsVisible() const;
    virtual void SetVisible(bool visible = true);
    virtual void SetInternVisible(bool visible = true);
    virtual bool IsEnabled() const;
    virtual void SetEnabled(bool enabled = true);
    virtual bool IsMouseEnabled() const;
    virtual void SetMouseEnabled(bool enabled = true);
    virtual bool IsKeyboardEnabled() const;
    virtual void SetKeyboardEnabled(bool enabled = true);
    virtual bool IsFocused() const;
    virtual void SetFocus();
    virtual bool IsFloat() const;
    virtual void SetFloat(bool floating = true);

    virtual CControlUI* FindControl(FINDCONTROLPROC proc, LPVOID data, UINT flags);

    virtual void Init();
    virtual void DoInit();
    virtual void Event(TUIEvent& event);
    virtual void DoEvent(TUIEvent& event);

    virtual CUIString GetAttribute(const wchar_t* name);
    virtual void SetAttribute(const wchar_t* name, const wchar_t* value);
    virtual CUIString GetAttributeList(bool ignoreDefault = true);
    virtual void ApplyAttributeList(const wchar_t* list);

    virtual SIZE EstimateSize(SIZE available);
    // The window's scale changed: measures cached in pixels are stale.
    virtual void ScaleChanged();

    // False when painting must stop because stop was reached.
    virtual bool Paint(HDC hDC, const RECT& rcPaint, CControlUI* stop);
    virtual bool DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* stop);
    virtual void PaintBkColor(HDC hDC);
    virtual void PaintBkImage(HDC hDC);
    virtual void PaintStatusImage(HDC hDC);
    virtual void PaintForeColor(HDC hDC);
    virtual void PaintText(HDC hDC);
    virtual void PaintBorder(HDC hDC);
    virtual void DoPostPaint(HDC hDC, const RECT& rcPaint);

    void Invalidate();
    bool IsUpdateNeeded() const;
    void NeedUpdate();
    void NeedParentUpdate();
    DWORD GetAdjustColor(DWORD color);
    bool DrawImage(HDC hDC, TImageSpec& spec);
    const RECT& GetPaintRect() const;

    CUIString GetVirtualWnd() const;
    void SetVirtualWnd(const wchar_t* name);
    void AddCustomAttribute(const wchar_t* name, const wchar_t* value);
    const wchar_t* GetCustomAttribute(const wchar_t* name) const;

    DWORD GetBkColor() const;
    void SetBkColor(DWORD color);
    DWORD GetBkColor2() const;
    void SetBkColor2(DWORD color);
    DWORD GetBkColor3() const;
    void SetBkColor3(DWORD color);
    DWORD GetForeColor() const;
    void SetForeColor(DWORD color);
    const CUIString& GetBkImage() const;
    void SetBkImage(const wchar_t* text);
    const CUIString& GetForeImage() const;
    void SetForeImage(const wchar_t* text);
    DWORD GetBorderColor() const;
    void SetBorderColor(DWORD color);
    DWORD GetFocusBorderColor() const;
    void SetFocusBorderColor(DWORD color);
    bool IsColorHSL() const;
    void SetColorHSL(bool adjust);
    RECT GetBorderSize() const;
    void SetBorderSize(RECT size);
    void SetBorderSize(int size);
    int GetBorderStyle() const;
    void SetBorderStyle(int style);
    SIZE GetBorderRound() const;
    void SetBorderRound(SIZE round);

    // What a screen reader is told about the control. Role 0 keeps it out
    // of the window's accessible children; the layout's "accrole" overrides
    // the class's own role. The name is the text, else "accname", else the
    // text of the control named by "accnamefrom", else the tooltip.
    DWORD GetAccessibleRole() const;
    void SetAccessibleRole(DWORD role);
    virtual CUIString GetAccessibleName() const;
    void SetAccessibleName(const wchar_t* name);
    void SetAccessibleNameFrom(const wchar_t* controlName);
    virtual CUIString GetAccessibleValue() const;
    // Tells listening screen readers when the value differs from the last one.
    void SetAccessibleValue(const wchar_t* value);
    virtual DWORD GetAccessibleState() const;
    virtual CUIString GetAccessibleDefaultAction() const;
    // Starts the default action; false when the control has none or cannot
    // take it now.
    virtual bool DoAccessibleDefaultAction();

    CDelegateList& OnInit() { return onInit_; }
    CDelegateList& OnDestroy() { return onDestroy_; }
    CDelegateList& OnSize() { return onSize_; }
    CDelegateList& OnEvent() { return onEvent_; }
    CDelegateList& OnNotify() { return onNotify_; }
    CDelegateList& OnPaint() { return onPaint_; }
    CDelegateList& OnPostPaint() { return onPostPaint_; }

protected:
    // Layout units to pixels at the window's scale (unscaled without a manager).
    int Scaled(int layout) const;
    RECT Scaled(const RECT& layout) const;
    // The layout value to keep for a measure handed over in pixels: the
    // current one when it gives those pixels, else the nearest.
    int LayoutValueFor(int current, int pixels) const;
    // Hands the union of two rectangles, cut by every ancestor, to the
    // manager; false when an ancestor is hidden or the cut is empty.
    bool InvalidateUnion(const RECT& rcOld, const RECT& rcNew);
    void PlaceCover(const RECT& rc);
    void ReleaseFocusOnHide();
    // False when the text and its loaded image are already there.
    bool SetImageText(TImageSpec& spec, const wchar_t* text);
    void SetPosAttribute(const wchar_t* value);
    void SetBorderSizeAttribute(const wchar_t* value);
    void SetFloatAttribute(const wchar_t* value);
    bool ApplyAccessibleAttribute(const wchar_t* name, const wchar_t* value);
    // The accessible name from "accname", "accnamefrom" or the tooltip.
    CUIString NameWithoutText() const;
    // The role of the class when the layout gives none.
    virtual DWORD ClassAccessibleRole() const;
    bool IsEnabledWithAncestors() const;

    CDelegateList onInit_;
    CDelegateList onDestroy_;
    CDelegateList onSize_;
    CDelegateList onEvent_;
    CDelegateList onNotify_;
    CDelegateList onPaint_;
    CDelegateList onPostPaint_;

    CUIManager* manager_ = nullptr;
    CControlUI* parent_ = nullptr;
    CControlUI* cover_ = nullptr;
    CUIString virtualWnd_;
    CUIString name_;
    bool updateNeeded_ = true;
    bool menuUsed_ = false;
    RECT pos_ = {0, 0, 0, 0};
    RECT padding_ = {0, 0, 0, 0};
    SIZE fixedXY_ = {0, 0};
    int fixedWidth_ = 0;
    int fixedHeight_ = 0;
    int minWidth_ = 0;
    int minHeight_ = 0;
    int maxWidth_ = 9999;
    int maxHeight_ = 9999;
    bool visible_ = true;
    bool internVisible_ = true;
    bool enabled_ = true;
    bool mouseEnabled_ = true;
    bool keyboardEnabled_ = true;
    bool focused_ = false;
    bool floating_ = false;
    TPercentInfo floatPercent_;
    bool settingPos_ = false;
    CUIString text_;
    CUIString toolTip_;
    wchar_t shortcut_ = 0;
    CUIString userData_;
    UINT_PTR tag_ = 0;
    DWORD bkColor_ = 0;
    DWORD bkColor2_ = 0;
    DWORD bkColor3_ = 0;
    DWORD foreColor_ = 0;
    TImageSpec bkImage_;
    TImageSpec foreImage_;
    DWORD borderColor_ = 0;
    DWORD focusBorderColor_ = 0;
    bool colorHSL_ = false;
    int borderStyle_ = PS_SOLID;
    int toolTipWidth_ = 300;
    SIZE borderRound_ = {0, 0};
    RECT paintRect_ = {0, 0, 0, 0};
    RECT borderSize_ = {0, 0, 0, 0};
    CUIStringMapOf<CUIString> customAttributes_;
    DWORD accRole_ = 0;
    CUIString accName_;
    CUIString accNameFrom_;
    CUIString accValue_;
};

// The child list operations of a container, which a control answers to the
// interface query "IContainer".
class IContainerUI {
public:
    virtual CControlUI* GetItemAt(int index) const = 0;
    virtual int GetItemIndex(CControlUI* control) const = 0;
    virtual bool SetItemIndex(CControlUI* control, int index) = 0;
    virtual bool SetMultiItemIndex(CControlUI* startControl, int count, int newStartIndex) = 0;
    virtual int GetCount() const = 0;
    virtual bool Add(CControlUI* control) = 0;
    virtual bool AddAt(CControlUI* control, int index) = 0;
    virtual bool Remove(CControlUI* control, bool doNotDestroy = false) = 0;
    virtual bool RemoveAt(int index, bool doNotDestroy = false) = 0;
    virtual void RemoveAll() = 0;

protected:
    ~IContainerUI() = default;
};

// A new control of the framework's class that a layout element name
// stands for (names in any case); null for any other name.
CControlUI* CreateControlOfClass(const wchar_t* name);

} // namespace SkinUI
