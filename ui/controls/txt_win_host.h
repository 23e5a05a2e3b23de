#pragma once

#include <windows.h>
#include <richedit.h>
#include <textserv.h>

#include "ui/core/com_ref.h"
#include "ui/core/unique_handle.h"

namespace SkinUI {

class CRichEditUI;

// What the rich edit hands its host at creation.
struct TTxtHostSetup {
    DWORD style = 0;
    int textLimit = 0x7FFF;
    bool rich = true;
    bool transparent = true;
    HFONT font = nullptr;
    DWORD textColor = 0;
    const wchar_t* text = nullptr;
};

// The rich edit's side of the text engine's host contract. The engine of
// msftedit.dll calls these methods (thiscall on i686, as the platform header
// declares them) to reach the window: device context, caret, timers,
// capture, invalidation, scroll bars and notifications. Everything it asks
// for is answered from the owning control and its manager.
class CTxtWinHost final : public ITextHost {
public:
    enum HostFlags : DWORD {
        kAutoWordSelect = 0x1,
        kWordWrap = 0x2,
        kAllowBeep = 0x4,
        kRich = 0x8,
        kSaveSelection = 0x10,
        kInPlaceActive = 0x20,
        kTransparent = 0x40,
        kTimerRunning = 0x80,
        kCaptured = 0x100,
        kCaretShown = 0x200,
        kSizeChanged = 0x400,
    };

    // Loads the engine with a new host for owner; null when the engine is
    // missing or refuses. The caller holds the one reference.
    static CTxtWinHost* Create(CRichEditUI* owner, const TTxtHostSetup& setup);

    // The engine calls back into its host while it goes, so it is released
    // here, while the owner is whole; afterwards the host answers without
    // touching the owner. The caller then drops its reference.
    void Shutdown();

    ITextServices* GetTextServices() const { return services_.get(); }

    const RECT& GetClientRect() const { return client_; }
    void SetClientRect(const RECT& rect);
    void SetTransparent(bool transparent);
    void SetRich(bool rich);
    void SetReadOnly(bool readOnly);
    void SetFont(HFONT font);
    void SetColor(DWORD color);
    void SetMaxLength(int length);
    void SetSizeChanged() { flags_ |= kSizeChanged; }
    void Activate();

    bool IsCaptured() const { return (flags_ & kCaptured) != 0; }
    bool IsCaretShown() const { return (flags_ & kCaretShown) != 0; }
    // The caret's rectangle in client coordinates (empty before the first placement).
    RECT GetCaretRect() const;
    // The engine's text height laid out at width pixels.
    int GetNaturalHeight(int width);
    bool DoSetCursor(POINT point);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HDC TxGetDC() override;
    INT TxReleaseDC(HDC dc) override;
    WINBOOL TxShowScrollBar(INT bar, WINBOOL show) override;
    WINBOOL TxEnableScrollBar(INT bars, INT arrows) override;
    WINBOOL TxSetScrollRange(INT bar, LONG minPos, INT maxPos, WINBOOL redraw) override;
    WINBOOL TxSetScrollPos(INT bar, INT pos, WINBOOL redraw) override;
    void TxInvalidateRect(LPCRECT rect, WINBOOL mode) override;
    void TxViewChange(WINBOOL update) override;
    WINBOOL TxCreateCaret(HBITMAP bitmap, INT width, INT height) override;
    WINBOOL TxShowCaret(WINBOOL show) override;
    WINBOOL TxSetCaretPos(INT x, INT y) override;
    WINBOOL TxSetTimer(UINT id, UINT timeout) override;
    void TxKillTimer(UINT id) override;
    void TxScrollWindowEx(INT dx, INT dy, LPCRECT scroll, LPCRECT clip, HRGN update, LPRECT updateRect,
        UINT flags) override;
    void TxSetCapture(WINBOOL capture) override;
    void TxSetFocus() override;
    void TxSetCursor(HCURSOR cursor, WINBOOL text) override;
    WINBOOL TxScreenToClient(LPPOINT point) override;
    WINBOOL TxClientToScreen(LPPOINT point) override;
    HRESULT TxActivate(LONG* oldState) override;
    HRESULT TxDeactivate(LONG newState) override;
    HRESULT TxGetClientRect(LPRECT rect) override;
    HRESULT TxGetViewInset(LPRECT rect) override;
    HRESULT TxGetCharFormat(const CHARFORMATW** format) override;
    HRESULT TxGetParaFormat(const PARAFORMAT** format) override;
    COLORREF TxGetSysColor(int index) override;
    HRESULT TxGetBackStyle(TXTBACKSTYLE* style) override;
    HRESULT TxGetMaxLength(DWORD* length) override;
    HRESULT TxGetScrollBars(DWORD* scrollBars) override;
    HRESULT TxGetPasswordChar(TCHAR* ch) override;
    HRESULT TxGetAcceleratorPos(LONG* pos) override;
    HRESULT TxGetExtent(LPSIZEL extent) override;
    HRESULT OnTxCharFormatChange(const CHARFORMATW* format) override;
    HRESULT OnTxParaFormatChange(const PARAFORMAT* format) override;
    HRESULT TxGetPropertyBits(DWORD mask, DWORD* bits) override;
    HRESULT TxNotify(DWORD code, void* data) override;
    HIMC TxImmGetContext() override;
    void TxImmReleaseContext(HIMC context) override;
    HRESULT TxGetSelectionBarWidth(LONG* width) override;

private:
    CTxtWinHost(CRichEditUI* owner, const TTxtHostSetup& setup);
    ~CTxtWinHost();
    CTxtWinHost(const CTxtWinHost&) = delete;
    CTxtWinHost& operator=(const CTxtWinHost&) = delete;

    bool CreateEngine(const wchar_t* text);
    void InitCharFormat(HFONT font);
    void ApplyCharFormat();
    void UpdateExtent();
    void ChangeProperty(DWORD bit, bool on);
    HWND Window() const;
    void InvalidateCaret();

    LONG refs_ = 1;
    CRichEditUI* owner_;
    // Declared before the engine: the library must outlive the engine's release.
    ModuleHandle engineModule_;
    // Measuring needs a device context even before the window has one.
    MemoryDc fallbackDc_;
    ComRef<ITextServices> services_;
    DWORD style_;
    DWORD flags_ = 0;
    int maxLength_;
    SIZE caretSize_ = {0, 0};
    POINT caretPos_ = {-1, -1};
    RECT client_ = {0, 0, 0, 0};
    SIZEL extent_ = {0, 0};
    LONG acceleratorPos_ = -1;
    wchar_t passwordChar_ = L'*';
    LONG selectionBarWidth_ = 0;
    CHARFORMAT2W charFormat_ = {};
    PARAFORMAT2 paraFormat_ = {};
};

} // namespace SkinUI
