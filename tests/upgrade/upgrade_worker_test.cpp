#include "app/time_limits.h"
#include "app/upgrade_worker.h"
#include "tests/support/files.h"
#include "tests/support/installation.h"
#include "tests/support/process.h"
#include "tests/support/temp_folder.h"
#include "tests/upgrade/worker_run.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace testing_support;
using namespace upgrade_testing;

namespace {

std::wstring Package(const std::wstring& name)
{
    return Address("HTTPS", L"files/" + name);
}

std::wstring OwnFileName()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring full = path;
    return full.substr(full.find_last_of(L'\\') + 1);
}

// The 8.3 name Windows gives the file, when it gives one.
std::wstring ShortAlias(const std::wstring& path)
{
    wchar_t buffer[MAX_PATH] = {};
    DWORD length = GetShortPathNameW(path.c_str(), buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return std::wstring();
    std::wstring shortPath(buffer, length);
    std::wstring alias = shortPath.substr(shortPath.find_last_of(L'\\') + 1);
    std::wstring name = path.substr(path.find_last_of(L'\\') + 1);
    return CompareStringOrdinal(alias.c_str(), -1, name.c_str(), -1, TRUE) == CSTR_EQUAL
               ? std::wstring()
               : alias;
}

// Entries as a snapshot names them: a name ending with "\" is a folder.
void MakeEntries(const std::wstring& folder, const Snapshot& entries)
{
    for (const auto& entry : entries) {
        std::wstring path = folder + entry.first;
        if (path.back() == L'\\')
            CreateDirectoryW(path.c_str(), nullptr);
        else
            WriteBytes(path, entry.second);
    }
}

Snapshot Sorted(Snapshot snapshot)
{
    std::sort(snapshot.begin(), snapshot.end());
    return snapshot;
}

} // namespace

TEST(UpgradeWorkerTest, PackageTakesTheAddressNameAndReplacesAnOldFileOfThatName)
{
    TempFolder folder;
    WriteBytes(folder / L"a.dll", "old a");
    WriteBytes(folder / L"basic.7z", "stale package");

    std::vector<PostedMessage> messages =
        RunWorker(folder.Path(), Package(L"basic.7z?token=1#section"));

    ExpectRunEndsWith(messages, WM_UPGRADE_DONE);
    EXPECT_FALSE(ProgressReports(messages).empty());
    EXPECT_EQ("new a", ReadBytes(folder / L"a.dll"));
    EXPECT_EQ("new readme", ReadBytes(folder / L"readme.txt"));
    EXPECT_FALSE(FileExists(folder / L"_a.dll"));
    EXPECT_FALSE(FileExists(folder / L"basic.7z"));
    EXPECT_FALSE(FileExists(folder / L"basic.7z?token=1#section"));
    EXPECT_FALSE(FileExists(folder / L"temp"));
}

// A genuine service may keep its packages on a host of their own, behind
// a query that carries a token.
TEST(UpgradeWorkerTest, PackageOnAnotherHostNamedByItsCertificateIsInstalled)
{
    std::wstring host = EnvironmentValue(L"KESTREL_UPGRADE_OTHER_HOST");
    if (host.empty())
        GTEST_SKIP() << "this machine's host name does not resolve to a loopback address";
    std::wstring port = EnvironmentValue(L"KESTREL_UPGRADE_OTHER_PORT");
    TempFolder folder;
    std::wstring address =
        L"https://" + host + L":" + port + L"/files/basic.7z?token=a%2Fb&expires=1#section";

    ExpectRunEndsWith(RunWorker(folder.Path(), address), WM_UPGRADE_DONE);

    EXPECT_EQ("new a", ReadBytes(folder / L"a.dll"));
    EXPECT_FALSE(FileExists(folder / L"basic.7z"));
}

