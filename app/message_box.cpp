#include "app/message_box.h"

#include "ui/controls/control.h"

#include <utility>

using SkinUI::CControlUI;
using SkinUI::TUINotify;

namespace {

const DWORD kBoxStyle = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU;

} // namespace

BrindleMessageBox::BrindleMessageBox(std::wstring caption, std::wstring text, int buttonForm)
    : caption_(std::move(caption)), text_(std::move(text)), buttonForm_(buttonForm)
{
}

LRESULT BrindleMessageBox::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT answer = WindowImplBase::OnMessage(message, wParam, lParam);
    if (message == WM_CREATE)
        SetUpLabels();
    return answer;
}

void BrindleMessageBox::SetUpLabels()
{
    SkinUI::CUIManager& manager = GetManager();
    CControlUI* title = manager.FindControlByName(L"Title_Label");
    if (title && !caption_.empty())
        title->SetText(caption_.c_str());
    if (CControlUI* content = manager.FindControlByName(L"Content_Label"))
        content->SetText(text_.c_str());
    CControlUI* cancel = manager.FindControlByName(L"Cancel_Btn");
    if (cancel && buttonForm_ == kButtonsOk)
        cancel->SetVisible(false);
}

void BrindleMessageBox::Notify(TUINotify& msg)
{
    if (msg.sType != L"click" || !msg.pSender)
        return;
    const SkinUI::CUIString name = msg.pSender->GetName();
    if (name == L"MessageBox_Close_Btn") {
        RequestClose(1);
    } else if (name == L"OK_Btn") {
        result_ = true;
        RequestClose(1);
    } else if (name == L"Cancel_Btn") {
        result_ = false;
        RequestClose(1);
    }
}

DWORD BrindleMessageBox::AccessibleRole()
{
    return ROLE_SYSTEM_DIALOG;
}

SkinUI::CUIString BrindleMessageBox::AccessibleName()
{
    CControlUI* title = GetManager().FindControlByName(L"Title_Label");
    return title ? title->GetText() : SkinUI::CUIString();
}

SkinUI::CUIString BrindleMessageBox::AccessibleDescription()
{
    return text_.c_str();
}

bool ShowMessageBox(std::wstring caption, std::wstring text, int buttonForm, HWND owner)
{
    BrindleMessageBox box(std::move(caption), std::move(text), buttonForm);
    if (!box.CreateNative(owner, L"", kBoxStyle, WS_EX_WINDOWEDGE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                          CW_USEDEFAULT))
        return false;
    box.CenterOnOwner();
    // Screen readers read a new dialog's text at once, and leave it when it ends.
    const HWND window = box.GetHWND();
    NotifyWinEvent(EVENT_SYSTEM_DIALOGSTART, window, OBJID_WINDOW, CHILDID_SELF);
    box.RunModal();
    NotifyWinEvent(EVENT_SYSTEM_DIALOGEND, window, OBJID_WINDOW, CHILDID_SELF);
    bool result = box.Result();
    if (IsWindow(box.GetHWND()))
        DestroyWindow(box.GetHWND());
    return result;
}
