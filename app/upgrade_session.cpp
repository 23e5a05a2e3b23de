#include "app/upgrade_session.h"

#include "app/download_abort.h"

UpgradeSession::UpgradeSession() : ended_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

void UpgradeSession::RequestLeave()
{
    std::lock_guard<std::mutex> guard(lock_);
    leave_ = true;
    if (download_)
        download_->Abort();
}

void UpgradeSession::AttachDownload(DownloadAbort* download)
{
    std::lock_guard<std::mutex> guard(lock_);
    download_ = download;
    if (leave_)
        download_->Abort();
}

void UpgradeSession::DetachDownload()
{
    std::lock_guard<std::mutex> guard(lock_);
    download_ = nullptr;
}

void UpgradeSession::MarkEnded()
{
    SetEvent(ended_.get());
}

void UpgradeSession::WaitUntilEnded() const
{
    WaitForSingleObject(ended_.get(), INFINITE);
}
