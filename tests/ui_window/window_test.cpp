#include "tests/ui_window/test_window.h"

#include "tests/support/files.h"
#include "tests/support/process.h"

#include "ui/core/skin_source.h"

#include <gtest/gtest.h>

#include <algorithm>

using SkinUI::CControlUI;
using SkinUI::CSkinSource;

namespace {

const wchar_t kFrameLayout[] =
    L"<Window size=\"500,310\" caption=\"0,0,0,36\" sizebox=\"4,4,4,4\" roundcorner=\"6,6\">"
    L"<VerticalLayout><HorizontalLayout height=\"36\"><Control /><Button name=\"closebtn\" width=\"28\" />"
    L"</HorizontalLayout><Control name=\"body\" /></VerticalLayout></Window>";

const wchar_t kPlainLayout[] = L"<Window size=\"500,310\" caption=\"0,0,0,36\"><VerticalLayout><Control />"
                               L"<Button name=\"maxbtn\" /><Button name=\"restorebtn\" visible=\"false\" />"
                               L"</VerticalLayout></Window>";

RECT WorkArea(HWND window)
{
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    ::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info);
    return info.rcWork;
}

POINT WindowOrigin(HWND window)
{
    RECT bounds = {};
    ::GetWindowRect(window, &bounds);
    return {bounds.left, bounds.top};
}

// A window that records its owner's state while it runs modally.
class ModalProbeWindow : public TestWindow {
public:
    static const UINT kRecordOwner = WM_APP + 20;
    static const UINT kCloseWithSeven = WM_APP + 21;
    using TestWindow::TestWindow;
    bool ownerEnabledWhileRunning = true;

protected:
    LRESULT OnOtherMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override
    {
        if (message == kRecordOwner)
            ownerEnabledWhileRunning = ::IsWindowEnabled(::GetWindow(GetHWND(), GW_OWNER)) != FALSE;
        else if (message == kCloseWithSeven)
            RequestClose(7);
        else
            return TestWindow::OnOtherMessage(message, wParam, lParam, handled);
        handled = true;
        return 0;
    }
};

BOOL CALLBACK FindBoxText(HWND child, LPARAM found)
{
    wchar_t buffer[64] = {};
    ::GetWindowTextW(child, buffer, 64);
    if (wcscmp(buffer, L"加载资源文件失败") == 0)
        wcscpy(reinterpret_cast<wchar_t*>(found), buffer);
    return TRUE;
}

class WindowBaseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CSkinSource::SetModule(::GetModuleHandleW(nullptr));
        CSkinSource::UseZipFile(L"", true);
    }
    void TearDown() override { PumpMessages(); }
};

} // namespace

TEST_F(WindowBaseTest, CentresOnTheWorkAreaWithoutOwner)
{
    TestWindow window(kPlainLayout);
    ASSERT_TRUE(window.Create());
    window.CenterOnOwner();
    RECT w = WorkArea(window);
    POINT origin = WindowOrigin(window);
    EXPECT_EQ((w.left + w.right) / 2 - 250, origin.x);
    EXPECT_EQ((w.top + w.bottom) / 2 - 155, origin.y);
    window.Destroy();
}

