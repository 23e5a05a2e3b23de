#include "tests/support/installation.h"
#include "tests/support/version_service.h"
#include "tests/support/window_driver.h"

#include "app/upgrade_messages.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace testing_support;

namespace {

const wchar_t kWindowClass[] = L"MainWindow";
const wchar_t kWindowTitle[] = L"Lumo Lumo Upgrade Version";
const char kPackage[] = "https://localhost:1011/packages/tarnwick-1.0.1.0.7z";
const char kNotes[] = "Tarnwick 1.0.1.0|修复了若干问题|Faster";

const COLORREF kBarBlue = RGB(0x2B, 0xA2, 0xF9);
const COLORREF kTrack = RGB(0x1E, 0x29, 0x38);
const COLORREF kBoxBackground = RGB(0x17, 0x21, 0x2E);
const COLORREF kGlyphGrey = RGB(0x8C, 0x9B, 0xAB);
const COLORREF kGlyphRed = RGB(0xE5, 0x48, 0x4D);

// Points of the layouts at 96 DPI, in client coordinates.
const POINT kCloseGlyph = {482, 18};
const int kTrackRow = 275;
const POINT kBoxOkWithCancel = {110, 162};
const POINT kBoxCorner = {5, 200};
// The notes box inside its border (two pixels wide from 144 DPI on), left
// of its scroll bar.
const RECT kNotesInside = {38, 63, 455, 207};

// Each measure of a window is its layout value times DPI / 96, rounded once.
struct TScaleRow {
    int dpi;
    SIZE windowClient;
    int barAt44Percent;
    POINT closeGlyph;
    SIZE boxClient;
    // The one OK button of the "Get Data Failed!" box, on its middle row.
    int okLeft;
    int okRight;
    int okRow;
};

const TScaleRow kScales[] = {
    {96, {500, 310}, 220, {482, 18}, {370, 208}, 125, 245, 162},
    {144, {750, 465}, 330, {723, 27}, {555, 312}, 187, 367, 243},
    {192, {1000, 620}, 440, {964, 36}, {740, 416}, 250, 490, 324},
};

int Scaled(int layout, int dpi)
{
    return MulDiv(layout, dpi, 96);
}

// Kestrel declares itself aware of the scale; this program reads the screen
// in physical pixels, which Wine gives every process. (Windows would give a
// program that is not aware scaled coordinates: there it would need the
// same manifest.)

// The display's DPI as Windows and Wine keep it for the session; a process
// reads it while it starts, so it stays set until the test has ended.
bool SetDisplayDpi(int dpi)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    DWORD value = static_cast<DWORD>(dpi);
    LONG status =
        RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

// Rows of a client rectangle that hold text: pixels far brighter than the
// dark box behind it. The span from the first to the last.
int InkHeight(HWND window, const RECT& area)
{
    const std::vector<COLORREF> pixels = ClientPixels(window, area);
    const int width = area.right - area.left;
    int first = -1;
    int last = -1;
    for (size_t i = 0; i < pixels.size(); ++i) {
        const COLORREF c = pixels[i];
        if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 128)
            continue;
        const int row = static_cast<int>(i / static_cast<size_t>(width));
        first = first < 0 ? row : first;
        last = row;
    }
    return first < 0 ? 0 : last - first + 1;
}

// The first and last column of a client row that hold exactly this colour.
bool ColourSpan(HWND window, int row, int width, COLORREF colour, int& left, int& right)
{
    const std::vector<COLORREF> pixels = ClientPixels(window, RECT{0, row, width, row + 1});
    left = -1;
    right = -1;
    for (int x = 0; x < static_cast<int>(pixels.size()); ++x) {
        if (pixels[static_cast<size_t>(x)] != colour)
            continue;
        left = left < 0 ? x : left;
        right = x;
    }
    return left >= 0;
}

class ScaledWindowTest : public ::testing::TestWithParam<TScaleRow> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(service.Available()) << "run through tests/app_window/with_display_scale.sh";
    }

    void TearDown() override
    {
        if (kestrel.Running())
            kestrel.Terminate();
        SetDisplayDpi(96);
    }

    int S(int layout) const { return Scaled(layout, GetParam().dpi); }

    // Kestrel started at this DPI with its upgrade window painted; the
    // download stalls, so the window stays until it is left.
    HWND StartUpgrade(int dpi)
    {
        if (!SetDisplayDpi(dpi))
            return nullptr;
        service.PackageRate("stall");
        service.AnswerOthers(UpgradeAnswer("1.0.1.0", kNotes, kPackage));
        if (!installation.StartKestrel(kestrel)) {
            ADD_FAILURE() << "Kestrel did not start";
            return nullptr;
        }
        HWND window = WaitForWindow(kWindowClass, kWindowTitle);
        if (!window)
            ADD_FAILURE() << "no upgrade window";
        const POINT track = {Scaled(495, dpi), Scaled(kTrackRow, dpi)};
        if (window && !WaitUntil([&] { return ClientPixel(window, track.x, track.y) == kTrack; }, 10000))
            return nullptr;
        return window;
    }

    static HWND PaintedBox(int dpi)
    {
        HWND box = WaitForWindow(L"MessageBox", nullptr);
        const POINT corner = {Scaled(kBoxCorner.x, dpi), Scaled(kBoxCorner.y, dpi)};
        if (box && !WaitUntil([&] { return ClientPixel(box, corner.x, corner.y) == kBoxBackground; }, 10000))
            return nullptr;
        return box;
    }

    // Leaves through the close button and the confirmation's OK, both at
    // their scaled places.
    void Leave(HWND window, int dpi)
    {
        ClickAt(window, Scaled(kCloseGlyph.x, dpi), Scaled(kCloseGlyph.y, dpi));
        HWND box = PaintedBox(dpi);
        ASSERT_NE(nullptr, box);
        const POINT ok = {Scaled(kBoxOkWithCancel.x, dpi), Scaled(kBoxOkWithCancel.y, dpi)};
        EXPECT_EQ(kBarBlue, ClientPixel(box, ok.x, ok.y));
        ClickAt(box, ok.x, ok.y);
        AnswerBoxesUntilEnd(kestrel, 60000);
        EXPECT_FALSE(kestrel.Running());
    }

    int NotesInkHeight(int dpi)
    {
        HWND window = StartUpgrade(dpi);
        if (!window)
            return 0;
        const RECT inside = {Scaled(kNotesInside.left, dpi), Scaled(kNotesInside.top, dpi),
            Scaled(kNotesInside.right, dpi), Scaled(kNotesInside.bottom, dpi)};
        int height = 0;
        WaitUntil([&] { return (height = InkHeight(window, inside)) > 0; }, 10000);
        Leave(window, dpi);
        return height;
    }

    VersionService service;
    Installation installation;
    ChildProcess kestrel;
};

