// The upgrade window built from MainWindow.xml of the real skin package,
// without its worker: the time from CreateNative to the end of its first
// WM_PAINT (shown as start-up shows it), then the mean of full repaints
// (the whole client area invalidated and painted), in batches.
// Prints window.first_paint_ms, window.create_ms and paint.full_ms (the
// median of the batch means); then the window moves to a display of 192 DPI
// (WM_DPICHANGED, as between monitors) and paint.full_ms_192dpi is the same
// at 200 %, four times the pixels, with paint.192dpi_ratio against the
// first figure of the same run. The spread goes to standard error.
#include "ui/controls/control.h"
#include "ui/core/skin_source.h"
#include "ui/core/window_impl_base.h"

#include <objbase.h>
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <vector>

using namespace SkinUI;

namespace {

const int kPaintBatches = 9;
const int kPaintsPerBatch = 50;
const DWORD kWindowStyle = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU;

double Milliseconds(LONGLONG ticks)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(ticks) * 1e3 / static_cast<double>(frequency.QuadPart);
}

LONGLONG Now()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

// The upgrade window's layout and first contents, as MainWindow sets them
// when it is created.
class UpgradeLayoutWindow : public WindowImplBase {
public:
    LONGLONG firstPaintEnd = 0;

    void SetText(const wchar_t* name, const wchar_t* text)
    {
        if (CControlUI* control = GetManager().FindControlByName(name))
            control->SetText(text);
    }

protected:
    const wchar_t* ClassName() const override { return L"KestrelBenchUpgradeWindow"; }
    CUIString SkinFolder() const override { return CUIString(); }
    CUIString SkinFile() const override { return L"MainWindow.xml"; }

    void OnLayoutLoaded() override
    {
        SetText(L"Msg_RichEdit", L"Tarnwick 1.0.1.0\n修复了若干问题\nFaster start-up\n"
                                 L"Downloads resume behind proxies\nA new skin for the main window");
    }

    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        LRESULT result = WindowImplBase::OnMessage(message, wParam, lParam);
        if (message == WM_PAINT && firstPaintEnd == 0)
            firstPaintEnd = Now();
        return result;
    }
};

// As start-up hands the skin package over: a copy that stays for the process.
bool UseSkinResource()
{
    HINSTANCE module = GetModuleHandleW(nullptr);
    CSkinSource::SetModule(module);
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(101), L"ZIPRES");
    HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
    DWORD size = resource ? SizeofResource(module, resource) : 0;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes || size == 0)
        return false;
    unsigned char* copy = new unsigned char[size];
    memcpy(copy, bytes, size);
    CSkinSource::UseZipInMemory(copy, size);
    return true;
}

bool PumpUntilFirstPaint(const UpgradeLayoutWindow& window)
{
    DWORD start = GetTickCount();
    MSG msg;
    while (window.firstPaintEnd == 0) {
        if (GetTickCount() - start > 10000)
            return false;
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return true;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// The median of the batch means of full repaints.
double FullRepaint(HWND handle)
{
    std::vector<double> means;
    for (int batch = 0; batch < kPaintBatches; ++batch) {
        LONGLONG batchStart = Now();
        for (int round = 0; round < kPaintsPerBatch; ++round) {
            InvalidateRect(handle, nullptr, FALSE);
            UpdateWindow(handle);
        }
        means.push_back(Milliseconds(Now() - batchStart) / kPaintsPerBatch);
    }
    RECT client = {};
    GetClientRect(handle, &client);
    fprintf(stderr, "client area %ldx%ld; full repaint batch means: min %.3f, median %.3f, max %.3f ms\n",
            client.right, client.bottom, *std::min_element(means.begin(), means.end()), Median(means),
            *std::max_element(means.begin(), means.end()));
    return Median(means);
}

} // namespace

int main()
{
    if (FAILED(CoInitialize(nullptr)) || !UseSkinResource()) {
        fprintf(stderr, "no skin package\n");
        return 1;
    }
    UpgradeLayoutWindow window;
    LONGLONG start = Now();
    HWND handle = window.CreateNative(nullptr, L"Kestrel paint benchmark", kWindowStyle, WS_EX_WINDOWEDGE,
                                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT);
    LONGLONG created = Now();
    if (!handle)
        return 1;
    SetWindowLongW(handle, GWL_STYLE, GetWindowLongW(handle, GWL_STYLE) & ~WS_THICKFRAME);
    window.CenterOnOwner();
    window.Show(true, true);
    if (!PumpUntilFirstPaint(window)) {
        fprintf(stderr, "the window was never painted\n");
        return 1;
    }

    // A download in progress: 42% and its bar.
    window.SetText(L"UpdateState_Label", L"升级中，请稍候...42%");
    if (CControlUI* bar = window.GetManager().FindControlByName(L"Progress_Label"))
        bar->SetFixedWidth(210);
    InvalidateRect(handle, nullptr, FALSE);
    UpdateWindow(handle);
    const double full = FullRepaint(handle);
    printf("window.first_paint_ms: %.1f\n", Milliseconds(window.firstPaintEnd - start));
    printf("window.create_ms: %.1f\n", Milliseconds(created - start));
    printf("paint.full_ms: %.3f\n", full);

    // Inside the 1024x768 screen of the test session, so all of it is painted.
    RECT suggested = {12, 74, 12 + 1000, 74 + 620};
    SendMessageW(handle, WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
    UpdateWindow(handle);
    const double dense = FullRepaint(handle);
    printf("paint.full_ms_192dpi: %.3f\n", dense);
    printf("paint.192dpi_ratio: %.2f\n", dense / full);
    DestroyWindow(handle);
    return 0;
}
