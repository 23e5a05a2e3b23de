#include "tests/support/files.h"
#include "tests/support/installation.h"
#include "tests/support/process.h"
#include "tests/support/version_service.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace testing_support;

namespace {

const char kAddress[] = "https://localhost:1011/packages/resume.7z";

std::wstring PackagesFolder()
{
    std::wstring folder = EnvironmentValue(L"KESTREL_SERVICE_PACKAGES");
    if (!folder.empty() && folder.back() != L'\\')
        folder += L'\\';
    return folder;
}

std::string AnswerWithHash(const std::string& sha256)
{
    return "{\"Code\":0,\"Msg\":\"\",\"Data\":{\"LatestVersion\":\"1.0.1.0\",\"UpdateContent\":"
           "\"Tarnwick 1.0.1.0\",\"DownloadUrl\":\""
           + std::string(kAddress) + "\",\"PackageSha256\":\"" + sha256 + "\"}}";
}

size_t SizeOf(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return data.nFileSizeLow;
}

// The folder's files but the stand-in's log, which tells when it ran.
std::vector<std::pair<std::wstring, std::string>> Installed(const Installation& installation)
{
    auto files = SnapshotTree(installation.Folder());
    files.erase(std::remove_if(files.begin(), files.end(),
                               [](const auto& entry) { return entry.first == L"tarnwick.log"; }),
                files.end());
    std::sort(files.begin(), files.end());
    return files;
}

bool RunsToItsEnd(ChildProcess& kestrel)
{
    return kestrel.Wait(60000) && kestrel.ExitCode() == 0;
}

} // namespace

// The first Kestrel is killed once 60 % of the package is in the folder;
// the second asks only for the rest, installs it and starts the new
// Tarnwick, leaving the folder as an upgrade in one piece leaves it.
TEST(ResumeKillTest, NextRunAfterAKillFetchesOnlyTheRestAndInstalls)
{
    VersionService service;
    ASSERT_TRUE(service.Available()) << "run through tests/resume/with_resume_package.sh";
    const std::string package = ReadBytes(PackagesFolder() + L"resume.7z");
    ASSERT_GT(package.size(), 2000000u);
    service.AnswerOthers(AnswerWithHash(ReadBytes(PackagesFolder() + L"resume.7z.sha256")));

    Installation whole;
    ChildProcess reference;
    ASSERT_TRUE(whole.StartKestrel(reference));
    ASSERT_TRUE(RunsToItsEnd(reference));
    const auto expected = Installed(whole);
    ASSERT_EQ(ReadBytes(ProgramFolder() + L"TarnwickStandIn1010.exe"), ReadBytes(whole.PathOf(L"Tarnwick.exe")));

    Installation installation;
    std::wstring kept = installation.PathOf(L"resume.7z");
    service.PackageRate("400000");
    size_t answersBefore = service.PackageAnswers().size();
    {
        ChildProcess first;
        ASSERT_TRUE(installation.StartKestrel(first));
        ASSERT_TRUE(WaitUntil([&] { return SizeOf(kept) >= package.size() * 6 / 10; }, 30000));
        first.Terminate();
        ASSERT_TRUE(first.Wait(10000));
    }
    const std::string keptBytes = ReadBytes(kept);
    ASSERT_LT(keptBytes.size(), package.size());
    EXPECT_TRUE(package.compare(0, keptBytes.size(), keptBytes) == 0);
    EXPECT_TRUE(FileExists(kept + L".kestrel-resume"));

    service.PackageRate("");
    // The killed run's answer is logged once its server thread notices.
    WaitUntil([&] { return service.PackageAnswers().size() > answersBefore; }, 5000);
    size_t answersKilled = service.PackageAnswers().size();
    ChildProcess second;
    ASSERT_TRUE(installation.StartKestrel(second));
    ASSERT_TRUE(RunsToItsEnd(second));

    std::vector<std::string> answers = service.PackageAnswers();
    answers.erase(answers.begin(), answers.begin() + std::min(answers.size(), answersKilled));
    std::string rest = "resume.7z bytes=" + std::to_string(keptBytes.size()) + "- 206 "
                       + std::to_string(package.size() - keptBytes.size());
    EXPECT_EQ(std::vector<std::string>{rest}, answers);
    EXPECT_EQ(expected, Installed(installation));
    EXPECT_TRUE(WaitUntil([&] { return !installation.TarnwickLogLines("started: ").empty(); }, 10000));
}