// What would carry the package unprotected, or from somewhere other than a
// named https host, is refused before anything in the folder is touched,
// even the leftover package of that name.
TEST(UpgradeWorkerTest, RefusedTransportsLeaveTheInstallationAsItWas)
{
    TempFolder folder;
    WriteBytes(folder / L"a.dll", "old a");
    WriteBytes(folder / L"basic.7z", "left by an earlier run");
    Snapshot before = SnapshotTree(folder.Path());
    std::wstring packages = PackagesFolder();
    std::wstring forward = L"file:///" + packages + L"basic.7z";
    for (wchar_t& c : forward)
        c = c == L'\\' ? L'/' : c;
    struct Case {
        std::wstring address;
        const char* what;
    } cases[] = {
        {Address("HTTP", L"files/basic.7z", "http"), "http"},
        {Address("HTTPS", L"redirect?" + Address("HTTP", L"files/basic.7z", "http")),
         "https redirected to http"},
        {forward, "file"},
        {packages + L"basic.7z", "local path"},
        {L"\\\\localhost\\packages\\basic.7z", "UNC path"},
        {L"https:///files/basic.7z", "no host"},
    };
    for (const Case& c : cases) {
        std::vector<PostedMessage> messages = RunWorker(folder.Path(), c.address);
        ExpectRunEndsWith(messages, WM_UPGRADE_DOWNLOAD_FAILED);
        EXPECT_EQ(before, SnapshotTree(folder.Path())) << c.what;
    }
}

// The package would be stored under these names, deleting what has them.
TEST(UpgradeWorkerTest, HostileNamesLeaveEveryInstalledFileAsItWas)
{
    TempFolder folder;
    for (const wchar_t* name : {L"Tarnwick.exe", L"Kestrel.exe", L"kestrel.dat", L"temp",
                                L"data.bin", L"tarnwick-settings.json", L"a.dll"})
        WriteBytes(folder / name, ToUtf8(name) + " as installed");
    WriteBytes(folder / OwnFileName(), "the running program");
    ASSERT_TRUE(CreateDirectoryW((folder / L"lib").c_str(), nullptr));
    WriteBytes(folder / L"lib\\x.dll", "old x");
    Snapshot before = SnapshotTree(folder.Path());
    std::wstring alias = ShortAlias(folder / L"tarnwick-settings.json");

    std::wstring names[] = {
        L"Tarnwick.exe", L"TARNWICK.EXE.", L"Tarnwick.exe. . ", L"kestrel.dat", L"KESTREL.DAT",
        L"temp", L"Temp.", L"Kestrel.exe", OwnFileName(), L"data.bin", L"DATA.BIN ", L"a.dll",
        L"lib", alias, L"a.dll::$DATA", L"..", L"CON",
    };
    for (const std::wstring& name : names) {
        if (name.empty())
            continue;
        std::vector<PostedMessage> messages =
            RunWorker(folder.Path(), Address("HTTPS", L"named/a-only.zip/" + name));
        ExpectRunEndsWith(messages, WM_UPGRADE_DOWNLOAD_FAILED);
        EXPECT_EQ(before, SnapshotTree(folder.Path())) << ToUtf8(name);
    }
    EXPECT_FALSE(alias.empty()) << "the file system gave no short alias to try";
}

TEST(UpgradeWorkerTest, LeftoverPackageInAnotherCaseIsReplaced)
{
    TempFolder folder;
    WriteBytes(folder / L"a.dll", "old a");
    WriteBytes(folder / L"BASIC.7Z", "left by an earlier run");

    ExpectRunEndsWith(RunWorker(folder.Path(), Package(L"basic.7z")), WM_UPGRADE_DONE);

    EXPECT_EQ("new a", ReadBytes(folder / L"a.dll"));
    EXPECT_FALSE(FileExists(folder / L"BASIC.7Z"));
    EXPECT_FALSE(FileExists(folder / L"basic.7z"));
}

TEST(UpgradeWorkerTest, FolderWithAPackageNameIsNotTakenForALeftover)
{
    TempFolder folder;
    ASSERT_TRUE(CreateDirectoryW((folder / L"basic.7z").c_str(), nullptr));
    WriteBytes(folder / L"basic.7z\\inside.txt", "kept");
    Snapshot before = SnapshotTree(folder.Path());

    ExpectRunEndsWith(RunWorker(folder.Path(), Package(L"basic.7z")), WM_UPGRADE_DOWNLOAD_FAILED);

    EXPECT_EQ(before, SnapshotTree(folder.Path()));
}

