#pragma once

#include "ui/core/string_map.h"
#include "ui/core/ui_events.h"

#include <windows.h>

namespace SkinUI {

class CNotifyPump;

enum NotifySignature {
    kNotifyTableEnd = 0,
    kNotifyWithParams = 1,
    kNotifyWithRecord = 2,
};

typedef void (CNotifyPump::*NotifyParamsHandler)(WPARAM wParam, LPARAM lParam);
typedef void (CNotifyPump::*NotifyRecordHandler)(TUINotify& msg);

// One row of a handler table: a notification type, a control name (empty
// for any sender) and the member it calls, with its signature kind.
struct TNotifyMapEntry {
    const wchar_t* type;
    const wchar_t* controlName;
    int signature;
    NotifyParamsHandler withParams;
    NotifyRecordHandler withRecord;
};

// A class's handler table, ended by a row of kind kNotifyTableEnd, linked
// to its base class's table.
struct TNotifyMap {
    const TNotifyMap* base;
    const TNotifyMapEntry* entries;
};

// Dispatches notifications to the handler tables of a class chain, after
// the pumps of virtual windows that the notification names.
class CNotifyPump {
public:
    CNotifyPump() = default;
    virtual ~CNotifyPump() = default;
    CNotifyPump(const CNotifyPump&) = delete;
    CNotifyPump& operator=(const CNotifyPump&) = delete;

    bool AddVirtualWnd(const wchar_t* name, CNotifyPump* pump);
    bool RemoveVirtualWnd(const wchar_t* name);
    // True when a handler took the notification.
    bool DispatchNotify(TUINotify& msg);

    // A derived class's member in a table row.
    template <typename Derived>
    static constexpr NotifyRecordHandler RecordHandler(void (Derived::*member)(TUINotify&))
    {
        return static_cast<NotifyRecordHandler>(member);
    }
    template <typename Derived>
    static constexpr NotifyParamsHandler ParamsHandler(void (Derived::*member)(WPARAM, LPARAM))
    {
        return static_cast<NotifyParamsHandler>(member);
    }

protected:
    // Each class in the chain names its own table and links its base's.
    static const TNotifyMapEntry kNotifyEntries[];
    static const TNotifyMap kNotifyMap;

    virtual const TNotifyMap* MessageMap() const;

private:
    bool DispatchToTables(TUINotify& msg);

    CUIStringMapOf<CNotifyPump> virtualWindows_;
};

} // namespace SkinUI
