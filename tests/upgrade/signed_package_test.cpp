// The package check in a build that carries a publisher key: only packages
// with a signature by that key are installed. The key was made when this
// program was built; the driver signed the packages with it at test time.
#include "app/package_key.h"
#include "app/upgrade_messages.h"
#include "app/package_proof.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"
#include "tests/upgrade/worker_run.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace testing_support;
using namespace upgrade_testing;

namespace {

std::string Base64(const std::string& bytes)
{
    const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    for (size_t i = 0; i < bytes.size(); i += 3) {
        unsigned int group = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size())
            group |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        if (i + 2 < bytes.size())
            group |= static_cast<unsigned char>(bytes[i + 2]);
        size_t have = std::min<size_t>(3, bytes.size() - i);
        for (size_t k = 0; k < 4; ++k)
            text += k <= have ? digits[(group >> (18 - 6 * k)) & 63] : '=';
    }
    return text;
}

// A DER element with a one-byte length.
std::string Element(char tag, const std::string& content)
{
    return std::string(1, tag) + static_cast<char>(content.size()) + content;
}

// An integer's minimal DER content: no leading zeros but one before a high bit.
std::string MinimalInteger(std::string value)
{
    value.erase(0, std::min(value.find_first_not_of('\0'), value.size() - 1));
    return (static_cast<unsigned char>(value[0]) & 0x80) ? '\0' + value : value;
}

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
    return Base64(Element(0x30, Element(0x02, r) + Element(0x02, s)));
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
    return RunWorker(folder, Address("HTTP", L"files/" + package), proof);
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
        {L"a-only.zip", Proof(TextMember(Spelled(MinimalInteger(signature.r),
                                                 MinimalInteger(signature.s))))},
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
    std::string r = MinimalInteger(signature.r);
    std::string s = MinimalInteger(signature.s);
    std::string der = Element(0x30, Element(0x02, r) + Element(0x02, s));
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
        {L"a-only.zip", Proof(TextMember(Base64(der.substr(0, der.size() - 1)))), "truncated DER"},
        {L"a-only.zip", Proof(TextMember(Base64(der + '\0'))), "DER with a trailing byte"},
        {L"a-only.zip", Proof(TextMember(Base64(negativeLength))), "negative DER length"},
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
