#include "ui/controls/control.h"
#include "ui/core/notify_pump.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using SkinUI::CNotifyPump;
using SkinUI::TNotifyMap;
using SkinUI::TNotifyMapEntry;
using SkinUI::TUINotify;

namespace {

class BasePump : public CNotifyPump {
public:
    std::vector<std::wstring> calls;
    void OnAnyClick(TUINotify&) { calls.push_back(L"base click"); }
    void OnTimer(WPARAM wParam, LPARAM lParam) { calls.push_back(L"timer " + std::to_wstring(wParam + lParam)); }

protected:
    static const TNotifyMapEntry kNotifyEntries[];
    static const TNotifyMap kNotifyMap;
    const TNotifyMap* MessageMap() const override { return &kNotifyMap; }
};

const TNotifyMapEntry BasePump::kNotifyEntries[] = {
    {L"click", L"", SkinUI::kNotifyWithRecord, nullptr, RecordHandler(&BasePump::OnAnyClick)},
    {L"timer", L"", SkinUI::kNotifyWithParams, ParamsHandler(&BasePump::OnTimer), nullptr},
    {nullptr, nullptr, SkinUI::kNotifyTableEnd, nullptr, nullptr},
};
const TNotifyMap BasePump::kNotifyMap = {&CNotifyPump::kNotifyMap, kNotifyEntries};

class DerivedPump : public BasePump {
public:
    void OnOk(TUINotify&) { calls.push_back(L"ok"); }
    void OnFirstAny(TUINotify&) { calls.push_back(L"first any"); }
    void OnLastAny(TUINotify&) { calls.push_back(L"last any"); }

protected:
    static const TNotifyMapEntry kNotifyEntries[];
    static const TNotifyMap kNotifyMap;
    const TNotifyMap* MessageMap() const override { return &kNotifyMap; }
};

const TNotifyMapEntry DerivedPump::kNotifyEntries[] = {
    {L"click", L"", SkinUI::kNotifyWithRecord, nullptr, RecordHandler(&DerivedPump::OnFirstAny)},
    {L"click", L"OK_Btn", SkinUI::kNotifyWithRecord, nullptr, RecordHandler(&DerivedPump::OnOk)},
    {L"click", nullptr, SkinUI::kNotifyWithRecord, nullptr, RecordHandler(&DerivedPump::OnLastAny)},
    {L"menu", L"", 3, nullptr, nullptr},
    {nullptr, nullptr, SkinUI::kNotifyTableEnd, nullptr, nullptr},
};
const TNotifyMap DerivedPump::kNotifyMap = {&BasePump::kNotifyMap, kNotifyEntries};

} // namespace

TEST(NotifyPump, TablesAreSearchedAlongTheClassChain)
{
    struct Case {
        const wchar_t* type;
        const wchar_t* sender;
        const wchar_t* virtualWnd;
        bool handled;
        const wchar_t* call; // by the window's pump, or "sub:" by the virtual window's
    } cases[] = {
        {L"click", L"OK_Btn", L"", true, L"ok"},
        {L"click", L"ok_btn", L"", true, L"last any"},
        {L"click", L"Other", L"", true, L"last any"},
        {L"Click", L"OK_Btn", L"", false, L""},
        {L"timer", L"Other", L"", true, L"timer 11"},
        {L"menu", L"Other", L"", true, L""},
        {L"return", L"Other", L"", false, L""},
        {L"click", L"OK_Btn", L"SUB", true, L"sub:base click"},
        {L"timer", L"Other", L"elsewhere", true, L"timer 11"},
        {L"menu", L"Other", L"sub", true, L""},
    };
    for (const Case& c : cases) {
        DerivedPump pump;
        BasePump sub;
        ASSERT_TRUE(pump.AddVirtualWnd(L"Sub", &sub));
        SkinUI::CControlUI sender;
        sender.SetName(c.sender);
        TUINotify msg;
        msg.sType = c.type;
        msg.sVirtualWnd = c.virtualWnd;
        msg.pSender = &sender;
        msg.wParam = 5;
        msg.lParam = 6;
        EXPECT_EQ(c.handled, pump.DispatchNotify(msg)) << c.type << c.sender;
        std::wstring call = !sub.calls.empty() ? L"sub:" + sub.calls[0] : !pump.calls.empty() ? pump.calls[0] : L"";
        EXPECT_EQ(c.call, call) << c.type << c.sender;
        EXPECT_LE(pump.calls.size() + sub.calls.size(), 1u);
    }
}
