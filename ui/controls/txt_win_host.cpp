#include "ui/controls/txt_win_host.h"

#include <stdlib.h>

#include "ui/controls/render_kit.h"
#include "ui/controls/rich_edit.h"
#include "ui/core/system_library.h"
#include "ui/core/ui_manager.h"

namespace SkinUI {

namespace {

// mingw's headers declare these but no mingw library defines them.
const IID kIidTextServices = {0x8d33f740, 0xcf58, 0x11ce, {0xa8, 0x9d, 0x00, 0xaa, 0x00, 0x6c, 0xad, 0xc5}};
const IID kIidTextHost = {0x13e670f4, 0x1a5a, 0x11cf, {0xab, 0xeb, 0x00, 0xaa, 0x00, 0xb6, 0x5e, 0xa1}};

const int kHimetricPerInch = 2540;
const int kTwipsPerInch = 1440;
const LONG kTabStopTwips = 720;

static_assert(sizeof(CHARFORMAT2W) == 116, "the engine expects the extended character format");
static_assert(sizeof(PARAFORMAT2) == 188, "the engine expects the extended paragraph format");

int PixelsPerInch(HDC dc, int axis)
{
    int value = dc ? GetDeviceCaps(dc, axis) : 0;
    return value > 0 ? value : 96;
}

} // namespace

CTxtWinHost* CTxtWinHost::Create(CRichEditUI* owner, const TTxtHostSetup& setup)
{
    CTxtWinHost* host = new CTxtWinHost(owner, setup);
    if (host->CreateEngine(setup.text))
        return host;
    host->Shutdown();
    host->Release();
    return nullptr;
}

CTxtWinHost::CTxtWinHost(CRichEditUI* owner, const TTxtHostSetup& setup)
    : owner_(owner), style_(setup.style), maxLength_(setup.textLimit)
{
    if (setup.rich)
        flags_ |= kRich;
    // The engine reads its back style once, at creation; a later change of
    // the property bit is not honoured by every engine.
    if (setup.transparent)
        flags_ |= kTransparent;
    if (!(style_ & (CRichEditUI::kStyleAutoHScroll | CRichEditUI::kStyleHScrollBar)))
        flags_ |= kWordWrap;
    flags_ |= kInPlaceActive;
    InitCharFormat(setup.font);
    charFormat_.crTextColor = CRenderKit::ToColorRef(setup.textColor);
    paraFormat_.cbSize = sizeof(paraFormat_);
    paraFormat_.dwMask = PFM_ALL;
    paraFormat_.cTabCount = 1;
    paraFormat_.rgxTabs[0] = kTabStopTwips;
    paraFormat_.wAlignment = PFA_LEFT;
    if (style_ & CRichEditUI::kStyleCenter)
        paraFormat_.wAlignment = PFA_CENTER;
    else if (style_ & CRichEditUI::kStyleRight)
        paraFormat_.wAlignment = PFA_RIGHT;
}

CTxtWinHost::~CTxtWinHost() = default;

bool CTxtWinHost::CreateEngine(const wchar_t* text)
{
    engineModule_.reset(LoadSystemLibrary(L"msftedit.dll"));
    if (!engineModule_)
        return false;
    auto create = reinterpret_cast<PCreateTextServices>(GetProcAddress(engineModule_.get(), "CreateTextServices"));
    if (!create)
        return false;
    ComRef<IUnknown> unknown;
    if (FAILED(create(nullptr, this, unknown.put())) || !unknown)
        return false;
    ComRef<ITextServices> services;
    HRESULT hr = unknown->QueryInterface(kIidTextServices, reinterpret_cast<void**>(services.put()));
    if (FAILED(hr) || !services)
        return false;
    services_ = std::move(services);
    services_->TxSetText(text ? text : L"");
    return true;
}

void CTxtWinHost::Shutdown()
{
    // Cleared before the release, so callbacks made meanwhile see no engine.
    services_.reset();
    // A capture or caret the engine held would outlive it.
    if (IsCaptured())
        TxSetCapture(FALSE);
    HWND window = Window();
    if (window && owner_ && owner_->IsFocused() && IsCaretShown())
        DestroyCaret();
    flags_ &= ~kCaretShown;
    owner_ = nullptr;
}

HWND CTxtWinHost::Window() const
{
    CUIManager* manager = owner_ ? owner_->GetManager() : nullptr;
    return manager ? manager->GetPaintWindow() : nullptr;
}

void CTxtWinHost::InitCharFormat(HFONT font)
{
    LOGFONTW logFont = {};
    if (!font || !GetObjectW(font, sizeof(logFont), &logFont))
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(logFont), &logFont);
    int dpiY = PixelsPerInch(WindowDc(nullptr).get(), LOGPIXELSY);

