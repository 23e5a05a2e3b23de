#include "app/upgrade_session.h"

UpgradeSession::UpgradeSession() : ended_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

void UpgradeSession::MarkEnded()
{
    SetEvent(ended_.get());
}

void UpgradeSession::WaitUntilEnded() const
{
    WaitForSingleObject(ended_.get(), INFINITE);
}
