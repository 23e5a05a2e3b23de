#include "ui/controls/vertical_layout.h"

#include <string.h>

namespace SkinUI {

CVerticalLayoutUI::CVerticalLayoutUI() : CLinearLayoutUI(true, L"sepheight") {}

const wchar_t* CVerticalLayoutUI::GetClass() const
{
    return L"VerticalLayout";
}

void* CVerticalLayoutUI::GetInterface(const wchar_t* name)
{
    if (wcscmp(name, L"VerticalLayout") == 0)
        return this;
    return CContainerUI::GetInterface(name);
}

} // namespace SkinUI
