#include "app/upgrade_worker.h"
#include "tests/support/delta_writer.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"
#include "tests/upgrade/worker_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

using namespace testing_support;
using namespace upgrade_testing;

namespace {

const std::string kOldA = RandomBytes(200000, 31);
std::string DeltaA()
{
    std::string bytes = kOldA;
    bytes.replace(5000, 2000, RandomBytes(2000, 32));
    return bytes;
}

void InstallOld(const TempFolder& folder)
{
    WriteBytes(folder / L"a.dll", kOldA);
    WriteBytes(folder / L"readme.txt", "old readme");
}

DeltaWriter GoodDelta()
{
    DeltaWriter writer;
    writer.Patch("a.dll", kOldA, DeltaA()).Whole("readme.txt", "delta readme");
    return writer;
}

// The delta served by the package server under a name of the test's own.
DeltaOffer Offer(const std::wstring& name, const std::string& bytes, const std::wstring& path = L"files/")
{
    WriteBytes(PackagesFolder() + name, bytes);
    DeltaOffer offer;
    offer.fromVersion = L"1.0.0.9";
    offer.downloadUrl = Address("HTTPS", path + name);
    return offer;
}

bool Has(const std::vector<PostedMessage>& messages, UINT message)
{
    return std::any_of(messages.begin(), messages.end(),
                       [&](const PostedMessage& posted) { return posted.message == message; });
}

void ExpectNoLeftovers(const TempFolder& folder, const std::wstring& deltaName)
{
    EXPECT_FALSE(FileExists(folder.Path() + deltaName));
    EXPECT_FALSE(FolderExists(folder / L"_kestrel-delta"));
    EXPECT_FALSE(FileExists(folder / L"_a.dll"));
    EXPECT_FALSE(FileExists(folder / L"_readme.txt"));
}

} // namespace

TEST(DeltaUpgradeTest, GoodDeltaUpgradesWithoutThePackage)
{
    TempFolder folder;
    InstallOld(folder);

    std::vector<PostedMessage> messages = RunWorkerWithDelta(
        folder.Path(), Address("HTTPS", L"files/a-only.zip"), PackageProof(),
        Offer(L"good.delta", GoodDelta().Bytes()));

    ExpectRunEndsWith(messages, WM_UPGRADE_DONE);
    EXPECT_FALSE(Has(messages, WM_UPGRADE_FULL_PACKAGE)) << Describe(messages);
    EXPECT_FALSE(ProgressReports(messages).empty());
    EXPECT_EQ(DeltaA(), ReadBytes(folder / L"a.dll"));
    EXPECT_EQ("delta readme", ReadBytes(folder / L"readme.txt"));
    EXPECT_FALSE(FileExists(folder / L"a-only.zip"));
    ExpectNoLeftovers(folder, L"good.delta");
}

TEST(DeltaUpgradeTest, ADeltaThatCannotBeUsedGivesWayToTheFullPackageInTheSameRun)
{
    const struct {
        const char* what;
        std::wstring name;
        std::function<DeltaOffer(const std::wstring&)> offer;
        std::function<void(const TempFolder&)> prepare;
    } kCases[] = {
        {"base edited by the user", L"edited.delta",
         [](const std::wstring& n) { return Offer(n, GoodDelta().Bytes()); },
         [](const TempFolder& f) { WriteBytes(f / L"a.dll", kOldA + "patched by hand"); }},
        {"manifest lies about a result", L"lying.delta",
         [](const std::wstring& n) {
             DeltaWriter w = GoodDelta();
             w.Entries()[0].sha256 = Sha256Of(kOldA);
             return Offer(n, w.Bytes());
         },
         nullptr},
        {"damaged patch", L"damaged.delta",
         [](const std::wstring& n) {
             DeltaWriter w = GoodDelta();
             w.Entries()[0].payload[40] ^= 0x10;
             return Offer(n, w.Bytes());
         },
         nullptr},
        {"not a delta at all", L"garbage.delta",
         [](const std::wstring& n) { return Offer(n, "<html>not found</html>"); }, nullptr},
        {"delta missing on the server", L"missing.delta",
         [](const std::wstring& n) { return Offer(n, GoodDelta().Bytes(), L"status/404/"); }, nullptr},
        {"delta's hash is not the answer's", L"unproved.delta",
         [](const std::wstring& n) {
             DeltaOffer offer = Offer(n, GoodDelta().Bytes());
             offer.proof.sha256 = TextMember(HexOf(Sha256Of("another delta")));
             return offer;
         },
         nullptr},
        {"delta named like an installed file", L"a.dll",
         [](const std::wstring&) {
             DeltaOffer offer = Offer(L"named.delta", GoodDelta().Bytes());
             offer.downloadUrl = Address("HTTPS", L"named/named.delta/a.dll");
             return offer;
         },
         nullptr},
    };
    for (const auto& c : kCases) {
        TempFolder folder;
        InstallOld(folder);
        if (c.prepare)
            c.prepare(folder);
        std::string editedA = ReadBytes(folder / L"a.dll");

        std::vector<PostedMessage> messages = RunWorkerWithDelta(
            folder.Path(), Address("HTTPS", L"files/a-only.zip"), PackageProof(), c.offer(c.name));

        ExpectRunEndsWith(messages, WM_UPGRADE_DONE);
        EXPECT_TRUE(Has(messages, WM_UPGRADE_FULL_PACKAGE)) << c.what << ": " << Describe(messages);
        EXPECT_EQ("new a", ReadBytes(folder / L"a.dll")) << c.what;
        // The full package does not carry it: the delta touched nothing.
        EXPECT_EQ("old readme", ReadBytes(folder / L"readme.txt")) << c.what;
        if (c.name != L"a.dll")
            ExpectNoLeftovers(folder, c.name);
        EXPECT_FALSE(FileExists(folder / L"a-only.zip")) << c.what;
    }
}

TEST(DeltaUpgradeTest, WhenTheFullPackageFailsTooTheInstallationStaysAsItWas)
{
    TempFolder folder;
    InstallOld(folder);
    WriteBytes(folder / L"a.dll", kOldA + "edited");
    Snapshot before = SnapshotTree(folder.Path());

    std::vector<PostedMessage> messages = RunWorkerWithDelta(
        folder.Path(), Address("HTTPS", L"status/404/a-only.zip"), PackageProof(),
        Offer(L"unfit.delta", GoodDelta().Bytes()));

    ExpectRunEndsWith(messages, WM_UPGRADE_DOWNLOAD_FAILED);
    EXPECT_TRUE(Has(messages, WM_UPGRADE_FULL_PACKAGE)) << Describe(messages);
    EXPECT_EQ(before, SnapshotTree(folder.Path()));
}
