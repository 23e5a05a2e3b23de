#include "app/main_window.h"

#include "app/message_box.h"
#include "app/oem_identity.h"
#include "app/upgrade_messages.h"
#include "app/upgrade_worker.h"
#include "ui/controls/control.h"
#include "ui/controls/rich_edit.h"

#include <shellapi.h>

#include <stdint.h>
#include <wchar.h>

#include <thread>
#include <utility>

using SkinUI::CControlUI;
using SkinUI::CRichEditUI;
using SkinUI::TUINotify;

namespace {

const wchar_t kDownloadFailedText[] = L"下载失败，请手动下载安装最新版本露摩露摩！";
const wchar_t kInstallFailedText[] = L"解压缩失败，请手动下载安装最新版本露摩露摩！";
const wchar_t kLeaveQuestion[] = L"升级尚未完成，确定退出？";
const wchar_t kProgressText[] = L"升级中，请稍候...";
const wchar_t kFullPackageText[] = L"增量包不适用，正在下载完整升级包...";
// Above the native timer ids that the manager hands out to controls.
const UINT_PTR kNotesTimerId = 0x4E54;

std::wstring HomepageLink(int oemId)
{
    wchar_t link[300];
    swprintf(link, sizeof(link) / sizeof(link[0]), L"http://%hs/?oemid=%d", KESTREL_HOMEPAGE_HOST, oemId);
    return link;
}

} // namespace

int ProgressPercent(WPARAM progress, LPARAM maximum)
{
    const uint32_t done = static_cast<uint32_t>(progress);
    const uint32_t size = static_cast<uint32_t>(maximum);
    if (static_cast<int32_t>(size) <= 0 || size < done)
        return -1;
    return static_cast<int>(uint64_t(done) * 100 / size);
}

MainWindow::MainWindow(std::wstring updateContent, std::wstring downloadAddress, PackageProof proof,
                       DeltaOffer delta)
    : oemId_(OemId()),
      updateContent_(std::move(updateContent)),
      downloadAddress_(std::move(downloadAddress)),
      proof_(std::move(proof)),
      delta_(std::move(delta)),
      session_(std::make_shared<UpgradeSession>())
{
}

// The window's own routing: the frame, the close refusal and the worker's
// reports; everything else goes to the manager and then the platform.
LRESULT MainWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT answer = 0;
    if (AnswerAccessibleObject(message, wParam, lParam, answer) || RouteOwnMessage(message, wParam, lParam, answer))
        return answer;
    LRESULT result = 0;
    if (GetManager().ProcessMessage(message, wParam, lParam, result))
        return result;
    return CallPrevious(message, wParam, lParam);
}

bool MainWindow::RouteOwnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& answer)
{
    bool handled = true;
    switch (message) {
    case WM_CREATE: answer = OnCreate(message, wParam, lParam, handled); return handled;
    case WM_DESTROY: answer = OnDestroy(message, wParam, lParam, handled); return handled;
    case WM_CLOSE: answer = OnClose(message, wParam, lParam, handled); return handled;
    case WM_NCCALCSIZE: answer = OnNcCalcSize(message, wParam, lParam, handled); return handled;
    case WM_NCHITTEST: answer = OnNcHitTest(message, wParam, lParam, handled); return handled;
    case WM_NCPAINT: answer = OnNcPaint(message, wParam, lParam, handled); return handled;
    case WM_NCACTIVATE: answer = OnNcActivate(message, wParam, lParam, handled); return handled;
    // No window region and no relayout on size; a double click on the
    // caption must not maximise.
    case WM_SIZE:
    case WM_NCLBUTTONDBLCLK: answer = 0; return true;
    case WM_UPGRADE_DOWNLOAD_FAILED:
    case WM_UPGRADE_INSTALL_FAILED: ReportFailure(message); answer = 0; return true;
    case WM_UPGRADE_DONE: Complete(); answer = 0; return true;
    case WM_UPGRADE_PROGRESS: ShowProgress(wParam, lParam); answer = 0; return true;
    case WM_UPGRADE_FULL_PACKAGE: ShowFullPackageStart(); answer = 0; return true;
    case WM_TIMER:
        if (wParam != kNotesTimerId)
            return false;
        FeedReleaseNotes();
        answer = 0;
        return true;
    default: return false;
    }
}

LRESULT MainWindow::OnCreate(UINT message, WPARAM wParam, LPARAM lParam, bool& handled)
{
    LRESULT answer = WindowImplBase::OnCreate(message, wParam, lParam, handled);
    ShowReleaseNotes();
    // A worker that cannot start is a failed upgrade, with nothing to wait for.
    try {
        std::thread(RunUpgradeWorker, downloadAddress_, proof_, GetHWND(), session_, delta_).detach();
    } catch (const std::exception&) {
        session_->MarkEnded();
        PostMessageW(GetHWND(), WM_UPGRADE_DOWNLOAD_FAILED, 0, 0);
    }
    return answer;
}

