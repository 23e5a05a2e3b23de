#include "app/delta_install.h"
#include "app/install_finish.h"
#include "app/package_check.h"
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

} // namespace

// What the publisher tool makes, Kestrel installs: the delta passes the
// answer's hash and turns release 1.0.0.9 into exactly 1.0.1.0.
TEST(PublishedReleaseTest, ToolDeltaTurnsTheOldReleaseIntoTheNewOne)
{
    ASSERT_FALSE(EnvironmentValue(L"KESTREL_PUBLISHED").empty());
    VersionAnswer answer = ParseVersionAnswer(ReadBytes(Published(L"out\\answer.json")));
    ASSERT_EQ(1u, answer.deltas.size());
    EXPECT_EQ(L"1.0.1.0", answer.latestVersion);
    const DeltaOffer& offer = answer.deltas[0];
    EXPECT_EQ(L"https://localhost/tarnwick-1.0.0.9-1.0.1.0.delta", offer.downloadUrl);

    TempFolder folder;
    CopyTree(Published(L"old\\"), folder.Path());
    const std::wstring name = L"tarnwick-1.0.0.9-1.0.1.0.delta";
    ASSERT_TRUE(CopyFileTo(Published(L"out\\") + name, folder.Path() + name));
    SkinUI::FileHandle delta = OpenDownloadedForCheck(folder.Path() + name);
    ASSERT_TRUE(delta);
    ASSERT_TRUE(PackageIsGenuine(delta.get(), offer.proof, nullptr));

    std::vector<SetAsideEntry> setAside;
    ASSERT_EQ(DeltaInstallResult::Installed, InstallDelta(folder.Path(), delta.get(), name, setAside));
    FinishInstall(folder.Path(), setAside, folder.Path() + name, std::move(delta));

    Snapshot installed = SnapshotTree(folder.Path());
    Snapshot expected = SnapshotTree(Published(L"new\\"));
    EXPECT_EQ(expected, installed);
    // Far smaller than the package: most of the program is the same.
    EXPECT_LT(ReadBytes(Published(L"out\\") + name).size() * 5,
              ReadBytes(Published(L"out\\tarnwick-1.0.1.0.7z")).size());
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
    EXPECT_EQ(DeltaInstallResult::DoesNotFit, InstallDelta(folder.Path(), delta.get(), name, setAside));
    delta.reset();
    DeleteFileW((folder.Path() + name).c_str());
    EXPECT_EQ(before, SnapshotTree(folder.Path()));
}
