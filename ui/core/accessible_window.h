#pragma once

#include "ui/core/ui_string.h"

#include <windows.h>
#include <oleacc.h>

namespace SkinUI {

class CControlUI;
class CUIManager;

// What a window says about itself to a screen reader; its window base answers.
class IAccessibleWindowUI {
public:
    virtual DWORD AccessibleRole() = 0;
    virtual CUIString AccessibleName() = 0;
    virtual CUIString AccessibleDescription() = 0;

protected:
    ~IAccessibleWindowUI() = default;
};

// The client area of a skinned window as a screen reader sees it: the
// window, with the controls a user perceives as its children (simple
// elements, named by child id). Clients may hold it past the window: once
// disconnected, every call fails with CO_E_OBJNOTCONNECTED and no control
// is touched.
class CAccessibleWindow final : public IAccessible {
public:
    CAccessibleWindow(HWND window, CUIManager* manager, IAccessibleWindowUI* owner);
    CAccessibleWindow(const CAccessibleWindow&) = delete;
    CAccessibleWindow& operator=(const CAccessibleWindow&) = delete;

    // The answer to WM_GETOBJECT for OBJID_CLIENT; 0 when oleacc cannot be loaded.
    LRESULT AnswerGetObject(WPARAM wParam);
    void Disconnect();

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IDispatch: the methods are called directly, never by name.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID locale, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override;
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override;
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override;
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override;
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override;
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override;

private:
    ~CAccessibleWindow() = default;

    bool Connected() const { return manager_ != nullptr; }
    // S_OK with *control null for the window itself, S_OK with the control
    // for a child, CO_E_OBJNOTCONNECTED or E_INVALIDARG otherwise.
    HRESULT Resolve(const VARIANT& child, CControlUI** control) const;
    DWORD WindowState() const;
    RECT ScreenRect(const CControlUI* control) const;

    LONG refs_ = 1;
    HWND window_;
    CUIManager* manager_;
    IAccessibleWindowUI* owner_;
};

} // namespace SkinUI
