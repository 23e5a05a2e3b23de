#include "tests/support/files.h"
#include "tests/support/installation.h"
#include "tests/support/screen_reader.h"
#include "tests/support/version_service.h"
#include "tests/support/window_driver.h"

#include <windows.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace testing_support;

namespace {

// Every library Kestrel loads that is not a known DLL: its own loads (oleacc
// once a screen reader asks), the delay-loaded imports, and those the
// system's libraries load for it (TLS, the rich edit engine, the theme, name
// resolution), as a run under Wine shows them.
const wchar_t* const kPlantedNames[] = {
    L"msftedit.dll", L"msimg32.dll", L"comctl32.dll", L"oleacc.dll", L"schannel.dll",
    L"bcrypt.dll", L"version.dll", L"wininet.dll",
    L"riched20.dll", L"secur32.dll", L"crypt32.dll", L"rsaenh.dll", L"uxtheme.dll", L"usp10.dll",
    L"iphlpapi.dll", L"dnsapi.dll", L"netapi32.dll", L"mpr.dll", L"msv1_0.dll", L"kerberos.dll",
};

const char kStarted[] = "-show -oemid:1";

// The libraries that Kestrel.exe loaded from the folder, as the planted
// library noted them.
std::vector<std::string> LoadedByKestrel(const Installation& installation)
{
    std::vector<std::string> loaded;
    for (const std::string& line : ReadLines(installation.PathOf(L"planted.log"))) {
        if (line.compare(0, 13, "Kestrel.exe: ") == 0)
            loaded.push_back(line.substr(13));
    }
    return loaded;
}

} // namespace

// Each of the runs that load libraries, with a library planted under every
// name it loads: none of them is loaded from the installation folder, and
// the run ends as it would without them.
TEST(PlantedLibraryTest, NoRunLoadsALibraryFromTheInstallationFolder)
{
    VersionService service;
    ASSERT_TRUE(service.Available()) << "run through tests/security/with_upgrade_package.sh";
    const struct {
        const char* run;
        std::string answer;
        int status;
        std::vector<std::string> started;
        int boxes;
        // A screen reader reads the box first, so that oleacc is loaded.
        bool read;
    } kRuns[] = {
        {"upgrade", UpgradeAnswer("1.0.1.0", "notes", "https://localhost:1011/packages/tarnwick-1.0.1.0.7z"),
         200, {kStarted}, 0, false},
        {"failed download", UpgradeAnswer("1.0.1.0", "notes", "https://localhost:1011/packages/missing.7z"),
         200, {}, 1, false},
        {"no upgrade", UpgradeAnswer("1.0.0.9"), 200, {kStarted}, 0, false},
        {"failed request", "gone", 404, {}, 1, true},
    };
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    for (const auto& run : kRuns) {
        service.AnswerOthers(run.answer, run.status);
        Installation installation;
        for (const wchar_t* name : kPlantedNames)
            ASSERT_TRUE(CopyFileTo(ProgramFolder() + L"planted_library.dll", installation.PathOf(name)));
        ChildProcess kestrel;
        ASSERT_TRUE(installation.StartKestrel(kestrel)) << run.run;
        if (run.read) {
            HWND box = WaitForWindow(L"MessageBox", nullptr);
            EXPECT_EQ(ROLE_SYSTEM_DIALOG, ScreenReaderView(box).Role(CHILDID_SELF)) << run.run;
        }
        EXPECT_EQ(run.boxes, AnswerBoxesUntilEnd(kestrel)) << run.run;
        EXPECT_EQ(0u, kestrel.ExitCode()) << run.run;
        if (!run.started.empty())
            WaitUntil([&] { return !installation.TarnwickLogLines("started: ").empty(); }, 20000);
        EXPECT_EQ(run.started, installation.TarnwickLogLines("started: ")) << run.run;
        EXPECT_EQ(std::vector<std::string>(), LoadedByKestrel(installation)) << run.run;
    }
    CoUninitialize();
}
