#pragma once

#include "ui/core/accessible_window.h"
#include "ui/core/com_ref.h"
#include "ui/core/layout_builder.h"
#include "ui/core/notify_pump.h"
#include "ui/core/ui_events.h"
#include "ui/core/ui_manager.h"
#include "ui/core/ui_string.h"
#include "ui/core/window_wnd.h"

#include <windows.h>

namespace SkinUI {

// Where a window's layout comes from.
enum SkinSourceKindValue {
    kSkinFromSource = 1,
    kSkinFromZipFile = 2,
    kSkinFromXmlResource = 3,
    kSkinFromZipResource = 4,
};

// A skinned top-level window: owns its manager, builds its control tree
// from the layout in its creation handler, draws its own frame (caption
// and size box by hit-testing) and dispatches notifications to handler
// tables.
class WindowImplBase : public CWindowWnd,
                       public CNotifyPump,
                       public INotifyUI,
                       public IMessageFilterUI,
                       public IDialogBuilderCallback,
                       public IAccessibleWindowUI {
public:
    WindowImplBase() = default;
    // A window still open when its object goes is destroyed first, so that
    // no message reaches the object half torn down.
    ~WindowImplBase() override;

    CUIManager& GetManager() { return manager_; }

    void Notify(TUINotify& msg) override;
    LRESULT MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    CControlUI* CreateCustomControl(const wchar_t* name) override;

    // The client object screen readers see: a client named by the window's
    // title unless a window says otherwise.
    DWORD AccessibleRole() override;
    CUIString AccessibleName() override;
    CUIString AccessibleDescription() override;

protected:
    static const TNotifyMapEntry kNotifyEntries[];
    static const TNotifyMap kNotifyMap;

    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnWindowGone(HWND window) override;
    const TNotifyMap* MessageMap() const override;

    virtual void OnLayoutLoaded() {}
    virtual void OnButtonClick(TUINotify& msg);
    virtual CUIString SkinFolder() const = 0;
    virtual CUIString SkinFile() const = 0;
    virtual LRESULT OnDefaultKey(WPARAM key);
    virtual int SkinSourceKind() const { return kSkinFromSource; }
    virtual CUIString SkinZipName() const { return CUIString(); }
    virtual CUIString SkinResourceId() const { return CUIString(); }

    virtual LRESULT OnClose(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnDestroy(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnNcActivate(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnNcCalcSize(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnNcPaint(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnNcHitTest(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnGetMinMaxInfo(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnMouseWheel(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnMouseHover(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnSize(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnChar(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnSysCommand(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnCreate(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnKeyDown(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnKillFocus(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnSetFocus(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnLButtonDown(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnLButtonUp(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnMouseMove(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnOtherMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);

    // The client object for WM_GETOBJECT; false for every other message
    // and object id, which keep the default answer.
    bool AnswerAccessibleObject(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& answer);

    virtual LONG FrameStyle() const;
    // Whether a point of the caption band over this control (or over none)
    // drags the window.
    virtual bool IsCaptionControl(CControlUI* control) const;

private:
    typedef LRESULT (WindowImplBase::*MessageOperation)(UINT, WPARAM, LPARAM, bool&);
    static MessageOperation OperationFor(UINT message);

    bool UseSkinSource();
    CControlUI* BuildTree();
    [[noreturn]] void FailWithoutLayout();
    void SwapMaxRestoreButtons(bool wasMaximised);

    CUIManager manager_;
    ComRef<CAccessibleWindow> accessible_;
};

} // namespace SkinUI
