#include "app/oem_identity.h"

#include "tests/support/files.h"
#include "tests/support/installation.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

class ReadOemIdTest : public ::testing::Test {
protected:
    int Read(const std::string& content)
    {
        std::wstring path = folder_ / L"kestrel.dat";
        WriteBytes(path, content);
        return ReadOemIdFromFile(path);
    }

    TempFolder folder_;
};

TEST_F(ReadOemIdTest, ObjectOnOneLineGivesItsId)
{
    EXPECT_EQ(25, Read("{\"id\":25}\r\n"));
    EXPECT_EQ(25, Read("  \t\n{\"id\":25,\"name\":\"x\"}"));
}

TEST_F(ReadOemIdTest, WhatFollowsTheObjectIsIgnored)
{
    EXPECT_EQ(7, Read("{\"id\":7} {\"id\":9}"));
    EXPECT_EQ(7, Read("{\"id\":7}garbage\x1A\xFF"));
    EXPECT_EQ(7, Read("{\"id\":7}\n{\"id\":"));
}

TEST_F(ReadOemIdTest, HoweverTheFileWasSaved)
{
    const struct {
        const char* form;
        std::string content;
    } files[] = {
        {"spaces inside", "{ \"id\": 7 }"},
        {"several lines", "{\r\n    \"id\": 7,\r\n    \"name\": \"x\"\r\n}\r\n"},
        {"UTF-8 mark", "\xEF\xBB\xBF{\"id\":7}"},
        {"UTF-8 mark, several lines", "\xEF\xBB\xBF{\n  \"id\" : 7\n}\n"},
        {"UTF-16 little-endian", Utf16WithMark(L"{\r\n  \"id\": 7\r\n}\r\n")},
        {"UTF-16 big-endian", Utf16WithMark(L"{\"id\":7}", true)},
        {"UTF-16 with CJK", Utf16WithMark(L"{\"name\":\"\x9732\x6469\",\"id\":7}")},
    };
    for (const auto& file : files)
        EXPECT_EQ(7, Read(file.content)) << file.form;
}

TEST_F(ReadOemIdTest, NegativeAndRealIds)
{
    EXPECT_EQ(-4, Read("{\"id\":-4}"));
    EXPECT_EQ(12, Read("{\"id\":12.9}"));
    EXPECT_EQ(-3, Read("{\"id\":-3.7}"));
}

TEST_F(ReadOemIdTest, BooleansCountAsOneAndZero)
{
    EXPECT_EQ(1, Read("{\"id\":true}"));
    EXPECT_EQ(0, Read("{\"id\":false}"));
}

TEST_F(ReadOemIdTest, UnusableContentGivesZero)
{
    const std::string contents[] = {
        "",
        "\xEF\xBB\xBF",
        "\xFF\xFE",
        "{\"name\":25}",
        "{\"id\":null}",
        "{\"id\":25",
        "x {\"id\":25}",
        "\xEF\xBB\xBF\xEF\xBB\xBF{\"id\":25}",
        // UTF-16 without its mark is not told apart from bytes.
        Utf16WithMark(L"{\"id\":25}").substr(2),
    };
    for (const std::string& content : contents)
        EXPECT_EQ(0, Read(content)) << content;
}

TEST_F(ReadOemIdTest, OtherTypesAndOutOfRangeNumbersGiveZero)
{
    EXPECT_EQ(0, Read("{\"id\":\"25\"}"));
    EXPECT_EQ(0, Read("{\"id\":[25]}"));
    EXPECT_EQ(0, Read("{\"id\":{\"v\":25}}"));
    EXPECT_EQ(0, Read("{\"id\":4294967296}"));
    EXPECT_EQ(0, Read("{\"id\":3000000000}"));
    EXPECT_EQ(0, Read("{\"id\":1e30}"));
    EXPECT_EQ(0, Read("[25]"));
    EXPECT_EQ(0, Read("25"));
}

