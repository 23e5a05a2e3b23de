#include "ui/core/layout_markup.h"
#include "ui/core/skin_source.h"

#include "tests/support/files.h"
#include "tests/support/temp_folder.h"
#include "tests/ui_core/fixtures.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using SkinUI::CLayoutMarkup;
using SkinUI::CSkinSource;

namespace {

std::string LayoutOfSize(size_t size)
{
    std::string layout = "<Window>";
    layout.append(size - layout.size() - 9, ' ');
    return layout + "</Window>";
}

std::wstring Wide(const SkinUI::CUIString& text)
{
    return text.GetData();
}

// The settings are process-wide; every test starts from a folder source.
class SkinSourceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CSkinSource::SetResourceFolder(L"");
        CSkinSource::UseZipFile(L"", true);
    }

    void UseFixtureZip(const wchar_t* name, bool cached = true)
    {
        CSkinSource::SetResourceFolder(FixturePath(L"").c_str());
        CSkinSource::UseZipFile(name, cached);
    }
};

// The skin package as Kestrel's start-up hands it over: ZIPRES 101 copied
// into a block that lives for the rest of the process.
const void* CopyZipResource(HMODULE module, size_t& size)
{
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(101), L"ZIPRES");
    if (!resource)
        return nullptr;
    HGLOBAL loaded = LoadResource(module, resource);
    size = SizeofResource(module, resource);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data || size == 0)
        return nullptr;
    unsigned char* copy = new unsigned char[size];
    memcpy(copy, data, size);
    return copy;
}

} // namespace

TEST_F(SkinSourceTest, ResourceFolderGetsOneTrailingSeparator)
{
    CSkinSource::SetResourceFolder(L"C:\\skin");
    EXPECT_EQ(L"C:\\skin\\", Wide(CSkinSource::ResourceFolder()));
    CSkinSource::SetResourceFolder(L"C:\\skin/");
    EXPECT_EQ(L"C:\\skin/", Wide(CSkinSource::ResourceFolder()));
    CSkinSource::SetResourceFolder(L"C:\\skin\\");
    EXPECT_EQ(L"C:\\skin\\", Wide(CSkinSource::ResourceFolder()));
    CSkinSource::SetResourceFolder(L"");
    EXPECT_EQ(L"", Wide(CSkinSource::ResourceFolder()));
}

TEST_F(SkinSourceTest, ModuleFolderEndsWithBackslash)
{
    CSkinSource::SetModule(nullptr);
    EXPECT_EQ(L"", Wide(CSkinSource::GetModuleFolder()));
    CSkinSource::SetModule(GetModuleHandleW(nullptr));
    EXPECT_EQ(testing_support::ProgramFolder(), Wide(CSkinSource::GetModuleFolder()));
}

TEST_F(SkinSourceTest, FolderLayoutsUpToFourMebibytesAreRead)
{
    testing_support::TempFolder folder;
    ASSERT_TRUE(testing_support::WriteBytes(folder / L"limit.xml", LayoutOfSize(4194304)));
    ASSERT_TRUE(testing_support::WriteBytes(folder / L"over.xml", LayoutOfSize(4194305)));
    ASSERT_TRUE(testing_support::WriteBytes(folder / L"empty.xml", ""));
    CSkinSource::SetResourceFolder(folder.Path().c_str());

    CLayoutMarkup markup;
    EXPECT_TRUE(markup.LoadSkinFile(L"limit.xml"));
    EXPECT_STREQ(L"Window", markup.RootNode().ElementName());
    const std::pair<const wchar_t*, const wchar_t*> failures[] = {
        {L"over.xml", L"File too large"},
        {L"empty.xml", L"File is empty"},
        {L"absent.xml", L"Error opening file"},
    };
    for (const auto& failure : failures) {
        EXPECT_FALSE(markup.LoadSkinFile(failure.first));
        EXPECT_STREQ(failure.second, markup.LastErrorMessage()) << failure.first;
        EXPECT_STREQ(L"", markup.LastErrorLocation());
        EXPECT_FALSE(markup.RootNode().IsPresent());
    }
}

TEST_F(SkinSourceTest, ZipFileLayoutsAreFoundIgnoringCase)
{
    UseFixtureZip(L"skin.zip");
    ASSERT_NE(nullptr, CSkinSource::CachedZip());
    CLayoutMarkup markup;
    ASSERT_TRUE(markup.LoadSkinFile(L"MAIN.XML"));
    EXPECT_STREQ(L"Window", markup.RootNode().ElementName());
    wchar_t text[64] = {};
    EXPECT_TRUE(markup.RootNode().FirstChild().FindAttribute(L"text", text, 63));
    EXPECT_STREQ(L"\x5347\x7ea7 & more", text);
    EXPECT_TRUE(markup.LoadSkinFile(L"limit.xml"));

    const std::pair<const wchar_t*, const wchar_t*> failures[] = {
        {L"over.xml", L"File too large"},
        {L"empty.xml", L"File is empty"},
        {L"absent.xml", L"Could not find ziped file"},
    };
    for (const auto& failure : failures) {
        EXPECT_FALSE(markup.LoadSkinFile(failure.first));
        EXPECT_STREQ(failure.second, markup.LastErrorMessage()) << failure.first;
    }
}

