#pragma once

#include "ui/controls/rich_edit.h"
#include "ui/controls/vertical_layout.h"
#include "ui/core/ui_manager.h"

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

// Keeps every notification the window's listeners are given.
class NotifyRecord : public SkinUI::INotifyUI {
public:
    void Notify(SkinUI::TUINotify& msg) override { got.push_back(msg); }
    int Count(const wchar_t* type) const;

    std::vector<SkinUI::TUINotify> got;
};

// A visible popup window whose procedure hands every message to its manager first, as the
// window base does. The root is a vertical layout with an inset around one
// rich edit of a fixed size.
class RichEditHost {
public:
    static const int kInset = 20;

    typedef std::initializer_list<std::pair<const wchar_t*, const wchar_t*>> Attributes;

    // The attributes reach the edit before its engine is created.
    RichEditHost(int editWidth, int editHeight, Attributes attributes = {});
    ~RichEditHost();
    RichEditHost(const RichEditHost&) = delete;
    RichEditHost& operator=(const RichEditHost&) = delete;

    void Paint();
    RECT EditRect() const;
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    LRESULT SendAt(UINT message, POINT point, WPARAM wParam = 0);
    // The wheel's point is given on the screen.
    LRESULT SendWheel(POINT point, WPARAM keys, int delta);
    // Dispatches what is queued for the window (the posted notifications).
    void Pump();
    // Closes the window the way a user's close ends it.
    void Destroy();

    // Engine state read through the control's one path to the engine.
    int EngineScrollY();
    int LineCount();

    HWND hwnd = nullptr;
    // Codes of the WM_NOTIFY messages the window received.
    std::vector<UINT> notifyCodes;
    // Declared first so that it outlives the manager that calls it.
    NotifyRecord notes;
    SkinUI::CUIManager manager;
    SkinUI::CVerticalLayoutUI* root = nullptr;
    SkinUI::CRichEditUI* edit = nullptr;
};

// A text of count numbered lines joined by "\n".
std::wstring NumberedLines(int count);