TEST(UpgradeWorkerTest, FailedDownloadsChangeNothingButTheOldPackage)
{
    TempFolder folder;
    WriteBytes(folder / L"a.dll", "old a");
    Snapshot before = SnapshotTree(folder.Path());
    std::wstring addresses[] = {
        Address("HTTPS", L"status/400/basic.7z"),
        Address("HTTPS", L"status/404/basic.7z"),
        Address("HTTPS", L"status/500/basic.7z"),
        Address("HTTPS", L"empty/basic.7z"),
        Address("REFUSED", L"files/basic.7z"),
        Address("UNTRUSTED", L"files/basic.7z"),
        Address("HTTPS", L"files/"),
        Address("HTTPS", L"files/..?name=basic.7z"),
    };
    for (const std::wstring& address : addresses) {
        WriteBytes(folder / L"basic.7z", "stale package");
        std::vector<PostedMessage> messages = RunWorker(folder.Path(), address);
        ExpectRunEndsWith(messages, WM_UPGRADE_DOWNLOAD_FAILED);
        DeleteFileW((folder / L"basic.7z").c_str());
        EXPECT_EQ(before, SnapshotTree(folder.Path())) << ToUtf8(address);
    }
}

TEST(UpgradeWorkerTest, StalledDownloadFailsAfterTheStallLimitAndChangesNothing)
{
    TempFolder folder;
    WriteBytes(folder / L"a.dll", "old a");
    Snapshot before = SnapshotTree(folder.Path());

    DWORD start = GetTickCount();
    std::vector<PostedMessage> messages =
        RunWorker(folder.Path(), Address("HTTPS", L"stall/big.7z"));
    DWORD elapsed = GetTickCount() - start;

    ExpectRunEndsWith(messages, WM_UPGRADE_DOWNLOAD_FAILED);
    bool bytesArrived = false;
    for (const PostedMessage& report : ProgressReports(messages))
        bytesArrived = bytesArrived || report.wParam != 0;
    EXPECT_TRUE(bytesArrived) << Describe(messages);
    EXPECT_GE(elapsed, kDownloadStallLimitMs);
    EXPECT_LT(elapsed, kDownloadStallLimitMs + 2000);
    EXPECT_FALSE(FileExists(folder / L"big.7z"));
    EXPECT_EQ(before, SnapshotTree(folder.Path()));
    printf("stalled download failed after %lu ms\n", static_cast<unsigned long>(elapsed));
}

TEST(UpgradeWorkerTest, OldPackageIsDeletedBeforeTheDownload)
{
    TempFolder folder;
    WriteBytes(folder / L"old.7z", "stale package");
    std::vector<PostedMessage> messages =
        RunWorker(folder.Path(), Address("HTTPS", L"status/404/old.7z"));
    ExpectRunEndsWith(messages, WM_UPGRADE_DOWNLOAD_FAILED);
    EXPECT_FALSE(FileExists(folder / L"old.7z"));
}

TEST(UpgradeWorkerTest, FileBesideItsUnderscoreNameIsSetAsideWithTwo)
{
    TempFolder folder;
    WriteBytes(folder / L"a.dll", "old a");
    WriteBytes(folder / L"_a.dll", "keep me");

    ExpectRunEndsWith(RunWorker(folder.Path(), Package(L"a-only.zip")), WM_UPGRADE_DONE);

    EXPECT_EQ("new a", ReadBytes(folder / L"a.dll"));
    EXPECT_EQ("keep me", ReadBytes(folder / L"_a.dll"));
    EXPECT_FALSE(FileExists(folder / L"__a.dll"));
    EXPECT_FALSE(FileExists(folder / L"temp"));
}

TEST(UpgradeWorkerTest, SetAsideNameStaysClearOfThePackagesItems)
{
    TempFolder folder;
    WriteBytes(folder / L"a.dll", "old a");

    ExpectRunEndsWith(RunWorker(folder.Path(), Package(L"a-and-underscore.zip")),
                      WM_UPGRADE_DONE);

    EXPECT_EQ("new a", ReadBytes(folder / L"a.dll"));
    EXPECT_EQ("new underscore a", ReadBytes(folder / L"_a.dll"));
    EXPECT_FALSE(FileExists(folder / L"__a.dll"));
    EXPECT_FALSE(FileExists(folder / L"temp"));
}

TEST(UpgradeWorkerTest, RunningProgramIsSetAsideAndRecordedForTheNextStart)
{
    Installation installation;
    std::wstring folder = installation.Folder();
    WriteBytes(folder + L"temp", "left by the start.dll");
    ChildProcess tarnwick;
    // The running program itself, not a handle, keeps its file from being deleted.
    ASSERT_TRUE(installation.StartTarnwick(tarnwick, L"--exit-after=20000"));

    ExpectRunEndsWith(RunWorker(folder, Package(L"tarnwick.zip")), WM_UPGRADE_DONE);

    EXPECT_EQ("new tarnwick", ReadBytes(folder + L"Tarnwick.exe"));
    EXPECT_TRUE(FileExists(folder + L"_Tarnwick.exe"));
    EXPECT_EQ("_Tarnwick.exe", ReadBytes(folder + L"temp"));
    tarnwick.Terminate();
}

