#include "ui/core/notify_queue.h"

namespace SkinUI {

CNotifyQueue::~CNotifyQueue()
{
    Clear();
}

bool CNotifyQueue::Add(const TUINotify& msg, bool allowRepeat)
{
    if (!allowRepeat) {
        for (int i = 0; i < queued_.GetSize(); ++i) {
            TUINotify* queued = queued_[i];
            if (queued->pSender != msg.pSender || queued->sType != msg.sType)
                continue;
            queued->sVirtualWnd = msg.sVirtualWnd;
            queued->wParam = msg.wParam;
            queued->lParam = msg.lParam;
            queued->ptMouse = msg.ptMouse;
            queued->dwTimestamp = msg.dwTimestamp;
            return false;
        }
    }
    queued_.Add(new TUINotify(msg));
    return true;
}

std::unique_ptr<TUINotify> CNotifyQueue::TakeFirst()
{
    if (queued_.IsEmpty())
        return nullptr;
    std::unique_ptr<TUINotify> msg(queued_[0]);
    queued_.Remove(0);
    return msg;
}

void CNotifyQueue::Forget(CControlUI* control)
{
    for (int i = queued_.GetSize() - 1; i >= 0; --i) {
        TUINotify* msg = queued_[i];
        if (msg->pSender != control)
            continue;
        queued_.Remove(i);
        delete msg;
    }
}

void CNotifyQueue::Clear()
{
    queued_.DeleteAll();
}

} // namespace SkinUI
