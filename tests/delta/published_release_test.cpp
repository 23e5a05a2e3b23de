#include "app/delta_install.h"
#include "app/first_start.h"
#include "app/install_finish.h"
#include "app/package_check.h"
#include "app/upgrade_journal.h"
#include "app/upgrade_take_back.h"
#include "app/version_answer.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <utility>

using namespace testing_support;

namespace {

using Snapshot = std::vector<std::pair<std::wstring, std::string>>;

std::wstring Published(const std::wstring& name)
{
    return EnvironmentValue(L"KESTREL_PUBLISHED") + name;
}

void CopyTree(const std::wstring& from, const std::wstring& to)
{
    for (const auto& entry : SnapshotTree(from)) {
        if (entry.first.back() == L'\\')
            CreateDirectoryW((to + entry.first).c_str(), nullptr);
        else
            WriteBytes(to + entry.first, entry.second);
    }
}

// Installs the tool's delta into folder, which holds release 1.0.0.9, as
// the worker does: proved by the answer's hash, the old files kept for the
// new version's first start.
void InstallPublishedDelta(const TempFolder& folder)
{
    VersionAnswer answer = ParseVersionAnswer(ReadBytes(Published(L"out\\answer.json")));
    ASSERT_EQ(1u, answer.deltas.size());
    EXPECT_EQ(L"1.0.1.0", answer.latestVersion);
    const DeltaOffer& offer = answer.deltas[0];
    EXPECT_EQ(L"https://localhost/tarnwick-1.0.0.9-1.0.1.0.delta", offer.downloadUrl);

    CopyTree(Published(L"old\\"), folder.Path());
    const std::wstring name = L"tarnwick-1.0.0.9-1.0.1.0.delta";
    ASSERT_TRUE(CopyFileTo(Published(L"out\\") + name, folder.Path() + name));
    SkinUI::FileHandle delta = OpenDownloadedForCheck(folder.Path() + name);
    ASSERT_TRUE(delta);
    ASSERT_TRUE(PackageIsGenuine(delta.get(), offer.proof, nullptr));

    std::vector<SetAsideEntry> setAside;
    std::vector<std::wstring> written;
    ASSERT_EQ(DeltaInstallResult::Installed, InstallDelta(folder.Path(), delta.get(), name, setAside, written));
    FinishInstall(folder.Path(), setAside, written, folder.Path() + name, std::move(delta));
}

} // namespace

// What the publisher tool makes, Kestrel installs: the delta passes the
// answer's hash and turns release 1.0.0.9 into exactly 1.0.1.0.
TEST(PublishedReleaseTest, ToolDeltaTurnsTheOldReleaseIntoTheNewOne)
{
    ASSERT_FALSE(EnvironmentValue(L"KESTREL_PUBLISHED").empty());
    TempFolder folder;
    InstallPublishedDelta(folder);
    ConfirmFirstStart(folder.Path());

    Snapshot installed = SnapshotTree(folder.Path());
    Snapshot expected = SnapshotTree(Published(L"new\\"));
    EXPECT_EQ(expected, installed);
    // Far smaller than the package: most of the program is the same.
    const std::wstring name = L"tarnwick-1.0.0.9-1.0.1.0.delta";
    EXPECT_LT(ReadBytes(Published(L"out\\") + name).size() * 5,
              ReadBytes(Published(L"out\\tarnwick-1.0.1.0.7z")).size());
}

// A version installed through a delta that fails its first start is taken
// back like one from the full package: the old release returns exactly.
TEST(PublishedReleaseTest, ToolDeltaIsTakenBackWhole)
{
    ASSERT_FALSE(EnvironmentValue(L"KESTREL_PUBLISHED").empty());
    TempFolder folder;
    InstallPublishedDelta(folder);
    UpgradeJournal journal;
    ASSERT_EQ(JournalRead::kRead, ReadUpgradeJournal(folder.Path(), journal));
    EXPECT_EQ(TakeBackResult::kTakenBack, TakeBackUpgrade(folder.Path(), journal));
    RemoveUpgradeJournal(folder.Path());

    EXPECT_EQ(SnapshotTree(Published(L"old\\")), SnapshotTree(folder.Path()));
}

TEST(PublishedReleaseTest, ToolDeltaDoesNotFitAnEditedInstallation)
{
    TempFolder folder;
    CopyTree(Published(L"old\\"), folder.Path());
    WriteBytes(folder / L"data\\shared.bin", "edited");
    Snapshot before = SnapshotTree(folder.Path());
    const std::wstring name = L"tarnwick-1.0.0.9-1.0.1.0.delta";
    ASSERT_TRUE(CopyFileTo(Published(L"out\\") + name, folder.Path() + name));
    SkinUI::FileHandle delta = OpenDownloadedForCheck(folder.Path() + name);
    std::vector<SetAsideEntry> setAside;
    std::vector<std::wstring> written;
    EXPECT_EQ(DeltaInstallResult::DoesNotFit, InstallDelta(folder.Path(), delta.get(), name, setAside, written));
    delta.reset();
    DeleteFileW((folder.Path() + name).c_str());
    EXPECT_EQ(before, SnapshotTree(folder.Path()));
}