TEST(UpgradeWorkerTest, PackageOfNewFilesOnlyLeavesThePendingListAlone)
{
    TempFolder folder;
    WriteBytes(folder / L"a.dll", "old a");
    WriteBytes(folder / L"temp", "left.dll|other.dll");

    ExpectRunEndsWith(RunWorker(folder.Path(), Package(L"new-files.zip")), WM_UPGRADE_DONE);

    EXPECT_EQ("fresh", ReadBytes(folder / L"fresh.txt"));
    EXPECT_EQ("inner", ReadBytes(folder / L"newdir\\inner.txt"));
    EXPECT_EQ("old a", ReadBytes(folder / L"a.dll"));
    EXPECT_EQ("left.dll|other.dll", ReadBytes(folder / L"temp"));
}

// Folders are merged: only files, and entries whose kind the package
// changes, are replaced; what else the user keeps in a folder stays.
TEST(UpgradeWorkerTest, InstalledFoldersAreMergedAndTheUsersFilesInThemKept)
{
    const Snapshot mine = {
        {L"data\\", ""},
        {L"data\\blob.bin", "old blob"},
        {L"data\\user-settings.ini", "mine\r\n\xff"},
        {L"data\\sub\\", ""},
        {L"data\\sub\\notes.txt", "my notes"},
    };
    const Snapshot merged = Sorted({
        {L"data\\", ""},
        {L"data\\blob.bin", "new blob"},
        {L"data\\user-settings.ini", "mine\r\n\xff"},
        {L"data\\sub\\", ""},
        {L"data\\sub\\deep.txt", "new deep"},
        {L"data\\sub\\notes.txt", "my notes"},
    });
    struct Case {
        const wchar_t* package;
        Snapshot installed;
        UINT final;
        Snapshot after; // empty: as installed
    } cases[] = {
        {L"folders.zip", mine, WM_UPGRADE_DONE, merged},
        {L"folders.7z", mine, WM_UPGRADE_DONE, merged},
        {L"folders-damaged.zip", mine, WM_UPGRADE_INSTALL_FAILED, {}},
        {L"kinds.zip",
         {{L"cfg", "old cfg file"}, {L"lib\\", ""}, {L"lib\\old.dll", "old"}},
         WM_UPGRADE_DONE,
         {{L"cfg\\", ""}, {L"cfg\\a.ini", "new ini"}, {L"lib", "lib as a file"}}},
        {L"kinds-damaged.zip",
         {{L"cfg", "old cfg file"}, {L"lib\\", ""}, {L"lib\\old.dll", "old"}},
         WM_UPGRADE_INSTALL_FAILED,
         {}},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        MakeEntries(folder.Path(), c.installed);
        Snapshot before = SnapshotTree(folder.Path());

        ExpectRunEndsWith(RunWorker(folder.Path(), Package(c.package)), c.final);

        Snapshot after = Without(SnapshotTree(folder.Path()), c.package);
        EXPECT_EQ(c.after.empty() ? before : c.after, after) << ToUtf8(c.package);
    }
}

TEST(UpgradeWorkerTest, HeldFileInASetAsideFolderIsRecordedByItsRelativeName)
{
    Installation installation;
    std::wstring folder = installation.Folder();
    ASSERT_TRUE(CreateDirectoryW((folder + L"lib").c_str(), nullptr));
    WriteBytes(folder + L"lib\\held.dll", "held");
    WriteBytes(folder + L"lib\\other.dll", "other");
    ChildProcess holder;
    ASSERT_TRUE(installation.StartTarnwick(holder, L"--hold=" + folder + L"lib\\held.dll"));

    // The package makes the folder a file, so the folder is set aside whole.
    ExpectRunEndsWith(RunWorker(folder, Package(L"lib-file.zip")), WM_UPGRADE_DONE);

    EXPECT_EQ("lib as a file", ReadBytes(folder + L"lib"));
    EXPECT_FALSE(FileExists(folder + L"_lib\\other.dll"));
    EXPECT_TRUE(FileExists(folder + L"_lib\\held.dll"));
    EXPECT_EQ("_lib\\held.dll", ReadBytes(folder + L"temp"));
    holder.Terminate();
}

