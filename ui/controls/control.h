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
// layout builder configures it with.
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

    CDelegateList& OnInit() { return m_OnInit; }
    CDelegateList& OnDestroy() { return m_OnDestroy; }
    CDelegateList& OnSize() { return m_OnSize; }
    CDelegateList& OnEvent() { return m_OnEvent; }
    CDelegateList& OnNotify() { return m_OnNotify; }
    CDelegateList& OnPaint() { return m_OnPaint; }
    CDelegateList& OnPostPaint() { return m_OnPostPaint; }

protected:
    // Hands the union of two rectangles, cut by every ancestor, to the
    // manager; false when an ancestor is hidden or the cut is empty.
    bool InvalidateUnion(const RECT& rcOld, const RECT& rcNew);
    void PlaceCover(const RECT& rc);
    void ReleaseFocusOnHide();
    // False when the text and its loaded image are already there.
    bool SetImageText(TImageSpec& spec, const wchar_t* text);

    CDelegateList m_OnInit;
    CDelegateList m_OnDestroy;
    CDelegateList m_OnSize;
    CDelegateList m_OnEvent;
    CDelegateList m_OnNotify;
    CDelegateList m_OnPaint;
    CDelegateList m_OnPostPaint;

    CUIManager* m_pManager = nullptr;
    CControlUI* m_pParent = nullptr;
    CControlUI* m_pCover = nullptr;
    CUIString m_sVirtualWnd;
    CUIString m_sName;
    bool m_bUpdateNeeded = true;
    bool m_bMenuUsed = false;
    RECT m_rcItem = {0, 0, 0, 0};
    RECT m_rcPadding = {0, 0, 0, 0};
    SIZE m_cXY = {0, 0};
    int m_cxFixed = 0;
    int m_cyFixed = 0;
    int m_cxMin = 0;
    int m_cyMin = 0;
    int m_cxMax = 9999;
    int m_cyMax = 9999;
    bool m_bVisible = true;
    bool m_bInternVisible = true;
    bool m_bEnabled = true;
    bool m_bMouseEnabled = true;
    bool m_bKeyboardEnabled = true;
    bool m_bFocused = false;
    bool m_bFloat = false;
    TPercentInfo m_piFloatPercent;
    bool m_bSetPos = false;
    CUIString m_sText;
    CUIString m_sToolTip;
    wchar_t m_chShortcut = 0;
    CUIString m_sUserData;
    UINT_PTR m_pTag = 0;
    DWORD m_dwBackColor = 0;
    DWORD m_dwBackColor2 = 0;
    DWORD m_dwBackColor3 = 0;
    DWORD m_dwForeColor = 0;
    TImageSpec m_diBk;
    TImageSpec m_diFore;
    DWORD m_dwBorderColor = 0;
    DWORD m_dwFocusBorderColor = 0;
    bool m_bColorHSL = false;
    int m_nBorderStyle = PS_SOLID;
    int m_nTooltipWidth = 300;
    SIZE m_cxyBorderRound = {0, 0};
    RECT m_rcPaint = {0, 0, 0, 0};
    RECT m_rcBorderSize = {0, 0, 0, 0};
    CUIStringMap m_mCustomAttrHash;
};

} // namespace SkinUI
