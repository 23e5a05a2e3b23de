#include "ui/core/option_groups.h"

namespace SkinUI {

COptionGroups::~COptionGroups()
{
    RemoveAll();
}

bool COptionGroups::Add(const wchar_t* group, CControlUI* control)
{
    if (!group || !*group || !control)
        return false;
    CUIPtrArrayOf<CControlUI>* members = groups_.Find(group);
    if (!members) {
        members = new CUIPtrArrayOf<CControlUI>(6);
        groups_.Insert(group, members);
    }
    if (members->Find(control) >= 0)
        return false;
    return members->Add(control);
}

CUIPtrArrayOf<CControlUI>* COptionGroups::Find(const wchar_t* group) const
{
    return group ? groups_.Find(group) : nullptr;
}

void COptionGroups::Remove(const wchar_t* group, CControlUI* control)
{
    CUIPtrArrayOf<CControlUI>* members = Find(group);
    if (!members)
        return;
    int index = members->Find(control);
    if (index >= 0)
        members->Remove(index);
    if (!members->IsEmpty())
        return;
    groups_.Remove(group);
    delete members;
}

void COptionGroups::Forget(CControlUI* control)
{
    groups_.ForEach([control](const wchar_t*, CUIPtrArrayOf<CControlUI>* members) {
        int index = members ? members->Find(control) : -1;
        if (index >= 0)
            members->Remove(index);
    });
}

void COptionGroups::RemoveAll()
{
    groups_.DeleteAll();
}

} // namespace SkinUI
