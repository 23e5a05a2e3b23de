// The package check in a build that carries a publisher key: only packages
// with a signature by that key are installed. The key was made when this
// program was built; the driver signed the packages with it at test time.
#include "app/package_key.h"
#include "app/upgrade_messages.h"
#include "app/package_proof.h"
#include "tests/support/files.h"
#include "tests/support/proof_texts.h"
#include "tests/support/temp_folder.h"
#include "tests/upgrade/worker_run.h"

#include <gtest/gtest.h>

using namespace testing_support;
using namespace upgrade_testing;

namespace {

struct Signature {
    std::string r;
    std::string s;
};

// The publisher's signature of a-only.zip as r and s, for respelling.
Signature PublisherSignature()
{
    std::vector<unsigned char> der;
    unsigned char raw[kRawSignatureBytes] = {};
    std::string text = ProofText(L"a-only.zip.sig");
    if (!DecodeBase64(text, der)
        || !DerSignatureToRaw(std::string_view(reinterpret_cast<char*>(der.data()), der.size()), raw))
        return {};
    std::string bytes(reinterpret_cast<char*>(raw), sizeof(raw));
    return {bytes.substr(0, 32), bytes.substr(32)};
}

std::string Spelled(const std::string& r, const std::string& s)
{
    return ToBase64(DerSignature(r, s));
}

PackageProof Proof(const OptionalText& signature, const OptionalText& sha256 = OptionalText())
{
    PackageProof proof;
    proof.signature = signature;
    proof.sha256 = sha256;
    return proof;
}

std::vector<PostedMessage> Upgrade(const std::wstring& folder, const std::wstring& package,
                                   const PackageProof& proof)
{
    return RunWorker(folder, Address("HTTPS", L"files/" + package), proof);
}

} // namespace

TEST(SignedPackageTest, ThisBuildCarriesTheKey)
{
    EXPECT_NE(nullptr, CompiledPackageKey());
}

TEST(SignedPackageTest, PublishersSignatureInstalls)
{
    Signature signature = PublisherSignature();
    struct Case {
        const wchar_t* package;
        PackageProof proof;
    } cases[] = {
        {L"basic.7z", Proof(TextMember(ProofText(L"basic.7z.sig")))},
        {L"a-only.zip", Proof(TextMember(ProofText(L"a-only.zip.sig")),
                              TextMember(ProofText(L"a-only.zip.sha256")))},
        // The same r and s respelled by this test: proves the respellings below right.
        {L"a-only.zip", Proof(TextMember(Spelled(MinimalDerInteger(signature.r),
                                                 MinimalDerInteger(signature.s))))},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        WriteBytes(folder / L"a.dll", "old a");
        ExpectRunEndsWith(Upgrade(folder.Path(), c.package, c.proof), WM_UPGRADE_DONE);
        EXPECT_EQ("new a", ReadBytes(folder / L"a.dll"));
        EXPECT_FALSE(FileExists(folder / c.package));
    }
}

TEST(SignedPackageTest, PackageWithoutThePublishersValidSignatureIsADeletedDownload)
{
    std::string good = ProofText(L"a-only.zip.sig");
    Signature signature = PublisherSignature();
    std::string r = MinimalDerInteger(signature.r);
    std::string s = MinimalDerInteger(signature.s);
    std::string der = DerSignature(r, s);
    std::string negativeLength = der;
    negativeLength[1] = '\xFF';
    OptionalText wrongType;
    wrongType.state = OptionalText::State::WrongType;
    struct Case {
        const wchar_t* package;
        PackageProof proof;
        const char* what;
    } cases[] = {
        {L"a-only-flipped.zip", Proof(TextMember(good)), "one flipped byte"},
        {L"tampered.zip", Proof(TextMember(good)), "other contents"},
        {L"a-only.zip", Proof(TextMember(ProofText(L"a-only.zip.other-sig"))), "another key"},
        {L"a-only.zip", Proof(TextMember(ProofText(L"basic.7z.sig"))), "another package"},
        {L"a-only.zip", Proof(OptionalText()), "no signature"},
        {L"a-only.zip", Proof(OptionalText(), TextMember(ProofText(L"a-only.zip.sha256"))),
         "a hash but no signature"},
        {L"a-only.zip", Proof(TextMember(good), TextMember(ProofText(L"basic.7z.sha256"))),
         "a good signature but a wrong hash"},
        {L"a-only.zip", Proof(wrongType), "not a string"},
        {L"a-only.zip", Proof(TextMember("")), "empty"},
        {L"a-only.zip", Proof(TextMember(good.substr(1))), "base64 cut short"},
        {L"a-only.zip", Proof(TextMember(good + " ")), "base64 with a space"},
        {L"a-only.zip", Proof(TextMember(ToBase64(der.substr(0, der.size() - 1)))), "truncated DER"},
        {L"a-only.zip", Proof(TextMember(ToBase64(der + '\0'))), "DER with a trailing byte"},
        {L"a-only.zip", Proof(TextMember(ToBase64(negativeLength))), "negative DER length"},
        {L"a-only.zip", Proof(TextMember(Spelled(std::string(2, '\0') + r, s))),
         "integer with needless zeros"},
        {L"a-only.zip", Proof(TextMember(Spelled(r, '\x01' + s))), "integer over 32 bytes"},
        {L"a-only.zip", Proof(TextMember(Spelled(s, r))), "r and s swapped"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        WriteBytes(folder / L"a.dll", "old a");
        Snapshot before = SnapshotTree(folder.Path());
        ExpectRunEndsWith(Upgrade(folder.Path(), c.package, c.proof), WM_UPGRADE_DOWNLOAD_FAILED);
        EXPECT_EQ(before, SnapshotTree(folder.Path()));
    }
}
