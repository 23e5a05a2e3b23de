#include "ui/core/zip_reader.h"

#include "tests/ui_core/fixtures.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using SkinUI::CZipReader;
using SkinUI::TZipEntry;

namespace {

std::string Extract(CZipReader& zip, const wchar_t* name, unsigned* result = nullptr)
{
    int index = -1;
    TZipEntry entry;
    unsigned found = zip.FindItem(name, true, &index, &entry);
    if (found != SkinUI::kZipOk) {
        if (result)
            *result = found;
        return std::string();
    }
    std::string bytes(entry.uncompressedSize, '\0');
    unsigned code = zip.UnzipItem(index, &bytes[0], bytes.size());
    if (result)
        *result = code;
    return bytes;
}

} // namespace

TEST(ZipReader, FileAndMemoryArchivesGiveTheSameEntries)
{
    const std::string archive = ReadFixture(L"skin.zip");
    ASSERT_FALSE(archive.empty());
    std::unique_ptr<CZipReader> fromFile = CZipReader::OpenFile(FixturePath(L"skin.zip").c_str());
    std::unique_ptr<CZipReader> fromMemory = CZipReader::OpenMemory(archive.data(), archive.size());
    ASSERT_TRUE(fromFile);
    ASSERT_TRUE(fromMemory);
    EXPECT_EQ(7, fromFile->ItemCount());
    for (const wchar_t* name : {L"Main.xml", L"img/pic_bg.png", L"stored.bin", L"limit.xml"}) {
        unsigned fileResult = 1, memoryResult = 1;
        std::string a = Extract(*fromFile, name, &fileResult);
        std::string b = Extract(*fromMemory, name, &memoryResult);
        EXPECT_EQ(SkinUI::kZipOk, fileResult) << name;
        EXPECT_EQ(SkinUI::kZipOk, memoryResult) << name;
        EXPECT_EQ(a, b) << name;
        EXPECT_FALSE(a.empty());
    }
    EXPECT_EQ(std::string(4194304 - 17, ' '), Extract(*fromMemory, L"limit.xml").substr(8, 4194304 - 17));
}

TEST(ZipReader, LookupFoldsOnlyAsciiCaseAndAcceptsBackslashes)
{
    const std::string archive = ReadFixture(L"skin.zip");
    std::unique_ptr<CZipReader> zip = CZipReader::OpenMemory(archive.data(), archive.size());
    ASSERT_TRUE(zip);
    int index = -1;
    TZipEntry entry;
    EXPECT_EQ(SkinUI::kZipOk, zip->FindItem(L"IMG\\Pic_BG.PNG", true, &index, &entry));
    EXPECT_EQ(2, index);
    EXPECT_STREQ(L"img/pic_bg.png", entry.name);
    EXPECT_EQ(92932u, entry.uncompressedSize);
    EXPECT_EQ(SkinUI::kZipNotFound, zip->FindItem(L"IMG\\Pic_BG.PNG", false, &index, &entry));
    EXPECT_EQ(SkinUI::kZipNotFound, zip->LastResult());
    EXPECT_EQ(SkinUI::kZipOk, zip->FindItem(L"img/pic_bg.png", false, &index, &entry));
    EXPECT_EQ(SkinUI::kZipArgs, zip->FindItem(std::wstring(256, L'a').c_str(), true, &index, &entry));
}

