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
        return ReadOemIdFromFile(ToUtf8(path).c_str());
    }

    TempFolder folder_;
};

TEST_F(ReadOemIdTest, ObjectOnOneLineGivesItsId)
{
    EXPECT_EQ(25, Read("{\"id\":25}\r\n"));
    EXPECT_EQ(25, Read("  \t\n{\"id\":25,\"name\":\"x\"}"));
}

TEST_F(ReadOemIdTest, OnlyTheFirstTokenIsRead)
{
    EXPECT_EQ(0, Read("{\"id\": 25}"));
    EXPECT_EQ(0, Read("{\n\"id\":25\n}"));
    EXPECT_EQ(7, Read("{\"id\":7} {\"id\":9}"));
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
    EXPECT_EQ(0, Read(""));
    EXPECT_EQ(0, Read("\xEF\xBB\xBF{\"id\":25}"));
    EXPECT_EQ(0, Read("{\"name\":25}"));
    EXPECT_EQ(0, Read("{\"id\":null}"));
    EXPECT_EQ(0, Read("{\"id\":25"));
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

TEST_F(ReadOemIdTest, MissingFileGivesZero)
{
    EXPECT_EQ(0, ReadOemIdFromFile(ToUtf8(folder_ / L"absent.dat").c_str()));
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
