#include "tests/support/screen_reader.h"

#include "tests/support/process.h"

namespace testing_support {

namespace {

VARIANT Child(LONG id)
{
    VARIANT child;
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

std::wstring TakeText(BSTR text)
{
    std::wstring result = text ? std::wstring(text, SysStringLen(text)) : std::wstring();
    SysFreeString(text);
    return result;
}

// Only one listener hears at a time: the hook procedure has no context.
WinEventListener* current = nullptr;

} // namespace

ScreenReaderView::ScreenReaderView(HWND window)
{
    last_ = AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                       reinterpret_cast<void**>(&object_));
    if (FAILED(last_))
        object_ = nullptr;
}

ScreenReaderView::~ScreenReaderView()
{
    if (object_)
        object_->Release();
}

long ScreenReaderView::ChildCount()
{
    long count = -1;
    last_ = object_ ? object_->get_accChildCount(&count) : E_POINTER;
    return SUCCEEDED(last_) ? count : -1;
}

LONG ScreenReaderView::Role(LONG child)
{
    VARIANT answer;
    VariantInit(&answer);
    last_ = object_ ? object_->get_accRole(Child(child), &answer) : E_POINTER;
    return SUCCEEDED(last_) && answer.vt == VT_I4 ? answer.lVal : -1;
}

LONG ScreenReaderView::State(LONG child)
{
    VARIANT answer;
    VariantInit(&answer);
    last_ = object_ ? object_->get_accState(Child(child), &answer) : E_POINTER;
    return SUCCEEDED(last_) && answer.vt == VT_I4 ? answer.lVal : -1;
}

std::wstring ScreenReaderView::Name(LONG child)
{
    BSTR text = nullptr;
    last_ = object_ ? object_->get_accName(Child(child), &text) : E_POINTER;
    return TakeText(text);
}

std::wstring ScreenReaderView::Value(LONG child)
{
    BSTR text = nullptr;
    last_ = object_ ? object_->get_accValue(Child(child), &text) : E_POINTER;
    return TakeText(text);
}

std::wstring ScreenReaderView::Description(LONG child)
{
    BSTR text = nullptr;
    last_ = object_ ? object_->get_accDescription(Child(child), &text) : E_POINTER;
    return TakeText(text);
}

RECT ScreenReaderView::Location(LONG child)
{
    long left = 0, top = 0, width = 0, height = 0;
    last_ = object_ ? object_->accLocation(&left, &top, &width, &height, Child(child)) : E_POINTER;
    return {left, top, left + width, top + height};
}

LONG ScreenReaderView::HitTest(POINT screenPoint)
{
    VARIANT answer;
    VariantInit(&answer);
    last_ = object_ ? object_->accHitTest(screenPoint.x, screenPoint.y, &answer) : E_POINTER;
    return SUCCEEDED(last_) && answer.vt == VT_I4 ? answer.lVal : -1;
}

LONG ScreenReaderView::Navigate(LONG from, long direction)
{
    VARIANT answer;
    VariantInit(&answer);
    last_ = object_ ? object_->accNavigate(direction, Child(from), &answer) : E_POINTER;
    return SUCCEEDED(last_) && answer.vt == VT_I4 ? answer.lVal : -1;
}

HRESULT ScreenReaderView::TakeFocus(LONG child)
{
    last_ = object_ ? object_->accSelect(SELFLAG_TAKEFOCUS, Child(child)) : E_POINTER;
    return last_;
}

LONG ScreenReaderView::Focus()
{
    VARIANT answer;
    VariantInit(&answer);
    last_ = object_ ? object_->get_accFocus(&answer) : E_POINTER;
    return SUCCEEDED(last_) && answer.vt == VT_I4 ? answer.lVal : -1;
}

std::wstring ScreenReaderView::DefaultAction(LONG child)
{
    BSTR text = nullptr;
    last_ = object_ ? object_->get_accDefaultAction(Child(child), &text) : E_POINTER;
    return TakeText(text);
}

HRESULT ScreenReaderView::DoDefaultAction(LONG child)
{
    last_ = object_ ? object_->accDoDefaultAction(Child(child)) : E_POINTER;
    return last_;
}

LONG ScreenReaderView::FindChild(LONG role, const std::wstring& name)
{
    const long count = ChildCount();
    for (LONG id = 1; id <= count; ++id) {
        if (Role(id) == role && Name(id) == name)
            return id;
    }
    return 0;
}

WinEventListener::WinEventListener(DWORD firstEvent, DWORD lastEvent)
{
    current = this;
    hook_ = SetWinEventHook(firstEvent, lastEvent, nullptr, &WinEventListener::Hear, 0, 0, WINEVENT_OUTOFCONTEXT);
}

WinEventListener::~WinEventListener()
{
    if (hook_)
        UnhookWinEvent(hook_);
    current = nullptr;
}

void CALLBACK WinEventListener::Hear(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD)
{
    if (current)
        current->events_.push_back({event, window, object, child});
}

void WinEventListener::Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&msg);
}

int WinEventListener::Count(DWORD event, HWND window, LONG child) const
{
    int count = 0;
    for (const HeardEvent& heard : events_)
        count += heard.event == event && heard.window == window && (child == -1 || heard.child == child);
    return count;
}

bool WinEventListener::WaitFor(DWORD event, HWND window, LONG child, DWORD timeoutMs)
{
    return WaitUntil(
        [&] {
            Pump();
            return Count(event, window, child) > 0;
        },
        timeoutMs);
}

std::vector<HeardEvent> WinEventListener::Of(HWND window) const
{
    std::vector<HeardEvent> of;
    for (const HeardEvent& heard : events_) {
        if (heard.window == window)
            of.push_back(heard);
    }
    return of;
}

} // namespace testing_support
