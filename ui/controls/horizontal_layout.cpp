#include "ui/controls/horizontal_layout.h"

#include <string.h>

namespace SkinUI {

CHorizontalLayoutUI::CHorizontalLayoutUI() : CLinearLayoutUI(false, L"sepwidth") {}

const wchar_t* CHorizontalLayoutUI::GetClass() const
{
    return L"HorizontalLayout";
}

void* CHorizontalLayoutUI::GetInterface(const wchar_t* name)
{
    if (wcscmp(name, L"HorizontalLayout") == 0)
        return this;
    return CContainerUI::GetInterface(name);
}

} // namespace SkinUI
