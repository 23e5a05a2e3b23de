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
    CUIPtrArray* members = static_cast<CUIPtrArray*>(groups_.Find(group));
    if (!members) {
        members = new CUIPtrArray(6);
        groups_.Insert(group, members);
    }
    if (members->Find(control) >= 0)
        return false;
    return members->Add(control);
}

CUIPtrArray* COptionGroups::Find(const wchar_t* group) const
{
    return group ? static_cast<CUIPtrArray*>(groups_.Find(group)) : nullptr;
}

void COptionGroups::Remove(const wchar_t* group, CControlUI* control)
{
    CUIPtrArray* members = Find(group);
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
    for (int i = 0; i < groups_.GetSize(); ++i) {
        CUIPtrArray* members = static_cast<CUIPtrArray*>(groups_.Find(groups_.GetAt(i)));
        int index = members ? members->Find(control) : -1;
        if (index >= 0)
            members->Remove(index);
    }
}

void COptionGroups::RemoveAll()
{
    for (int i = 0; i < groups_.GetSize(); ++i)
        delete static_cast<CUIPtrArray*>(groups_.Find(groups_.GetAt(i)));
    groups_.RemoveAll();
}

} // namespace SkinUI
