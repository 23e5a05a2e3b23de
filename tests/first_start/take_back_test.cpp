#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

#include "app/first_start.h"
#include "app/package_name.h"
#include "app/upgrade_journal.h"
#include "app/upgrade_take_back.h"
#include "ui/core/unique_handle.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace testing_support;

namespace {

using Snapshot = std::vector<std::pair<std::wstring, std::string>>;

// A folder as a completed upgrade leaves it: the previous a.dll and
// Tarnwick.exe kept under "_" names, the package's files in place, one of
// them in a folder the package created.
struct UpgradedFolder {
    UpgradedFolder()
    {
        WriteBytes(folder / L"own.txt", "the user's");
        WriteBytes(folder / L"a.dll", "old a");
        WriteBytes(folder / L"Tarnwick.exe", "old tarnwick");
        previous = SnapshotTree(folder.Path());
        for (const wchar_t* name : {L"a.dll", L"Tarnwick.exe"})
            MoveFileW((folder / name).c_str(), (folder / (std::wstring(L"_") + name)).c_str());
        journal.version = L"2.0.0.0";
        journal.kept = {{L"a.dll", L"_a.dll"}, {L"Tarnwick.exe", L"_Tarnwick.exe"}};
        WriteBytes(folder / L"a.dll", "new a");
        WriteBytes(folder / L"Tarnwick.exe", "new tarnwick");
        CreateDirectoryW((folder / L"lib").c_str(), nullptr);
        WriteBytes(folder / L"lib\\b.dll", "new b");
        journal.written = {L"a.dll", L"Tarnwick.exe", L"lib", L"lib\\b.dll"};
        upgraded = SnapshotTree(folder.Path());
    }

