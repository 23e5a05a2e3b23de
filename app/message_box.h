#pragma once

#include "ui/core/window_impl_base.h"

#include <windows.h>

#include <string>

// The program's own modal message box, drawn from the skin's MessageBox.xml:
// a caption row with a close glyph, a centred multi-line text and OK with
// Cancel, or OK alone.
class BrindleMessageBox : public SkinUI::WindowImplBase {
public:
    BrindleMessageBox(std::wstring caption, std::wstring text, int buttonForm);

    bool Result() const { return result_; }
    void Notify(SkinUI::TUINotify& msg) override;
    // A dialog to screen readers, named by its title row, its text as description.
    DWORD AccessibleRole() override;
    SkinUI::CUIString AccessibleName() override;
    SkinUI::CUIString AccessibleDescription() override;

protected:
    const wchar_t* ClassName() const override { return L"MessageBox"; }
    SkinUI::CUIString SkinFolder() const override { return SkinUI::CUIString(); }
    SkinUI::CUIString SkinFile() const override { return L"MessageBox.xml"; }
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void SetUpLabels();

    bool result_ = false;
    std::wstring caption_;
    std::wstring text_;
    int buttonForm_;
};

// The button forms: OK alone, or OK and Cancel (any other value too).
constexpr int kButtonsOk = 1;
constexpr int kButtonsOkCancel = 0;

// Shows the box with kButtonsOk or kButtonsOkCancel. The owner may be null.
// True exactly when OK ended the box.
bool ShowMessageBox(std::wstring caption, std::wstring text, int buttonForm, HWND owner);
