#include "ui/controls/control.h"

#include "ui/controls/attribute_value.h"
#include "ui/core/attribute_table.h"
#include "ui/core/ui_manager.h"

#include <wchar.h>

namespace SkinUI {

CControlUI::CControlUI() = default;

CControlUI::~CControlUI()
{
    if (cover_) {
        cover_->Delete();
        cover_ = nullptr;
    }
    customAttributes_.DeleteAll();
    onDestroy_(this);
    if (manager_)
        manager_->ForgetControl(this);
}

void CControlUI::Delete()
{
    if (manager_)
        manager_->RemoveMouseLeaveNeeded(this);
    delete this;
}

CUIString CControlUI::GetName() const
{
    return name_;
}

void CControlUI::SetName(const wchar_t* name)
{
    if (name_ == (name ? name : L""))
        return;
    CUIString old = name_;
    name_ = name;
    if (manager_)
        manager_->RenameControl(this, old, name_);
}

const wchar_t* CControlUI::GetClass() const
{
    return L"Control";
}

void* CControlUI::GetInterface(const wchar_t* name)
{
    return name && wcscmp(name, L"Control") == 0 ? this : nullptr;
}

UINT CControlUI::GetControlFlags() const
{
    return 0;
}

HWND CControlUI::GetNativeWindow() const
{
    return nullptr;
}

bool CControlUI::Activate()
{
    return IsVisible() && IsEnabled();
}

CUIManager* CControlUI::GetManager() const
{
    return manager_;
}

void CControlUI::SetManager(CUIManager* manager, CControlUI* parent, bool init)
{
    if (cover_)
        cover_->SetManager(manager, this, init);
    manager_ = manager;
    parent_ = parent;
    if (init && parent_)
        Init();
}

CControlUI* CControlUI::GetParent() const
{
    return parent_;
}

CControlUI* CControlUI::GetCover() const
{
    return cover_;
}

void CControlUI::SetCover(CControlUI* cover)
{
    if (cover == cover_)
        return;
    if (cover_)
        cover_->Delete();
    cover_ = cover;
    if (!cover_)
        return;
    if (manager_)
        manager_->BindControls(cover_, this);
    else
        cover_->SetManager(nullptr, this, false);
    if (IsVisible())
        NeedUpdate();
    else
        cover_->SetInternVisible(false);
}

CUIString CControlUI::GetText() const
{
    return text_;
}

void CControlUI::SetText(const wchar_t* text)
{
    if (text_ == (text ? text : L""))
        return;
    text_ = text;
    Invalidate();
}

CUIString CControlUI::GetToolTip() const
{
    return toolTip_;
}

void CControlUI::SetToolTip(const wchar_t* text)
{
    toolTip_ = text;
    toolTip_.Replace(L"<n>", L"\r\n");
}

void CControlUI::SetToolTipWidth(int width)
{
    toolTipWidth_ = width;
}

int CControlUI::GetToolTipWidth() const
{
    return Scaled(toolTipWidth_);
}

wchar_t CControlUI::GetShortcut() const
{
    return shortcut_;
}

void CControlUI::SetShortcut(wchar_t ch)
{
    shortcut_ = ch;
}

bool CControlUI::IsContextMenuUsed() const
{
    return menuUsed_;
}

void CControlUI::SetContextMenuUsed(bool used)
{
    menuUsed_ = used;
}

const CUIString& CControlUI::GetUserData() const
{
    return userData_;
}

void CControlUI::SetUserData(const wchar_t* text)
{
    userData_ = text;
}

UINT_PTR CControlUI::GetTag() const
{
    return tag_;
}

void CControlUI::SetTag(UINT_PTR tag)
{
    tag_ = tag;
}

CUIString CControlUI::GetVirtualWnd() const
{
    if (!virtualWnd_.IsEmpty())
        return virtualWnd_;
    return parent_ ? parent_->GetVirtualWnd() : CUIString();
}

void CControlUI::SetVirtualWnd(const wchar_t* name)
{
    virtualWnd_ = name;
    if (manager_)
        manager_->UsedVirtualWnd(true);
}

void CControlUI::AddCustomAttribute(const wchar_t* name, const wchar_t* value)
{
    if (!name || !*name || !value || !*value || customAttributes_.Find(name))
        return;
    CUIString* stored = new CUIString(value);
    if (!customAttributes_.Insert(name, stored))
        delete stored;
}

const wchar_t* CControlUI::GetCustomAttribute(const wchar_t* name) const
{
    const CUIString* value = name ? customAttributes_.Find(name) : nullptr;
    return value ? value->GetData() : nullptr;
}

CUIString CControlUI::GetAttribute(const wchar_t* name)
{
    return CUIString();
}

CUIString CControlUI::GetAttributeList(bool ignoreDefault)
{
    return CUIString();
}

namespace {

bool Contains(const wchar_t* text, wchar_t ch)
{
    return wcschr(text, ch) != nullptr;
}

} // namespace

void CControlUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    using TRow = TAttributeRow<CControlUI>;
    static const TRow kAttributes[] = {
        {L"pos", [](CControlUI& c, const wchar_t* v) { c.SetPosAttribute(v); }},
        {L"padding", [](CControlUI& c, const wchar_t* v) { c.SetPadding(ParseRectValue(v)); }},
        // Two names for the first background colour.
        {L"bkcolor", [](CControlUI& c, const wchar_t* v) { c.SetBkColor(ParseColorValue(v, true)); }},
        {L"bkcolor1", [](CControlUI& c, const wchar_t* v) { c.SetBkColor(ParseColorValue(v, true)); }},
        {L"bkcolor2", [](CControlUI& c, const wchar_t* v) { c.SetBkColor2(ParseColorValue(v, true)); }},
        {L"bkcolor3", [](CControlUI& c, const wchar_t* v) { c.SetBkColor3(ParseColorValue(v, true)); }},
        // The one name matched in any case.
        {L"forecolor", [](CControlUI& c, const wchar_t* v) { c.SetForeColor(ParseColorValue(v, true)); },
            TRow::kAnyCase},
        // Border colours take no blanks before the "#".
        {L"bordercolor", [](CControlUI& c, const wchar_t* v) { c.SetBorderColor(ParseColorValue(v)); }},
        {L"focusbordercolor", [](CControlUI& c, const wchar_t* v) { c.SetFocusBorderColor(ParseColorValue(v)); }},
        {L"colorhsl", [](CControlUI& c, const wchar_t* v) { c.SetColorHSL(ParseBoolValue(v)); }},
        {L"bordersize", [](CControlUI& c, const wchar_t* v) { c.SetBorderSizeAttribute(v); }},
        {L"borderstyle", [](CControlUI& c, const wchar_t* v) { c.SetBorderStyle(ParseIntValue(v)); }},
        {L"borderround", [](CControlUI& c, const wchar_t* v) { c.SetBorderRound(ParseSizeValue(v)); }},
        {L"bkimage", [](CControlUI& c, const wchar_t* v) { c.SetBkImage(v); }},
        {L"width", [](CControlUI& c, const wchar_t* v) { c.SetFixedWidth(ParseIntValue(v)); }},
        {L"height", [](CControlUI& c, const wchar_t* v) { c.SetFixedHeight(ParseIntValue(v)); }},
        {L"minwidth", [](CControlUI& c, const wchar_t* v) { c.SetMinWidth(ParseIntValue(v)); }},
        {L"minheight", [](CControlUI& c, const wchar_t* v) { c.SetMinHeight(ParseIntValue(v)); }},
        {L"maxwidth", [](CControlUI& c, const wchar_t* v) { c.SetMaxWidth(ParseIntValue(v)); }},
        {L"maxheight", [](CControlUI& c, const wchar_t* v) { c.SetMaxHeight(ParseIntValue(v)); }},
        {L"name", [](CControlUI& c, const wchar_t* v) { c.SetName(v); }},
        {L"text", [](CControlUI& c, const wchar_t* v) { c.SetText(v); }},
        {L"tooltip", [](CControlUI& c, const wchar_t* v) { c.SetToolTip(v); }},
        {L"userdata", [](CControlUI& c, const wchar_t* v) { c.SetUserData(v); }},
        {L"tag", [](CControlUI& c, const wchar_t* v) { c.SetTag(static_cast<UINT_PTR>(ParseIntValue(v))); }},
        {L"enabled", [](CControlUI& c, const wchar_t* v) { c.SetEnabled(ParseBoolValue(v)); }},
        {L"mouse", [](CControlUI& c, const wchar_t* v) { c.SetMouseEnabled(ParseBoolValue(v)); }},
        {L"keyboard", [](CControlUI& c, const wchar_t* v) { c.SetKeyboardEnabled(ParseBoolValue(v)); }},
        {L"visible", [](CControlUI& c, const wchar_t* v) { c.SetVisible(ParseBoolValue(v)); }},
        {L"float", [](CControlUI& c, const wchar_t* v) { c.SetFloatAttribute(v); }},
        {L"shortcut", [](CControlUI& c, const wchar_t* v) { c.SetShortcut(v[0]); }},
        {L"menu", [](CControlUI& c, const wchar_t* v) { c.SetContextMenuUsed(ParseBoolValue(v)); }},
        {L"virtualwnd", [](CControlUI& c, const wchar_t* v) { c.SetVirtualWnd(v); }},
    };
    if (!name || !value || ApplyAccessibleAttribute(name, value))
        return;
    // A name no class knows is kept, for the application to read back.
    if (!ApplyAttributeRow(kAttributes, *this, name, value))
        AddCustomAttribute(name, value);
}