// The reader's number decoding in every form a hand-edited file may hold: a
// value beside the id shows whether a number is read or refuses the file.
TEST_F(ReadOemIdTest, NumbersInEveryFormDecodeAsTheyAlwaysHave)
{
    const std::string zeros(400, '0');
    const struct {
        std::string content;
        int id;
    } files[] = {
        {"{\"id\":1e1}", 10},
        {"{\"id\":2.5E+1}", 25},
        {"{\"id\":250e-1}", 25},
        {"{\"id\":1.}", 1},
        {"{\"id\":-0}", 0},
        {"{\"id\":-0.0}", 0},
        {"{\"id\":7.0000000000000000000000000000000000000001}", 7},
        {"{\"id\":0.0000000000000000000000000000000000000000001e45}", 100},
        {"{\"id\":2147483647.5}", 2147483647},
        {"{\"id\":-2147483648.9}", -2147483647 - 1},
        {"{\"id\":4e9}", 0},
        {"{\"id\":25,\"x\":1" + zeros + "}", 0},
        {"{\"id\":25,\"x\":-1" + zeros + ".5}", 0},
        {"{\"id\":25,\"x\":0." + zeros + "1}", 25},
        {"{\"id\":25,\"x\":1e400}", 0},
        {"{\"id\":25,\"x\":-1e400}", 0},
        {"{\"id\":25,\"x\":1e-400}", 25},
        {"{\"id\":25,\"x\":1.7976931348623157e308}", 25},
        {"{\"id\":25,\"x\":1.7976931348623159e308}", 0},
        {"{\"id\":25,\"x\":1e}", 0},
        {"{\"id\":25,\"x\":2e+}", 0},
        {"{\"id\":25,\"x\":-}", 25},
    };
    for (const auto& file : files)
        EXPECT_EQ(file.id, Read(file.content)) << file.content.substr(0, 60);
}

TEST_F(ReadOemIdTest, MissingFileGivesZero)
{
    EXPECT_EQ(0, ReadOemIdFromFile(folder_ / L"absent.dat"));
}

TEST_F(ReadOemIdTest, FileInAFolderOutsideTheAnsiCodePage)
{
    std::wstring folder = folder_ / L"\x7A0B\x5E8F \x6587\x4EF6 (x86)\\";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    WriteBytes(folder + L"kestrel.dat", "{\"id\":7}");
    EXPECT_EQ(7, ReadOemIdFromFile(folder + L"kestrel.dat"));
}

TEST(FileVersionTest, ReadsFileVersionOfTheFirstTranslation)
{
    std::wstring value;
    EXPECT_TRUE(GetFileVersionString(ProgramFolder() + L"TarnwickStandIn.exe", L"FileVersion", value));
    EXPECT_EQ(L"1.0.0.9", value);
}

TEST(FileVersionTest, EnglishTranslationWithWindowsCodePage)
{
    std::wstring value;
    EXPECT_TRUE(GetFileVersionString(ProgramFolder() + L"TarnwickStandIn0409.exe", L"FileVersion", value));
    EXPECT_EQ(L"3.2.1.0", value);
}

TEST(FileVersionTest, MissingKeyLeavesValueUnchanged)
{
    std::wstring value = L"unchanged";
    EXPECT_TRUE(GetFileVersionString(ProgramFolder() + L"TarnwickStandIn.exe", L"NoSuchKey", value));
    EXPECT_EQ(L"unchanged", value);
}

TEST(FileVersionTest, FileWithoutVersionResourceOrEmptyArgumentsFail)
{
    TempFolder folder;
    WriteBytes(folder / L"plain.exe", "not a program");
    std::wstring value;
    EXPECT_FALSE(GetFileVersionString(folder / L"plain.exe", L"FileVersion", value));
    EXPECT_FALSE(GetFileVersionString(L"", L"FileVersion", value));
    EXPECT_FALSE(GetFileVersionString(ProgramFolder() + L"TarnwickStandIn.exe", L"", value));
    EXPECT_TRUE(value.empty());
}

TEST(StartMainAppTest, CommandLineHoldsOnlyTheOemId)
{
    Installation installation;
    SetOemId(-4);
    StartMainApp(installation.Folder());
    SetOemId(1);
    ASSERT_TRUE(WaitUntil([&] { return !installation.TarnwickLogLines("started: ").empty(); }, 10000));
    EXPECT_EQ("-show -oemid:-4", installation.TarnwickLogLines("started: ")[0]);
}

TEST(StartMainAppTest, MissingTarnwickIsNotAnError)
{
    Installation installation(false);
    StartMainApp(installation.Folder());
    EXPECT_FALSE(FileExists(installation.PathOf(L"tarnwick.log")));
}

} // namespace
