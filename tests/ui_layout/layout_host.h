#pragma once

#include "tests/support/ui_host.h"

// The shared test window with any control tree as its root, laid out over
// the whole client area.
class LayoutHost : public ManagerHost {
public:
    LayoutHost(int width, int height) : ManagerHost(width, height), width_(width), height_(height) {}

    // Attaches the tree and lays it out once.
    void Attach(SkinUI::CControlUI* root)
    {
        manager.AttachRoot(root);
        Layout();
    }

    void Layout() { manager.GetRoot()->SetPos(RECT{0, 0, width_, height_}, false); }

private:
    int width_;
    int height_;
};

// Native id that the manager gives the n-th timer (from 1) of a new window:
// its counter starts at 4096 and steps modulo 255.
inline UINT NthNativeTimerId(int n)
{
    return (4096u + static_cast<UINT>(n)) % 255u;
}