LRESULT MainWindow::OnClose(UINT, WPARAM, LPARAM, bool& handled)
{
    handled = !finished_;
    return 0;
}

LRESULT MainWindow::OnDestroy(UINT, WPARAM, LPARAM, bool& handled)
{
    // A worker that is still downloading stops; one that installs finishes.
    session_->RequestLeave();
    PostQuitMessage(0);
    handled = false;
    return 0;
}

LRESULT MainWindow::OnNcCalcSize(UINT, WPARAM, LPARAM, bool& handled)
{
    handled = true;
    return 0;
}

bool MainWindow::IsCaptionControl(CControlUI* control) const
{
    if (!control)
        return false;
    const wchar_t* kind = control->GetClass();
    return wcscmp(kind, L"Button") != 0 && wcscmp(kind, L"Edit") != 0;
}

void MainWindow::Notify(TUINotify& msg)
{
    if (finished_ || msg.sType != L"click" || !msg.pSender || msg.pSender->GetName() != L"MainWindow_Close_Btn")
        return;
    if (!ShowMessageBox(L"提示", kLeaveQuestion, kButtonsOkCancel, GetHWND()))
        return;
    finished_ = true;
    session_->RequestLeave();
    RequestClose(1);
}

void MainWindow::ShowProgress(WPARAM progress, LPARAM maximum)
{
    int percent = ProgressPercent(progress, maximum);
    if (percent < 0)
        return;
    wchar_t text[64];
    swprintf(text, sizeof(text) / sizeof(text[0]), L"%ls%d%%", kProgressText, percent);
    SetControlText(L"UpdateState_Label", text);
    CControlUI* bar = GetManager().FindControlByName(L"Progress_Label");
    if (!bar)
        return;
    bar->SetFixedWidth(percent * 5);
    // Screen readers hear the bar once per percent: the value changes no more often.
    swprintf(text, sizeof(text) / sizeof(text[0]), L"%d%%", percent);
    bar->SetAccessibleValue(text);
}

// The bar starts again for the full package: what the delta's download
// showed no longer measures the upgrade.
void MainWindow::ShowFullPackageStart()
{
    SetControlText(L"UpdateState_Label", kFullPackageText);
    if (CControlUI* bar = GetManager().FindControlByName(L"Progress_Label")) {
        bar->SetFixedWidth(0);
        bar->SetAccessibleValue(L"0%");
    }
}

void MainWindow::ReportFailure(UINT message)
{
    // A download stopped because the user left is no failure to report.
    if (session_->LeaveRequested())
        return;
    finished_ = true;
    ShowMessageBox(L"", message == WM_UPGRADE_DOWNLOAD_FAILED ? kDownloadFailedText : kInstallFailedText, kButtonsOkCancel,
                   GetHWND());
    ShellExecuteW(nullptr, L"open", HomepageLink(oemId_).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    RequestClose(1);
}

void MainWindow::Complete()
{
    finished_ = true;
    succeeded_ = true;
    RequestClose(1);
}

CRichEditUI* MainWindow::NotesBox()
{
    CControlUI* control = GetManager().FindControlByName(L"Msg_RichEdit");
    return control ? static_cast<CRichEditUI*>(control->GetInterface(L"RichEdit")) : nullptr;
}

// The first piece now, the rest from a timer: the window is shown and
// follows the worker while the engine lays out long notes.
void MainWindow::ShowReleaseNotes()
{
    notes_ = ReleaseNotesFeed(ReleaseNotesText(updateContent_));
    std::wstring().swap(updateContent_);
    CRichEditUI* edit = NotesBox();
    if (!edit)
        return;
    if (notes_.Size() > static_cast<size_t>(edit->GetLimitText()))
        edit->SetLimitText(static_cast<int>(notes_.Size()));
    edit->SetText(notes_.NextPiece().c_str());
    if (!notes_.Done())
        SetTimer(GetHWND(), kNotesTimerId, USER_TIMER_MINIMUM, nullptr);
}

void MainWindow::FeedReleaseNotes()
{
    CRichEditUI* edit = NotesBox();
    if (edit && !notes_.Done())
        edit->AppendText(notes_.NextPiece().c_str());
    if (!edit || notes_.Done())
        KillTimer(GetHWND(), kNotesTimerId);
}

void MainWindow::SetControlText(const wchar_t* name, const wchar_t* text)
{
    if (CControlUI* control = GetManager().FindControlByName(name))
        control->SetText(text);
}
