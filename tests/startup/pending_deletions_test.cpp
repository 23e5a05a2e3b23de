#include "app/pending_deletions.h"

#include "tests/support/files.h"
#include "tests/support/installation.h"
#include "tests/support/temp_folder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

class PendingDeletionsTest : public ::testing::Test {
protected:
    std::wstring Path(const std::wstring& name) const { return folder_.Path() + name; }
    void MakeFile(const std::wstring& name) { ASSERT_TRUE(WriteBytes(Path(name), "data")); }
    void WriteList(const std::string& text) { ASSERT_TRUE(WriteBytes(Path(L"temp"), text)); }
    std::string List() const { return ReadBytes(Path(L"temp")); }
    bool ListExists() const { return FileExists(Path(L"temp")); }
    void Process() { ProcessPendingDeletions(folder_.Path()); }

    TempFolder folder_;
};

TEST_F(PendingDeletionsTest, NoListDoesNothing)
{
    MakeFile(L"a.dll");
    Process();
    EXPECT_TRUE(FileExists(Path(L"a.dll")));
    EXPECT_FALSE(ListExists());
}

TEST_F(PendingDeletionsTest, EmptyListIsDeleted)
{
    WriteList("");
    Process();
    EXPECT_FALSE(ListExists());
}

TEST_F(PendingDeletionsTest, ListWhoseFilesAllGoIsDeleted)
{
    MakeFile(L"a.dll");
    CreateDirectoryW(Path(L"old").c_str(), nullptr);
    MakeFile(L"old\\x.dll");
    WriteList("a.dll|old\\x.dll");
    Process();
    EXPECT_FALSE(FileExists(Path(L"a.dll")));
    EXPECT_FALSE(FileExists(Path(L"old\\x.dll")));
    EXPECT_TRUE(FolderExists(Path(L"old")));
    EXPECT_FALSE(ListExists());
}

TEST_F(PendingDeletionsTest, MissingFilesStayOnTheListWithoutTrailingSeparator)
{
    MakeFile(L"a.dll");
    WriteList("a.dll|b.dll");
    Process();
    EXPECT_FALSE(FileExists(Path(L"a.dll")));
    EXPECT_EQ("b.dll", List());
}

TEST_F(PendingDeletionsTest, FileInUseStaysAndTheOthersGo)
{
    Installation installation;
    std::wstring folder = installation.Folder();
    WriteBytes(folder + L"busy.dll", "busy");
    WriteBytes(folder + L"free.dll", "free");
    WriteBytes(folder + L"temp", "free.dll|busy.dll");
    ChildProcess holder;
    ASSERT_TRUE(installation.StartTarnwick(holder, L"--hold=" + folder + L"busy.dll"));

    ProcessPendingDeletions(folder);

    EXPECT_FALSE(FileExists(folder + L"free.dll"));
    EXPECT_TRUE(FileExists(folder + L"busy.dll"));
    EXPECT_EQ("busy.dll", ReadBytes(folder + L"temp"));

    holder.Terminate();
    ProcessPendingDeletions(folder);
    EXPECT_FALSE(FileExists(folder + L"busy.dll"));
    EXPECT_FALSE(FileExists(folder + L"temp"));
}

TEST_F(PendingDeletionsTest, SingleSeparatorKeepsBothEmptyNames)
{
    WriteList("|");
    Process();
    EXPECT_EQ("|", List());
}

TEST_F(PendingDeletionsTest, NameWithFinalLineFeedStays)
{
    MakeFile(L"a.dll");
    WriteList("a.dll\n");
    Process();
    EXPECT_TRUE(FileExists(Path(L"a.dll")));
    EXPECT_EQ("a.dll\r\n", List());
}

TEST_F(PendingDeletionsTest, FoldersAreNotDeleted)
{
    CreateDirectoryW(Path(L"sub").c_str(), nullptr);
    WriteList("sub");
    Process();
    EXPECT_TRUE(FolderExists(Path(L"sub")));
    EXPECT_EQ("sub", List());
}

TEST_F(PendingDeletionsTest, NamesLeadingOutsideTheFolderAreDroppedUntouched)
{
    TempFolder outside;
    ASSERT_TRUE(WriteBytes(outside / L"victim.dll", "keep"));
    CreateDirectoryW(Path(L"inst").c_str(), nullptr);
    std::wstring installFolder = Path(L"inst\\");
    std::string outsideUtf8 = ToUtf8(outside / L"victim.dll");
    std::string outsideNoDrive = outsideUtf8.substr(2);
    WriteBytes(Path(L"victim.dll"), "keep");
    WriteBytes(installFolder + L"temp",
               "..\\victim.dll|" + outsideUtf8 + "|" + outsideNoDrive + "|C:victim.dll|"
                   + "\\\\server\\share\\victim.dll|sub\\..\\..\\victim.dll|.. \\victim.dll|"
                   + "...\\victim.dll|gone.dll");

    ProcessPendingDeletions(installFolder);

    EXPECT_TRUE(FileExists(outside / L"victim.dll"));
    EXPECT_TRUE(FileExists(Path(L"victim.dll")));
    EXPECT_EQ("gone.dll", ReadBytes(installFolder + L"temp"));
}

