#include "app/version_answer.h"

#include <gtest/gtest.h>

namespace {

const char kAnswer[] = R"({"Code": 0, "Data": {"LatestVersion": "1.0.1.0", "DownloadUrl": "https://h/full.7z",
  "Deltas": [
    {"FromVersion": "1.0.0.8", "DownloadUrl": "https://h/8.delta", "PackageSha256": "aa"},
    "not an object",
    {"FromVersion": "1.0.0.7"},
    {"FromVersion": 109, "DownloadUrl": "https://h/number.delta"},
    {"FromVersion": "1.0.0.9", "DownloadUrl": "https://h/9.delta", "PackageSignature": "c2ln"}
  ]}})";

} // namespace

TEST(DeltaOfferTest, AnswerKeepsTheUsableDeltasWithTheirProofs)
{
    VersionAnswer answer = ParseVersionAnswer(kAnswer);
    ASSERT_EQ(2u, answer.deltas.size());
    EXPECT_EQ(L"https://h/8.delta", answer.deltas[0].downloadUrl);
    EXPECT_EQ("aa", answer.deltas[0].proof.sha256.text);
    EXPECT_EQ(OptionalText::State::Absent, answer.deltas[0].proof.signature.state);
    EXPECT_EQ("c2ln", answer.deltas[1].proof.signature.text);
    EXPECT_EQ(L"https://h/full.7z", answer.downloadUrl);
}

TEST(DeltaOfferTest, TheDeltaFromTheInstalledVersionIsChosen)
{
    VersionAnswer answer = ParseVersionAnswer(kAnswer);
    const struct {
        const wchar_t* installed;
        const wchar_t* expected;
    } kCases[] = {
        {L"1.0.0.9", L"https://h/9.delta"},
        {L"1.0.0.8", L"https://h/8.delta"},
        {L"1.00.0.09", L"https://h/9.delta"},
        {L"1.0.0.7", nullptr},
        {L"1.0.0", nullptr},
        {L"", nullptr},
    };
    for (const auto& c : kCases) {
        const DeltaOffer* offer = DeltaFor(answer, c.installed);
        if (!c.expected) {
            EXPECT_EQ(nullptr, offer) << testing::PrintToString(std::wstring(c.installed));
            continue;
        }
        ASSERT_NE(nullptr, offer);
        EXPECT_EQ(c.expected, offer->downloadUrl);
    }
}

TEST(DeltaOfferTest, AnswersWithoutUsableDeltasOfferNone)
{
    const char* const kBodies[] = {
        R"({"Code": 0, "Data": {"LatestVersion": "1.0.1.0"}})",
        R"({"Code": 0, "Data": {"LatestVersion": "1.0.1.0", "Deltas": {"FromVersion": "1.0.0.9"}}})",
        R"({"Code": 0, "Data": {"LatestVersion": "1.0.1.0", "Deltas": null}})",
        R"({"Code": 0, "Data": {"Deltas": [{"FromVersion": "1.0.0.9", "DownloadUrl": ""}]}})",
    };
    for (const char* body : kBodies) {
        VersionAnswer answer = ParseVersionAnswer(body);
        EXPECT_TRUE(answer.deltas.empty()) << body;
        EXPECT_EQ(nullptr, DeltaFor(answer, L"1.0.0.9")) << body;
    }
}
