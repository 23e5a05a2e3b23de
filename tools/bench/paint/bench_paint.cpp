// Layout figure of the control tree: one layout pass of a vertical layout
// holding 10,000 labels. (The full repaint figure is measured on the real
// upgrade window by tools/bench/window.)
#include "ui/controls/label.h"
#include "ui/controls/vertical_layout.h"
#include "ui/core/ui_manager.h"

#include <windows.h>

#include <stdio.h>

using namespace SkinUI;

namespace {

const int kWidth = 500;
const int kHeight = 310;
// The machine is shared: the figure is the best of a few runs.
const int kLayoutRuns = 3;

double Milliseconds(const LARGE_INTEGER& start, const LARGE_INTEGER& end)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(end.QuadPart - start.QuadPart) * 1e3 / static_cast<double>(frequency.QuadPart);
}

struct Host {
    HWND hwnd = nullptr;
    CUIManager manager;
};

LRESULT CALLBACK HostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* host = reinterpret_cast<Host*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    LRESULT result = 0;
    if (host && host->hwnd == hwnd && host->manager.ProcessMessage(message, wParam, lParam, result))
        return result;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void OpenWindow(Host& host, int width, int height)
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSW cls = {};
        cls.lpfnWndProc = HostProc;
        cls.hInstance = GetModuleHandleW(nullptr);
        cls.lpszClassName = L"KestrelPaintBench";
        registered = RegisterClassW(&cls) != 0;
    }
    host.hwnd = CreateWindowExW(0, L"KestrelPaintBench", L"bench", WS_POPUP | WS_VISIBLE, 0, 0, width, height,
        nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(host.hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&host));
    host.manager.AttachWindow(host.hwnd);
}

// Labels are added before the tree is attached, so binding happens once.
double OneLayoutOfLabels(int count)
{
    Host host;
    OpenWindow(host, kWidth, kHeight);
    auto* root = new CVerticalLayoutUI;
    root->EnableScrollBar(true, false);
    wchar_t text[32];
    for (int i = 0; i < count; ++i) {
        auto* label = new CLabelUI;
        swprintf(text, 32, L"Item %d", i);
        label->SetText(text);
        label->SetFixedHeight(20);
        root->Add(label);
    }
    host.manager.AttachRoot(root);
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    root->SetPos(RECT{0, 0, kWidth, kHeight}, false);
    QueryPerformanceCounter(&end);
    DestroyWindow(host.hwnd);
    return Milliseconds(start, end);
}

double LayoutOfLabels(int count)
{
    double best = 1e9;
    for (int run = 0; run < kLayoutRuns; ++run) {
        double took = OneLayoutOfLabels(count);
        best = took < best ? took : best;
    }
    return best;
}

} // namespace

int main()
{
    double tenThousand = LayoutOfLabels(10000);
    double twentyThousand = LayoutOfLabels(20000);
    fprintf(stderr, "layout of 20,000 labels: %.1f ms (%.2f times 10,000)\n", twentyThousand,
        twentyThousand / tenThousand);
    printf("paint.tree10k_layout_ms: %.1f\n", tenThousand);
    return 0;
}