TEST(PendingListTest, WriterAndReaderAgree)
{
    TempFolder folder;
    std::wstring path = folder / L"temp";
    std::vector<std::wstring> names = {L"a.dll", L"_lib\\name", L"caf\u00e9.txt"};
    ASSERT_TRUE(WritePendingList(path, names));
    EXPECT_EQ("a.dll|_lib\\name|caf\xE9.txt", ReadBytes(path));
    std::vector<std::wstring> read;
    ASSERT_EQ(PendingListRead::kRead, ReadPendingList(path, read));
    EXPECT_EQ(names, read);
}

// Names joined by "|": count names, each the letter followed by its index
// padded with that letter to length characters.
std::string Names(size_t count, size_t length, char letter = 'n')
{
    std::string text;
    for (size_t i = 0; i < count; ++i) {
        std::string name = letter + std::to_string(i);
        name.resize(std::max(length, name.size()), letter);
        text += (i ? "|" : "") + name;
    }
    return text;
}

std::string NameOf(size_t length, char letter)
{
    return std::string(length, letter);
}

// What a start leaves of a list that no upgrade wrote, whatever its size or
// content: the bounds hold, the rules for names stay. The listed files do
// not exist, so every name that is read stays.
TEST_F(PendingDeletionsTest, ListsAreReadWithinBounds)
{
    // 9,987 names of at most 104 characters, which fit a path in the folder.
    std::string wholeMiB = Names(9986, 104);
    wholeMiB += "|" + NameOf(kMaxPendingListBytes - wholeMiB.size() - 1, 'z');
    const struct {
        const char* what;
        std::string list;
        bool stays;
        std::string after;
    } kCases[] = {
        {"a list of 1 MiB is read", wholeMiB, true, wholeMiB},
        {"one byte more is no list", wholeMiB + "y", false, ""},
        {"30 MB of separators", std::string(30 << 20, '|'), false, ""},
        {"20 MB of random bytes", RandomBytes(20 << 20), false, ""},
        {"10,000 names are read", Names(10000, 8), true, Names(10000, 8)},
        {"names after the 10,000th are dropped", Names(10001, 1), true, Names(10000, 1)},
        {"only empty names, past the count", std::string(10000, '|'), true, std::string(9999, '|')},
        {"names longer than a path go", NameOf(261, 'b') + "|c||" + NameOf(5000, 'd'), true, "c|"},
        {"line feeds stay in names", "a\n|\nb", true, "a\r\n|\r\nb"},
    };
    for (const auto& c : kCases) {
        WriteList(c.list);
        Process();
        EXPECT_EQ(c.stays, ListExists()) << c.what;
        if (c.stays) {
            EXPECT_TRUE(List() == c.after) << c.what;
        }
    }
}

// The writer stores only what the reader takes back.
TEST(PendingListTest, WriterKeepsWithinTheReadersBounds)
{
    TempFolder folder;
    std::wstring path = folder / L"temp";
    std::vector<std::wstring> many;
    for (int i = 0; i < 10001; ++i)
        many.push_back(L"f" + std::to_wstring(i));
    std::vector<std::wstring> large(5000, std::wstring(250, L'L'));
    const struct {
        const char* what;
        std::vector<std::wstring> names;
        size_t namesWritten;
    } kCases[] = {
        {"10,000 names of 10,001", many, 10000},
        {"names that fit 1 MiB", large, kMaxPendingListBytes / 251},
        {"not the one too long", {L"a", std::wstring(261, L'b'), L"c"}, 2},
    };
    for (const auto& c : kCases) {
        ASSERT_TRUE(WritePendingList(path, c.names)) << c.what;
        EXPECT_LE(ReadBytes(path).size(), kMaxPendingListBytes) << c.what;
        std::vector<std::wstring> read;
        ASSERT_EQ(PendingListRead::kRead, ReadPendingList(path, read)) << c.what;
        EXPECT_EQ(c.namesWritten, read.size()) << c.what;
    }
}

TEST(PendingListTest, NamesBeyondSingleBytesAreRefused)
{
    TempFolder folder;
    std::wstring path = folder / L"temp";
    EXPECT_FALSE(WritePendingList(path, {L"\u5347\u7ea7.dll"}));
    EXPECT_FALSE(FileExists(path));
}

} // namespace