    COLORREF color = charFormat_.crTextColor;
    charFormat_ = {};
    charFormat_.cbSize = sizeof(charFormat_);
    charFormat_.dwMask = CFM_SIZE | CFM_COLOR | CFM_FACE | CFM_OFFSET | CFM_CHARSET | CFM_BOLD | CFM_ITALIC |
        CFM_UNDERLINE;
    charFormat_.crTextColor = color;
    // A positive height is a cell height; either sign means the same size here.
    charFormat_.yHeight = abs(logFont.lfHeight) * kTwipsPerInch / dpiY;
    if (logFont.lfWeight >= FW_BOLD)
        charFormat_.dwEffects |= CFE_BOLD;
    if (logFont.lfItalic)
        charFormat_.dwEffects |= CFE_ITALIC;
    if (logFont.lfUnderline)
        charFormat_.dwEffects |= CFE_UNDERLINE;
    charFormat_.bCharSet = logFont.lfCharSet;
    charFormat_.bPitchAndFamily = logFont.lfPitchAndFamily;
    lstrcpynW(charFormat_.szFaceName, logFont.lfFaceName, LF_FACESIZE);
}

void CTxtWinHost::UpdateExtent()
{
    HDC dc = TxGetDC();
    extent_.cx = (client_.right - client_.left) * kHimetricPerInch / PixelsPerInch(dc, LOGPIXELSX);
    extent_.cy = (client_.bottom - client_.top) * kHimetricPerInch / PixelsPerInch(dc, LOGPIXELSY);
}

void CTxtWinHost::ChangeProperty(DWORD bit, bool on)
{
    if (services_)
        services_->OnTxPropertyBitsChange(bit, on ? bit : 0);
}

void CTxtWinHost::SetClientRect(const RECT& rect)
{
    client_ = rect;
    UpdateExtent();
    ChangeProperty(TXTBIT_CLIENTRECTCHANGE, true);
}

void CTxtWinHost::SetTransparent(bool transparent)
{
    if (transparent)
        flags_ |= kTransparent;
    else
        flags_ &= ~kTransparent;
    ChangeProperty(TXTBIT_BACKSTYLECHANGE, false);
}

void CTxtWinHost::SetRich(bool rich)
{
    if (rich)
        flags_ |= kRich;
    else
        flags_ &= ~kRich;
    ChangeProperty(TXTBIT_RICHTEXT, rich);
}

// The engine honours read-only only through the property bits; the
// edit message for it is ignored by some engines.
void CTxtWinHost::SetReadOnly(bool readOnly)
{
    if (readOnly)
        style_ |= CRichEditUI::kStyleReadOnly;
    else
        style_ &= ~CRichEditUI::kStyleReadOnly;
    ChangeProperty(TXTBIT_READONLY, readOnly);
}

void CTxtWinHost::SetFont(HFONT font)
{
    InitCharFormat(font);
    ApplyCharFormat();
}

void CTxtWinHost::SetColor(DWORD color)
{
    charFormat_.crTextColor = CRenderKit::ToColorRef(color);
    ApplyCharFormat();
}