// "x,y" only places the control; "x,y,right,bottom" sizes it as well.
void CControlUI::SetPosAttribute(const wchar_t* value)
{
    long values[4];
    int count = ParseIntList(value, values, 4);
    SetFixedXY(SIZE{values[0], values[1]});
    if (count >= 3)
        SetFixedWidth(values[2] - values[0]);
    if (count >= 4)
        SetFixedHeight(values[3] - values[1]);
}

// One number for all four sides, or a rectangle.
void CControlUI::SetBorderSizeAttribute(const wchar_t* value)
{
    if (Contains(value, L','))
        SetBorderSize(ParseRectValue(value));
    else
        SetBorderSize(ClampCoordinate(ParseIntValue(value)));
}

// Percentages make the control float; a plain word switches floating.
void CControlUI::SetFloatAttribute(const wchar_t* value)
{
    if (!Contains(value, L',')) {
        SetFloat(ParseBoolValue(value));
        return;
    }
    double values[4];
    ParseDoubleList(value, values, 4);
    SetFloatPercent(TPercentInfo{values[0], values[1], values[2], values[3]});
    SetFloat(true);
}

void CControlUI::ApplyAttributeList(const wchar_t* list)
{
    const wchar_t* at = list;
    while (at && *at) {
        const wchar_t* equals = wcschr(at, L'=');
        if (!equals || equals[1] != L'"')
            return;
        const wchar_t* value = equals + 2;
        const wchar_t* close = wcschr(value, L'"');
        if (!close)
            return;
        SetAttribute(CUIString(at, static_cast<int>(equals - at)), CUIString(value, static_cast<int>(close - value)));
        // One blank separates pairs; anything else ends the list.
        if (close[1] != L' ')
            return;
        at = close + 2;
    }
}

