#pragma once

#include "ui/controls/control.h"
#include "ui/controls/vertical_layout.h"
#include "ui/core/ui_manager.h"

#include <functional>
#include <vector>

// A control that records the events it receives and counts its paints.
class CRecorderUI : public SkinUI::CControlUI {
public:
    explicit CRecorderUI(const wchar_t* name, int height = 50, UINT flags = 0, const wchar_t* cls = L"Recorder");

    const wchar_t* GetClass() const override { return cls_; }
    UINT GetControlFlags() const override { return flags_; }
    void DoEvent(SkinUI::TUIEvent& event) override;
    bool DoPaint(HDC dc, const RECT& paint, SkinUI::CControlUI* stop) override;

    int Count(int type) const;
    // wParam of the last event of that type, or -1.
    long long LastParam(int type) const;
    void Clear() { events.clear(); }

    std::vector<SkinUI::TUIEvent> events;
    int paints = 0;

private:
    const wchar_t* cls_;
    UINT flags_;
};

// Keeps every notification the window's listeners are given.
class NotifyLog : public SkinUI::INotifyUI {
public:
    void Notify(SkinUI::TUINotify& msg) override;
    int Count(const wchar_t* type) const;

    std::vector<SkinUI::TUINotify> got;
    std::function<void(SkinUI::TUINotify&)> onNotify;
};

// A visible popup window whose procedure hands every message to its
// manager first, as the window base does.
class ManagerHost {
public:
    explicit ManagerHost(int width = 300, int height = 200);
    ~ManagerHost();
    ManagerHost(const ManagerHost&) = delete;
    ManagerHost& operator=(const ManagerHost&) = delete;

    // A vertical layout of the given recorders, attached, laid out and painted.
    SkinUI::CVerticalLayoutUI* Attach(std::vector<CRecorderUI*> children);
    void Paint();
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    LRESULT SendAt(UINT message, int x, int y, WPARAM wParam = 0);
    // Dispatches what is queued for the window (the async notifications).
    void Pump();

    HWND hwnd = nullptr;
    // Declared first so that it outlives the manager that calls it.
    NotifyLog log;
    SkinUI::CUIManager manager;
};

// Holds Shift down in the thread's keyboard state while alive.
class ShiftHeld {
public:
    ShiftHeld();
    ~ShiftHeld();

private:
    BYTE saved_[256];
};
