#pragma once

#include <windows.h>
#include <commctrl.h>

#include <stddef.h>

#include "ui/core/dpi_scale.h"
#include "ui/core/font_registry.h"
#include "ui/core/image_registry.h"
#include "ui/core/notify_queue.h"
#include "ui/core/option_groups.h"
#include "ui/core/ptr_array.h"
#include "ui/core/scoped_gdi.h"
#include "ui/core/string_map.h"
#include "ui/core/text_table.h"
#include "ui/core/timer_table.h"
#include "ui/core/tooltip.h"
#include "ui/core/ui_events.h"
#include "ui/core/ui_string.h"
#include "ui/core/unique_handle.h"

namespace SkinUI {

class CControlUI;
struct TLoadedImage;

// A factory the layout builder asks for element names it does not know.
typedef CControlUI* (*CONTROLFACTORYPROC)(const wchar_t* name);

// One registry set: fonts, images, class defaults, default font and colours.
// Every manager has one; one more is shared by the whole process.
struct TUIRegistry {
    // The registered resources go; the default font and colours stay.
    void RemoveAll()
    {
        fonts.RemoveAll();
        images.RemoveAll();
        classDefaults.RemoveAll();
    }

    CFontRegistry fonts;
    CImageRegistry images;
    CTextTable classDefaults;
    DWORD dwDisabledColor = 0;
    DWORD dwTextColor = 0;
    DWORD dwLinkColor = 0;
    DWORD dwLinkHoverColor = 0;
    DWORD dwSelectedBkColor = 0;
};

// The per-window paint manager: routes window messages to the control tree
// as events, paints the tree through an off-screen bitmap, keeps focus,
// hover, capture, timers and the tab order, delivers notifications and
// keeps the window's registries. Each concern with state of its own (the
// timer table, the notification queue, the tooltip, the option groups,
// the registries) is a member object the manager forwards to.
class CUIManager {
public:
    static const UINT kAsyncNotifyMessage = WM_APP + 1;

    CUIManager();
    ~CUIManager();
    CUIManager(const CUIManager&) = delete;
    CUIManager& operator=(const CUIManager&) = delete;

    // Attachment and tree.
    void AttachWindow(HWND window, const wchar_t* name = nullptr);
    // The window has been destroyed: forget it and everything tied to it,
    // keep the tree until the manager goes.
    void WindowGone();
    bool AttachRoot(CControlUI* control);
    CControlUI* GetRoot() const { return root_; }
    bool BindControls(CControlUI* control, CControlUI* parent = nullptr);
    void ForgetControl(CControlUI* control);
    void DeleteLater(CControlUI* control);
    // Keeps the name map in step with CControlUI::SetName.
    void RenameControl(CControlUI* control, const wchar_t* oldName, const wchar_t* newName);
    CControlUI* FindControlAt(POINT point) const;
    CControlUI* FindControlByName(const wchar_t* name) const;

    HWND GetPaintWindow() const { return window_; }
    HWND GetTooltipWindow() const { return tooltip_.Window(); }
    HDC GetPaintDC() const { return paintDc_.get(); }
    const CUIString& GetName() const { return name_; }
    POINT GetMousePos() const { return lastMousePos_; }
    SIZE GetClientSize() const;

    // The window's display scale; every pixel measure of the layout follows it.
    const CDpiScale& GetScale() const { return scale_; }
    int ScaledPixels(int layout) const { return scale_.Pixels(layout); }
    // Takes a new DPI: fonts and images follow, the tree lays out again.
    void SetDpi(int dpi);