TEST_P(ScaledWindowTest, UpgradeWindowAndItsBarTakeTheScaledSize)
{
    const TScaleRow& row = GetParam();
    HWND window = StartUpgrade(row.dpi);
    ASSERT_NE(nullptr, window);
    RECT client = {};
    GetClientRect(window, &client);
    EXPECT_EQ(row.windowClient.cx, client.right);
    EXPECT_EQ(row.windowClient.cy, client.bottom);

    PostMessageW(window, WM_UPGRADE_PROGRESS, 44, 100);
    const int barRow = S(kTrackRow);
    WaitUntil([&] { return ClientPixel(window, row.barAt44Percent - 1, barRow) == kBarBlue; }, 10000);
    int left = 0;
    int right = 0;
    ASSERT_TRUE(ColourSpan(window, barRow, client.right, kBarBlue, left, right));
    EXPECT_EQ(0, left);
    EXPECT_EQ(row.barAt44Percent, right + 1);
    EXPECT_EQ(kTrack, ClientPixel(window, row.barAt44Percent, barRow));
    Leave(window, row.dpi);
}

TEST_P(ScaledWindowTest, CloseGlyphTurnsHotAtItsScaledPlace)
{
    const TScaleRow& row = GetParam();
    HWND window = StartUpgrade(row.dpi);
    ASSERT_NE(nullptr, window);
    const POINT glyph = row.closeGlyph;
    EXPECT_EQ(kGlyphGrey, ClientPixel(window, glyph.x, glyph.y));
    // The glyph's place in the unscaled layout is the title text once scaled.
    if (row.dpi != 96) {
        PostMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(kCloseGlyph.x, kCloseGlyph.y));
        Sleep(300);
        EXPECT_EQ(kGlyphGrey, ClientPixel(window, glyph.x, glyph.y));
    }
    PostMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(glyph.x, glyph.y));
    EXPECT_TRUE(WaitUntil([&] { return ClientPixel(window, glyph.x, glyph.y) == kGlyphRed; }, 10000));
    PostMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(S(250), S(18)));
    EXPECT_TRUE(WaitUntil([&] { return ClientPixel(window, glyph.x, glyph.y) == kGlyphGrey; }, 10000));
    Leave(window, row.dpi);
}

TEST_P(ScaledWindowTest, OneButtonBoxCentresItsOkAtTheScaledSize)
{
    const TScaleRow& row = GetParam();
    ASSERT_TRUE(SetDisplayDpi(row.dpi));
    service.AnswerOthers("gone", 404);
    ASSERT_TRUE(installation.StartKestrel(kestrel));
    HWND box = PaintedBox(row.dpi);
    ASSERT_NE(nullptr, box);
    RECT client = {};
    GetClientRect(box, &client);
    EXPECT_EQ(row.boxClient.cx, client.right);
    EXPECT_EQ(row.boxClient.cy, client.bottom);
    int left = 0;
    int right = 0;
    ASSERT_TRUE(ColourSpan(box, row.okRow, client.right, kBarBlue, left, right));
    EXPECT_EQ(row.okLeft, left);
    EXPECT_EQ(row.okRight, right + 1);
    EXPECT_EQ(S(120), right + 1 - left);
    EXPECT_LE(abs((left + right + 1) - client.right), 1);
    PressKey(box, VK_ESCAPE);
    AnswerBoxesUntilEnd(kestrel, 60000);
    EXPECT_FALSE(kestrel.Running());
}

// Glyph shapes differ between sizes; the height the notes' ink spans does
// not, beyond a pixel or two of hinting per line.
TEST_P(ScaledWindowTest, NotesTextIsTallerByTheScale)
{
    const TScaleRow& row = GetParam();
    if (row.dpi == 96)
        GTEST_SKIP() << "the reference itself";
    const int reference = NotesInkHeight(96);
    const int scaled = NotesInkHeight(row.dpi);
    ASSERT_GT(reference, 0);
    const double expected = reference * row.dpi / 96.0;
    printf("notes ink: %d px at 96 DPI, %d px at %d DPI (%.1f expected)\n", reference, scaled, row.dpi, expected);
    EXPECT_NEAR(expected, scaled, expected * 0.08);
}

std::string RowName(const ::testing::TestParamInfo<TScaleRow>& info)
{
    return "Dpi" + std::to_string(info.param.dpi);
}

INSTANTIATE_TEST_SUITE_P(DisplayScales, ScaledWindowTest, ::testing::ValuesIn(kScales), RowName);

} // namespace
