#include "app/archive/seven_zip_archive.h"
#include "app/archive/seven_zip_library.h"
#include "tests/archive/test_packages.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

using namespace SevenZip;
using testing_support::CopyFileTo;
using testing_support::TempFolder;

namespace {

ArchiveFormat DetectedFormat(const std::wstring& package)
{
    SevenZipArchive archive;
    archive.SetArchiveFile(PackagePath(package));
    return archive.QueryFormat();
}

} // namespace

TEST(SevenZipLibrary, CreatesAReaderForEachOfTheFiveFormats)
{
    for (ArchiveFormat format : {Format7z, FormatZip, FormatCab, FormatLzma, FormatLzma86})
        EXPECT_TRUE(intl::OpenReader(format)) << "format " << format;
}

TEST(SevenZipArchiveFormat, EachFormatIsFound)
{
    EXPECT_EQ(Format7z, DetectedFormat(L"lzma2.7z"));
    EXPECT_EQ(Format7z, DetectedFormat(L"bcj2.7z"));
    EXPECT_EQ(FormatZip, DetectedFormat(L"deflate.zip"));
    EXPECT_EQ(FormatZip, DetectedFormat(L"infozip.zip"));
    EXPECT_EQ(FormatCab, DetectedFormat(L"none.cab"));
    EXPECT_EQ(FormatCab, DetectedFormat(L"mszip.cab"));
    EXPECT_EQ(FormatLzma, DetectedFormat(L"single.lzma"));
    EXPECT_EQ(FormatLzma86, DetectedFormat(L"single.lzma86"));
}

TEST(SevenZipArchiveFormat, ProbeFindsTheFormatWhicheverWasCurrent)
{
    SevenZipArchive archive;
    archive.SetArchiveFile(PackagePath(L"deflate.zip"));
    for (ArchiveFormat current : {FormatNone, Format7z, FormatCab, FormatLzma, FormatZip}) {
        archive.ForceFormat(current);
        EXPECT_TRUE(archive.ProbeFormat());
        EXPECT_EQ(FormatZip, archive.QueryFormat()) << "starting from " << current;
    }
    archive.SetArchiveFile(PackagePath(L"single.lzma86"));
    archive.ForceFormat(FormatLzma);
    EXPECT_TRUE(archive.ProbeFormat());
    EXPECT_EQ(FormatLzma86, archive.QueryFormat());
}

TEST(SevenZipArchiveFormat, FileOfNoFormatGivesFormatNone)
{
    SevenZipArchive archive;
    archive.SetArchiveFile(PackagePath(L"plain.txt"));
    EXPECT_FALSE(archive.ProbeFormat());
    EXPECT_EQ(FormatNone, archive.QueryFormat());
    EXPECT_TRUE(archive.ItemNames().empty());
}

TEST(SevenZipArchiveFormat, ForcedZipOnASevenZipPackageFailsToList)
{
    SevenZipArchive archive;
    archive.SetArchiveFile(PackagePath(L"lzma2.7z"));
    archive.ForceFormat(FormatZip);
    EXPECT_FALSE(archive.LoadMetadata());
    EXPECT_TRUE(archive.ItemNames().empty());
    EXPECT_EQ(FormatZip, archive.QueryFormat());

    EXPECT_TRUE(archive.ProbeFormat());
    EXPECT_EQ(Format7z, archive.QueryFormat());
    EXPECT_EQ(7u, archive.ItemCount());
}

TEST(SevenZipArchiveItems, ListsPathsSizesAndKindsInReaderOrder)
{
    SevenZipArchive archive;
    archive.SetArchiveFile(PackagePath(L"lzma2.7z"));
    std::vector<std::wstring> expectedNames = {L"emptydir", L"sub", L"sub\\deep", L"readme.txt",
                                               L"sub\\code.bin", L"sub\\deep\\data.bin",
                                               L"sub\\readonly.txt"};
    std::vector<uint32_t> expectedSizes = {0, 0, 0, 27, 200000, 65536, 11};
    std::vector<bool> expectedFolders = {true, true, true, false, false, false, false};
    EXPECT_EQ(expectedNames, archive.ItemNames());
    EXPECT_EQ(expectedSizes, archive.ItemSizes());
    EXPECT_EQ(expectedFolders, archive.ItemFolders());
    EXPECT_EQ(7u, archive.ItemCount());
}

TEST(SevenZipArchiveItems, CabAndZipItemsAreListed)
{
    SevenZipArchive cab;
    cab.SetArchiveFile(PackagePath(L"mszip.cab"));
    EXPECT_EQ((std::vector<std::wstring>{L"readme.txt", L"sub\\code.bin"}), cab.ItemNames());
    EXPECT_EQ((std::vector<uint32_t>{27, 200000}), cab.ItemSizes());

    SevenZipArchive zip;
    zip.SetArchiveFile(PackagePath(L"infozip.zip"));
    std::vector<std::wstring> names = zip.ItemNames();
    EXPECT_NE(names.end(), std::find(names.begin(), names.end(), L"sub\\deep\\data.bin"));
}

TEST(SevenZipArchiveItems, MissingFileGivesNoItemsAndIsTriedAgain)
{
    TempFolder temp;
    SevenZipArchive archive;
    archive.SetArchiveFile(temp / L"package.7z");
    EXPECT_TRUE(archive.ItemNames().empty());
    EXPECT_EQ(0u, archive.ItemCount());

    ASSERT_TRUE(CopyFileTo(PackagePath(L"lzma2.7z"), temp / L"package.7z"));
    EXPECT_EQ(7u, archive.ItemNames().size());
}

TEST(SevenZipArchiveItems, ItemWithoutPathIsListedWithEmptyName)
{
    SevenZipArchive archive;
    archive.SetArchiveFile(PackagePath(L"single.lzma"));
    EXPECT_EQ(std::vector<std::wstring>{L""}, archive.ItemNames());
}

TEST(SevenZipArchiveItems, EncryptedHeadersCannotBeListed)
{
    SevenZipArchive archive;
    archive.SetArchiveFile(PackagePath(L"aes-headers.7z"));
    EXPECT_FALSE(archive.LoadMetadata());
    EXPECT_TRUE(archive.ItemNames().empty());
}

TEST(SevenZipArchiveItems, EncryptedDataWithPlainHeadersIsListed)
{
    SevenZipArchive archive;
    archive.SetArchiveFile(PackagePath(L"aes.7z"));
    EXPECT_EQ(7u, archive.ItemNames().size());
}