    // Window metrics set by the window attributes: kept in layout units,
    // answered in pixels at the window's scale.
    SIZE GetInitSize() const { return scale_.Pixels(initSize_); }
    void SetInitSize(int cx, int cy);
    RECT GetSizeBox() const { return scale_.Pixels(sizeBox_); }
    void SetSizeBox(const RECT& box) { sizeBox_ = box; }
    RECT GetCaptionRect() const { return scale_.Pixels(caption_); }
    void SetCaptionRect(const RECT& caption) { caption_ = caption; }
    SIZE GetRoundCorner() const { return scale_.Pixels(roundCorner_); }
    void SetRoundCorner(int cx, int cy) { roundCorner_ = {cx, cy}; }
    SIZE GetMinInfo() const { return scale_.Pixels(minInfo_); }
    void SetMinInfo(int cx, int cy) { minInfo_ = {cx, cy}; }
    SIZE GetMaxInfo() const { return scale_.Pixels(maxInfo_); }
    void SetMaxInfo(int cx, int cy) { maxInfo_ = {cx, cy}; }
    bool IsShowDirty() const { return showDirty_; }
    void SetShowDirty(bool show) { showDirty_ = show; }
    bool IsNoActivate() const { return noActivate_; }
    void SetNoActivate(bool noActivate) { noActivate_ = noActivate; }
    bool IsOffscreenPaint() const { return offscreenPaint_; }
    void SetOffscreenPaint(bool offscreen) { offscreenPaint_ = offscreen; }
    DWORD GetHoverTime() const { return hoverTime_; }
    void SetHoverTime(DWORD milliseconds) { hoverTime_ = milliseconds; }
    BYTE GetOpacity() const { return opacity_; }
    void SetOpacity(BYTE opacity);
    // Per-pixel layering is not drawn: its attributes are only kept, and a
    // window is never per-pixel layered.
    bool IsLayered() const { return false; }
    RECT GetLayeredInset() const { return layeredInset_; }
    void SetLayeredInset(const RECT& inset) { layeredInset_ = inset; }
    BYTE GetLayeredOpacity() const { return layeredOpacity_; }
    void SetLayeredOpacity(BYTE opacity) { layeredOpacity_ = opacity; }
    const CUIString& GetLayeredImage() const { return layeredImage_; }
    void SetLayeredImage(const wchar_t* image) { layeredImage_ = image ? image : L""; }
    bool IsUsedVirtualWnd() const { return useVirtualWnd_; }
    void UsedVirtualWnd(bool used) { useVirtualWnd_ = used; }
    bool IsForceUseSharedRes() const { return forceSharedRes_; }
    void SetForceUseSharedRes(bool force) { forceSharedRes_ = force; }

    // Paint helpers for controls.
    void InvalidateArea(const RECT& rect);
    void InvalidateAll();
    void MarkForUpdate() { updateNeeded_ = true; }
    bool IsUpdateNeeded() const { return updateNeeded_; }
    bool IsPainting() const { return painting_; }

    // Notifications.
    void EmitNotify(CControlUI* sender, const wchar_t* type, WPARAM wParam = 0, LPARAM lParam = 0,
                    bool async = false, bool allowRepeat = false);

    // Listener lists.
    bool AddNotifier(INotifyUI* notifier);
    bool RemoveNotifier(INotifyUI* notifier);
    bool AddPreMessageFilter(IMessageFilterUI* filter);
    bool RemovePreMessageFilter(IMessageFilterUI* filter);
    bool AddMessageFilter(IMessageFilterUI* filter);
    bool RemoveMessageFilter(IMessageFilterUI* filter);
    bool AddTranslateAccelerator(ITranslateAccelerator* translator);
    bool RemoveTranslateAccelerator(ITranslateAccelerator* translator);
    bool AddPostPaint(CControlUI* control);
    bool RemovePostPaint(CControlUI* control);
    bool AddNativeWindow(CControlUI* control, HWND child);
    bool RemoveNativeWindow(HWND child);
    bool AddMouseLeaveNeeded(CControlUI* control);
    bool RemoveMouseLeaveNeeded(CControlUI* control);
    bool AddOptionGroup(const wchar_t* group, CControlUI* control);
    CUIPtrArrayOf<CControlUI>* GetOptionGroup(const wchar_t* group) const;
    void RemoveOptionGroup(const wchar_t* group, CControlUI* control);
    void RemoveAllOptionGroups();

    // Timers; native ids come from a per-window counter.
    bool StartTimer(CControlUI* control, UINT id, UINT elapse);
    bool StopTimer(CControlUI* control, UINT id);
    void StopTimers(CControlUI* control);
    void StopAllTimers();

    // Focus and capture.
    CControlUI* GetFocus() const { return focus_; }
    void FocusControl(CControlUI* control, bool focusWindow = true);
    void DeferFocus(CControlUI* control);
    bool MoveTabFocus(bool forward);
    void CaptureMouse();
    void ReleaseMouse();
    bool HasMouseCapture() const { return captured_; }

    // Message entry points.
    bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool PreDispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    static bool PreTranslateAll(MSG* msg);
    static int RunMessageLoop();

    // Fonts.
    HFONT RegisterFont(int id, const wchar_t* name, int size, bool bold, bool underline, bool italic,
                       bool shared = false);
    void ReplaceDefaultFont(const wchar_t* name, int size, bool bold, bool underline, bool italic,
                            bool shared = false);
    HFONT FontById(int id);
    TFontRecord* FontRecordById(int id);
    TFontRecord* DefaultFontRecord();
    // Size in layout units; the handle is at the window's scale.
    HFONT LookupFont(const wchar_t* name, int size, bool bold, bool underline, bool italic);
    TFontRecord* FontRecordByHandle(HFONT font);

