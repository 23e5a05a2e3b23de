#include "ui/controls/button.h"
#include "ui/controls/container.h"
#include "ui/controls/control.h"
#include "ui/controls/horizontal_layout.h"
#include "ui/controls/label.h"
#include "ui/controls/rich_edit.h"
#include "ui/controls/scroll_bar.h"
#include "ui/controls/vertical_layout.h"

#include <wchar.h>

#include <new>

namespace SkinUI {

namespace {

template <typename T>
CControlUI* Make()
{
    return new (std::nothrow) T;
}

struct TClassEntry {
    const wchar_t* name;
    CControlUI* (*create)();
};

// The classes this framework has; other names go to the factories and the
// callback.
const TClassEntry kClassTable[] = {
    {L"Control", &Make<CControlUI>},
    {L"Container", &Make<CContainerUI>},
    {L"VerticalLayout", &Make<CVerticalLayoutUI>},
    {L"VBox", &Make<CVerticalLayoutUI>},
    {L"HorizontalLayout", &Make<CHorizontalLayoutUI>},
    {L"HBox", &Make<CHorizontalLayoutUI>},
    {L"Label", &Make<CLabelUI>},
    {L"Button", &Make<CButtonUI>},
    {L"RichEdit", &Make<CRichEditUI>},
    {L"ScrollBar", &Make<CScrollBarUI>},
};

} // namespace

CControlUI* CreateControlOfClass(const wchar_t* name)
{
    size_t length = wcslen(name);
    for (const TClassEntry& entry : kClassTable) {
        if (wcslen(entry.name) == length && _wcsicmp(entry.name, name) == 0)
            return entry.create();
    }
    return nullptr;
}

} // namespace SkinUI