// The control shows one font and colour: besides the default the engine
// reads back, the text already there takes the new format (some engines
// ignore the property bit for existing text).
void CTxtWinHost::ApplyCharFormat()
{
    ChangeProperty(TXTBIT_CHARFORMATCHANGE, true);
    if (!services_)
        return;
    LRESULT ignored = 0;
    LPARAM format = reinterpret_cast<LPARAM>(&charFormat_);
    services_->TxSendMessage(EM_SETCHARFORMAT, SCF_DEFAULT, format, &ignored);
    services_->TxSendMessage(EM_SETCHARFORMAT, SCF_ALL, format, &ignored);
}

void CTxtWinHost::SetMaxLength(int length)
{
    maxLength_ = length;
    ChangeProperty(TXTBIT_MAXLENGTHCHANGE, true);
}

void CTxtWinHost::Activate()
{
    flags_ |= kInPlaceActive;
    if (services_)
        services_->OnTxInPlaceActivate(&client_);
}

RECT CTxtWinHost::GetCaretRect() const
{
    return {caretPos_.x, caretPos_.y, caretPos_.x + caretSize_.cx, caretPos_.y + caretSize_.cy};
}

int CTxtWinHost::GetNaturalHeight(int width)
{
    if (!services_ || width <= 0)
        return 0;
    HDC dc = TxGetDC();
    SIZEL extent = {width * kHimetricPerInch / PixelsPerInch(dc, LOGPIXELSX), extent_.cy};
    LONG naturalWidth = width;
    LONG naturalHeight = 0;
    if (FAILED(services_->TxGetNaturalSize(DVASPECT_CONTENT, dc, nullptr, nullptr, TXTNS_FITTOCONTENT, &extent,
            &naturalWidth, &naturalHeight)))
        return 0;
    return naturalHeight;
}

bool CTxtWinHost::DoSetCursor(POINT point)
{
    if (!services_ || !PtInRect(&client_, point))
        return false;
    services_->OnTxSetCursor(DVASPECT_CONTENT, -1, nullptr, nullptr, TxGetDC(), nullptr, &client_, point.x,
        point.y);
    return true;
}