    // Images; the registry owns them.
    TLoadedImage* RegisterImage(const wchar_t* name, const wchar_t* type = nullptr, DWORD mask = 0,
                                bool keepSource = false, bool shared = false);
    TLoadedImage* ImageByName(const wchar_t* name) const;
    TLoadedImage* ImageByNameOrLoad(const wchar_t* name, const wchar_t* type = nullptr, DWORD mask = 0,
                                    bool keepSource = false);
    const TImageRecord* ImageRecordByName(const wchar_t* name) const;

    // Per-element default attribute lists.
    void SetClassDefaults(const wchar_t* elementName, const wchar_t* list, bool shared = false);
    const wchar_t* ClassDefaults(const wchar_t* elementName) const;

    // Default colours (0xAARRGGBB); a shared change also reaches this
    // window's value while it still equals the old shared one.
    DWORD GetDefaultDisabledColor() const { return own_.dwDisabledColor; }
    void SetDefaultDisabledColor(DWORD colour, bool shared = false);
    DWORD GetDefaultFontColor() const { return own_.dwTextColor; }
    void SetDefaultFontColor(DWORD colour, bool shared = false);
    DWORD GetDefaultLinkFontColor() const { return own_.dwLinkColor; }
    void SetDefaultLinkFontColor(DWORD colour, bool shared = false);
    DWORD GetDefaultLinkHoverFontColor() const { return own_.dwLinkHoverColor; }
    void SetDefaultLinkHoverFontColor(DWORD colour, bool shared = false);
    DWORD GetDefaultSelectedBkColor() const { return own_.dwSelectedBkColor; }
    void SetDefaultSelectedBkColor(DWORD colour, bool shared = false);

    // Window attributes of the layout's root element.
    void ApplyWindowAttribute(const wchar_t* name, const wchar_t* value);
    void StoreExtraWindowAttribute(const wchar_t* name, const wchar_t* value);
    const wchar_t* ExtraWindowAttribute(const wchar_t* name) const;
    void RemoveAllExtraWindowAttributes();

    // Process-wide: language strings.
    static void SetLanguageString(int id, const wchar_t* text);
    static const wchar_t* LanguageString(int id);
    static void RemoveAllLanguageStrings();
    static CUIString ExpandLanguageTokens(const wchar_t* text);

    // Process-wide: hue/saturation/lightness adjustment (180, 100, 100 = none).
    static void SetHSL(bool use, short hue, short saturation, short lightness);
    static void GetHSL(short* hue, short* saturation, short* lightness);
    static bool IsUseHSL();

    // Process-wide: managers, control factories, module and skin source.
    static int GetManagerCount();
    static CUIManager* GetManager(int index);
    static void AddControlFactory(CONTROLFACTORYPROC factory);
    static int GetControlFactoryCount();
    static CONTROLFACTORYPROC GetControlFactory(int index);
    static void SetInstance(HINSTANCE instance);
    static HINSTANCE GetInstance();
    static CUIString GetInstancePath();
    static void SetResourcePath(const wchar_t* path);
    static const CUIString& GetResourcePath();
    static void SetResourceZip(const wchar_t* name, bool cached = true);
    static void SetResourceZip(const void* bytes, size_t length);
    static const CUIString& GetResourceZip();
    static bool IsCachedResourceZip();

private:
    static TUIRegistry& Shared();
    TUIRegistry& RegistryFor(bool shared);
    TFontRecord* FindFontRecord(int id) const;
    void FillMetrics(TFontRecord& record);
    void SetColour(DWORD TUIRegistry::*field, DWORD colour, bool shared);

    void ClearNameMap();
    void DeleteCleanupControls();
    void DeliverQueuedNotifies();
    void DeliverNotify(TUINotify& msg);
    void AskForAsyncPass();
    void ResetForNewRoot();
    void ForgetAsTarget(CControlUI* control);
    void ForgetName(CControlUI* control);
    void ForgetInLists(CControlUI* control);
    // keyState -1: read the keyboard's state now.
    void SendEvent(CControlUI* target, int type, CControlUI* sender, WPARAM wParam = 0,
                   LPARAM lParam = 0, int keyState = -1, wchar_t key = 0);
    CControlUI* FindOwnControlAt(POINT point) const;