    TempFolder folder;
    UpgradeJournal journal;
    Snapshot previous;
    Snapshot upgraded;
};

TEST(TakeBackTest, PreviousVersionComesBackByteForByte)
{
    UpgradedFolder upgraded;
    EXPECT_EQ(TakeBackResult::kTakenBack, TakeBackUpgrade(upgraded.folder.Path(), upgraded.journal));
    EXPECT_EQ(upgraded.previous, SnapshotTree(upgraded.folder.Path()));
}

TEST(TakeBackTest, PackageFileHeldOpenLeavesTheNewVersionWhole)
{
    UpgradedFolder upgraded;
    SkinUI::FileHandle held(CreateFileW((upgraded.folder / L"lib\\b.dll").c_str(), GENERIC_READ,
                                        FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                        nullptr));
    ASSERT_TRUE(held);
    EXPECT_EQ(TakeBackResult::kBlocked, TakeBackUpgrade(upgraded.folder.Path(), upgraded.journal));
    EXPECT_EQ(upgraded.upgraded, SnapshotTree(upgraded.folder.Path()));

    held.reset();
    EXPECT_EQ(TakeBackResult::kTakenBack, TakeBackUpgrade(upgraded.folder.Path(), upgraded.journal));
    EXPECT_EQ(upgraded.previous, SnapshotTree(upgraded.folder.Path()));
}

// A take-back cut short after some kept entries were back is finished by
// the next one.
TEST(TakeBackTest, InterruptedTakeBackIsFinishedByTheNextOne)
{
    UpgradedFolder upgraded;
    const std::wstring& folder = upgraded.folder.Path();
    DeleteFileW((folder + L"a.dll").c_str());
    MoveFileW((folder + L"_a.dll").c_str(), (folder + L"a.dll").c_str());
    EXPECT_EQ(TakeBackResult::kTakenBack, TakeBackUpgrade(folder, upgraded.journal));
    EXPECT_EQ("old a", ReadBytes(folder + L"a.dll"));
    EXPECT_EQ("old tarnwick", ReadBytes(folder + L"Tarnwick.exe"));
    EXPECT_FALSE(FolderExists(folder + L"lib"));
}

TEST(UpgradeJournalTest, RecordReadsBackAsWritten)
{
    TempFolder folder;
    UpgradeJournal written;
    written.state = FirstStartState::kFailed;
    written.version = L"1.2.3.4";
    written.kept = {{L"bin\\核心.dll", L"bin\\_核心.dll"}, {L"Tarnwick.exe", L"__Tarnwick.exe"}};
    written.written = {L"bin", L"bin\\核心.dll", L"a b.txt"};
    ASSERT_TRUE(WriteUpgradeJournal(folder.Path(), written));
    EXPECT_FALSE(FileExists(folder / L"kestrel.journal.new"));

    UpgradeJournal read;
    ASSERT_EQ(JournalRead::kRead, ReadUpgradeJournal(folder.Path(), read));
    EXPECT_EQ(FirstStartState::kFailed, read.state);
    EXPECT_EQ(written.version, read.version);
    ASSERT_EQ(2u, read.kept.size());
    EXPECT_EQ(written.kept[0].installedName, read.kept[0].installedName);
    EXPECT_EQ(written.kept[1].setAsideName, read.kept[1].setAsideName);
    EXPECT_EQ(written.written, read.written);
}

TEST(UpgradeJournalTest, AnythingButAWholeJournalIsDamaged)
{
    const std::string whole = "kestrel journal 1\nstate watching\nversion 1.0\nkept a.dll\t_a.dll\nend\n";
    const struct {
        const char* what;
        std::string content;
    } cases[] = {
        {"empty", ""},
        {"another header", "kestrel journal 2\nend\n"},
        {"cut before its end", whole.substr(0, whole.size() - 4)},
        {"cut inside its end", whole.substr(0, whole.size() - 1)},
        {"text after its end", whole + "written x\n"},
        {"a kept name leaving the folder", "kestrel journal 1\nkept ..\\a.dll\t_a.dll\nend\n"},
        {"a written absolute path", "kestrel journal 1\nwritten C:\\Windows\\a.dll\nend\n"},
        {"a kept line without its second name", "kestrel journal 1\nkept a.dll\nend\n"},
        {"an unknown line", "kestrel journal 1\ndelete everything\nend\n"},
        {"bytes that are not UTF-8", "kestrel journal 1\nversion \xff\xfe\nend\n"},
    };
    for (const auto& c : cases) {
        TempFolder folder;
        WriteBytes(folder / L"kestrel.journal", c.content);
        UpgradeJournal journal;
        EXPECT_EQ(JournalRead::kDamaged, ReadUpgradeJournal(folder.Path(), journal)) << c.what;
        EXPECT_TRUE(journal.kept.empty() && journal.written.empty()) << c.what;
    }
    TempFolder folder;
    WriteBytes(folder / L"kestrel.journal", whole);
    UpgradeJournal journal;
    EXPECT_EQ(JournalRead::kRead, ReadUpgradeJournal(folder.Path(), journal));
}

// A damaged journal cannot put anything back: the installed version stays,
// the kept entries stay on the disk, and the run goes on.
TEST(UpgradeJournalTest, DamagedJournalAtTheStartLeavesTheInstallationAlone)
{
    UpgradedFolder upgraded;
    WriteBytes(upgraded.folder / L"kestrel.journal", "kestrel journal 1\nkept a.dll");
    EXPECT_FALSE(SettleInterruptedUpgrade(upgraded.folder.Path()));
    EXPECT_EQ(upgraded.upgraded, SnapshotTree(upgraded.folder.Path()));
}

TEST(UpgradeJournalTest, ConfirmedFirstStartDeletesWhatWasKept)
{
    UpgradedFolder upgraded;
    const std::wstring& folder = upgraded.folder.Path();
    ASSERT_TRUE(WriteUpgradeJournal(folder, upgraded.journal));
    WriteBytes(folder + L"kestrel.refused", "1.9.0.0");
    ConfirmFirstStart(folder);
    for (const wchar_t* gone : {L"_a.dll", L"_Tarnwick.exe", L"kestrel.journal", L"kestrel.refused", L"temp"})
        EXPECT_FALSE(FileExists(folder + gone)) << ToUtf8(gone);
    EXPECT_EQ("new tarnwick", ReadBytes(folder + L"Tarnwick.exe"));
}

TEST(KestrelStateNameTest, StateFilesAreNeitherPackageMembersNorPackageNames)
{
    TempFolder folder;
    for (const wchar_t* name : {L"kestrel.journal", L"KESTREL.JOURNAL.", L"kestrel.journal.new",
                                L"kestrel.refused", L"Kestrel.Refused "}) {
        EXPECT_TRUE(IsKestrelStateName(name)) << ToUtf8(name);
        EXPECT_FALSE(IsAllowedPackageName(folder.Path(), name)) << ToUtf8(name);
    }
    for (const wchar_t* name : {L"kestrel.journal.7z", L"lib\\kestrel.refused", L"refused"})
        EXPECT_FALSE(IsKestrelStateName(name)) << ToUtf8(name);
}

} // namespace
