#include "ui/core/timer_table.h"

namespace SkinUI {

struct CTimerTable::TTimerRecord {
    CControlUI* control;
    UINT id;
    HWND window;
    UINT nativeId;
    bool stopped;
};

namespace {

const UINT kNativeIdModulus = 255;

} // namespace

CTimerTable::~CTimerTable()
{
    DropRecords();
}

int CTimerTable::Find(CControlUI* control, UINT id) const
{
    for (int i = 0; i < records_.GetSize(); ++i) {
        const TTimerRecord* record = records_[i];
        if (record->control == control && record->window == window_ && record->id == id)
            return i;
    }
    return -1;
}

bool CTimerTable::NativeIdInUse(UINT nativeId) const
{
    for (int i = 0; i < records_.GetSize(); ++i) {
        const TTimerRecord* record = records_[i];
        if (record->window == window_ && record->nativeId == nativeId)
            return true;
    }
    return false;
}

bool CTimerTable::Start(CControlUI* control, UINT id, UINT elapse)
{
    if (!window_ || !control)
        return false;
    int index = Find(control, id);
    if (index >= 0) {
        TTimerRecord* record = records_[index];
        if (!record->stopped)
            return false;
        if (!::SetTimer(window_, record->nativeId, elapse, nullptr))
            return false;
        record->stopped = false;
        return true;
    }
    // Stopped records keep their native ids, so after the counter wraps a
    // new timer must not take one of them: SetTimer would silently replace it.
    UINT nativeId = counter_;
    int tries = 0;
    do {
        nativeId = (nativeId + 1) % kNativeIdModulus;
        if (++tries > static_cast<int>(kNativeIdModulus))
            return false;
    } while (NativeIdInUse(nativeId));
    counter_ = nativeId;
    if (!::SetTimer(window_, nativeId, elapse, nullptr))
        return false;
    records_.Add(new TTimerRecord{control, id, window_, nativeId, false});
    return true;
}

void CTimerTable::Kill(TTimerRecord* record)
{
    if (!record->stopped && record->window && ::IsWindow(record->window))
        ::KillTimer(record->window, record->nativeId);
    record->stopped = true;
}

bool CTimerTable::Stop(CControlUI* control, UINT id)
{
    int index = Find(control, id);
    if (index < 0)
        return false;
    TTimerRecord* record = records_[index];
    if (record->stopped)
        return false;
    Kill(record);
    return true;
}

void CTimerTable::Forget(CControlUI* control)
{
    for (int i = records_.GetSize() - 1; i >= 0; --i) {
        TTimerRecord* record = records_[i];
        if (record->control != control || record->window != window_)
            continue;
        Kill(record);
        records_.Remove(i);
        delete record;
    }
}

void CTimerTable::StopAll()
{
    for (int i = records_.GetSize() - 1; i >= 0; --i) {
        TTimerRecord* record = records_[i];
        if (record->window != window_)
            continue;
        Kill(record);
        records_.Remove(i);
        delete record;
    }
}

void CTimerTable::WindowGone()
{
    DropRecords();
    window_ = nullptr;
}

void CTimerTable::DropRecords()
{
    records_.DeleteAll();
}

TDueTimer CTimerTable::Due(UINT_PTR nativeId) const
{
    for (int i = 0; i < records_.GetSize(); ++i) {
        const TTimerRecord* record = records_[i];
        if (!record->stopped && record->window == window_ && record->nativeId == nativeId)
            return {record->control, record->id};
    }
    return {};
}

} // namespace SkinUI