    bool FilterMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool ProcessWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool ProcessInputMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void OnMouseMove(WPARAM wParam, LPARAM lParam);
    bool OnMouseHover(LPARAM lParam);
    void OnMouseLeave();
    void OnButtonDown(UINT message, WPARAM wParam, LPARAM lParam);
    void OnButtonUp(WPARAM wParam, LPARAM lParam);
    void OnContextMenu(WPARAM wParam, LPARAM lParam);
    void OnMouseWheel(WPARAM wParam, LPARAM lParam);
    void OnKeyMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnKillFocus(WPARAM wParam);
    void OnClose();
    bool OnSetCursor(WPARAM wParam, LPARAM lParam);
    void OnTimer(WPARAM wParam, LPARAM lParam);
    void OnSize(WPARAM wParam, LPARAM lParam);
    void OnDpiChanged(WPARAM wParam, LPARAM lParam);
    void FitFontToScale(TFontRecord& record);
    CUIString ImageKey(const wchar_t* name) const;
    TLoadedImage* ScaledImage(const wchar_t* name, const wchar_t* type, DWORD mask, bool keepSource);
    TLoadedImage* StoreImage(const wchar_t* key, TLoadedImage* image, const wchar_t* resourceType, DWORD mask,
        bool keepSource, bool shared);
    void ApplyTrackSizes(MINMAXINFO* info);
    bool TranslateByAccelerators(MSG* msg);
    bool ReflectMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool HandleShortcut(wchar_t ch);
    void ShowTooltip(CControlUI* control, POINT point);
    void RemoveHover();
    void RememberFilterPoint(UINT message, LPARAM lParam);

    void OnPaint();
    void PaintWithoutRoot();
    void LayOut(const RECT& client);
    bool CreateOffscreen(const RECT& client);
    void DeleteOffscreen();
    void PaintTree(HDC dc, const RECT& area);
    void PrintClient(HDC dc, LPARAM flags);

    static CControlUI* CALLBACK FindByPoint(CControlUI* control, LPVOID data);
    static CControlUI* CALLBACK CollectNames(CControlUI* control, LPVOID data);
    static CControlUI* CALLBACK CollectUpdates(CControlUI* control, LPVOID data);
    static CControlUI* CALLBACK FindTabStop(CControlUI* control, LPVOID data);
    static CControlUI* CALLBACK FindShortcut(CControlUI* control, LPVOID data);

    CUIString name_;
    HWND window_ = nullptr;
    CDpiScale scale_;
    WindowDc paintDc_;
    MemoryDc offscreenDc_;
    GdiObject offscreenBitmap_;
    DWORD hoverTime_ = 1000;

    bool noActivate_ = false;
    bool showDirty_ = false;
    bool firstLayout_ = true;
    bool updateNeeded_ = false;
    bool focusNeeded_ = false;
    bool offscreenPaint_ = true;
    BYTE opacity_ = 255;
    BYTE layeredOpacity_ = 255;
    bool painting_ = false;
    bool mouseTracking_ = false;
    bool captured_ = false;
    bool asyncPosted_ = false;
    bool useVirtualWnd_ = false;
    bool forceSharedRes_ = false;

    CControlUI* root_ = nullptr;
    CControlUI* focus_ = nullptr;
    CControlUI* hover_ = nullptr;
    CControlUI* click_ = nullptr;
    CControlUI* key_ = nullptr;
    POINT lastMousePos_ = {-1, -1};

    SIZE minInfo_ = {0, 0};
    SIZE maxInfo_ = {0, 0};
    SIZE initSize_ = {0, 0};
    RECT sizeBox_ = {0, 0, 0, 0};
    SIZE roundCorner_ = {0, 0};
    RECT caption_ = {0, 0, 0, 0};
    RECT layeredInset_ = {0, 0, 0, 0};
    CUIString layeredImage_;

    CUIPtrArrayOf<INotifyUI> notifiers_;
    CUIPtrArrayOf<IMessageFilterUI> preMessageFilters_;
    CUIPtrArrayOf<IMessageFilterUI> messageFilters_;
    CUIPtrArrayOf<CControlUI> postPaintControls_;
    CUIPtrArray nativeWindows_;
    CUIPtrArrayOf<CControlUI> nativeWindowControls_;
    CUIPtrArrayOf<CControlUI> cleanupControls_;
    CUIPtrArrayOf<CControlUI> foundControls_;
    CUIPtrArrayOf<CControlUI> mouseLeaveNeeded_;
    CUIPtrArrayOf<ITranslateAccelerator> translators_;

    CUIStringMapOf<CControlUI> nameMap_;
    CTextTable extraWindowAttributes_;
    TUIRegistry own_;
    // Collaborators that may hold a control; each lets go of a deleted one
    // itself (ForgetControl).
    COptionGroups optionGroups_;
    CTimerTable timers_;
    CNotifyQueue notifies_;
    CTooltip tooltip_;
};

} // namespace SkinUI
