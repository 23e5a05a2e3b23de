#pragma once

#include "ui/controls/container.h"

namespace SkinUI {

class CTxtWinHost;

// A windowless multi-line text control: the platform's rich text engine
// holds, lays out, edits and draws the text through a host of ours. The
// control feeds the engine the window's messages through the manager's
// message filters, mirrors the engine's scroll bars with its own bars and
// reports "textchanged" and "return".
class CRichEditUI : public CContainerUI, public IMessageFilterUI {
public:
    // Edit style bits the host reads at creation.
    enum StyleBits : DWORD {
        kStyleCenter = 0x1,
        kStyleRight = 0x2,
        kStyleMultiLine = 0x4,
        kStylePassword = 0x20,
        kStyleAutoVScroll = 0x40,
        kStyleAutoHScroll = 0x80,
        kStyleKeepSelection = 0x100,
        kStyleReadOnly = 0x800,
        kStyleKeepDisabledScroll = 0x2000,
        kStyleHScrollBar = 0x100000,
        kStyleVScrollBar = 0x200000,
    };
    // Blinks the caret ourselves in layered windows, which show no system caret.
    static const UINT kCaretTimerId = 20;

    CRichEditUI();
    ~CRichEditUI() override;

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override;

    bool IsWantTab() const { return wantTab_; }
    void SetWantTab(bool want = true) { wantTab_ = want; }
    bool IsWantReturn() const { return wantReturn_; }
    void SetWantReturn(bool want = true) { wantReturn_ = want; }
    bool IsWantCtrlReturn() const { return wantCtrlReturn_; }
    void SetWantCtrlReturn(bool want = true) { wantCtrlReturn_ = want; }
    bool IsTransparent() const { return transparent_; }
    void SetTransparent(bool transparent = true);
    bool IsRich() const { return rich_; }
    void SetRich(bool rich = true);
    bool IsReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly = true);
    DWORD GetWinStyle() const { return style_; }
    int GetFont() const { return font_; }
    void SetFont(int index);
    void ScaleChanged() override;
    DWORD GetTextColor() const { return textColor_; }
    void SetTextColor(DWORD color);
    int GetLimitText() const { return textLimit_; }
    void SetLimitText(int limit);
    RECT GetTextPadding() const { return Scaled(textPadding_); }
    void SetTextPadding(RECT padding);
    bool HasHost() const { return host_ != nullptr; }

    CUIString GetText() const override;
    void SetText(const wchar_t* text) override;
    // Adds text at the end; the selection and the view stay where they were.
    void AppendText(const wchar_t* text);

    // The one path to the engine; without a host it answers 1, the engine's false.
    HRESULT TxSendMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

    void SetScrollPos(SIZE position) override;
    void LineUp() override;
    void LineDown() override;
    void PageUp() override;
    void PageDown() override;
    void HomeUp() override;
    void EndDown() override;
    void LineLeft() override;
    void LineRight() override;
    void PageLeft() override;
    void PageRight() override;
    void HomeLeft() override;
    void EndRight() override;

    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    // The text is the value: only the layout or the tooltip names the box.
    CUIString GetAccessibleName() const override;
    CUIString GetAccessibleValue() const override;
    DWORD GetAccessibleState() const override;
    void SetPos(RECT rc, bool invalidate = true) override;
    bool DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* stop) override;
    void DoInit() override;
    void DoEvent(TUIEvent& event) override;
    LRESULT MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

    // Called by the host for the engine.
    void OnEngineShowScrollBar(int bar, bool show);
    void OnEngineEnableScrollBar(int bars, int arrows);
    void OnEngineScrollRange(int bar, int span);
    void OnEngineScrollPos(int bar, int pos);
    void OnEngineNotify(DWORD code, void* data);

protected:
    DWORD ClassAccessibleRole() const override;

private:
    void SwitchStyleOn(const wchar_t* value, DWORD style);
    void SetAlignWords(const wchar_t* value);
    HFONT FontHandle() const;

    void FixVerticalBar(bool barWasShown);
    bool TextFitsWithoutBar();

    void PaintEngine(HDC hDC, const RECT& area);
    void PaintCaret(HDC hDC);
    void OnCaretTimer();
    void OnFocusChange(bool focused);
    void SendScroll(UINT message, WORD request);
    void SendThumbPosition(UINT message, int position);
    void CorrectPlainLineDown(int before);
    CScrollBarUI* BarFor(int bar) const;
    void BarVisibilityChanged();

    bool AcceptsMouse(UINT message, WPARAM wParam, LPARAM lParam);
    void PlaceComposition();
    bool TakesEnterAsLineBreak() const;

    CTxtWinHost* host_ = nullptr;
    bool scrollBarFixing_ = false;
    // Set while SetPos tells the engine its view: bar changes are laid out there.
    bool layingOut_ = false;
    bool wantTab_ = true;
    bool wantReturn_ = true;
    bool wantCtrlReturn_ = true;
    bool transparent_ = true;
    bool rich_ = true;
    bool readOnly_ = false;
    DWORD textColor_ = 0;
    int font_ = -1;
    int textLimit_ = 0x7FFF;
    DWORD style_ = kStyleMultiLine;
    bool caretBlinkShown_ = true;
    bool created_ = false;
    RECT textPadding_ = {0, 0, 0, 0};
};

} // namespace SkinUI
