#pragma once

#include "app/version_answer.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace upgrade_testing {

struct PostedMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// Runs work on a thread of its own with a message-only window of the
// calling thread as its target, pumps messages until one of the three final
// messages arrived (or 30 s passed), joins the thread and returns every
// message the window received, in order, including any that came late.
// watch, when given, sees the messages so far after each round of pumping.
std::vector<PostedMessage> RunAgainstWindow(
    const std::function<void(HWND)>& work,
    const std::function<void(const std::vector<PostedMessage>&)>& watch = nullptr);

// RunUpgradeInFolder(folder, address, proof, window) run that way, its
// first start then confirmed (the kept entries deleted).
std::vector<PostedMessage> RunWorker(const std::wstring& folder, const std::wstring& address,
                                     const PackageProof& proof = PackageProof());

// RunWorker with a session whose user leaves once a progress report has
// reached leaveAt bytes.
std::vector<PostedMessage> RunWorkerLeavingAt(const std::wstring& folder, const std::wstring& address,
                                              const PackageProof& proof, WPARAM leaveAt);

// The same with a delta to try first.
std::vector<PostedMessage> RunWorkerWithDelta(const std::wstring& folder, const std::wstring& address,
                                              const PackageProof& proof, const DeltaOffer& delta);

bool IsFinal(UINT message);
// The final messages of a run, in order (a sound run has exactly one).
std::vector<UINT> FinalMessages(const std::vector<PostedMessage>& messages);
std::vector<PostedMessage> ProgressReports(const std::vector<PostedMessage>& messages);

// The course of the sized progress reports of a download of size bytes:
// how often the bar went back, where it first stood, and whether it ended
// at the size. Every sized report must name that size.
struct BarCourse {
    int backwards = 0;
    WPARAM first = 0;
    bool sized = false;
    bool reachedSize = false;
};
BarCourse CourseOf(const std::vector<PostedMessage>& messages, size_t size);
// Messages as "P P P DONE" for failure texts.
std::string Describe(const std::vector<PostedMessage>& messages);

using Snapshot = std::vector<std::pair<std::wstring, std::string>>;
// The snapshot without the entry of that name.
Snapshot Without(Snapshot snapshot, const std::wstring& name);

// Progress reports only, then exactly one final message, which is last.
void ExpectRunEndsWith(const std::vector<PostedMessage>& messages, UINT final);

// An answer member that holds text.
OptionalText TextMember(const std::string& text);
// A proof the driver wrote beside the packages: NAME.sha256, NAME.sig, NAME.other-sig.
std::string ProofText(const std::wstring& fileName);

// "https://localhost:<port>/<path>" with the port from KESTREL_UPGRADE_<listener>_PORT.
std::wstring Address(const char* listener, const std::wstring& path, const char* scheme = "https");
// The driver's folder of test packages, ending with a backslash.
std::wstring PackagesFolder();

// The package server's log lines for one request path (with its query), as
// "RANGE STATUS BYTES-SENT".
std::vector<std::string> ServerLog(const std::string& path);
std::string Joined(const std::vector<std::string>& lines);

} // namespace upgrade_testing
