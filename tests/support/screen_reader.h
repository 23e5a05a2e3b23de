#pragma once

#include <windows.h>
#include <oleacc.h>

#include <string>
#include <vector>

namespace testing_support {

// The client object of a window, read as a screen reader reads it: from
// the test's process through oleacc, across processes when the window is
// another's. The thread must have initialised COM.
class ScreenReaderView {
public:
    explicit ScreenReaderView(HWND window);
    ~ScreenReaderView();
    ScreenReaderView(const ScreenReaderView&) = delete;
    ScreenReaderView& operator=(const ScreenReaderView&) = delete;

    bool Connected() const { return object_ != nullptr; }
    // The HRESULT of the last call.
    HRESULT LastResult() const { return last_; }

    long ChildCount();
    LONG Role(LONG child);
    LONG State(LONG child);
    std::wstring Name(LONG child);
    std::wstring Value(LONG child);
    std::wstring Description(LONG child);
    // In screen coordinates.
    RECT Location(LONG child);
    // The child found, 0 for the window itself, -1 for none.
    LONG HitTest(POINT screenPoint);
    LONG Navigate(LONG from, long direction);
    HRESULT TakeFocus(LONG child);
    LONG Focus();
    std::wstring DefaultAction(LONG child);
    HRESULT DoDefaultAction(LONG child);
    // The first child with this role and name, 0 when there is none.
    LONG FindChild(LONG role, const std::wstring& name);

private:
    IAccessible* object_ = nullptr;
    HRESULT last_ = S_OK;
};

// One event a screen reader hears.
struct HeardEvent {
    DWORD event;
    HWND window;
    LONG object;
    LONG child;
};

// Listens to the win events of every process, as a screen reader does,
// from the test's thread; events arrive while it waits.
class WinEventListener {
public:
    WinEventListener(DWORD firstEvent, DWORD lastEvent);
    ~WinEventListener();
    WinEventListener(const WinEventListener&) = delete;
    WinEventListener& operator=(const WinEventListener&) = delete;

    bool Listening() const { return hook_ != nullptr; }
    // Pumps this thread's messages until an event of this kind for this
    // window and child (any child when child is -1) is heard; true then.
    bool WaitFor(DWORD event, HWND window, LONG child = -1, DWORD timeoutMs = 20000);
    // Takes the events that have arrived.
    void Pump();
    // How many of this kind for this window and child have been heard.
    int Count(DWORD event, HWND window, LONG child) const;
    // The events of one window heard so far.
    std::vector<HeardEvent> Of(HWND window) const;

private:
    static void CALLBACK Hear(HWINEVENTHOOK hook, DWORD event, HWND window, LONG object, LONG child, DWORD thread,
                              DWORD time);

    HWINEVENTHOOK hook_ = nullptr;
    std::vector<HeardEvent> events_;
};

} // namespace testing_support
