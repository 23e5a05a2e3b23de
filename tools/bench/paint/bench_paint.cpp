// Paint and layout figures of the control tree: the mean time of a full
// WM_PAINT of a window shaped like the upgrade window, and one layout pass
// of a vertical layout holding 10,000 labels.
#include "ui/controls/button.h"
#include "ui/controls/horizontal_layout.h"
#include "ui/controls/label.h"
#include "ui/controls/vertical_layout.h"
#include "ui/core/ui_manager.h"

#include <windows.h>

#include <stdio.h>

#include <string>
#include <vector>

using namespace SkinUI;

namespace {

const int kWidth = 500;
const int kHeight = 310;
// The machine is shared: each figure is the best of a few batches.
const int kPaintBatches = 5;
const int kPaintsPerBatch = 60;
const int kLayoutRuns = 3;

double Milliseconds(const LARGE_INTEGER& start, const LARGE_INTEGER& end)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(end.QuadPart - start.QuadPart) * 1e3 / static_cast<double>(frequency.QuadPart);
}

// A 24-bit bottom-up BMP with a busy pattern, written to the temporary folder.
std::wstring WriteBackground(int width, int height)
{
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    std::wstring path = std::wstring(folder) + L"kestrel_bench_bg.bmp";
    int stride = (width * 3 + 3) & ~3;
    std::vector<unsigned char> bytes(54 + static_cast<size_t>(stride) * height);
    BITMAPFILEHEADER* file = reinterpret_cast<BITMAPFILEHEADER*>(bytes.data());
    BITMAPINFOHEADER* info = reinterpret_cast<BITMAPINFOHEADER*>(bytes.data() + 14);
    file->bfType = 0x4D42;
    file->bfSize = static_cast<DWORD>(bytes.size());
    file->bfOffBits = 54;
    info->biSize = sizeof(BITMAPINFOHEADER);
    info->biWidth = width;
    info->biHeight = height;
    info->biPlanes = 1;
    info->biBitCount = 24;
    for (int y = 0; y < height; ++y) {
        unsigned char* row = bytes.data() + 54 + static_cast<size_t>(y) * stride;
        for (int x = 0; x < width; ++x) {
            row[x * 3] = static_cast<unsigned char>(0x25 + (x * y) % 16);
            row[x * 3 + 1] = static_cast<unsigned char>(0x17 + (x + y) % 8);
            row[x * 3 + 2] = 0x0D;
        }
    }
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(handle);
    return path;
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

template <class T>
T* AddTo(CContainerUI* parent, const wchar_t* attributes)
{
    T* control = new T;
    control->ApplyAttributeList(attributes);
    parent->Add(control);
    return control;
}

CControlUI* UpgradeLikeTree(const std::wstring& background)
{
    auto* root = new CVerticalLayoutUI;
    root->ApplyAttributeList(L"bordersize=\"1\" bordercolor=\"#FF33374A\" bkcolor=\"#FF17212E\" childalign=\"center\"");
    root->SetBkImage(background.c_str());
    auto* title = AddTo<CHorizontalLayoutUI>(root, L"height=\"36\"");
    AddTo<CLabelUI>(title, L"width=\"16\" height=\"16\" padding=\"10,10,0,0\" bkcolor=\"#FF2BA2F9\"");
    AddTo<CLabelUI>(title, L"width=\"432\" height=\"36\" padding=\"10,0,0,0\" text=\"Tarnwick upgrade\" "
                           L"textcolor=\"#FFA4B8C8\"");
    AddTo<CButtonUI>(title, L"width=\"28\" height=\"28\" padding=\"0,4,4,0\" "
                            L"normalimage=\"color='#FF687385'\" hotimage=\"color='#FFD3215F'\"");
    AddTo<CLabelUI>(root, L"width=\"430\" height=\"150\" padding=\"35,24,35,0\" bordersize=\"1\" "
                          L"bordercolor=\"#807D8EAC\" bkcolor=\"#FF1E2938\" textcolor=\"#FFFFFFFF\" multiline=\"true\" "
                          L"text=\"Release notes: faster start-up, fixed downloads behind proxies, new skin.\"");
    AddTo<CLabelUI>(root, L"width=\"500\" height=\"20\" padding=\"20,35,0,0\" text=\"Upgrading, please wait...42%\" "
                          L"textcolor=\"#FFCCCCCC\"");
    AddTo<CLabelUI>(root, L"float=\"true\" pos=\"0,272\" width=\"500\" height=\"6\" bkcolor=\"#FF1E2938\"");
    AddTo<CLabelUI>(root, L"float=\"true\" pos=\"0,272\" width=\"210\" height=\"6\" bkcolor=\"#FF2BA2F9\"");
    return root;
}

double MeanFullPaint()
{
    Host host;
    OpenWindow(host, kWidth, kHeight);
    host.manager.AttachRoot(UpgradeLikeTree(WriteBackground(500, 340)));
    // The first paint lays out and decodes; it is not part of the figure.
    InvalidateRect(host.hwnd, nullptr, FALSE);
    UpdateWindow(host.hwnd);
    double best = 1e9;
    for (int batch = 0; batch < kPaintBatches; ++batch) {
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        for (int round = 0; round < kPaintsPerBatch; ++round) {
            InvalidateRect(host.hwnd, nullptr, FALSE);
            UpdateWindow(host.hwnd);
        }
        QueryPerformanceCounter(&end);
        double mean = Milliseconds(start, end) / kPaintsPerBatch;
        best = mean < best ? mean : best;
    }
    DestroyWindow(host.hwnd);
    return best;
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
    double full = MeanFullPaint();
    double tenThousand = LayoutOfLabels(10000);
    double twentyThousand = LayoutOfLabels(20000);
    fprintf(stderr, "layout of 20,000 labels: %.1f ms (%.2f times 10,000)\n", twentyThousand,
        twentyThousand / tenThousand);
    printf("paint.full_ms: %.3f\n", full);
    printf("paint.tree10k_layout_ms: %.1f\n", tenThousand);
    return 0;
}