SIZE CControlUI::EstimateSize(SIZE available)
{
    return SIZE{Scaled(fixedWidth_), Scaled(fixedHeight_)};
}

// Images choose their file for the new scale when they are drawn next.
void CControlUI::ScaleChanged()
{
}

void CControlUI::Init()
{
    DoInit();
    onInit_(this);
}

void CControlUI::DoInit()
{
}

void CControlUI::Event(TUIEvent& event)
{
    if (onEvent_(&event))
        DoEvent(event);
}

void CControlUI::DoEvent(TUIEvent& event)
{
    switch (event.Type) {
    case UIEVENT_SETCURSOR:
        ::SetCursor(::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW)));
        return;
    case UIEVENT_SETFOCUS:
    case UIEVENT_KILLFOCUS:
        focused_ = event.Type == UIEVENT_SETFOCUS;
        Invalidate();
        return;
    case UIEVENT_TIMER:
        if (manager_)
            manager_->EmitNotify(this, L"timer", event.wParam, event.lParam);
        return;
    case UIEVENT_CONTEXTMENU:
        if (IsContextMenuUsed()) {
            if (manager_)
                manager_->EmitNotify(this, L"menu", event.wParam, event.lParam);
            return;
        }
        break;
    default:
        break;
    }
    if (parent_)
        parent_->DoEvent(event);
}

} // namespace SkinUI
