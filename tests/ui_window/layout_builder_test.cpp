#include "tests/ui_window/test_window.h"

#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

#include "ui/core/skin_source.h"

#include <gtest/gtest.h>

using SkinUI::CControlUI;
using SkinUI::CSkinSource;
using SkinUI::CUIManager;

namespace {

class BuilderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CSkinSource::SetModule(::GetModuleHandleW(nullptr));
        CSkinSource::SetResourceFolder(folder_.Path().c_str());
        CSkinSource::UseZipFile(L"", true);
    }
    void TearDown() override
    {
        for (auto& window : windows_)
            window->Destroy();
        windows_.clear();
        EXPECT_EQ(0, CProbeUI::live);
    }

    TestWindow& Open(const std::wstring& layout, int kind = SkinUI::kSkinFromSource)
    {
        windows_.push_back(std::make_unique<TestWindow>(layout, kind));
        EXPECT_TRUE(windows_.back()->Create());
        return *windows_.back();
    }

    void WriteSkinFile(const std::wstring& name, const std::string& text)
    {
        ASSERT_TRUE(testing_support::WriteBytes(folder_ / name, text));
    }

    testing_support::TempFolder folder_;
    std::vector<std::unique_ptr<TestWindow>> windows_;
};

std::wstring Text(const SkinUI::CUIString& text)
{
    return text.GetData();
}

} // namespace

TEST_F(BuilderTest, MessageBoxLayoutFromTheZipResource)
{
    TestWindow& window = Open(L"MessageBox.xml", SkinUI::kSkinFromZipResource);
    ASSERT_NE(nullptr, window.Root());
    EXPECT_STREQ(L"VerticalLayout", window.Root()->GetClass());
    std::map<std::wstring, int> expected = {
        {L"VerticalLayout", 1}, {L"HorizontalLayout", 2}, {L"Label", 2}, {L"Button", 3}, {L"Container", 2}};
    std::map<std::wstring, int> counts = CountByClass(window.Root());
    counts.erase(L"ScrollBar");
    EXPECT_EQ(expected, counts);
    for (const wchar_t* name : {L"Title_Label", L"Content_Label", L"MessageBox_Close_Btn", L"OK_Btn", L"Cancel_Btn"})
        EXPECT_NE(nullptr, window.Find(name)) << Text(name);
    RECT bounds = {};
    ::GetWindowRect(window, &bounds);
    EXPECT_EQ(370, bounds.right - bounds.left);
    EXPECT_EQ(208, bounds.bottom - bounds.top);
    CSkinSource::UseZipFile(L"", true);
}

TEST_F(BuilderTest, EverySkinSourceKind)
{
    HRSRC zip = ::FindResourceW(nullptr, MAKEINTRESOURCEW(101), L"ZIPRES");
    ASSERT_NE(nullptr, zip);
    const char* bytes = static_cast<const char*>(::LockResource(::LoadResource(nullptr, zip)));
    WriteSkinFile(L"skin.zip", std::string(bytes, ::SizeofResource(nullptr, zip)));
    struct Case {
        int kind;
        const wchar_t* file;
        const wchar_t* zipName;
        const wchar_t* resourceId;
        const wchar_t* expectedRoot; // null: a window without a control tree
    } cases[] = {
        {SkinUI::kSkinFromSource, L"<Window><Control name=\"text\" /></Window>", L"", L"", L"text"},
        {SkinUI::kSkinFromZipFile, L"MessageBox.xml", L"skin.zip", L"", L"VerticalLayout"},
        {SkinUI::kSkinFromXmlResource, L"201", L"", L"", L"res_root"},
        {SkinUI::kSkinFromZipResource, L"MessageBox.xml", L"", L"101", L"VerticalLayout"},
        {SkinUI::kSkinFromZipResource, L"MessageBox.xml", L"", L"101", L"VerticalLayout"},
        {SkinUI::kSkinFromZipResource, L"MessageBox.xml", L"", L"999", nullptr},
    };
    for (const Case& c : cases) {
        TestWindow window(c.file, c.kind);
        window.zipName = c.zipName;
        window.resourceId = c.resourceId;
        ASSERT_TRUE(window.Create()) << c.kind;
        CControlUI* root = window.Root();
        if (c.expectedRoot) {
            ASSERT_NE(nullptr, root) << c.kind;
            EXPECT_TRUE(root->GetName() == c.expectedRoot || wcscmp(root->GetClass(), c.expectedRoot) == 0);
        } else {
            EXPECT_EQ(nullptr, root);
        }
        window.Destroy();
        CSkinSource::UseZipFile(L"", true);
    }
}

