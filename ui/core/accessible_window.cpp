#include "ui/core/accessible_window.h"

#include "ui/controls/control.h"
#include "ui/core/accessible_children.h"
#include "ui/core/system_library.h"
#include "ui/core/ui_manager.h"

#include <oleauto.h>

#include <limits.h>
#include <stdlib.h>

#include <vector>

namespace SkinUI {

namespace {

using LresultFromObjectProc = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
using AccessibleObjectFromWindowProc = HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**);

// oleacc is loaded at the first question, from the system folder only: a
// window that no screen reader asks about never loads it.
FARPROC OleaccFunction(const char* name)
{
    static HMODULE library = LoadSystemLibrary(L"oleacc.dll");
    return library ? ::GetProcAddress(library, name) : nullptr;
}

HRESULT TextAnswer(const CUIString& text, BSTR* answer)
{
    if (!answer)
        return E_POINTER;
    *answer = nullptr;
    if (text.IsEmpty())
        return S_FALSE;
    *answer = ::SysAllocStringLen(text.GetData(), static_cast<UINT>(text.GetLength()));
    return *answer ? S_OK : E_OUTOFMEMORY;
}

HRESULT NumberAnswer(LONG number, VARIANT* answer)
{
    if (!answer)
        return E_POINTER;
    answer->vt = VT_I4;
    answer->lVal = number;
    return S_OK;
}

HRESULT NoAnswer(VARIANT* answer)
{
    if (!answer)
        return E_POINTER;
    answer->vt = VT_EMPTY;
    return S_FALSE;
}

// How far a rectangle lies beyond another in a direction, and how far off
// its line; false when it does not lie beyond.
bool Beyond(const RECT& from, const RECT& to, long direction, long& distance, long& offset)
{
    const long centreX = (to.left + to.right) / 2 - (from.left + from.right) / 2;
    const long centreY = (to.top + to.bottom) / 2 - (from.top + from.bottom) / 2;
    switch (direction) {
    case NAVDIR_DOWN: distance = to.top - from.bottom; offset = labs(centreX); break;
    case NAVDIR_UP: distance = from.top - to.bottom; offset = labs(centreX); break;
    case NAVDIR_RIGHT: distance = to.left - from.right; offset = labs(centreY); break;
    case NAVDIR_LEFT: distance = from.left - to.right; offset = labs(centreY); break;
    default: return false;
    }
    return distance >= 0;
}

// The nearest child in a direction on the screen, 0 when there is none.
LONG NearestChild(const std::vector<CControlUI*>& children, LONG from, long direction)
{
    const RECT& start = children[from - 1]->GetPos();
    LONG best = 0;
    long bestDistance = LONG_MAX;
    long bestOffset = LONG_MAX;
    for (size_t i = 0; i < children.size(); ++i) {
        long distance = 0;
        long offset = 0;
        if (static_cast<LONG>(i) + 1 == from || !Beyond(start, children[i]->GetPos(), direction, distance, offset))
            continue;
        if (distance < bestDistance || (distance == bestDistance && offset < bestOffset)) {
            best = static_cast<LONG>(i) + 1;
            bestDistance = distance;
            bestOffset = offset;
        }
    }
    return best;
}

} // namespace

CAccessibleWindow::CAccessibleWindow(HWND window, CUIManager* manager, IAccessibleWindowUI* owner)
    : window_(window), manager_(manager), owner_(owner)
{
}

LRESULT CAccessibleWindow::AnswerGetObject(WPARAM wParam)
{
    auto answer = reinterpret_cast<LresultFromObjectProc>(OleaccFunction("LresultFromObject"));
    return answer ? answer(__uuidof(IAccessible), wParam, this) : 0;
}

void CAccessibleWindow::Disconnect()
{
    window_ = nullptr;
    manager_ = nullptr;
    owner_ = nullptr;
}

