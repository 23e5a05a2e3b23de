#pragma once

#include "ui/core/ptr_array.h"
#include "ui/core/ui_events.h"

#include <memory>

namespace SkinUI {

class CControlUI;

// Notifications waiting for the window's next asynchronous pass, oldest
// first. The queue owns them until they are taken for delivery.
class CNotifyQueue {
public:
    CNotifyQueue() = default;
    ~CNotifyQueue();
    CNotifyQueue(const CNotifyQueue&) = delete;
    CNotifyQueue& operator=(const CNotifyQueue&) = delete;

    // Unless repeats are allowed, a notification of the same type from the
    // same sender already waiting takes the new values instead. True when
    // the notification was added, so a pass must be asked for.
    bool Add(const TUINotify& msg, bool allowRepeat);
    std::unique_ptr<TUINotify> TakeFirst();
    // Drops the control's notifications: listeners read their sender.
    void Forget(CControlUI* control);
    void Clear();

private:
    CUIPtrArrayOf<TUINotify> queued_;
};

} // namespace SkinUI