TEST(UpgradeWorkerTest, InvalidPackageFailsTheInstallationAndChangesNothing)
{
    TempFolder folder;
    WriteBytes(folder / L"a.dll", "old a");
    Snapshot before = SnapshotTree(folder.Path());

    ExpectRunEndsWith(RunWorker(folder.Path(), Package(L"invalid.7z")),
                      WM_UPGRADE_INSTALL_FAILED);

    EXPECT_TRUE(FileExists(folder / L"invalid.7z"));
    EXPECT_EQ(before, Without(SnapshotTree(folder.Path()), L"invalid.7z"));
}

TEST(UpgradeWorkerTest, EntryThatCannotBeSetAsidePutsTheOthersBack)
{
    Installation installation;
    std::wstring folder = installation.Folder();
    WriteBytes(folder + L"a.dll", "old a");
    WriteBytes(folder + L"b.dll", "old b");
    ChildProcess holder;
    ASSERT_TRUE(installation.StartTarnwick(holder, L"--hold=" + folder + L"b.dll"));
    Snapshot before = SnapshotTree(folder);

    ExpectRunEndsWith(RunWorker(folder, Package(L"two-dlls.zip")), WM_UPGRADE_INSTALL_FAILED);

    EXPECT_EQ(before, Without(SnapshotTree(folder), L"two-dlls.zip"));
    holder.Terminate();
}

TEST(UpgradeWorkerTest, FailedExtractionRemovesWhatItWroteAndPutsEverythingBack)
{
    TempFolder folder;
    WriteBytes(folder / L"a.dll", "old a");
    WriteBytes(folder / L"c.dll", "old c");
    ASSERT_TRUE(CreateDirectoryW((folder / L"lib").c_str(), nullptr));
    WriteBytes(folder / L"lib\\kept.dll", "old lib");
    WriteBytes(folder / L"temp", "left.dll");
    Snapshot before = SnapshotTree(folder.Path());

    ExpectRunEndsWith(RunWorker(folder.Path(), Package(L"damaged.zip")),
                      WM_UPGRADE_INSTALL_FAILED);

    EXPECT_EQ(before, Without(SnapshotTree(folder.Path()), L"damaged.zip"));
}

TEST(UpgradeWorkerTest, ItemNamesLeadingOutsideAreRefusedBeforeAnythingIsSetAside)
{
    TempFolder parent;
    std::wstring folder = parent / L"install\\";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    WriteBytes(folder + L"a.dll", "old a");
    Snapshot before = SnapshotTree(folder);

    ExpectRunEndsWith(RunWorker(folder, Package(L"unsafe.zip")), WM_UPGRADE_INSTALL_FAILED);

    EXPECT_EQ(before, Without(SnapshotTree(folder), L"unsafe.zip"));
    EXPECT_FALSE(FileExists(parent / L"evil.dll"));
}

TEST(UpgradeWorkerTest, PackageListingItsOwnNameIsRefused)
{
    TempFolder folder;
    WriteBytes(folder / L"a.dll", "old a");
    Snapshot before = SnapshotTree(folder.Path());

    ExpectRunEndsWith(RunWorker(folder.Path(), Package(L"self.zip")), WM_UPGRADE_INSTALL_FAILED);

    EXPECT_EQ(before, Without(SnapshotTree(folder.Path()), L"self.zip"));
}

TEST(UpgradeWorkerTest, ThreadEntryWorksInTheProgramsFolder)
{
    std::wstring name = L"kestrel-upgrade-absent.7z";
    std::vector<PostedMessage> messages = RunAgainstWindow([&](HWND window) {
        RunUpgradeWorker(Address("REFUSED", L"files/" + name), PackageProof(), window);
    });
    ExpectRunEndsWith(messages, WM_UPGRADE_DOWNLOAD_FAILED);
    EXPECT_FALSE(FileExists(ProgramFolder() + name));
}

TEST(UpgradeWorkerTest, ReadOnlyFileSetAsideIsDeletedNotRecorded)
{
    TempFolder folder;
    WriteBytes(folder / L"a.dll", "old a");
    ASSERT_TRUE(SetFileAttributesW((folder / L"a.dll").c_str(), FILE_ATTRIBUTE_READONLY));

    ExpectRunEndsWith(RunWorker(folder.Path(), Package(L"a-only.zip")), WM_UPGRADE_DONE);

    EXPECT_EQ("new a", ReadBytes(folder / L"a.dll"));
    EXPECT_FALSE(FileExists(folder / L"_a.dll"));
    EXPECT_FALSE(FileExists(folder / L"temp"));
}
