#include "ui/core/ui_manager.h"

#include "ui/controls/control.h"

namespace SkinUI {

struct CUIManager::TTimerRecord {
    CControlUI* control;
    UINT id;
    HWND window;
    UINT nativeId;
    bool stopped;
};

namespace {

const UINT kNativeIdModulus = 255;

} // namespace

int CUIManager::FindTimer(CControlUI* control, UINT id) const
{
    for (int i = 0; i < timers_.GetSize(); ++i) {
        const TTimerRecord* record = timers_[i];
        if (record->control == control && record->window == window_ && record->id == id)
            return i;
    }
    return -1;
}

bool CUIManager::NativeIdInUse(UINT nativeId) const
{
    for (int i = 0; i < timers_.GetSize(); ++i) {
        const TTimerRecord* record = timers_[i];
        if (record->window == window_ && record->nativeId == nativeId)
            return true;
    }
    return false;
}

bool CUIManager::StartTimer(CControlUI* control, UINT id, UINT elapse)
{
    if (!window_ || !control)
        return false;
    int index = FindTimer(control, id);
    if (index >= 0) {
        TTimerRecord* record = timers_[index];
        if (!record->stopped)
            return false;
        if (!::SetTimer(window_, record->nativeId, elapse, nullptr))
            return false;
        record->stopped = false;
        return true;
    }
    // Stopped records keep their native ids, so after the counter wraps a
    // new timer must not take one of them: SetTimer would silently replace it.
    UINT nativeId = timerCounter_;
    int tries = 0;
    do {
        nativeId = (nativeId + 1) % kNativeIdModulus;
        if (++tries > static_cast<int>(kNativeIdModulus))
            return false;
    } while (NativeIdInUse(nativeId));
    timerCounter_ = nativeId;
    if (!::SetTimer(window_, nativeId, elapse, nullptr))
        return false;
    timers_.Add(new TTimerRecord{control, id, window_, nativeId, false});
    return true;
}

void CUIManager::KillTimerRecord(TTimerRecord* record)
{
    if (!record->stopped && record->window && ::IsWindow(record->window))
        ::KillTimer(record->window, record->nativeId);
    record->stopped = true;
}

bool CUIManager::StopTimer(CControlUI* control, UINT id)
{
    int index = FindTimer(control, id);
    if (index < 0)
        return false;
    TTimerRecord* record = timers_[index];
    if (record->stopped)
        return false;
    KillTimerRecord(record);
    return true;
}

void CUIManager::StopTimers(CControlUI* control)
{
    for (int i = timers_.GetSize() - 1; i >= 0; --i) {
        TTimerRecord* record = timers_[i];
        if (record->control != control || record->window != window_)
            continue;
        KillTimerRecord(record);
        timers_.Remove(i);
        delete record;
    }
}

void CUIManager::StopAllTimers()
{
    for (int i = timers_.GetSize() - 1; i >= 0; --i) {
        TTimerRecord* record = timers_[i];
        if (record->window != window_)
            continue;
        KillTimerRecord(record);
        timers_.Remove(i);
        delete record;
    }
}

void CUIManager::DropTimerRecords()
{
    timers_.DeleteAll();
}

void CUIManager::OnTimer(WPARAM wParam, LPARAM lParam)
{
    for (int i = 0; i < timers_.GetSize(); ++i) {
        const TTimerRecord* record = timers_[i];
        if (record->stopped || record->window != window_ || record->nativeId != wParam)
            continue;
        // The control may stop or delete timers while handling the event.
        CControlUI* control = record->control;
        SendEvent(control, UIEVENT_TIMER, control, record->id, lParam);
        return;
    }
}

} // namespace SkinUI
