// The package check in a build without a publisher key: only a
// "PackageSha256" that the answer gives is checked.
#include "app/package_key.h"
#include "app/upgrade_messages.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"
#include "tests/upgrade/worker_run.h"

#include <gtest/gtest.h>

#include <ctype.h>

using namespace testing_support;
using namespace upgrade_testing;

namespace {

PackageProof WithSha256(const OptionalText& sha256)
{
    PackageProof proof;
    proof.sha256 = sha256;
    return proof;
}

} // namespace

TEST(PackageCheckTest, ThisBuildCarriesNoKey)
{
    EXPECT_EQ(nullptr, CompiledPackageKey());
}

TEST(PackageCheckTest, MatchingSha256InEitherCaseInstalls)
{
    std::string hash = ProofText(L"a-only.zip.sha256");
    std::string upper = hash;
    for (char& c : upper)
        c = static_cast<char>(toupper(c));
    for (const std::string& text : {hash, upper}) {
        TempFolder folder;
        WriteBytes(folder / L"a.dll", "old a");
        ExpectRunEndsWith(RunWorker(folder.Path(), Address("HTTPS", L"files/a-only.zip"),
                                    WithSha256(TextMember(text))),
                          WM_UPGRADE_DONE);
        EXPECT_EQ("new a", ReadBytes(folder / L"a.dll"));
    }
}

TEST(PackageCheckTest, WithoutAKeyASignatureIsNotExamined)
{
    TempFolder folder;
    PackageProof proof;
    proof.signature = TextMember("not a signature");
    ExpectRunEndsWith(RunWorker(folder.Path(), Address("HTTPS", L"files/a-only.zip"), proof),
                      WM_UPGRADE_DONE);
    EXPECT_EQ("new a", ReadBytes(folder / L"a.dll"));
}

TEST(PackageCheckTest, PackageFailingItsSha256IsADeletedDownload)
{
    std::string hash = ProofText(L"a-only.zip.sha256");
    OptionalText wrongType;
    wrongType.state = OptionalText::State::WrongType;
    struct Case {
        const wchar_t* package;
        OptionalText sha256;
        const char* what;
    } cases[] = {
        {L"a-only-flipped.zip", TextMember(hash), "one flipped byte"},
        {L"tampered.zip", TextMember(hash), "other contents"},
        {L"a-only.zip", TextMember(ProofText(L"basic.7z.sha256")), "another package's hash"},
        {L"a-only.zip", TextMember(""), "empty"},
        {L"a-only.zip", TextMember(hash.substr(1)), "63 digits"},
        {L"a-only.zip", TextMember(hash + "0"), "65 digits"},
        {L"a-only.zip", TextMember("g" + hash.substr(1)), "not hexadecimal"},
        {L"a-only.zip", TextMember(hash + "\n"), "line end"},
        {L"a-only.zip", wrongType, "not a string"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        WriteBytes(folder / L"a.dll", "old a");
        Snapshot before = SnapshotTree(folder.Path());
        ExpectRunEndsWith(RunWorker(folder.Path(), Address("HTTPS", std::wstring(L"files/") + c.package),
                                    WithSha256(c.sha256)),
                          WM_UPGRADE_DOWNLOAD_FAILED);
        EXPECT_EQ(before, SnapshotTree(folder.Path()));
    }
}
