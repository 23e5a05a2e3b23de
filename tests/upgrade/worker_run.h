#pragma once

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
std::vector<PostedMessage> RunAgainstWindow(const std::function<void(HWND)>& work);

// RunUpgradeInFolder(folder, address, window) run that way.
std::vector<PostedMessage> RunWorker(const std::wstring& folder, const std::wstring& address);

bool IsFinal(UINT message);
// The final messages of a run, in order (a sound run has exactly one).
std::vector<UINT> FinalMessages(const std::vector<PostedMessage>& messages);
std::vector<PostedMessage> ProgressReports(const std::vector<PostedMessage>& messages);
// Messages as "P P P DONE" for failure texts.
std::string Describe(const std::vector<PostedMessage>& messages);

// "http://localhost:<port>/<path>" with the port from KESTREL_UPGRADE_<listener>_PORT.
std::wstring Address(const char* listener, const std::wstring& path, const char* scheme = "http");
// The driver's folder of test packages, ending with a backslash.
std::wstring PackagesFolder();

} // namespace upgrade_testing
