#include "app/version_answer.h"

#include <gtest/gtest.h>

#include <string>

namespace {

bool IsEmpty(const VersionAnswer& answer)
{
    return answer.code == 0 && answer.latestVersion.empty() && answer.updateContent.empty()
        && answer.downloadUrl.empty() && answer.message.empty();
}

} // namespace

TEST(VersionServiceAddress, AsksPort1011ForTheOemId)
{
    std::string address = VersionServiceAddress(25);
    EXPECT_EQ(address.rfind("https://", 0), 0u) << address;
    std::string tail = ":1011/v1/oem/clientVersion?oemId=25";
    ASSERT_GE(address.size(), tail.size());
    EXPECT_EQ(address.substr(address.size() - tail.size()), tail);
}

TEST(VersionServiceAddress, NegativeIdKeepsItsSign)
{
    std::string address = VersionServiceAddress(-4);
    EXPECT_EQ(address.substr(address.size() - 9), "?oemId=-4");
}

TEST(ParseVersionAnswer, CodeZeroReadsTheVersionData)
{
    VersionAnswer answer = ParseVersionAnswer(
        "{\"Code\":0,\"Msg\":\"ignored\",\"Data\":{\"LatestVersion\":\"1.0.1.0\","
        "\"UpdateContent\":\"\xE4\xBF\xAE\xE5\xA4\x8D|faster\",\"DownloadUrl\":\"https://h/p.7z\"}}");
    EXPECT_EQ(answer.code, 0);
    EXPECT_EQ(answer.latestVersion, L"1.0.1.0");
    EXPECT_EQ(answer.updateContent, L"\x4FEE\x590D|faster");
    EXPECT_EQ(answer.downloadUrl, L"https://h/p.7z");
    EXPECT_EQ(answer.message, L"");
}

TEST(ParseVersionAnswer, NonZeroCodeReadsOnlyTheMessage)
{
    VersionAnswer answer = ParseVersionAnswer(
        "{\"Code\":7,\"Msg\":\"closed\",\"Data\":{\"LatestVersion\":\"9.0.0.0\","
        "\"UpdateContent\":\"x\",\"DownloadUrl\":\"https://h/p.7z\"}}");
    EXPECT_EQ(answer.code, 7);
    EXPECT_EQ(answer.message, L"closed");
    EXPECT_EQ(answer.latestVersion, L"");
    EXPECT_EQ(answer.downloadUrl, L"");
}

TEST(ParseVersionAnswer, MissingMembersReadAsZeroAndEmpty)
{
    VersionAnswer answer = ParseVersionAnswer("{\"Code\":0,\"Data\":{\"DownloadUrl\":null}}");
    EXPECT_TRUE(IsEmpty(answer));
    EXPECT_TRUE(IsUpgradeDue(L"1.0.0.9", answer.latestVersion));
    EXPECT_TRUE(IsEmpty(ParseVersionAnswer("{}")));
}

TEST(ParseVersionAnswer, BooleansReadAsNumberAndText)
{
    VersionAnswer answer = ParseVersionAnswer("{\"Code\":true,\"Msg\":false}");
    EXPECT_EQ(answer.code, 1);
    EXPECT_EQ(answer.message, L"false");
}

TEST(ParseVersionAnswer, CommentsAreAllowed)
{
    VersionAnswer answer = ParseVersionAnswer(
        "// service\n{\"Code\":0, /* data */ \"Data\":{\"LatestVersion\":\"2.1.0.7\"}}");
    EXPECT_EQ(answer.latestVersion, L"2.1.0.7");
}

TEST(ParseVersionAnswer, LeadingUtf8MarkIsSkipped)
{
    VersionAnswer closed = ParseVersionAnswer("\xEF\xBB\xBF{\"Code\":3,\"Msg\":\"closed\"}");
    EXPECT_EQ(closed.code, 3);
    EXPECT_EQ(closed.message, L"closed");
    VersionAnswer due = ParseVersionAnswer("\xEF\xBB\xBF{\"Code\":0,\"Data\":{\"LatestVersion\":\"1.0.1.0\"}}");
    EXPECT_EQ(due.latestVersion, L"1.0.1.0");
    // Only one mark, and only in front.
    EXPECT_TRUE(IsEmpty(ParseVersionAnswer("\xEF\xBB\xBF\xEF\xBB\xBF{\"Code\":3}")));
    EXPECT_TRUE(IsEmpty(ParseVersionAnswer(" \xEF\xBB\xBF{\"Code\":3}")));
    EXPECT_TRUE(IsEmpty(ParseVersionAnswer("\xEF\xBB")));
}