TEST_F(BuilderTest, MainWindowLayoutRegistersItsSharedFont)
{
    TestWindow& window = Open(L"MainWindow.xml", SkinUI::kSkinFromZipResource);
    ASSERT_NE(nullptr, window.Root());
    std::map<std::wstring, int> counts = CountByClass(window.Root());
    EXPECT_EQ(1, counts[L"VerticalLayout"]);
    EXPECT_EQ(1, counts[L"HorizontalLayout"]);
    EXPECT_EQ(5, counts[L"Label"]);
    EXPECT_EQ(1, counts[L"Button"]);
    EXPECT_EQ(1, counts[L"RichEdit"]);
    EXPECT_NE(nullptr, window.Find(L"Msg_RichEdit"));
    EXPECT_EQ(500, window.GetManager().GetInitSize().cx);
    EXPECT_EQ(36, window.GetManager().GetCaptionRect().bottom);
    // Shared: another manager sees font 1 too.
    CUIManager other;
    SkinUI::TFontRecord* font = other.FontRecordById(1);
    ASSERT_NE(nullptr, font);
    EXPECT_EQ(L"Microsoft YaHei", Text(font->sFontName));
    EXPECT_EQ(12, font->iSize);
    CSkinSource::UseZipFile(L"", true);
}

TEST_F(BuilderTest, ClassTableAndFallbacks)
{
    struct Case {
        const wchar_t* element;
        const wchar_t* expectedClass; // null: the callback was asked
    } cases[] = {
        {L"button", L"Button"}, {L"VBOX", L"VerticalLayout"}, {L"hbox", L"HorizontalLayout"},
        {L"Control", L"Control"}, {L"Container", L"Container"}, {L"GifAnim", nullptr},
        {L"gifanim", nullptr}, {L"Text", nullptr}, {L"Buttons", nullptr}, {L"Probe", L"Probe"},
    };
    for (const Case& c : cases) {
        std::wstring layout = L"<Window><VerticalLayout><" + std::wstring(c.element) + L" name=\"x\" /></VerticalLayout></Window>";
        TestWindow& window = Open(layout);
        CControlUI* built = window.Find(L"x");
        bool asked = !window.askedNames.empty() && window.askedNames.back() == c.element;
        if (c.expectedClass) {
            ASSERT_NE(nullptr, built) << Text(c.element);
            EXPECT_STREQ(c.expectedClass, built->GetClass());
        } else {
            EXPECT_EQ(nullptr, built) << Text(c.element);
        }
        EXPECT_EQ(c.expectedClass == nullptr || wcscmp(c.expectedClass, L"Probe") == 0, asked) << Text(c.element);
    }
}

TEST_F(BuilderTest, UnknownElementIsSkippedWithItsChildren)
{
    TestWindow& window = Open(L"<Window><VerticalLayout><Unknown><Button name=\"inner\" /><Probe /></Unknown>"
                              L"<Button name=\"after\" /></VerticalLayout></Window>");
    EXPECT_EQ(nullptr, window.Find(L"inner"));
    EXPECT_NE(nullptr, window.Find(L"after"));
    EXPECT_EQ(std::vector<std::wstring>{L"Unknown"}, window.askedNames);
}

TEST_F(BuilderTest, ClassDefaultsComeBeforeTheElementsOwnAttributes)
{
    TestWindow& window = Open(
        L"<Window><Default name=\"Button\" value=\"text=&quot;from default&quot; tooltip=&quot;tip&quot;\" />"
        L"<VerticalLayout><Button name=\"plain\" /><Button name=\"own\" text=\"own text\" /><Label name=\"label\" />"
        L"</VerticalLayout></Window>");
    ASSERT_NE(nullptr, window.Find(L"own"));
    EXPECT_EQ(L"from default", Text(window.Find(L"plain")->GetText()));
    EXPECT_EQ(L"own text", Text(window.Find(L"own")->GetText()));
    EXPECT_EQ(L"tip", Text(window.Find(L"own")->GetToolTip()));
    EXPECT_EQ(L"", Text(window.Find(L"label")->GetText()));
}

