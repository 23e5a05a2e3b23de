#include "ui/controls/control.h"

#include "ui/core/accessible_children.h"
#include "ui/core/attribute_table.h"
#include "ui/core/ui_manager.h"

#include <oleacc.h>

#include <wchar.h>

namespace SkinUI {

namespace {

// The layout's words for roles; "none" hides a control from screen readers.
const DWORD kHiddenRole = 0xFFFFFFFF;

const struct {
    const wchar_t* word;
    DWORD role;
} kRoleWords[] = {
    {L"none", kHiddenRole},
    {L"statictext", ROLE_SYSTEM_STATICTEXT},
    {L"pushbutton", ROLE_SYSTEM_PUSHBUTTON},
    {L"text", ROLE_SYSTEM_TEXT},
    {L"progressbar", ROLE_SYSTEM_PROGRESSBAR},
    {L"graphic", ROLE_SYSTEM_GRAPHIC},
};

DWORD RoleForWord(const wchar_t* word)
{
    for (const auto& row : kRoleWords) {
        if (_wcsicmp(word, row.word) == 0)
            return row.role;
    }
    return 0;
}

} // namespace

bool CControlUI::ApplyAccessibleAttribute(const wchar_t* name, const wchar_t* value)
{
    using TRow = TAttributeRow<CControlUI>;
    static const TRow kAttributes[] = {
        {L"accname", [](CControlUI& c, const wchar_t* v) { c.SetAccessibleName(v); }},
        {L"accnamefrom", [](CControlUI& c, const wchar_t* v) { c.SetAccessibleNameFrom(v); }},
        {L"accrole", [](CControlUI& c, const wchar_t* v) { c.SetAccessibleRole(RoleForWord(v)); }},
        {L"accvalue", [](CControlUI& c, const wchar_t* v) { c.SetAccessibleValue(v); }},
    };
    return ApplyAttributeRow(kAttributes, *this, name, value);
}

DWORD CControlUI::GetAccessibleRole() const
{
    if (accRole_ == kHiddenRole)
        return 0;
    return accRole_ ? accRole_ : ClassAccessibleRole();
}

void CControlUI::SetAccessibleRole(DWORD role)
{
    accRole_ = role;
}

DWORD CControlUI::ClassAccessibleRole() const
{
    return 0;
}

CUIString CControlUI::GetAccessibleName() const
{
    CUIString text = GetText();
    return text.IsEmpty() ? NameWithoutText() : text;
}

CUIString CControlUI::NameWithoutText() const
{
    if (!accName_.IsEmpty())
        return accName_;
    const CControlUI* source = manager_ && !accNameFrom_.IsEmpty() ? manager_->FindControlByName(accNameFrom_) : nullptr;
    // A source that names itself from this control would not end.
    if (source && source != this && source->accNameFrom_.IsEmpty())
        return source->GetAccessibleName();
    return GetToolTip();
}

void CControlUI::SetAccessibleName(const wchar_t* name)
{
    if (accName_ == (name ? name : L""))
        return;
    accName_ = name;
    RaiseAccessibleEvent(EVENT_OBJECT_NAMECHANGE, this);
}

void CControlUI::SetAccessibleNameFrom(const wchar_t* controlName)
{
    accNameFrom_ = controlName;
}

CUIString CControlUI::GetAccessibleValue() const
{
    return accValue_;
}

void CControlUI::SetAccessibleValue(const wchar_t* value)
{
    if (accValue_ == (value ? value : L""))
        return;
    accValue_ = value;
    RaiseAccessibleEvent(EVENT_OBJECT_VALUECHANGE, this);
}

bool CControlUI::IsEnabledWithAncestors() const
{
    for (const CControlUI* control = this; control; control = control->GetParent()) {
        if (!control->IsEnabled())
            return false;
    }
    return true;
}

DWORD CControlUI::GetAccessibleState() const
{
    DWORD state = 0;
    const bool enabled = IsEnabledWithAncestors();
    if (!enabled)
        state |= STATE_SYSTEM_UNAVAILABLE;
    if (enabled && (GetControlFlags() & UIFLAG_TABSTOP))
        state |= STATE_SYSTEM_FOCUSABLE;
    if (manager_ && manager_->GetFocus() == this)
        state |= STATE_SYSTEM_FOCUSED;
    // Shown, but with no area to be seen in (a bar at 0%).
    if (!IsVisible() || ::IsRectEmpty(&pos_))
        state |= STATE_SYSTEM_INVISIBLE;
    return state;
}

CUIString CControlUI::GetAccessibleDefaultAction() const
{
    return CUIString();
}

bool CControlUI::DoAccessibleDefaultAction()
{
    return false;
}

} // namespace SkinUI
