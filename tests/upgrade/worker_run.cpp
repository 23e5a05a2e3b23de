#include "tests/upgrade/worker_run.h"

#include "app/first_start.h"
#include "app/upgrade_session.h"
#include "app/upgrade_worker.h"
#include "tests/support/files.h"

#include <gtest/gtest.h>

#include <stdlib.h>

#include <algorithm>
#include <memory>
#include <thread>

namespace upgrade_testing {

namespace {

const wchar_t kWindowClass[] = L"KestrelUpgradeTestTarget";

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message >= WM_UPGRADE_DOWNLOAD_FAILED && message <= WM_UPGRADE_PROGRESS) {
        auto* received = reinterpret_cast<std::vector<PostedMessage>*>(
            GetWindowLongPtrW(window, GWLP_USERDATA));
        if (received)
            received->push_back({message, wParam, lParam});
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND CreateTarget(std::vector<PostedMessage>& received)
{
    static ATOM registered = [] {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = RecordingProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kWindowClass;
        return RegisterClassW(&windowClass);
    }();
    if (!registered)
        return nullptr;
    HWND window = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    if (window)
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&received));
    return window;
}

void DispatchWaiting()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool SawFinal(const std::vector<PostedMessage>& received)
{
    return !FinalMessages(received).empty();
}

} // namespace

std::vector<PostedMessage> RunAgainstWindow(
    const std::function<void(HWND)>& work,
    const std::function<void(const std::vector<PostedMessage>&)>& watch)
{
    std::vector<PostedMessage> received;
    HWND window = CreateTarget(received);
    if (!window)
        return received;
    std::thread worker(work, window);
    DWORD start = GetTickCount();
    while (!SawFinal(received) && GetTickCount() - start < 30000) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        DispatchWaiting();
        if (watch)
            watch(received);
    }
    worker.join();
    DispatchWaiting();
    DestroyWindow(window);
    return received;
}

std::vector<PostedMessage> RunWorker(const std::wstring& folder, const std::wstring& address,
                                     const PackageProof& proof)
{
    return RunAgainstWindow([folder, address, proof](HWND window) {
        RunUpgradeInFolder(folder, address, proof, window);
        // These runs are about the installation: the first start counts as
        // healthy, as the start-up does once Tarnwick has started well.
        ConfirmFirstStart(folder);
    });
}

std::vector<PostedMessage> RunWorkerLeavingAt(const std::wstring& folder, const std::wstring& address,
                                              const PackageProof& proof, WPARAM leaveAt)
{
    auto session = std::make_shared<UpgradeSession>();
    auto leaveOnceReached = [session, leaveAt](const std::vector<PostedMessage>& received) {
        for (const PostedMessage& posted : received) {
            if (posted.message == WM_UPGRADE_PROGRESS && posted.wParam >= leaveAt)
                session->RequestLeave();
        }
    };
    return RunAgainstWindow(
        [folder, address, proof, session](HWND window) {
            RunUpgradeInFolder(folder, address, proof, window, session.get());
            ConfirmFirstStart(folder);
        },
        leaveOnceReached);
}

std::vector<PostedMessage> RunWorkerWithDelta(const std::wstring& folder, const std::wstring& address,
                                              const PackageProof& proof, const DeltaOffer& delta)
{
    return RunAgainstWindow([folder, address, proof, delta](HWND window) {
        RunUpgradeInFolder(folder, address, proof, window, nullptr, delta);
        ConfirmFirstStart(folder);
    });
}

bool IsFinal(UINT message)
{
    return message == WM_UPGRADE_DOWNLOAD_FAILED || message == WM_UPGRADE_INSTALL_FAILED
           || message == WM_UPGRADE_DONE;
}

std::vector<UINT> FinalMessages(const std::vector<PostedMessage>& messages)
{
    std::vector<UINT> finals;
    for (const PostedMessage& posted : messages) {
        if (IsFinal(posted.message))
            finals.push_back(posted.message);
    }
    return finals;
}

std::vector<PostedMessage> ProgressReports(const std::vector<PostedMessage>& messages)
{
    std::vector<PostedMessage> reports;
    for (const PostedMessage& posted : messages) {
        if (posted.message == WM_UPGRADE_PROGRESS)
            reports.push_back(posted);
    }
    return reports;
}

BarCourse CourseOf(const std::vector<PostedMessage>& messages, size_t size)
{
    BarCourse course;
    WPARAM last = 0;
    for (const PostedMessage& report : ProgressReports(messages)) {
        if (report.lParam == 0)
            continue;
        EXPECT_EQ(static_cast<LPARAM>(size), report.lParam);
        if (!course.sized)
            course.first = report.wParam;
        course.sized = true;
        if (report.wParam < last)
            ++course.backwards;
        last = report.wParam;
    }
    course.reachedSize = last == size;
    return course;
}

std::string Describe(const std::vector<PostedMessage>& messages)
{
    std::string text;
    for (const PostedMessage& posted : messages) {
        if (!text.empty())
            text += ' ';
        switch (posted.message) {
        case WM_UPGRADE_PROGRESS:
            text += "P(" + std::to_string(posted.wParam) + "/" + std::to_string(posted.lParam) + ")";
            break;
        case WM_UPGRADE_DOWNLOAD_FAILED: text += "DOWNLOAD_FAILED"; break;
        case WM_UPGRADE_INSTALL_FAILED: text += "INSTALL_FAILED"; break;
        case WM_UPGRADE_DONE: text += "DONE"; break;
        case WM_UPGRADE_FULL_PACKAGE: text += "FULL_PACKAGE"; break;
        default: text += "?"; break;
        }
    }
    return text;
}

Snapshot Without(Snapshot snapshot, const std::wstring& name)
{
    snapshot.erase(std::remove_if(snapshot.begin(), snapshot.end(),
                                  [&](const auto& entry) { return entry.first == name; }),
                   snapshot.end());
    return snapshot;
}

void ExpectRunEndsWith(const std::vector<PostedMessage>& messages, UINT final)
{
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(std::vector<UINT>{final}, FinalMessages(messages)) << Describe(messages);
    EXPECT_EQ(final, messages.back().message) << Describe(messages);
}

OptionalText TextMember(const std::string& text)
{
    OptionalText member;
    member.state = OptionalText::State::Text;
    member.text = text;
    return member;
}

std::string ProofText(const std::wstring& fileName)
{
    std::string text = testing_support::ReadBytes(PackagesFolder() + fileName);
    EXPECT_FALSE(text.empty()) << testing_support::ToUtf8(fileName);
    return text;
}

std::wstring Address(const char* listener, const std::wstring& path, const char* scheme)
{
    std::string variable = std::string("KESTREL_UPGRADE_") + listener + "_PORT";
    const char* port = getenv(variable.c_str());
    return testing_support::FromUtf8(std::string(scheme) + "://localhost:" + (port ? port : "1")
                                     + "/")
           + path;
}

std::vector<std::string> ServerLog(const std::string& path)
{
    std::vector<std::string> lines;
    for (const std::string& line : testing_support::ReadLines(PackagesFolder() + L"requests.log")) {
        if (line.compare(0, path.size() + 1, path + " ") == 0)
            lines.push_back(line.substr(path.size() + 1));
    }
    return lines;
}

std::string Joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "; ";
    return text;
}

std::wstring PackagesFolder()
{
    const char* folder = getenv("KESTREL_UPGRADE_PACKAGES");
    return testing_support::FromUtf8(folder ? folder : "");
}

} // namespace upgrade_testing