TEST_F(BuilderTest, FontsNeedAnIdAndAName)
{
    TestWindow& window = Open(L"<Window><Font name=\"NoId Face\" size=\"17\" /><Font id=\"-1\" name=\"Minus Face\" />"
                              L"<Font id=\"7\" name=\"Seven Face\" size=\"15\" bold=\"TRUE\" /><Font id=\"8\" />"
                              L"<Control /></Window>");
    CUIManager& manager = window.GetManager();
    EXPECT_EQ(nullptr, manager.LookupFont(L"NoId Face", 17, false, false, false));
    EXPECT_EQ(nullptr, manager.LookupFont(L"Minus Face", 12, false, false, false));
    EXPECT_NE(nullptr, manager.LookupFont(L"Seven Face", 15, true, false, false));
    EXPECT_EQ(manager.DefaultFontRecord()->hFont, manager.FontById(8));
}

TEST_F(BuilderTest, CoverIsNotAnItem)
{
    TestWindow& window = Open(L"<Window><VerticalLayout name=\"root\"><Button name=\"cover\" cover=\"true\" />"
                              L"<Label name=\"item\" /></VerticalLayout></Window>");
    ASSERT_NE(nullptr, window.Root());
    auto* container = static_cast<SkinUI::IContainerUI*>(window.Root()->GetInterface(L"IContainer"));
    ASSERT_NE(nullptr, container);
    EXPECT_EQ(1, container->GetCount());
    ASSERT_NE(nullptr, window.Root()->GetCover());
    EXPECT_EQ(L"cover", Text(window.Root()->GetCover()->GetName()));
}

TEST_F(BuilderTest, IncludeRepeatsAFileUnderTheParent)
{
    WriteSkinFile(L"part.xml", "<Window><Label name=\"part\" /><Button /></Window>");
    const struct {
        const wchar_t* includes;
        int copies;
    } cases[] = {
        {L"<Include source=\"part.xml\" count=\"3\" />", 3},
        {L"<Include source=\"part.xml\" />", 1},
        {L"<Include /><Include count=\"2\" /><Include source=\"missing.xml\" count=\"5\" />", 0},
    };
    for (const auto& c : cases) {
        TestWindow& window =
            Open(std::wstring(L"<Window><HorizontalLayout>") + c.includes + L"</HorizontalLayout></Window>");
        std::map<std::wstring, int> counts = CountByClass(window.Root());
        EXPECT_EQ(c.copies, counts[L"Label"]) << Text(c.includes);
        EXPECT_EQ(c.copies, counts[L"Button"]) << Text(c.includes);
    }
}

TEST_F(BuilderTest, ResourceLayoutIncludesOnlyValidResourceIds)
{
    TestWindow& window = Open(L"201", SkinUI::kSkinFromXmlResource);
    ASSERT_NE(nullptr, window.Root());
    EXPECT_EQ(L"res_root", Text(window.Root()->GetName()));
    // Two of 202; 0, 70000, 2^32+1 and a file name are no resource ids.
    EXPECT_EQ(2, CountByClass(window.Root())[L"Label"]);
    RECT bounds = {};
    ::GetWindowRect(window, &bounds);
    EXPECT_EQ(300, bounds.right - bounds.left);
}

TEST_F(BuilderTest, TopLevelControlsAfterTheFirstAreDeleted)
{
    WriteSkinFile(L"leaf.xml", "<Window><ProbeLeaf /><ProbeLeaf /></Window>");
    TestWindow& window = Open(L"<Window><Probe name=\"first\" /><Probe name=\"second\"><ProbeLeaf /></Probe>"
                              L"<ProbeLeaf /><Include source=\"leaf.xml\" count=\"3\" /></Window>");
    ASSERT_NE(nullptr, window.Root());
    EXPECT_EQ(L"first", Text(window.Root()->GetName()));
    EXPECT_EQ(1, CProbeUI::live);
}