HRESULT STDMETHODCALLTYPE CTxtWinHost::QueryInterface(REFIID riid, void** object)
{
    if (!object)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, kIidTextHost)) {
        *object = static_cast<ITextHost*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE CTxtWinHost::AddRef()
{
    return ++refs_;
}

ULONG STDMETHODCALLTYPE CTxtWinHost::Release()
{
    LONG left = --refs_;
    if (left == 0)
        delete this;
    return left;
}

HDC CTxtWinHost::TxGetDC()
{
    CUIManager* manager = owner_ ? owner_->GetManager() : nullptr;
    if (manager && manager->GetPaintDC())
        return manager->GetPaintDC();
    if (!fallbackDc_)
        fallbackDc_.reset(CreateCompatibleDC(nullptr));
    return fallbackDc_.get();
}

INT CTxtWinHost::TxReleaseDC(HDC)
{
    return 1;
}

WINBOOL CTxtWinHost::TxShowScrollBar(INT bar, WINBOOL show)
{
    if (owner_)
        owner_->OnEngineShowScrollBar(bar, show != FALSE);
    return TRUE;
}

WINBOOL CTxtWinHost::TxEnableScrollBar(INT bars, INT arrows)
{
    if (owner_)
        owner_->OnEngineEnableScrollBar(bars, arrows);
    return TRUE;
}

WINBOOL CTxtWinHost::TxSetScrollRange(INT bar, LONG minPos, INT maxPos, WINBOOL)
{
    if (!owner_)
        return TRUE;
    LONG view = bar == SB_HORZ ? client_.right - client_.left : client_.bottom - client_.top;
    owner_->OnEngineScrollRange(bar, static_cast<int>(maxPos - minPos - view));
    return TRUE;
}

WINBOOL CTxtWinHost::TxSetScrollPos(INT bar, INT pos, WINBOOL)
{
    if (owner_)
        owner_->OnEngineScrollPos(bar, pos);
    return TRUE;
}

void CTxtWinHost::TxInvalidateRect(LPCRECT rect, WINBOOL)
{
    CUIManager* manager = owner_ ? owner_->GetManager() : nullptr;
    if (manager)
        manager->InvalidateArea(rect ? *rect : client_);
}

void CTxtWinHost::TxViewChange(WINBOOL)
{
    if (owner_)
        owner_->Invalidate();
}

WINBOOL CTxtWinHost::TxCreateCaret(HBITMAP bitmap, INT width, INT height)
{
    caretSize_ = {width, height};
    HWND window = Window();
    return window ? CreateCaret(window, bitmap, width, height) : FALSE;
}

WINBOOL CTxtWinHost::TxShowCaret(WINBOOL show)
{
    if (show)
        flags_ |= kCaretShown;
    else
        flags_ &= ~kCaretShown;
    HWND window = Window();
    if (!window)
        return FALSE;
    return show ? ShowCaret(window) : HideCaret(window);
}

void CTxtWinHost::InvalidateCaret()
{
    CUIManager* manager = owner_ ? owner_->GetManager() : nullptr;
    RECT caret = GetCaretRect();
    if (manager && caretPos_.x >= 0)
        manager->InvalidateArea(caret);
}

// A layered window shows no system caret: the control paints its own, so
// both the old and the new place need repainting.
WINBOOL CTxtWinHost::TxSetCaretPos(INT x, INT y)
{
    CUIManager* manager = owner_ ? owner_->GetManager() : nullptr;
    bool layered = manager && manager->IsLayered();
    if (layered || (flags_ & kSizeChanged)) {
        flags_ &= ~kSizeChanged;
        InvalidateCaret();
    }
    caretPos_ = {x, y};
    if (layered)
        InvalidateCaret();
    HWND window = Window();
    return window ? SetCaretPos(x, y) : FALSE;
}

WINBOOL CTxtWinHost::TxSetTimer(UINT id, UINT timeout)
{
    CUIManager* manager = owner_ ? owner_->GetManager() : nullptr;
    if (!manager)
        return FALSE;
    flags_ |= kTimerRunning;
    return manager->StartTimer(owner_, id, timeout);
}

void CTxtWinHost::TxKillTimer(UINT id)
{
    CUIManager* manager = owner_ ? owner_->GetManager() : nullptr;
    if (manager)
        manager->StopTimer(owner_, id);
    flags_ &= ~kTimerRunning;
}

void CTxtWinHost::TxScrollWindowEx(INT, INT, LPCRECT, LPCRECT, HRGN, LPRECT, UINT)
{
}

void CTxtWinHost::TxSetCapture(WINBOOL capture)
{
    CUIManager* manager = owner_ ? owner_->GetManager() : nullptr;
    if (!manager)
        return;
    if (capture) {
        flags_ |= kCaptured;
        manager->CaptureMouse();
    } else {
        flags_ &= ~kCaptured;
        manager->ReleaseMouse();
    }
}

void CTxtWinHost::TxSetFocus()
{
    if (owner_)
        owner_->SetFocus();
}

void CTxtWinHost::TxSetCursor(HCURSOR cursor, WINBOOL)
{
    ::SetCursor(cursor);
}

WINBOOL CTxtWinHost::TxScreenToClient(LPPOINT point)
{
    HWND window = Window();
    return window ? ::ScreenToClient(window, point) : FALSE;
}

WINBOOL CTxtWinHost::TxClientToScreen(LPPOINT point)
{
    HWND window = Window();
    return window ? ::ClientToScreen(window, point) : FALSE;
}

HRESULT CTxtWinHost::TxActivate(LONG*)
{
    return S_OK;
}

HRESULT CTxtWinHost::TxDeactivate(LONG)
{
    return S_OK;
}

HRESULT CTxtWinHost::TxGetClientRect(LPRECT rect)
{
    *rect = client_;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetViewInset(LPRECT rect)
{
    SetRectEmpty(rect);
    return S_OK;
}

HRESULT CTxtWinHost::TxGetCharFormat(const CHARFORMATW** format)
{
    *format = reinterpret_cast<const CHARFORMATW*>(&charFormat_);
    return S_OK;
}

HRESULT CTxtWinHost::TxGetParaFormat(const PARAFORMAT** format)
{
    *format = &paraFormat_;
    return S_OK;
}

COLORREF CTxtWinHost::TxGetSysColor(int index)
{
    return GetSysColor(index);
}

HRESULT CTxtWinHost::TxGetBackStyle(TXTBACKSTYLE* style)
{
    *style = (flags_ & kTransparent) ? TXTBACK_TRANSPARENT : TXTBACK_OPAQUE;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetMaxLength(DWORD* length)
{
    *length = static_cast<DWORD>(maxLength_);
    return S_OK;
}

HRESULT CTxtWinHost::TxGetScrollBars(DWORD* scrollBars)
{
    *scrollBars = style_ & (CRichEditUI::kStyleVScrollBar | CRichEditUI::kStyleHScrollBar |
        CRichEditUI::kStyleAutoVScroll | CRichEditUI::kStyleAutoHScroll | CRichEditUI::kStyleKeepDisabledScroll);
    return S_OK;
}

HRESULT CTxtWinHost::TxGetPasswordChar(TCHAR* ch)
{
    *ch = passwordChar_;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetAcceleratorPos(LONG* pos)
{
    *pos = acceleratorPos_;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetExtent(LPSIZEL extent)
{
    *extent = extent_;
    return S_OK;
}

HRESULT CTxtWinHost::OnTxCharFormatChange(const CHARFORMATW*)
{
    return S_OK;
}

HRESULT CTxtWinHost::OnTxParaFormatChange(const PARAFORMAT*)
{
    return S_OK;
}

HRESULT CTxtWinHost::TxGetPropertyBits(DWORD mask, DWORD* bits)
{
    DWORD result = 0;
    if (flags_ & kRich)
        result |= TXTBIT_RICHTEXT;
    if (style_ & CRichEditUI::kStyleMultiLine)
        result |= TXTBIT_MULTILINE;
    if (style_ & CRichEditUI::kStyleReadOnly)
        result |= TXTBIT_READONLY;
    if (style_ & CRichEditUI::kStylePassword)
        result |= TXTBIT_USEPASSWORD;
    if (!(style_ & CRichEditUI::kStyleKeepSelection))
        result |= TXTBIT_HIDESELECTION;
    if (flags_ & kAutoWordSelect)
        result |= TXTBIT_AUTOWORDSEL;
    if (flags_ & kWordWrap)
        result |= TXTBIT_WORDWRAP;
    if (flags_ & kAllowBeep)
        result |= TXTBIT_ALLOWBEEP;
    if (flags_ & kSaveSelection)
        result |= TXTBIT_SAVESELECTION;
    *bits = result & mask;
    return S_OK;
}

HRESULT CTxtWinHost::TxNotify(DWORD code, void* data)
{
    if (code == EN_REQUESTRESIZE) {
        const REQRESIZE* request = static_cast<const REQRESIZE*>(data);
        if (request) {
            client_.right = client_.left + (request->rc.right - request->rc.left);
            client_.bottom = client_.top + (request->rc.bottom - request->rc.top);
            UpdateExtent();
        }
        return S_OK;
    }
    if (owner_)
        owner_->OnEngineNotify(code, data);
    return S_OK;
}

HIMC CTxtWinHost::TxImmGetContext()
{
    return nullptr;
}

void CTxtWinHost::TxImmReleaseContext(HIMC)
{
}

HRESULT CTxtWinHost::TxGetSelectionBarWidth(LONG* width)
{
    *width = selectionBarWidth_;
    return S_OK;
}

} // namespace SkinUI
