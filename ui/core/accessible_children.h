#pragma once

#include <windows.h>

#include <vector>

namespace SkinUI {

class CControlUI;
class CUIManager;

// The controls of a window that a screen reader is shown as the window's
// children: the visible ones with a role, in the order of the tree, with
// the containers between them left out. Child id n names the n-th.
std::vector<CControlUI*> AccessibleChildren(const CUIManager& manager);
// 0 when the control is not one of the children now.
LONG AccessibleChildId(const CUIManager& manager, const CControlUI* control);
// Tells listening screen readers about a change of the control; nothing
// when its window does not exist or the control is not a child.
void RaiseAccessibleEvent(DWORD event, const CControlUI* control);

} // namespace SkinUI