TEST(ParseVersionAnswer, BodyThatIsNotJsonGivesTheEmptyAnswer)
{
    EXPECT_TRUE(IsEmpty(ParseVersionAnswer("")));
    EXPECT_TRUE(IsEmpty(ParseVersionAnswer("<html><body>502 Bad Gateway</body></html>")));
    EXPECT_TRUE(IsEmpty(ParseVersionAnswer("{\"Code\":3,\"Msg\":\"cut off")));
    EXPECT_TRUE(IsEmpty(ParseVersionAnswer(std::string("\xFF\xFE{\0\"", 5))));
}

TEST(ParseVersionAnswer, MembersOfOtherTypesCountAsNotJson)
{
    const char* bodies[] = {
        "{\"Code\":\"0\",\"Data\":{\"LatestVersion\":\"1.0.0.0\"}}",
        "{\"Code\":0,\"Data\":[\"1.0.0.0\"]}",
        "{\"Code\":0,\"Data\":\"1.0.0.0\"}",
        "{\"Code\":{},\"Msg\":\"x\"}",
        "{\"Code\":1e20,\"Msg\":\"x\"}",
        "{\"Code\":0,\"Data\":{\"LatestVersion\":[1,0]}}",
        "{\"Code\":5,\"Msg\":{\"text\":\"x\"}}",
        "[{\"Code\":0}]",
        "\"Code\"",
        "42",
    };
    for (const char* body : bodies)
        EXPECT_TRUE(IsEmpty(ParseVersionAnswer(body))) << body;
}

TEST(ParseVersionAnswer, NestingBeyondTheParserLimitGivesTheEmptyAnswer)
{
    std::string deep(100000, '[');
    EXPECT_TRUE(IsEmpty(ParseVersionAnswer(deep)));
    EXPECT_TRUE(IsEmpty(ParseVersionAnswer("{\"Code\":0,\"Data\":" + std::string(5000, '{'))));
}

TEST(ParseVersionAnswer, MalformedUtf8EmptiesOnlyThatField)
{
    VersionAnswer answer = ParseVersionAnswer(
        "{\"Code\":0,\"Data\":{\"LatestVersion\":\"1.0.1.0\",\"UpdateContent\":\"bad \xC0\xAF\","
        "\"DownloadUrl\":\"https://h/p.7z\"}}");
    EXPECT_EQ(answer.latestVersion, L"1.0.1.0");
    EXPECT_EQ(answer.updateContent, L"");
    EXPECT_EQ(answer.downloadUrl, L"https://h/p.7z");
}

TEST(ParseVersionAnswer, LoneSurrogateEscapes)
{
    // A lone low surrogate decodes to bytes that are no UTF-8: the field goes.
    VersionAnswer answer = ParseVersionAnswer(
        "{\"Code\":0,\"Data\":{\"LatestVersion\":\"\\udc00\",\"DownloadUrl\":\"u\"}}");
    EXPECT_EQ(answer.latestVersion, L"");
    EXPECT_EQ(answer.downloadUrl, L"u");
    // A high one without its pair is no JSON at all.
    EXPECT_TRUE(IsEmpty(ParseVersionAnswer(
        "{\"Code\":0,\"Data\":{\"LatestVersion\":\"\\ud800\",\"DownloadUrl\":\"u\"}}")));
}

TEST(Utf8ToWide, DecodesEveryPlane)
{
    EXPECT_EQ(Utf8ToWide(""), L"");
    EXPECT_EQ(Utf8ToWide("abc"), L"abc");
    EXPECT_EQ(Utf8ToWide("\xE5\x8D\x87\xE7\xBA\xA7"), L"\x5347\x7EA7");
    EXPECT_EQ(Utf8ToWide("\xF0\x9F\x98\x80"), L"\xD83D\xDE00");
}

