#include "app/package_proof.h"
#include "tests/support/proof_texts.h"

#include <gtest/gtest.h>

#include <ctype.h>

#include <string>
#include <utility>
#include <vector>

using namespace testing_support;

namespace {

const std::string kDigestHex = "00ff10a5c3e7b2d4f6081a2b3c4d5e6f708192a3b4c5d6e7f8091a2b3c4d5e6f";

// r needs a leading zero, s none: the longest spelling of each.
const std::string kR = "\x80" + std::string(31, '\x11');
const std::string kS = "\x7f" + std::string(31, '\x22');
const std::string kLongestDer = DerSignature('\0' + kR, kS);

std::string RawText(const unsigned char (&raw)[kRawSignatureBytes])
{
    return std::string(reinterpret_cast<const char*>(raw), kRawSignatureBytes);
}

std::string Padded(const std::string& value)
{
    return std::string(32 - value.size(), '\0') + value;
}

} // namespace

TEST(PackageProofTest, Sha256HexInEitherCase)
{
    std::string upper = kDigestHex;
    for (char& c : upper)
        c = static_cast<char>(toupper(c));
    for (const std::string& text : {kDigestHex, upper}) {
        unsigned char digest[kSha256Bytes] = {};
        ASSERT_TRUE(DecodeSha256Hex(text, digest)) << text;
        EXPECT_EQ(kDigestHex, ToHex(std::string(reinterpret_cast<char*>(digest), kSha256Bytes)));
    }
}

TEST(PackageProofTest, MalformedSha256HexIsRefused)
{
    const std::string cases[] = {
        "",
        kDigestHex.substr(1),
        kDigestHex + "0",
        "g" + kDigestHex.substr(1),
        " " + kDigestHex.substr(1),
        "0x" + kDigestHex.substr(2),
        kDigestHex.substr(0, 63) + std::string(1, '\0'),
        kDigestHex.substr(0, 32) + "-" + kDigestHex.substr(33),
    };
    for (const std::string& text : cases) {
        unsigned char digest[kSha256Bytes] = {};
        EXPECT_FALSE(DecodeSha256Hex(text, digest)) << text;
    }
}

TEST(PackageProofTest, Base64WithItsPadding)
{
    const std::pair<std::string, std::string> cases[] = {
        {"TWFu", "Man"}, {"TWE=", "Ma"}, {"TQ==", "M"}, {"+/8A", std::string("\xFB\xFF\0", 3)}};
    for (const auto& c : cases) {
        std::vector<unsigned char> bytes;
        ASSERT_TRUE(DecodeBase64(c.first, bytes)) << c.first;
        EXPECT_EQ(c.second, std::string(bytes.begin(), bytes.end())) << c.first;
    }
}

TEST(PackageProofTest, MalformedBase64IsRefused)
{
    const std::string cases[] = {"", "TWE", "TQ=", "T===", "====", "TW=u", "TQ=A", " TWFu",
                                 "TWFu\n", "TWFu====", "TR==", "TWF=", "TW-u", "TW_u",
                                 std::string("TWFu\0AAA", 8)};
    for (const std::string& text : cases) {
        std::vector<unsigned char> bytes;
        EXPECT_FALSE(DecodeBase64(text, bytes)) << text;
    }
}

TEST(PackageProofTest, DerSignatureBecomesRAndSOf32BytesEach)
{
    const std::pair<std::string, std::string> cases[] = {
        {DerSignature("\x01", "\x02"), Padded("\x01") + Padded("\x02")},
        {DerSignature(std::string("\0\x80", 2), std::string("\x01\0", 2)),
         Padded("\x80") + Padded(std::string("\x01\0", 2))},
        {kLongestDer, kR + kS},
    };
    for (const auto& c : cases) {
        unsigned char raw[kRawSignatureBytes] = {};
        ASSERT_TRUE(DerSignatureToRaw(c.first, raw)) << ToHex(c.first);
        EXPECT_EQ(ToHex(c.second), ToHex(RawText(raw)));
    }
}

TEST(PackageProofTest, MalformedDerIsRefused)
{
    std::vector<std::pair<std::string, const char*>> cases = {
        {"", "empty"},
        {FromHex(ToHex(kLongestDer) + "00"), "trailing byte"},
        {FromHex("3106020101020102"), "not a sequence"},
        {FromHex("3006030101020102"), "not an integer"},
        {FromHex("3007020101020102"), "sequence longer than the input"},
        {FromHex("3005020101020102"), "sequence shorter than its contents"},
        {FromHex("3006020501020102"), "integer longer than the sequence"},
        {FromHex("30ff020101020102"), "negative sequence length"},
        {FromHex("3084ffffffff020101020102"), "four-byte negative length"},
        {FromHex("300602ff01020102"), "negative integer length"},
        {FromHex("30800201010201020000"), "indefinite length"},
        {FromHex("308106020101020102"), "long form for a short length"},
        {FromHex("3006020181020102"), "negative integer"},
        {FromHex("300702020001020102"), "leading zero that is not needed"},
        {FromHex("3006020100020102"), "zero"},
        {FromHex("30050200020102"), "empty integer"},
        {DerSignature(std::string(2, '\0') + kR, kS), "integer of 34 bytes"},
        {DerSignature('\x01' + kR, kS), "integer of 33 bytes"},
        {DerSignature('\0' + kR, '\0' + kS), "integer of 33 bytes with a needless zero"},
        {FromHex("3009020101020102020103"), "three integers"},
        {FromHex("3003020101"), "one integer"},
    };
    for (size_t length = 0; length < kLongestDer.size(); ++length)
        cases.push_back({kLongestDer.substr(0, length), "truncated"});
    for (const auto& c : cases) {
        unsigned char raw[kRawSignatureBytes] = {};
        EXPECT_FALSE(DerSignatureToRaw(c.first, raw)) << c.second << ": " << ToHex(c.first);
    }
}
