#pragma once

#include "ui/controls/control.h"
#include "ui/core/ui_manager.h"

#include <string>
#include <vector>

// Keeps the type of every notification the window's listeners are given.
class NotifyTypes : public SkinUI::INotifyUI {
public:
    void Notify(SkinUI::TUINotify& msg) override { types.push_back(msg.sType.GetData()); }
    int Count(const wchar_t* type) const;

    std::vector<std::wstring> types;
};

// A visible popup window whose procedure hands every message to its
// manager first, as the window base does, with a root laid out over the
// whole client area.
class LayoutHost {
public:
    LayoutHost(int width, int height);
    ~LayoutHost();
    LayoutHost(const LayoutHost&) = delete;
    LayoutHost& operator=(const LayoutHost&) = delete;

    // Attaches the tree and lays it out once.
    void Attach(SkinUI::CControlUI* root);
    void Layout();
    LRESULT SendAt(UINT message, int x, int y, WPARAM wParam = 0);
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // Dispatches what is queued for the window (async notifications, delayed deletions).
    void Pump();

    HWND hwnd = nullptr;
    int width;
    int height;
    SkinUI::CUIManager manager;
    NotifyTypes notified;
};

// Native id that the manager gives the n-th timer (from 1) of a new window.
UINT NthNativeTimerId(int n);
