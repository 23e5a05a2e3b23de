#include "ui/core/notify_pump.h"

#include "ui/controls/control.h"

#include <wchar.h>

namespace SkinUI {

namespace {

// The entry a table picks: one naming the sender wins at once, else the
// last entry for any sender.
const TNotifyMapEntry* PickEntry(const TNotifyMapEntry* entries, const TUINotify& msg)
{
    CUIString sender = msg.pSender ? msg.pSender->GetName() : CUIString();
    const TNotifyMapEntry* anySender = nullptr;
    for (const TNotifyMapEntry* entry = entries; entry->signature != kNotifyTableEnd; ++entry) {
        if (msg.sType != entry->type)
            continue;
        if (entry->controlName && *entry->controlName) {
            if (sender == entry->controlName)
                return entry;
        } else {
            anySender = entry;
        }
    }
    return anySender;
}

} // namespace

const TNotifyMapEntry CNotifyPump::kNotifyEntries[] = {
    {nullptr, nullptr, kNotifyTableEnd, nullptr, nullptr},
};

const TNotifyMap CNotifyPump::kNotifyMap = {nullptr, kNotifyEntries};

bool CNotifyPump::AddVirtualWnd(const wchar_t* name, CNotifyPump* pump)
{
    if (!name || !*name || !pump)
        return false;
    return virtualWindows_.Insert(name, pump);
}

bool CNotifyPump::RemoveVirtualWnd(const wchar_t* name)
{
    return name && virtualWindows_.Remove(name);
}

bool CNotifyPump::DispatchNotify(TUINotify& msg)
{
    if (!msg.sVirtualWnd.IsEmpty()) {
        // Names that differ only in case are kept apart: each pump the name
        // matches is asked in turn until one handles the notification.
        auto handles = [&msg](const wchar_t* name, CNotifyPump* pump) {
            return msg.sVirtualWnd.CompareNoCase(name) == 0 && pump && pump->DispatchToTables(msg);
        };
        if (virtualWindows_.FindFirst(handles))
            return true;
    }
    return DispatchToTables(msg);
}

const TNotifyMap* CNotifyPump::MessageMap() const
{
    return &kNotifyMap;
}

bool CNotifyPump::DispatchToTables(TUINotify& msg)
{
    for (const TNotifyMap* map = MessageMap(); map; map = map->base) {
        const TNotifyMapEntry* entry = PickEntry(map->entries, msg);
        if (!entry)
            continue;
        if (entry->signature == kNotifyWithParams && entry->withParams)
            (this->*entry->withParams)(msg.wParam, msg.lParam);
        else if (entry->signature == kNotifyWithRecord && entry->withRecord)
            (this->*entry->withRecord)(msg);
        return true;
    }
    return false;
}

} // namespace SkinUI