TEST_F(WindowBaseTest, CentresOnTheOwnerWithinTheWorkArea)
{
    TestWindow owner(L"<Window size=\"300,200\"><Control /></Window>");
    ASSERT_TRUE(owner.Create());
    RECT w = WorkArea(owner);
    struct Case {
        int ownerX, ownerY;
        int expectedX, expectedY;
    } cases[] = {
        {100, 100, 100 + 150 - 250, 100 + 100 - 155},
        {w.left - 280, w.top - 180, w.left, w.top},
        {w.right - 20, w.bottom - 20, w.right - 500, w.bottom - 310},
    };
    for (const Case& c : cases) {
        ::SetWindowPos(owner, nullptr, c.ownerX, c.ownerY, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        TestWindow box(kPlainLayout);
        ASSERT_TRUE(box.Create(owner));
        box.CenterOnOwner();
        POINT origin = WindowOrigin(box);
        EXPECT_EQ(std::max<LONG>(c.expectedX, w.left), origin.x) << c.ownerX;
        EXPECT_EQ(std::max<LONG>(c.expectedY, w.top), origin.y) << c.ownerY;
        box.Destroy();
    }
    owner.Destroy();
}

TEST_F(WindowBaseTest, HitTestTable)
{
    struct Case {
        const wchar_t* layout;
        int x, y;
        LRESULT expected;
    } cases[] = {
        {kFrameLayout, 100, 10, HTCAPTION},   {kFrameLayout, 485, 14, HTCLIENT},
        {kFrameLayout, 100, 100, HTCLIENT},   {kFrameLayout, 100, 35, HTCAPTION},
        {kFrameLayout, 100, 36, HTCLIENT},    {kFrameLayout, 1, 1, HTTOPLEFT},
        {kFrameLayout, 250, 2, HTTOP},        {kFrameLayout, 498, 1, HTTOPRIGHT},
        {kFrameLayout, 1, 150, HTLEFT},       {kFrameLayout, 497, 150, HTRIGHT},
        {kFrameLayout, 496, 150, HTCLIENT},   {kFrameLayout, 1, 308, HTBOTTOMLEFT},
        {kFrameLayout, 250, 308, HTBOTTOM},   {kFrameLayout, 498, 308, HTBOTTOMRIGHT},
        {kPlainLayout, 1, 1, HTCAPTION},      {kPlainLayout, 499, 309, HTCLIENT},
        {kPlainLayout, 0, 150, HTCLIENT},
    };
    for (const Case& c : cases) {
        TestWindow window(c.layout);
        ASSERT_TRUE(window.Create());
        window.ShowAndPaint();
        POINT point = ClientToScreenPoint(window, c.x, c.y);
        EXPECT_EQ(c.expected, window.Send(WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y))) << c.x << "," << c.y;
        window.Destroy();
    }
}

TEST_F(WindowBaseTest, FrameHasNoCaptionAndTheRoundedRegion)
{
    TestWindow window(kFrameLayout);
    ASSERT_TRUE(window.Create());
    window.ShowAndPaint();
    EXPECT_EQ(0, ::GetWindowLongW(window, GWL_STYLE) & WS_CAPTION);
    RECT client = {};
    ::GetClientRect(window, &client);
    EXPECT_EQ(500, client.right);
    EXPECT_EQ(310, client.bottom);
    HRGN region = ::CreateRectRgn(0, 0, 0, 0);
    EXPECT_NE(ERROR, ::GetWindowRgn(window, region));
    // The corner pixel lies outside the rounded region; the last column and
    // row of the window lie inside it (a region ends before its right and
    // bottom edges, hence the extra pixel it is made with).
    RECT bounds = {};
    ::GetWindowRect(window, &bounds);
    const int width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
    const POINT inside[] = {{250, 150}, {width - 1, height / 2}, {width / 2, height - 1}};
    const POINT outside[] = {{0, 0}, {width - 1, height - 1}, {width, height / 2}, {width / 2, height}};
    for (POINT point : inside)
        EXPECT_TRUE(::PtInRegion(region, point.x, point.y)) << point.x << "," << point.y;
    for (POINT point : outside)
        EXPECT_FALSE(::PtInRegion(region, point.x, point.y)) << point.x << "," << point.y;
    RECT box = {};
    ::GetRgnBox(region, &box);
    EXPECT_EQ(width, box.right);
    EXPECT_EQ(height, box.bottom);
    ::DeleteObject(region);
    window.Destroy();
}

TEST_F(WindowBaseTest, EscapeClosesWithOneAndReturnDoesNothing)
{
    struct Case {
        WPARAM key;
        UINT expected;
    } cases[] = {{VK_ESCAPE, 1}, {VK_RETURN, 7}, {'A', 7}};
    for (const Case& c : cases) {
        ModalProbeWindow window(kPlainLayout);
        ASSERT_TRUE(window.Create());
        // The key's own close request, if any, comes before the close with 7.
        window.Post(WM_KEYDOWN, c.key, 0);
        window.Post(ModalProbeWindow::kCloseWithSeven);
        EXPECT_EQ(c.expected, window.RunModal()) << c.key;
        EXPECT_FALSE(::IsWindow(window.GetHWND()));
    }
}

TEST_F(WindowBaseTest, ModalRunEndedByQuitRepostsItAfterEnablingTheOwner)
{
    TestWindow owner(kPlainLayout);
    ASSERT_TRUE(owner.Create());
    ModalProbeWindow box(kPlainLayout);
    ASSERT_TRUE(box.Create(owner));
    box.Post(ModalProbeWindow::kRecordOwner);
    ::PostQuitMessage(42);
    EXPECT_EQ(0u, box.RunModal());
    EXPECT_FALSE(box.ownerEnabledWhileRunning);
    EXPECT_TRUE(::IsWindowEnabled(owner));
    MSG msg = {};
    ASSERT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(42u, msg.wParam);
    box.Destroy();
    owner.Destroy();
}

