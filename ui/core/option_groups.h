#pragma once

#include "ui/core/ptr_array.h"
#include "ui/core/string_map.h"

namespace SkinUI {

class CControlUI;

// The window's option groups: members by group name, in the order they
// joined. An emptied group goes.
class COptionGroups {
public:
    COptionGroups() = default;
    ~COptionGroups();
    COptionGroups(const COptionGroups&) = delete;
    COptionGroups& operator=(const COptionGroups&) = delete;

    // False for a nameless group, no control, or a control already in it.
    bool Add(const wchar_t* group, CControlUI* control);
    CUIPtrArrayOf<CControlUI>* Find(const wchar_t* group) const;
    void Remove(const wchar_t* group, CControlUI* control);
    // Takes the control out of every group; a group it empties stays.
    void Forget(CControlUI* control);
    void RemoveAll();

private:
    CUIStringMapOf<CUIPtrArrayOf<CControlUI>> groups_;
};

} // namespace SkinUI
