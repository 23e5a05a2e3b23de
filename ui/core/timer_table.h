#pragma once

#include "ui/core/ptr_array.h"

#include <windows.h>

namespace SkinUI {

class CControlUI;

// A timer that fired: the control it belongs to and the control's own id.
struct TDueTimer {
    CControlUI* control = nullptr;
    UINT id = 0;
};

// The controls' timers of one window. Each record maps a control's own id
// to a native id from a per-window counter; a stopped record keeps its
// native id so that a restart reuses it.
class CTimerTable {
public:
    CTimerTable() = default;
    ~CTimerTable();
    CTimerTable(const CTimerTable&) = delete;
    CTimerTable& operator=(const CTimerTable&) = delete;

    // The window whose native timers the table sets from now on.
    void BindWindow(HWND window) { window_ = window; }

    bool Start(CControlUI* control, UINT id, UINT elapse);
    bool Stop(CControlUI* control, UINT id);
    // Kills the control's timers and drops their records.
    void Forget(CControlUI* control);
    void StopAll();
    // The window is gone and its native timers with it: only the records go.
    void WindowGone();
    // The running timer a WM_TIMER's native id names; no control when none.
    TDueTimer Due(UINT_PTR nativeId) const;

private:
    struct TTimerRecord;

    int Find(CControlUI* control, UINT id) const;
    bool NativeIdInUse(UINT nativeId) const;
    void Kill(TTimerRecord* record);
    void DropRecords();

    HWND window_ = nullptr;
    UINT counter_ = 4096;
    CUIPtrArrayOf<TTimerRecord> records_;
};

} // namespace SkinUI
