#include "tests/ui_window/test_window.h"

using SkinUI::CControlUI;

int CProbeUI::live = 0;

namespace {

CControlUI* CALLBACK CountControl(CControlUI* control, LPVOID data)
{
    (*static_cast<std::map<std::wstring, int>*>(data))[control->GetClass()]++;
    return nullptr;
}

} // namespace

TestWindow::TestWindow(std::wstring layout, int sourceKind) : layout_(std::move(layout)), sourceKind_(sourceKind) {}

bool TestWindow::Create(HWND owner)
{
    return CreateNative(owner, L"", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                        WS_EX_WINDOWEDGE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT) != nullptr;
}

void TestWindow::ShowAndPaint()
{
    Show(true, true);
    ::UpdateWindow(GetHWND());
    PumpMessages();
}

void TestWindow::Destroy()
{
    if (::IsWindow(GetHWND()))
        ::DestroyWindow(GetHWND());
    PumpMessages();
}

CControlUI* TestWindow::CreateCustomControl(const wchar_t* name)
{
    askedNames.push_back(name);
    if (wcscmp(name, L"Probe") == 0)
        return new CProbeUI;
    if (wcscmp(name, L"ProbeLeaf") == 0)
        return new CProbeLeafUI;
    return nullptr;
}

std::map<std::wstring, int> CountByClass(CControlUI* root)
{
    std::map<std::wstring, int> counts;
    if (root)
        root->FindControl(&CountControl, &counts, SkinUI::UIFIND_ALL);
    return counts;
}

int TreeDepth(CControlUI* root)
{
    int depth = 0;
    for (CControlUI* control = root; control; ++depth) {
        auto* container = static_cast<SkinUI::IContainerUI*>(control->GetInterface(L"IContainer"));
        control = container ? container->GetItemAt(0) : nullptr;
    }
    return depth;
}

POINT ClientToScreenPoint(HWND window, int x, int y)
{
    POINT point = {x, y};
    ::ClientToScreen(window, &point);
    return point;
}

void PumpMessages()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}
