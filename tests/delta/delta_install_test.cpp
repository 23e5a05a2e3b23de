#include "app/delta_install.h"
#include "app/package_check.h"
#include "tests/support/delta_writer.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <functional>

using namespace testing_support;

namespace {

using Snapshot = std::vector<std::pair<std::wstring, std::string>>;

const std::string kOldApp = RandomBytes(300000, 11);
// A rebuilt program: most bytes as before, some changed, some added.
std::string NewApp()
{
    std::string bytes = kOldApp;
    bytes.replace(1000, 3000, RandomBytes(3000, 12));
    bytes.insert(150000, RandomBytes(2000, 13));
    return bytes;
}
const std::string kOldLib = RandomBytes(40000, 21);
const std::string kNewLib = RandomBytes(20000, 21) + RandomBytes(30000, 22);

// The release 1.0.0.9 as installed.
void InstallOldRelease(const TempFolder& folder)
{
    CreateDirectoryW((folder / L"bin").c_str(), nullptr);
    WriteBytes(folder / L"Tarnwick.exe", kOldApp);
    WriteBytes(folder / L"bin\\lib.dll", kOldLib);
    WriteBytes(folder / L"same.dat", "unchanged");
    WriteBytes(folder / L"old.txt", "dropped in the new release");
    WriteBytes(folder / L"user.ini", "the user's own");
}

// From 1.0.0.9 to 1.0.1.0: two patches, a file in a new folder, one kept, one dropped.
DeltaWriter GoodDelta()
{
    DeltaWriter writer;
    writer.Patch("Tarnwick.exe", kOldApp, NewApp())
        .Patch("bin/lib.dll", kOldLib, kNewLib)
        .Whole("plugins/new.dll", "a new plugin")
        .Keep("same.dat", "unchanged")
        .Remove("old.txt");
    return writer;
}

struct Outcome {
    DeltaInstallResult result;
    std::vector<SetAsideEntry> setAside;
    std::vector<std::wstring> written;
};

Outcome Install(const TempFolder& folder, const std::string& delta)
{
    WriteBytes(folder / L"up.delta", delta);
    SkinUI::FileHandle file = OpenDownloadedForCheck(folder / L"up.delta");
    Outcome outcome{DeltaInstallResult::Failed, {}, {}};
    if (file)
        outcome.result = InstallDelta(folder.Path(), file.get(), L"up.delta", outcome.setAside, outcome.written);
    return outcome;
}

} // namespace

TEST(DeltaInstallTest, GoodDeltaBuildsTheNewReleaseAndSetsTheOldFilesAside)
{
    TempFolder folder;
    InstallOldRelease(folder);

    Outcome outcome = Install(folder, GoodDelta().Bytes());

    ASSERT_EQ(DeltaInstallResult::Installed, outcome.result);
    EXPECT_EQ(NewApp(), ReadBytes(folder / L"Tarnwick.exe"));
    EXPECT_EQ(kNewLib, ReadBytes(folder / L"bin\\lib.dll"));
    EXPECT_EQ("a new plugin", ReadBytes(folder / L"plugins\\new.dll"));
    EXPECT_EQ("unchanged", ReadBytes(folder / L"same.dat"));
    EXPECT_EQ("the user's own", ReadBytes(folder / L"user.ini"));
    EXPECT_FALSE(FileExists(folder / L"old.txt"));
    EXPECT_FALSE(FolderExists(folder / L"_kestrel-delta"));
    // The replaced and the dropped files wait, set aside, for the caller's purge.
    ASSERT_EQ(3u, outcome.setAside.size());
    for (const SetAsideEntry& entry : outcome.setAside)
        EXPECT_TRUE(FileExists(folder.Path() + entry.setAsideName)) << ToUtf8(entry.setAsideName);
    EXPECT_EQ(kOldApp, ReadBytes(folder.Path() + outcome.setAside[0].setAsideName));
}

TEST(DeltaInstallTest, AStagingFolderLeftByAnEarlierRunIsReplaced)
{
    TempFolder folder;
    InstallOldRelease(folder);
    CreateDirectoryW((folder / L"_kestrel-delta").c_str(), nullptr);
    WriteBytes(folder / L"_kestrel-delta\\Tarnwick.exe", "half written");

    EXPECT_EQ(DeltaInstallResult::Installed, Install(folder, GoodDelta().Bytes()).result);
    EXPECT_EQ(NewApp(), ReadBytes(folder / L"Tarnwick.exe"));
    EXPECT_FALSE(FolderExists(folder / L"_kestrel-delta"));
}

