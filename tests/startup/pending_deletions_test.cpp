#include "app/pending_deletions.h"

#include "tests/support/files.h"
#include "tests/support/installation.h"
#include "tests/support/temp_folder.h"

#include <windows.h>

#include <gtest/gtest.h>

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
    ASSERT_TRUE(ReadPendingList(path, read));
    EXPECT_EQ(names, read);
}

TEST(PendingListTest, NamesBeyondSingleBytesAreRefused)
{
    TempFolder folder;
    std::wstring path = folder / L"temp";
    EXPECT_FALSE(WritePendingList(path, {L"\u5347\u7ea7.dll"}));
    EXPECT_FALSE(FileExists(path));
}

} // namespace