HRESULT STDMETHODCALLTYPE CAccessibleWindow::QueryInterface(REFIID riid, void** object)
{
    if (!object)
        return E_POINTER;
    if (riid != IID_IUnknown && riid != IID_IDispatch && riid != __uuidof(IAccessible)) {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    *object = static_cast<IAccessible*>(this);
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE CAccessibleWindow::AddRef()
{
    return static_cast<ULONG>(::InterlockedIncrement(&refs_));
}

ULONG STDMETHODCALLTYPE CAccessibleWindow::Release()
{
    LONG left = ::InterlockedDecrement(&refs_);
    if (left == 0)
        delete this;
    return static_cast<ULONG>(left);
}

HRESULT STDMETHODCALLTYPE CAccessibleWindow::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CAccessibleWindow::GetTypeInfo(UINT, LCID, ITypeInfo** info)
{
    if (info)
        *info = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CAccessibleWindow::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CAccessibleWindow::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                                    UINT*)
{
    return E_NOTIMPL;
}

HRESULT CAccessibleWindow::Resolve(const VARIANT& child, CControlUI** control) const
{
    *control = nullptr;
    if (!Connected())
        return CO_E_OBJNOTCONNECTED;
    if (child.vt == VT_EMPTY || (child.vt == VT_I4 && child.lVal == CHILDID_SELF))
        return S_OK;
    if (child.vt != VT_I4)
        return E_INVALIDARG;
    const std::vector<CControlUI*> children = AccessibleChildren(*manager_);
    if (child.lVal < 1 || child.lVal > static_cast<LONG>(children.size()))
        return E_INVALIDARG;
    *control = children[child.lVal - 1];
    return S_OK;
}

DWORD CAccessibleWindow::WindowState() const
{
    DWORD state = STATE_SYSTEM_FOCUSABLE;
    if (::GetFocus() == window_)
        state |= STATE_SYSTEM_FOCUSED;
    if (!::IsWindowVisible(window_))
        state |= STATE_SYSTEM_INVISIBLE;
    if (!::IsWindowEnabled(window_))
        state |= STATE_SYSTEM_UNAVAILABLE;
    return state;
}

RECT CAccessibleWindow::ScreenRect(const CControlUI* control) const
{
    RECT rect = {};
    if (control)
        rect = control->GetPos();
    else
        ::GetClientRect(window_, &rect);
    ::MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

HRESULT STDMETHODCALLTYPE CAccessibleWindow::get_accParent(IDispatch** parent)
{
    if (!parent)
        return E_POINTER;
    *parent = nullptr;
    if (!Connected())
        return CO_E_OBJNOTCONNECTED;
    auto fromWindow = reinterpret_cast<AccessibleObjectFromWindowProc>(OleaccFunction("AccessibleObjectFromWindow"));
    if (!fromWindow)
        return S_FALSE;
    return fromWindow(window_, static_cast<DWORD>(OBJID_WINDOW), IID_IDispatch, reinterpret_cast<void**>(parent));
}

HRESULT STDMETHODCALLTYPE CAccessibleWindow::get_accChildCount(long* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    if (!Connected())
        return CO_E_OBJNOTCONNECTED;
    *count = static_cast<long>(AccessibleChildren(*manager_).size());
    return S_OK;
}

// The children are simple elements: only the window is an object of its own.
HRESULT STDMETHODCALLTYPE CAccessibleWindow::get_accChild(VARIANT child, IDispatch** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    CControlUI* control = nullptr;
    HRESULT resolved = Resolve(child, &control);
    if (FAILED(resolved))
        return resolved;
    if (control)
        return S_FALSE;
    *object = this;
    AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CAccessibleWindow::get_accName(VARIANT child, BSTR* name)
{
    if (!name)
        return E_POINTER;
    *name = nullptr;
    CControlUI* control = nullptr;
    HRESULT resolved = Resolve(child, &control);
    if (FAILED(resolved))
        return resolved;
    return TextAnswer(control ? control->GetAccessibleName() : owner_->AccessibleName(), name);
}

HRESULT STDMETHODCALLTYPE CAccessibleWindow::get_accValue(VARIANT child, BSTR* value)
{
    if (!value)
        return E_POINTER;
    *value = nullptr;
    CControlUI* control = nullptr;
    HRESULT resolved = Resolve(child, &control);
    if (FAILED(resolved))
        return resolved;
    return TextAnswer(control ? control->GetAccessibleValue() : CUIString(), value);
}

// A tooltip that did not already serve as the name describes the control.
HRESULT STDMETHODCALLTYPE CAccessibleWindow::get_accDescription(VARIANT child, BSTR* description)
{
    if (!description)
        return E_POINTER;
    *description = nullptr;
    CControlUI* control = nullptr;
    HRESULT resolved = Resolve(child, &control);
    if (FAILED(resolved))
        return resolved;
    if (!control)
        return TextAnswer(owner_->AccessibleDescription(), description);
    CUIString tooltip = control->GetToolTip();
    return TextAnswer(tooltip == control->GetAccessibleName() ? CUIString() : tooltip, description);
}

HRESULT STDMETHODCALLTYPE CAccessibleWindow::get_accRole(VARIANT child, VARIANT* role)
{
    CControlUI* control = nullptr;
    HRESULT resolved = Resolve(child, &control);
    if (FAILED(resolved))
        return resolved;
    return NumberAnswer(static_cast<LONG>(control ? control->GetAccessibleRole() : owner_->AccessibleRole()), role);
}

HRESULT STDMETHODCALLTYPE CAccessibleWindow::get_accState(VARIANT child, VARIANT* state)
{
    CControlUI* control = nullptr;
    HRESULT resolved = Resolve(child, &control);
    if (FAILED(resolved))
        return resolved;
    return NumberAnswer(static_cast<LONG>(control ? control->GetAccessibleState() : WindowState()), state);
}

HRESULT STDMETHODCALLTYPE CAccessibleWindow::get_accHelp(VARIANT child, BSTR* help)
{
    CControlUI* control = nullptr;
    HRESULT resolved = Resolve(child, &control);
    if (FAILED(resolved))
        return resolved;
    return TextAnswer(CUIString(), help);
}

HRESULT STDMETHODCALLTYPE CAccessibleWindow::get_accHelpTopic(BSTR* file, VARIANT child, long* topic)
{
    if (!file || !topic)
        return E_POINTER;
    *file = nullptr;
    *topic = 0;
    CControlUI* control = nullptr;
    HRESULT resolved = Resolve(child, &control);
    return FAILED(resolved) ? resolved : S_FALSE;
}

HRESULT STDMETHODCALLTYPE CAccessibleWindow::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut)
{
    CControlUI* control = nullptr;
    HRESULT resolved = Resolve(child, &control);
    if (FAILED(resolved))
        return resolved;
    return TextAnswer(CUIString(), shortcut);
}

HRESULT STDMETHODCALLTYPE CAccessibleWindow::get_accFocus(VARIANT* child)
{
    if (!child)
        return E_POINTER;
    child->vt = VT_EMPTY;
    if (!Connected())
        return CO_E_OBJNOTCONNECTED;
    if (LONG id = AccessibleChildId(*manager_, manager_->GetFocus()))
        return NumberAnswer(id, child);
    if (::GetFocus() == window_)
        return NumberAnswer(CHILDID_SELF, child);
    return S_FALSE;
}

HRESULT STDMETHODCALLTYPE CAccessibleWindow::get_accSelection(VARIANT* children)
{
    if (!children)
        return E_POINTER;
    children->vt = VT_EMPTY;
    return Connected() ? S_FALSE : CO_E_OBJNOTCONNECTED;
}

HRESULT STDMETHODCALLTYPE CAccessibleWindow::get_accDefaultAction(VARIANT child, BSTR* action)
{
    if (!action)
        return E_POINTER;
    *action = nullptr;
    CControlUI* control = nullptr;
    HRESULT resolved = Resolve(child, &control);
    if (FAILED(resolved))
        return resolved;
    return TextAnswer(control ? control->GetAccessibleDefaultAction() : CUIString(), action);
}

// Only the focus can be taken: nothing here is selectable.
HRESULT STDMETHODCALLTYPE CAccessibleWindow::accSelect(long flags, VARIANT child)
{
    CControlUI* control = nullptr;
    HRESULT resolved = Resolve(child, &control);
    if (FAILED(resolved))
        return resolved;
    if (flags != SELFLAG_TAKEFOCUS)
        return DISP_E_MEMBERNOTFOUND;
    if (!control) {
        ::SetFocus(window_);
        return S_OK;
    }
    if (!(control->GetAccessibleState() & STATE_SYSTEM_FOCUSABLE))
        return S_FALSE;
    manager_->FocusControl(control);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CAccessibleWindow::accLocation(long* left, long* top, long* width, long* height,
                                                         VARIANT child)
{
    if (!left || !top || !width || !height)
        return E_POINTER;
    *left = *top = *width = *height = 0;
    CControlUI* control = nullptr;
    HRESULT resolved = Resolve(child, &control);
    if (FAILED(resolved))
        return resolved;
    const RECT rect = ScreenRect(control);
    *left = rect.left;
    *top = rect.top;
    *width = rect.right - rect.left;
    *height = rect.bottom - rect.top;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CAccessibleWindow::accNavigate(long direction, VARIANT start, VARIANT* end)
{
    if (!end)
        return E_POINTER;
    end->vt = VT_EMPTY;
    CControlUI* control = nullptr;
    HRESULT resolved = Resolve(start, &control);
    if (FAILED(resolved))
        return resolved;
    if (direction < NAVDIR_UP || direction > NAVDIR_LASTCHILD)
        return E_INVALIDARG;
    const std::vector<CControlUI*> children = AccessibleChildren(*manager_);
    const LONG count = static_cast<LONG>(children.size());
    const LONG from = control ? start.lVal : CHILDID_SELF;
    LONG to = 0;
    if (from == CHILDID_SELF) {
        // The window's own siblings are its frame's business.
        if (direction == NAVDIR_FIRSTCHILD)
            to = count > 0 ? 1 : 0;
        else if (direction == NAVDIR_LASTCHILD)
            to = count;
    } else if (direction == NAVDIR_NEXT) {
        to = from < count ? from + 1 : 0;
    } else if (direction == NAVDIR_PREVIOUS) {
        to = from - 1;
    } else if (direction != NAVDIR_FIRSTCHILD && direction != NAVDIR_LASTCHILD) {
        to = NearestChild(children, from, direction);
    }
    return to > 0 ? NumberAnswer(to, end) : NoAnswer(end);
}

// The last child in tree order is the one drawn on top.
HRESULT STDMETHODCALLTYPE CAccessibleWindow::accHitTest(long x, long y, VARIANT* child)
{
    if (!child)
        return E_POINTER;
    child->vt = VT_EMPTY;
    if (!Connected())
        return CO_E_OBJNOTCONNECTED;
    POINT point = {x, y};
    ::ScreenToClient(window_, &point);
    RECT client = {};
    ::GetClientRect(window_, &client);
    if (!::PtInRect(&client, point))
        return S_FALSE;
    const std::vector<CControlUI*> children = AccessibleChildren(*manager_);
    for (size_t i = children.size(); i > 0; --i) {
        if (::PtInRect(&children[i - 1]->GetPos(), point))
            return NumberAnswer(static_cast<LONG>(i), child);
    }
    return NumberAnswer(CHILDID_SELF, child);
}

HRESULT STDMETHODCALLTYPE CAccessibleWindow::accDoDefaultAction(VARIANT child)
{
    CControlUI* control = nullptr;
    HRESULT resolved = Resolve(child, &control);
    if (FAILED(resolved))
        return resolved;
    return control && control->DoAccessibleDefaultAction() ? S_OK : DISP_E_MEMBERNOTFOUND;
}

HRESULT STDMETHODCALLTYPE CAccessibleWindow::put_accName(VARIANT, BSTR)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CAccessibleWindow::put_accValue(VARIANT, BSTR)
{
    return E_NOTIMPL;
}

} // namespace SkinUI