// Whatever is wrong with the delta or the installation, nothing changes:
// no half-patched file, no new file, no staging folder.
TEST(DeltaInstallTest, BadDeltasLeaveTheInstallationByteIdentical)
{
    const struct {
        const char* what;
        std::function<std::string()> delta;
        std::function<void(const TempFolder&)> prepare;
        DeltaInstallResult expected;
    } kCases[] = {
        {"manifest hash of a patch result lies",
         [] { DeltaWriter w = GoodDelta(); w.Entries()[1].sha256 = Sha256Of("other"); return w.Bytes(); },
         nullptr, DeltaInstallResult::Failed},
        {"manifest hash of a whole file lies",
         [] { DeltaWriter w = GoodDelta(); w.Entries()[2].sha256 = Sha256Of("other"); return w.Bytes(); },
         nullptr, DeltaInstallResult::Failed},
        {"manifest size of a patch result lies",
         [] { DeltaWriter w = GoodDelta(); w.Entries()[0].size += 1; return w.Bytes(); },
         nullptr, DeltaInstallResult::Failed},
        {"truncated patch",
         [] { DeltaWriter w = GoodDelta(); auto& p = w.Entries()[1].payload; p.resize(p.size() / 2); return w.Bytes(); },
         nullptr, DeltaInstallResult::Failed},
        {"damaged patch",
         [] { DeltaWriter w = GoodDelta(); auto& p = w.Entries()[1].payload; p[p.size() / 2] ^= 0x40; return w.Bytes(); },
         nullptr, DeltaInstallResult::Failed},
        {"damaged whole file",
         [] { DeltaWriter w = GoodDelta(); auto& p = w.Entries()[2].payload; p[p.size() - 2] ^= 0x40; return w.Bytes(); },
         nullptr, DeltaInstallResult::Failed},
        {"two frames where one belongs",
         [] { DeltaWriter w = GoodDelta(); w.Entries()[2].payload += ZstdFrame("more"); return w.Bytes(); },
         nullptr, DeltaInstallResult::Failed},
        {"patch made for a base of another size",
         [] {
             DeltaWriter w = GoodDelta();
             w.Entries()[0].payload = ZstdPatch(kOldApp.substr(0, 200000), NewApp());
             return w.Bytes();
         },
         nullptr, DeltaInstallResult::Failed},
        {"name leaving the folder",
         [] { DeltaWriter w = GoodDelta(); w.Whole("../evil.dll", "evil"); return w.Bytes(); },
         nullptr, DeltaInstallResult::Failed},
        {"name inside the staging folder",
         [] { DeltaWriter w = GoodDelta(); w.Whole("_kestrel-delta/x.dll", "x"); return w.Bytes(); },
         nullptr, DeltaInstallResult::Failed},
        {"name of the delta itself",
         [] { DeltaWriter w = GoodDelta(); w.Whole("UP.DELTA", "x"); return w.Bytes(); },
         nullptr, DeltaInstallResult::Failed},
        {"base edited by the user", [] { return GoodDelta().Bytes(); },
         [](const TempFolder& f) { WriteBytes(f / L"bin\\lib.dll", kOldLib.substr(0, 39999) + "!"); },
         DeltaInstallResult::DoesNotFit},
        {"base missing", [] { return GoodDelta().Bytes(); },
         [](const TempFolder& f) { DeleteFileW((f / L"bin\\lib.dll").c_str()); },
         DeltaInstallResult::DoesNotFit},
        {"kept file edited by the user", [] { return GoodDelta().Bytes(); },
         [](const TempFolder& f) { WriteBytes(f / L"same.dat", "changed"); },
         DeltaInstallResult::DoesNotFit},
        {"replaced file held open by another program", [] { return GoodDelta().Bytes(); }, nullptr,
         DeltaInstallResult::Failed},
    };
    for (const auto& c : kCases) {
        TempFolder folder;
        InstallOldRelease(folder);
        if (c.prepare)
            c.prepare(folder);
        Snapshot before = SnapshotTree(folder.Path());
        std::string delta = c.delta();
        // The last case: a program keeps the library open, so it cannot be set aside.
        SkinUI::FileHandle held;
        if (std::string(c.what).find("held open") != std::string::npos)
            held.reset(CreateFileW((folder / L"bin\\lib.dll").c_str(), GENERIC_READ, FILE_SHARE_READ,
                                   nullptr, OPEN_EXISTING, 0, nullptr));

        Outcome outcome = Install(folder, delta);
        held.reset();

        EXPECT_EQ(c.expected, outcome.result) << c.what;
        EXPECT_TRUE(outcome.setAside.empty()) << c.what;
        DeleteFileW((folder / L"up.delta").c_str());
        EXPECT_EQ(before, SnapshotTree(folder.Path())) << c.what;
        EXPECT_FALSE(FileExists(folder.Path() + L"..\\evil.dll")) << c.what;
    }
}
