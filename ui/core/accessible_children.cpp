#include "ui/core/accessible_children.h"

#include "ui/controls/control.h"
#include "ui/core/ui_manager.h"

#include <algorithm>

namespace SkinUI {

namespace {

CControlUI* CALLBACK CollectWithRole(CControlUI* control, LPVOID data)
{
    if (control->GetAccessibleRole() != 0)
        static_cast<std::vector<CControlUI*>*>(data)->push_back(control);
    return nullptr;
}

} // namespace

std::vector<CControlUI*> AccessibleChildren(const CUIManager& manager)
{
    std::vector<CControlUI*> children;
    if (CControlUI* root = manager.GetRoot())
        root->FindControl(&CollectWithRole, &children, UIFIND_VISIBLE | UIFIND_ME_FIRST);
    return children;
}

LONG AccessibleChildId(const CUIManager& manager, const CControlUI* control)
{
    const std::vector<CControlUI*> children = AccessibleChildren(manager);
    auto found = std::find(children.begin(), children.end(), control);
    return found == children.end() ? 0 : static_cast<LONG>(found - children.begin()) + 1;
}

void RaiseAccessibleEvent(DWORD event, const CControlUI* control)
{
    const CUIManager* manager = control ? control->GetManager() : nullptr;
    HWND window = manager ? manager->GetPaintWindow() : nullptr;
    if (!window || !::IsWindow(window))
        return;
    if (LONG child = AccessibleChildId(*manager, control))
        ::NotifyWinEvent(event, window, OBJID_CLIENT, child);
}

} // namespace SkinUI
