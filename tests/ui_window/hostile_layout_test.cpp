// Layouts written to hurt the builder: each must end cleanly, bounded by the
// builder's caps, and leave no control alive once its window has gone.
#include "tests/ui_window/test_window.h"

#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

#include "ui/core/layout_builder.h"
#include "ui/core/skin_source.h"

#include <gtest/gtest.h>

using SkinUI::CLayoutBuilder;
using SkinUI::CSkinSource;

namespace {

std::wstring Nested(int levels)
{
    std::wstring layout = L"<Window>";
    for (int i = 0; i < levels; ++i)
        layout += L"<Probe>";
    for (int i = 0; i < levels; ++i)
        layout += L"</Probe>";
    return layout + L"</Window>";
}

class HostileLayoutTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CSkinSource::SetModule(::GetModuleHandleW(nullptr));
        CSkinSource::SetResourceFolder(folder_.Path().c_str());
        CSkinSource::UseZipFile(L"", true);
    }

    // Builds, shows and paints the layout, closes the window and deletes
    // it; the number of probes that were alive while it was open.
    int RunAndClose(const std::wstring& layout, int kind = SkinUI::kSkinFromSource)
    {
        auto window = std::make_unique<TestWindow>(layout, kind);
        EXPECT_TRUE(window->Create());
        window->ShowAndPaint();
        int alive = CProbeUI::live;
        window->Destroy();
        window.reset();
        EXPECT_EQ(0, CProbeUI::live);
        return alive;
    }

    testing_support::TempFolder folder_;
};

} // namespace

TEST_F(HostileLayoutTest, SelfIncludingFileStopsAtTheCaps)
{
    ASSERT_TRUE(testing_support::WriteBytes(folder_ / L"self.xml",
        "<Window><Probe><Include source=\"self.xml\" count=\"1000\" /></Probe></Window>"));
    int alive = RunAndClose(L"self.xml");
    EXPECT_GT(alive, CLayoutBuilder::kMaxIncludeDepth);
    EXPECT_LE(alive, CLayoutBuilder::kMaxIncludeCount + 1);
}

TEST_F(HostileLayoutTest, FilesIncludingEachOtherStopAtTheCaps)
{
    ASSERT_TRUE(testing_support::WriteBytes(folder_ / L"a.xml",
        "<Window><Probe><Include source=\"b.xml\" count=\"2\" /></Probe></Window>"));
    ASSERT_TRUE(testing_support::WriteBytes(folder_ / L"b.xml",
        "<Window><ProbeLeaf /><Include source=\"a.xml\" count=\"2\" /></Window>"));
    int alive = RunAndClose(L"a.xml");
    EXPECT_GT(alive, CLayoutBuilder::kMaxIncludeDepth);
    EXPECT_LE(alive, 2 * CLayoutBuilder::kMaxIncludeCount + 1);
}

TEST_F(HostileLayoutTest, SelfIncludingResourceStopsAtTheCaps)
{
    int alive = RunAndClose(L"203", SkinUI::kSkinFromXmlResource);
    EXPECT_GT(alive, CLayoutBuilder::kMaxIncludeDepth);
    EXPECT_LE(alive, CLayoutBuilder::kMaxIncludeCount + 1);
}

TEST_F(HostileLayoutTest, HugeCountIsCapped)
{
    ASSERT_TRUE(testing_support::WriteBytes(folder_ / L"leaf.xml", "<Window><ProbeLeaf /></Window>"));
    int alive = RunAndClose(L"<Window><Probe><Include source=\"leaf.xml\" count=\"2000000000\" /></Probe></Window>");
    EXPECT_EQ(CLayoutBuilder::kMaxIncludeCount + 1, alive);
}

TEST_F(HostileLayoutTest, TenThousandLevelsParseAndBuildToTheNestingCap)
{
    std::wstring layout = Nested(10000);
    SkinUI::CLayoutMarkup markup;
    ASSERT_TRUE(markup.LoadText(layout.c_str()));
    EXPECT_EQ(10001u, markup.ElementCount());

    auto window = std::make_unique<TestWindow>(layout);
    ASSERT_TRUE(window->Create());
    window->ShowAndPaint();
    EXPECT_EQ(CLayoutBuilder::kMaxNestingDepth, TreeDepth(window->Root()));
    EXPECT_EQ(CLayoutBuilder::kMaxNestingDepth, CProbeUI::live);
    window->Destroy();
    window.reset();
    EXPECT_EQ(0, CProbeUI::live);
}

TEST_F(HostileLayoutTest, ControlsInsideALabelAreDeleted)
{
    auto window = std::make_unique<TestWindow>(
        L"<Window><VerticalLayout><Label name=\"label\"><Probe><ProbeLeaf /></Probe><ProbeLeaf /></Label>"
        L"<Label><ProbeLeaf cover=\"true\" /><ProbeLeaf /></Label></VerticalLayout></Window>");
    ASSERT_TRUE(window->Create());
    EXPECT_NE(nullptr, window->Find(L"label"));
    // Only the second label's cover is owned; everything else was deleted at once.
    EXPECT_EQ(1, CProbeUI::live);
    window->ShowAndPaint();
    window->Destroy();
    window.reset();
    EXPECT_EQ(0, CProbeUI::live);
}