TEST_F(SkinSourceTest, UncachedZipIsOpenedForEachRead)
{
    UseFixtureZip(L"skin.zip", false);
    EXPECT_FALSE(CSkinSource::IsZipCached());
    EXPECT_EQ(nullptr, CSkinSource::CachedZip());
    CLayoutMarkup markup;
    EXPECT_TRUE(markup.LoadSkinFile(L"Main.xml"));
    CSkinSource::UseZipFile(L"absent.zip", false);
    EXPECT_FALSE(markup.LoadSkinFile(L"Main.xml"));
    EXPECT_STREQ(L"Error opening zip file", markup.LastErrorMessage());
}

TEST_F(SkinSourceTest, DamagedEntryIsNotParsed)
{
    UseFixtureZip(L"badcrc.zip");
    CLayoutMarkup markup;
    EXPECT_FALSE(markup.LoadSkinFile(L"Main.xml"));
    EXPECT_STREQ(L"Could not unzip file", markup.LastErrorMessage());
}

TEST_F(SkinSourceTest, SecondInMemoryZipIsIgnored)
{
    static const std::string first = ReadFixture(L"skin.zip");
    static const std::string second = ReadFixture(L"other.zip");
    CSkinSource::UseZipInMemory(first.data(), first.size());
    EXPECT_EQ(L"membuffer", Wide(CSkinSource::ResourceZipName()));
    SkinUI::CZipReader* inUse = CSkinSource::CachedZip();
    ASSERT_NE(nullptr, inUse);
    CSkinSource::UseZipInMemory(second.data(), second.size());
    EXPECT_EQ(inUse, CSkinSource::CachedZip());
    CLayoutMarkup markup;
    ASSERT_TRUE(markup.LoadSkinFile(L"Main.xml"));
    EXPECT_STREQ(L"Window", markup.RootNode().ElementName());
}

TEST_F(SkinSourceTest, ImageBytesComeFromZipThenFromThePath)
{
    const std::string archive = ReadFixture(L"skin.zip");
    UseFixtureZip(L"skin.zip");
    std::vector<unsigned char> bytes;
    EXPECT_TRUE(CSkinSource::LoadImageBytes(L"IMG\\Pic_BG.PNG", nullptr, bytes));
    EXPECT_EQ(92932u, bytes.size());
    EXPECT_FALSE(CSkinSource::LoadImageBytes(L"#FF00FF00", L"*COLOR*", bytes));
    EXPECT_TRUE(bytes.empty());

    // Not in the skin source: the name is tried as a path.
    const std::wstring path = FixturePath(L"other.zip");
    EXPECT_TRUE(CSkinSource::LoadImageBytes(path.c_str(), nullptr, bytes));
    EXPECT_EQ(ReadFixture(L"other.zip"), std::string(bytes.begin(), bytes.end()));
    EXPECT_FALSE(CSkinSource::LoadImageBytes(L"img/absent.png", nullptr, bytes));
}

TEST_F(SkinSourceTest, ImageBytesFromFolderAndModuleResource)
{
    testing_support::TempFolder folder;
    ASSERT_TRUE(testing_support::WriteBytes(folder / L"logo.png", "PNGDATA"));
    ASSERT_TRUE(testing_support::WriteBytes(folder / L"empty.png", ""));
    CSkinSource::SetResourceFolder(folder.Path().c_str());
    std::vector<unsigned char> bytes;
    EXPECT_TRUE(CSkinSource::LoadImageBytes(L"logo.png", nullptr, bytes));
    EXPECT_EQ("PNGDATA", std::string(bytes.begin(), bytes.end()));
    EXPECT_FALSE(CSkinSource::LoadImageBytes(L"empty.png", nullptr, bytes));

    CSkinSource::SetModule(GetModuleHandleW(nullptr));
    EXPECT_TRUE(CSkinSource::LoadImageBytes(MAKEINTRESOURCEW(101), L"ZIPRES", bytes));
    EXPECT_EQ('P', bytes.at(0));
    EXPECT_EQ('K', bytes.at(1));
}

TEST_F(SkinSourceTest, ModuleZipResourceServesTheLayouts)
{
    size_t size = 0;
    const void* package = CopyZipResource(GetModuleHandleW(nullptr), size);
    ASSERT_NE(nullptr, package);
    CSkinSource::SetModule(GetModuleHandleW(nullptr));
    CSkinSource::UseZipInMemory(package, size);
    CLayoutMarkup markup;
    ASSERT_TRUE(markup.LoadSkinFile(L"MessageBox.xml")) << markup.LastErrorMessage();
    EXPECT_STREQ(L"Window", markup.RootNode().ElementName());
}

TEST_F(SkinSourceTest, KestrelCarriesTheSkinPackage)
{
    const std::wstring kestrel = testing_support::ProgramFolder() + L"Kestrel.exe";
    HMODULE module = LoadLibraryExW(kestrel.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(nullptr, module);
    size_t size = 0;
    const void* package = CopyZipResource(module, size);
    FreeLibrary(module);
    ASSERT_NE(nullptr, package);
    std::unique_ptr<SkinUI::CZipReader> zip = SkinUI::CZipReader::OpenMemory(package, size);
    ASSERT_TRUE(zip);
    SkinUI::TZipEntry entry;
    int index = -1;
    ASSERT_EQ(SkinUI::kZipOk, zip->FindItem(L"MainWindow.xml", false, &index, &entry));
    std::string layout(entry.uncompressedSize, '\0');
    EXPECT_EQ(SkinUI::kZipOk, zip->UnzipItem(index, &layout[0], layout.size()));
    CLayoutMarkup markup;
    EXPECT_TRUE(markup.LoadBytes(layout.data(), layout.size(), SkinUI::kMarkupUtf8));
    delete[] static_cast<const unsigned char*>(package);
}