TEST_F(WindowBaseTest, StandardButtonsAndMaximiseSwapsTheirVisibility)
{
    TestWindow window(kPlainLayout);
    ASSERT_TRUE(window.Create());
    window.ShowAndPaint();
    CControlUI* maxButton = window.Find(L"maxbtn");
    CControlUI* restoreButton = window.Find(L"restorebtn");
    ASSERT_TRUE(maxButton && restoreButton);
    window.GetManager().EmitNotify(maxButton, L"click");
    EXPECT_TRUE(::IsZoomed(window));
    // Maximised, the client area is the work area: no frame, nothing beyond it.
    RECT work = WorkArea(window);
    RECT client = {};
    ::GetClientRect(window, &client);
    EXPECT_EQ(work.right - work.left, client.right);
    EXPECT_EQ(work.bottom - work.top, client.bottom);
    EXPECT_EQ(work.left, WindowOrigin(window).x);
    EXPECT_EQ(work.top, WindowOrigin(window).y);
    EXPECT_FALSE(maxButton->IsVisible());
    EXPECT_TRUE(restoreButton->IsVisible());
    window.GetManager().EmitNotify(restoreButton, L"click");
    EXPECT_FALSE(::IsZoomed(window));
    EXPECT_TRUE(maxButton->IsVisible());
    EXPECT_FALSE(restoreButton->IsVisible());
    window.Send(WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(::IsWindow(window.GetHWND()));
}

TEST_F(WindowBaseTest, TreeOutlivesTheWindowUntilTheObjectGoes)
{
    auto window = std::make_unique<TestWindow>(L"<Window><Probe><ProbeLeaf name=\"leaf\" /></Probe></Window>");
    ASSERT_TRUE(window->Create());
    window->ShowAndPaint();
    CControlUI* leaf = window->Find(L"leaf");
    ASSERT_NE(nullptr, leaf);
    // As a click handler that runs a modal box in which the window goes.
    ::DestroyWindow(window->GetHWND());
    EXPECT_EQ(2, CProbeUI::live);
    EXPECT_EQ(L"leaf", std::wstring(leaf->GetName().GetData()));
    leaf->Invalidate();
    PumpMessages();
    window.reset();
    EXPECT_EQ(0, CProbeUI::live);
}

namespace {

class SuperclassedStatic : public SkinUI::CWindowWnd {
public:
    HWND gone = nullptr;
    int creates = 0;

protected:
    const wchar_t* ClassName() const override { return L"KestrelSuperclassedStatic"; }
    const wchar_t* SuperclassName() const override { return L"STATIC"; }
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        creates += message == WM_CREATE;
        return CWindowWnd::OnMessage(message, wParam, lParam);
    }
    void OnWindowGone(HWND window) override { gone = window; }
};

} // namespace

TEST(WindowWnd, SuperclassKeepsTheObjectInAPropertyAndAnswersThroughTheOriginal)
{
    SuperclassedStatic window;
    HWND hwnd = window.CreateNative(nullptr, L"", WS_POPUP, 0, 0, 0, 50, 20);
    ASSERT_NE(nullptr, hwnd);
    EXPECT_EQ(static_cast<SkinUI::CWindowWnd*>(&window), ::GetPropW(hwnd, L"WndX"));
    EXPECT_EQ(1, window.creates);
    EXPECT_EQ(DLGC_STATIC, window.Send(WM_GETDLGCODE));
    ::DestroyWindow(hwnd);
    EXPECT_EQ(hwnd, window.gone);
    EXPECT_EQ(nullptr, window.GetHWND());
}

TEST(WindowFatalPath, MissingLayoutShowsTheBoxAndExitsWithOne)
{
    testing_support::ChildProcess child;
    std::wstring program = testing_support::ProgramFolder() + L"window_fatal_child.exe";
    ASSERT_TRUE(child.Start(program, L"window_fatal_child.exe"));
    HWND box = nullptr;
    ASSERT_TRUE(testing_support::WaitUntil([&] { return (box = ::FindWindowW(nullptr, L"SkinUI")) != nullptr; }, 30000));
    wchar_t text[64] = {};
    ::EnumChildWindows(box, &FindBoxText, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(L"加载资源文件失败", text);
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(child.Wait(30000));
    EXPECT_EQ(1u, child.ExitCode());
}
