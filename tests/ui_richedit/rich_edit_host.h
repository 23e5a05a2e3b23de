#pragma once

#include "tests/support/ui_host.h"
#include "ui/controls/rich_edit.h"

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

// Keeps the messages the window is given (with wParam), and the codes of
// its WM_NOTIFY messages; handles none.
class MessageLog : public SkinUI::IMessageFilterUI {
public:
    LRESULT MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    bool Saw(UINT message, WPARAM wParam) const;

    std::vector<std::pair<UINT, WPARAM>> messages;
    std::vector<UINT> notifyCodes;
};

// The manager test window moved away from the screen's origin (so that
// screen and client points differ), with a root vertical layout that holds
// one rich edit of a fixed size inside an inset.
class RichEditHost : public ManagerHost {
public:
    static const int kInset = 20;
    typedef std::initializer_list<std::pair<const wchar_t*, const wchar_t*>> Attributes;

    // The attributes reach the edit before its engine is created.
    RichEditHost(int editWidth, int editHeight, Attributes attributes = {});
    // The log goes before the window, which still sends messages as it ends.
    ~RichEditHost();

    using ManagerHost::SendAt;
    LRESULT SendAt(UINT message, POINT point, WPARAM wParam = 0);
    // The wheel's point is given on the screen.
    LRESULT SendWheel(POINT point, WPARAM keys, int delta);
    // Ends the window the way closing it does.
    void Destroy();
    RECT EditRect() const { return edit->GetPos(); }

    // Engine state read through the control's one path to the engine.
    int EngineScrollY();
    int LineCount();

    MessageLog messages;
    SkinUI::CVerticalLayoutUI* root = nullptr;
    SkinUI::CRichEditUI* edit = nullptr;
};

// A text of count numbered lines joined by "\n".
std::wstring NumberedLines(int count);
