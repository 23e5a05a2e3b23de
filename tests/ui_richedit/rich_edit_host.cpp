#include "rich_edit_host.h"

#include <gtest/gtest.h>
#include <richedit.h>

using namespace SkinUI;

namespace {

const int kLeft = 300;
const int kTop = 200;

} // namespace

LRESULT MessageLog::MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, bool&)
{
    messages.emplace_back(message, wParam);
    if (message == WM_NOTIFY)
        notifyCodes.push_back(reinterpret_cast<NMHDR*>(lParam)->code);
    return 0;
}

bool MessageLog::Saw(UINT message, WPARAM wParam) const
{
    for (const auto& seen : messages) {
        if (seen.first == message && seen.second == wParam)
            return true;
    }
    return false;
}

RichEditHost::RichEditHost(int editWidth, int editHeight, Attributes attributes)
    : ManagerHost(editWidth + 2 * kInset, editHeight + 2 * kInset)
{
    if (!hwnd)
        ADD_FAILURE() << "no window: the tests need the session's display";
    ::SetWindowPos(hwnd, nullptr, kLeft, kTop, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    manager.AddMessageFilter(&messages);
    root = new CVerticalLayoutUI;
    root->SetInset({kInset, kInset, kInset, kInset});
    root->SetBkColor(0xFFFFFFFF);
    edit = new CRichEditUI;
    edit->SetFixedWidth(editWidth);
    edit->SetFixedHeight(editHeight);
    for (const auto& attribute : attributes)
        edit->SetAttribute(attribute.first, attribute.second);
    root->Add(edit);
    manager.AttachRoot(root);
    Paint();
}

RichEditHost::~RichEditHost()
{
    manager.RemoveMessageFilter(&messages);
}

void RichEditHost::Destroy()
{
    if (hwnd)
        ::DestroyWindow(hwnd);
    hwnd = nullptr;
}

LRESULT RichEditHost::SendAt(UINT message, POINT point, WPARAM wParam)
{
    return Send(message, wParam, MAKELPARAM(point.x, point.y));
}

LRESULT RichEditHost::SendWheel(POINT point, WPARAM keys, int delta)
{
    ::ClientToScreen(hwnd, &point);
    return Send(WM_MOUSEWHEEL, MAKEWPARAM(keys, delta), MAKELPARAM(point.x, point.y));
}

int RichEditHost::EngineScrollY()
{
    POINT point = {0, 0};
    edit->TxSendMessage(EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&point), nullptr);
    return point.y;
}

int RichEditHost::LineCount()
{
    LRESULT count = 0;
    edit->TxSendMessage(EM_GETLINECOUNT, 0, 0, &count);
    return static_cast<int>(count);
}

std::wstring NumberedLines(int count)
{
    std::wstring text;
    for (int i = 1; i <= count; ++i)
        text += (i > 1 ? L"\n" : L"") + std::wstring(L"line ") + std::to_wstring(i);
    return text;
}
