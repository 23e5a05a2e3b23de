#pragma once

#include "app/release_notes.h"
#include "app/upgrade_session.h"
#include "app/version_answer.h"
#include "ui/core/window_impl_base.h"

#include <windows.h>

#include <memory>
#include <string>

namespace SkinUI {
class CRichEditUI;
}

// The upgrade window: the release notes, a progress line and a thin bar
// while the worker downloads and installs the package. It refuses to close
// until the upgrade has ended or the user has confirmed leaving.
class MainWindow : public SkinUI::WindowImplBase {
public:
    // proof is what the version answer gives to vouch for the package; a
    // delta with an address is tried before it.
    MainWindow(std::wstring updateContent, std::wstring downloadAddress, PackageProof proof = PackageProof(),
               DeltaOffer delta = DeltaOffer());

    // Set only when the worker reported a completed installation.
    bool Succeeded() const { return succeeded_; }
    // Shared with the worker thread; start-up waits on it before the end.
    const std::shared_ptr<UpgradeSession>& Session() const { return session_; }

    void Notify(SkinUI::TUINotify& msg) override;

protected:
    const wchar_t* ClassName() const override { return L"MainWindow"; }
    SkinUI::CUIString SkinFolder() const override { return SkinUI::CUIString(); }
    SkinUI::CUIString SkinFile() const override { return L"MainWindow.xml"; }
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    LRESULT OnCreate(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    LRESULT OnClose(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    LRESULT OnDestroy(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    LRESULT OnNcCalcSize(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    bool IsCaptionControl(SkinUI::CControlUI* control) const override;

private:
    bool RouteOwnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& answer);
    void ShowProgress(WPARAM progress, LPARAM maximum);
    void ShowFullPackageStart();
    void ReportFailure(UINT message);
    void Complete();
    void SetControlText(const wchar_t* name, const wchar_t* text);
    SkinUI::CRichEditUI* NotesBox();
    void ShowReleaseNotes();
    void FeedReleaseNotes();

    bool succeeded_ = false;
    int oemId_;
    std::wstring updateContent_;
    std::wstring downloadAddress_;
    PackageProof proof_;
    DeltaOffer delta_;
    bool finished_ = false;
    std::shared_ptr<UpgradeSession> session_;
    ReleaseNotesFeed notes_;
};

// The percentage of an upgrade progress report, exact for all 32-bit values;
// -1 for a report without a size or beyond it.
int ProgressPercent(WPARAM progress, LPARAM maximum);