TEST(ZipReader, DirectoryRecordCarriesFolderAndTime)
{
    const std::string archive = ReadFixture(L"skin.zip");
    std::unique_ptr<CZipReader> zip = CZipReader::OpenMemory(archive.data(), archive.size());
    ASSERT_TRUE(zip);
    TZipEntry folder;
    ASSERT_EQ(SkinUI::kZipOk, zip->GetItem(1, &folder));
    EXPECT_STREQ(L"img/", folder.name);
    EXPECT_TRUE(folder.attributes & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(0u, folder.uncompressedSize);
    SYSTEMTIME utc = {};
    FILETIME local = {};
    FileTimeToLocalFileTime(&folder.modifyTime, &local);
    FileTimeToSystemTime(&local, &utc);
    EXPECT_EQ(2024, utc.wYear);
    EXPECT_EQ(5, utc.wMonth);
    EXPECT_EQ(6, utc.wDay);
    EXPECT_EQ(SkinUI::kZipArgs, zip->GetItem(7, &folder));
    EXPECT_EQ(SkinUI::kZipArgs, zip->UnzipItem(-1, nullptr, 0));
}

TEST(ZipReader, SmallBufferGetsMoreThenTheRest)
{
    const std::string archive = ReadFixture(L"skin.zip");
    std::unique_ptr<CZipReader> zip = CZipReader::OpenMemory(archive.data(), archive.size());
    ASSERT_TRUE(zip);
    const std::string whole = Extract(*zip, L"img/pic_bg.png");
    int index = -1;
    ASSERT_EQ(SkinUI::kZipOk, zip->FindItem(L"img/pic_bg.png", true, &index, nullptr));
    std::string pieces;
    char buffer[10000];
    unsigned result = SkinUI::kZipMore;
    while (result == SkinUI::kZipMore) {
        result = zip->UnzipItem(index, buffer, sizeof(buffer));
        size_t got = result == SkinUI::kZipMore ? sizeof(buffer) : whole.size() % sizeof(buffer);
        pieces.append(buffer, got);
    }
    EXPECT_EQ(SkinUI::kZipOk, result);
    EXPECT_EQ(whole, pieces);

    // A stored entry behaves the same.
    ASSERT_EQ(SkinUI::kZipOk, zip->FindItem(L"stored.bin", true, &index, nullptr));
    EXPECT_EQ(SkinUI::kZipMore, zip->UnzipItem(index, buffer, 4000));
    EXPECT_EQ(SkinUI::kZipOk, zip->UnzipItem(index, buffer, 4000));
}

TEST(ZipReader, DataPrependedToTheArchiveIsSkipped)
{
    std::unique_ptr<CZipReader> zip = CZipReader::OpenFile(FixturePath(L"prepended.zip").c_str());
    ASSERT_TRUE(zip);
    unsigned result = 1;
    std::string layout = Extract(*zip, L"Main.xml", &result);
    EXPECT_EQ(SkinUI::kZipOk, result);
    EXPECT_EQ(0u, layout.find("<!-- test -->"));
}

TEST(ZipReader, EndRecordBeyondTheSearchedTailIsNotFound)
{
    unsigned result = 0;
    EXPECT_FALSE(CZipReader::OpenFile(FixturePath(L"comment70k.zip").c_str(), &result));
    EXPECT_NE(SkinUI::kZipOk, result);
    const std::string archive = ReadFixture(L"comment70k.zip");
    EXPECT_FALSE(CZipReader::OpenMemory(archive.data(), archive.size()));
}

TEST(ZipReader, CrcMismatchIsNotGoodData)
{
    std::unique_ptr<CZipReader> zip = CZipReader::OpenFile(FixturePath(L"badcrc.zip").c_str());
    ASSERT_TRUE(zip);
    unsigned result = 0;
    Extract(*zip, L"Main.xml", &result);
    EXPECT_EQ(SkinUI::kZipFlate, result);
    Extract(*zip, L"stored.bin", &result);
    EXPECT_EQ(SkinUI::kZipFlate, result);
}

TEST(ZipReader, MissingAndEmptyInputsAreRefused)
{
    unsigned result = 0;
    EXPECT_FALSE(CZipReader::OpenFile(FixturePath(L"absent.zip").c_str(), &result));
    EXPECT_EQ(SkinUI::kZipNoFile, result);
    EXPECT_FALSE(CZipReader::OpenMemory("", 0, &result));
    EXPECT_FALSE(CZipReader::OpenMemory(nullptr, 10, &result));
    EXPECT_EQ(SkinUI::kZipArgs, result);
    const std::string archive = ReadFixture(L"skin.zip");
    for (size_t cut : {size_t(1), size_t(21), size_t(22), size_t(100), archive.size() / 2}) {
        std::string truncated = archive.substr(0, archive.size() - cut);
        std::unique_ptr<CZipReader> zip = CZipReader::OpenMemory(truncated.data(), truncated.size());
        if (!zip)
            continue;
        std::string bytes(200, '\0');
        int index = -1;
        if (zip->FindItem(L"Main.xml", true, &index, nullptr) == SkinUI::kZipOk) {
            EXPECT_NE(SkinUI::kZipOk, zip->UnzipItem(index, &bytes[0], bytes.size())) << cut;
        }
    }
}

TEST(ZipReader, ExtendedTimestampGivesTheModificationTime)
{
    std::unique_ptr<CZipReader> zip = CZipReader::OpenFile(FixturePath(L"tool.zip").c_str());
    ASSERT_TRUE(zip);
    TZipEntry entry;
    ASSERT_EQ(SkinUI::kZipOk, zip->FindItem(L"tool.xml", true, nullptr, &entry));
    SYSTEMTIME utc = {};
    FileTimeToSystemTime(&entry.modifyTime, &utc);
    EXPECT_EQ(2001, utc.wYear);
    EXPECT_EQ(2, utc.wMonth);
    EXPECT_EQ(3, utc.wDay);
    EXPECT_EQ(4, utc.wHour);
    EXPECT_EQ(5, utc.wMinute);
    EXPECT_EQ(6, utc.wSecond);
}
