#include "ui/controls/control.h"

#include "ui/controls/attribute_value.h"
#include "ui/core/ui_manager.h"

#include <wchar.h>

namespace SkinUI {

CControlUI::CControlUI() = default;

CControlUI::~CControlUI()
{
    if (m_pCover) {
        m_pCover->Delete();
        m_pCover = nullptr;
    }
    for (int i = 0; i < m_mCustomAttrHash.GetSize(); ++i)
        delete static_cast<CUIString*>(m_mCustomAttrHash.Find(m_mCustomAttrHash.GetAt(i)));
    m_mCustomAttrHash.RemoveAll();
    m_OnDestroy(this);
    if (m_pManager)
        m_pManager->ForgetControl(this);
}

void CControlUI::Delete()
{
    if (m_pManager)
        m_pManager->RemoveMouseLeaveNeeded(this);
    delete this;
}

CUIString CControlUI::GetName() const
{
    return m_sName;
}

void CControlUI::SetName(const wchar_t* name)
{
    if (m_sName == (name ? name : L""))
        return;
    CUIString old = m_sName;
    m_sName = name;
    if (m_pManager)
        m_pManager->RenameControl(this, old, m_sName);
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
    return m_pManager;
}

void CControlUI::SetManager(CUIManager* manager, CControlUI* parent, bool init)
{
    if (m_pCover)
        m_pCover->SetManager(manager, this, init);
    m_pManager = manager;
    m_pParent = parent;
    if (init && m_pParent)
        Init();
}

CControlUI* CControlUI::GetParent() const
{
    return m_pParent;
}

CControlUI* CControlUI::GetCover() const
{
    return m_pCover;
}

void CControlUI::SetCover(CControlUI* cover)
{
    if (cover == m_pCover)
        return;
    if (m_pCover)
        m_pCover->Delete();
    m_pCover = cover;
    if (!m_pCover)
        return;
    if (m_pManager)
        m_pManager->BindControls(m_pCover, this);
    else
        m_pCover->SetManager(nullptr, this, false);
    if (IsVisible())
        NeedUpdate();
    else
        m_pCover->SetInternVisible(false);
}

CUIString CControlUI::GetText() const
{
    return m_sText;
}

void CControlUI::SetText(const wchar_t* text)
{
    if (m_sText == (text ? text : L""))
        return;
    m_sText = text;
    Invalidate();
}

CUIString CControlUI::GetToolTip() const
{
    return m_sToolTip;
}

void CControlUI::SetToolTip(const wchar_t* text)
{
    m_sToolTip = text;
    m_sToolTip.Replace(L"<n>", L"\r\n");
}

void CControlUI::SetToolTipWidth(int width)
{
    m_nTooltipWidth = width;
}

int CControlUI::GetToolTipWidth() const
{
    return m_nTooltipWidth;
}

wchar_t CControlUI::GetShortcut() const
{
    return m_chShortcut;
}

void CControlUI::SetShortcut(wchar_t ch)
{
    m_chShortcut = ch;
}

bool CControlUI::IsContextMenuUsed() const
{
    return m_bMenuUsed;
}

void CControlUI::SetContextMenuUsed(bool used)
{
    m_bMenuUsed = used;
}

const CUIString& CControlUI::GetUserData() const
{
    return m_sUserData;
}

void CControlUI::SetUserData(const wchar_t* text)
{
    m_sUserData = text;
}

UINT_PTR CControlUI::GetTag() const
{
    return m_pTag;
}

void CControlUI::SetTag(UINT_PTR tag)
{
    m_pTag = tag;
}

CUIString CControlUI::GetVirtualWnd() const
{
    if (!m_sVirtualWnd.IsEmpty())
        return m_sVirtualWnd;
    return m_pParent ? m_pParent->GetVirtualWnd() : CUIString();
}

void CControlUI::SetVirtualWnd(const wchar_t* name)
{
    m_sVirtualWnd = name;
    if (m_pManager)
        m_pManager->UsedVirtualWnd(true);
}

void CControlUI::AddCustomAttribute(const wchar_t* name, const wchar_t* value)
{
    if (!name || !*name || !value || !*value || m_mCustomAttrHash.Find(name))
        return;
    CUIString* stored = new CUIString(value);
    if (!m_mCustomAttrHash.Insert(name, stored))
        delete stored;
}

const wchar_t* CControlUI::GetCustomAttribute(const wchar_t* name) const
{
    const CUIString* value = name ? static_cast<const CUIString*>(m_mCustomAttrHash.Find(name)) : nullptr;
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
    if (!name || !value)
        return;
    CUIString key(name);
    if (key == L"pos") {
        long values[4];
        int count = ParseIntList(value, values, 4);
        SetFixedXY(SIZE{values[0], values[1]});
        // A short list only places the control; width and height may follow.
        if (count >= 3)
            SetFixedWidth(values[2] - values[0]);
        if (count >= 4)
            SetFixedHeight(values[3] - values[1]);
    } else if (key == L"padding") {
        SetPadding(ParseRectValue(value));
    } else if (key == L"bkcolor" || key == L"bkcolor1") {
        SetBkColor(ParseColorValue(value, true));
    } else if (key == L"bkcolor2") {
        SetBkColor2(ParseColorValue(value, true));
    } else if (key == L"bkcolor3") {
        SetBkColor3(ParseColorValue(value, true));
    } else if (key.CompareNoCase(L"forecolor") == 0) {
        SetForeColor(ParseColorValue(value, true));
    } else if (key == L"bordercolor") {
        SetBorderColor(ParseColorValue(value));
    } else if (key == L"focusbordercolor") {
        SetFocusBorderColor(ParseColorValue(value));
    } else if (key == L"colorhsl") {
        SetColorHSL(ParseBoolValue(value));
    } else if (key == L"bordersize") {
        if (Contains(value, L','))
            SetBorderSize(ParseRectValue(value));
        else
            SetBorderSize(ClampCoordinate(ParseIntValue(value)));
    } else if (key == L"borderstyle") {
        SetBorderStyle(ParseIntValue(value));
    } else if (key == L"borderround") {
        SetBorderRound(ParseSizeValue(value));
    } else if (key == L"bkimage") {
        SetBkImage(value);
    } else if (key == L"width") {
        SetFixedWidth(ParseIntValue(value));
    } else if (key == L"height") {
        SetFixedHeight(ParseIntValue(value));
    } else if (key == L"minwidth") {
        SetMinWidth(ParseIntValue(value));
    } else if (key == L"minheight") {
        SetMinHeight(ParseIntValue(value));
    } else if (key == L"maxwidth") {
        SetMaxWidth(ParseIntValue(value));
    } else if (key == L"maxheight") {
        SetMaxHeight(ParseIntValue(value));
    } else if (key == L"name") {
        SetName(value);
    } else if (key == L"text") {
        SetText(value);
    } else if (key == L"tooltip") {
        SetToolTip(value);
    } else if (key == L"userdata") {
        SetUserData(value);
    } else if (key == L"tag") {
        SetTag(static_cast<UINT_PTR>(ParseIntValue(value)));
    } else if (key == L"enabled") {
        SetEnabled(ParseBoolValue(value));
    } else if (key == L"mouse") {
        SetMouseEnabled(ParseBoolValue(value));
    } else if (key == L"keyboard") {
        SetKeyboardEnabled(ParseBoolValue(value));
    } else if (key == L"visible") {
        SetVisible(ParseBoolValue(value));
    } else if (key == L"float") {
        if (Contains(value, L',')) {
            double values[4];
            ParseDoubleList(value, values, 4);
            TPercentInfo percent;
            percent.left = values[0];
            percent.top = values[1];
            percent.right = values[2];
            percent.bottom = values[3];
            SetFloatPercent(percent);
            SetFloat(true);
        } else {
            SetFloat(ParseBoolValue(value));
        }
    } else if (key == L"shortcut") {
        SetShortcut(value[0]);
    } else if (key == L"menu") {
        SetContextMenuUsed(ParseBoolValue(value));
    } else if (key == L"virtualwnd") {
        SetVirtualWnd(value);
    } else {
        AddCustomAttribute(name, value);
    }
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
    return SIZE{m_cxFixed, m_cyFixed};
}

void CControlUI::Init()
{
    DoInit();
    m_OnInit(this);
}

void CControlUI::DoInit()
{
}

void CControlUI::Event(TUIEvent& event)
{
    if (m_OnEvent(&event))
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
        m_bFocused = event.Type == UIEVENT_SETFOCUS;
        Invalidate();
        return;
    case UIEVENT_TIMER:
        if (m_pManager)
            m_pManager->EmitNotify(this, L"timer", event.wParam, event.lParam);
        return;
    case UIEVENT_CONTEXTMENU:
        if (IsContextMenuUsed()) {
            if (m_pManager)
                m_pManager->EmitNotify(this, L"menu", event.wParam, event.lParam);
            return;
        }
        break;
    default:
        break;
    }
    if (m_pParent)
        m_pParent->DoEvent(event);
}

} // namespace SkinUI
