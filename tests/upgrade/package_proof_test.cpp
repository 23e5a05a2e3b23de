#include "app/package_proof.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string FromHex(const std::string& hex)
{
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return bytes;
}

std::string HexByte(size_t value)
{
    const char digits[] = "0123456789abcdef";
    return {digits[(value >> 4) & 15], digits[value & 15]};
}

// An element with a one-byte length that fits its content.
std::string Element(const char* tag, const std::string& contentHex)
{
    return tag + HexByte(contentHex.size() / 2) + contentHex;
}

std::string Der(const std::string& rHex, const std::string& sHex)
{
    return Element("30", Element("02", rHex) + Element("02", sHex));
}

const std::string kDigestHex = "00ff10a5c3e7b2d4f6081a2b3c4d5e6f708192a3b4c5d6e7f8091a2b3c4d5e6f";

// r needs its leading zero, s needs none: the longest spelling of each size.
const std::string kR = "80" + std::string(62, '1');
const std::string kS = "7f" + std::string(62, '2');
const std::string kLongestDer = Der("00" + kR, kS);

} // namespace

TEST(PackageProofTest, Sha256HexInEitherCase)
{
    unsigned char digest[kSha256Bytes] = {};
    ASSERT_TRUE(DecodeSha256Hex(kDigestHex, digest));
    EXPECT_EQ(FromHex(kDigestHex), std::string(reinterpret_cast<char*>(digest), kSha256Bytes));
    std::string upper = kDigestHex;
    for (char& c : upper)
        c = static_cast<char>(toupper(c));
    EXPECT_TRUE(DecodeSha256Hex(upper, digest));
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
    struct Case {
        std::string der;
        std::string raw;
    } cases[] = {
        {"3006020101020102", std::string(62, '0') + "01" + std::string(62, '0') + "02"},
        {"30080202008002020100", std::string(62, '0') + "80" + std::string(60, '0') + "0100"},
        {kLongestDer, kR + kS},
        {Der("7f", "01"), std::string(62, '0') + "7f" + std::string(62, '0') + "01"},
    };
    for (const Case& c : cases) {
        unsigned char raw[kRawSignatureBytes] = {};
        ASSERT_TRUE(DerSignatureToRaw(FromHex(c.der), raw)) << c.der;
        EXPECT_EQ(FromHex(c.raw), std::string(reinterpret_cast<char*>(raw), sizeof(raw))) << c.der;
    }
}

TEST(PackageProofTest, MalformedDerIsRefused)
{
    std::vector<std::pair<std::string, const char*>> cases = {
        {"", "empty"},
        {kLongestDer + "00", "trailing byte"},
        {"3106020101020102", "not a sequence"},
        {"3006030101020102", "not an integer"},
        {"3007020101020102", "sequence longer than the input"},
        {"3005020101020102", "sequence shorter than its contents"},
        {"3006020501020102", "integer longer than the sequence"},
        {"30ff020101020102", "negative sequence length"},
        {"3084ffffffff020101020102", "four-byte negative length"},
        {"300602ff01020102", "negative integer length"},
        {"30800201010201020000", "indefinite length"},
        {"308106020101020102", "long form for a short length"},
        {"3006020181020102", "negative integer"},
        {"300702020001020102", "leading zero that is not needed"},
        {"3006020100020102", "zero"},
        {"30050200020102", "empty integer"},
        {Der("0000" + kR, kS), "integer of 34 bytes"},
        {Der("01" + kR, kS), "integer of 33 bytes"},
        {Der(kR, "00" + kS), "integer of 33 bytes with a needless zero"},
        {"3009020101020102020103", "three integers"},
        {"3003020101", "one integer"},
    };
    for (size_t length = 0; length < kLongestDer.size(); length += 2)
        cases.push_back({kLongestDer.substr(0, length), "truncated"});
    for (const auto& c : cases) {
        unsigned char raw[kRawSignatureBytes] = {};
        EXPECT_FALSE(DerSignatureToRaw(FromHex(c.first), raw)) << c.second << ": " << c.first;
    }
}