TEST(Utf8ToWide, MalformedInputGivesEmpty)
{
    EXPECT_EQ(Utf8ToWide("\xC0\xAF"), L"");          // overlong "/"
    EXPECT_EQ(Utf8ToWide("ok\xE4\xB8"), L"");        // cut inside a character
    EXPECT_EQ(Utf8ToWide("\xED\xA0\x80"), L"");      // encoded surrogate
    EXPECT_EQ(Utf8ToWide("\xF4\x90\x80\x80"), L"");  // beyond U+10FFFF
    EXPECT_EQ(Utf8ToWide("\x80"), L"");
}

TEST(IsUpgradeDue, ComparesVersionsNumberByNumber)
{
    struct Case {
        const wchar_t* installed;
        const wchar_t* latest;
        bool due;
    } cases[] = {
        // Numbers, not text.
        {L"1.2.3.4", L"1.2.3.4", false},
        {L"1.2.3.4", L"1.2.3.10", true},
        {L"1.10.0.0", L"1.9.9.9", false},
        {L"1.0.0.9", L"1.0.1.0", true},
        {L"2.0.0.0", L"1.9.9.9", false},
        // Either version empty means due.
        {L"", L"1.0.0.0", true},
        {L"1.0.0.0", L"", true},
        {L"", L"", true},
        // Numbers that are not there count as zero.
        {L"1.2", L"1.2.0.1", true},
        {L"1.2.0.0", L"1.2", false},
        // The comma form of some version resources reads as its first number only.
        {L"1, 0, 3, 12", L"1.0.0.0", false},
        {L"1, 0, 3, 12", L"1.0.0.1", true},
        {L"1.0.0.0", L"garbage", false},
        // Signs and spaces are read as scanf reads them.
        {L"-1.0.0.0", L"0.0.0.0", true},
        {L" 1. 2.+3.4", L"1.2.3.4", false},
        // Huge numbers saturate instead of wrapping.
        {L"99999999999999999999.0.0.0", L"2147483647.0.0.0", false},
        {L"2147483647.0.0.0", L"99999999999999999999.0.0.1", true},
        {L"1.0.0.0", L"-99999999999999999999.0.0.0", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "installed \"" << c.installed << "\", latest \"" << c.latest << "\"");
        EXPECT_EQ(IsUpgradeDue(c.installed, c.latest), c.due);
    }
}

TEST(ParseVersionAnswer, PackageProofMembersKeepTheirStateAndText)
{
    using State = OptionalText::State;
    struct Case {
        const char* members;
        State state;
        const char* text;
    } cases[] = {
        {"", State::Absent, ""},
        {",\"PackageSha256\":null,\"PackageSignature\":null", State::Absent, ""},
        {",\"PackageSha256\":\"ab12\",\"PackageSignature\":\"ab12\"", State::Text, "ab12"},
        {",\"PackageSha256\":\"\",\"PackageSignature\":\"\"", State::Text, ""},
        {",\"PackageSha256\":12,\"PackageSignature\":12", State::WrongType, ""},
        {",\"PackageSha256\":{\"a\":1},\"PackageSignature\":[\"x\"]", State::WrongType, ""},
        {",\"PackageSha256\":true,\"PackageSignature\":false", State::WrongType, ""},
    };
    for (const Case& c : cases) {
        std::string body = std::string("{\"Code\":0,\"Data\":{\"LatestVersion\":\"1.0.1.0\"")
                           + c.members + "}}";
        VersionAnswer answer = ParseVersionAnswer(body);
        EXPECT_EQ(L"1.0.1.0", answer.latestVersion) << body;
        EXPECT_EQ(c.state, answer.packageProof.sha256.state) << body;
        EXPECT_EQ(c.text, answer.packageProof.sha256.text) << body;
        EXPECT_EQ(c.state, answer.packageProof.signature.state) << body;
        EXPECT_EQ(c.text, answer.packageProof.signature.text) << body;
    }
}

TEST(ParseVersionAnswer, PackageProofIsNotReadForANonZeroCode)
{
    VersionAnswer answer =
        ParseVersionAnswer("{\"Code\":7,\"Data\":{\"PackageSha256\":\"ab\",\"PackageSignature\":3}}");
    EXPECT_EQ(OptionalText::State::Absent, answer.packageProof.sha256.state);
    EXPECT_EQ(OptionalText::State::Absent, answer.packageProof.signature.state);
}
