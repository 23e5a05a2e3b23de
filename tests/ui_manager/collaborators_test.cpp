#include "tests/support/ui_host.h"

#include "ui/core/notify_queue.h"
#include "ui/core/option_groups.h"
#include "ui/core/text_table.h"
#include "ui/core/timer_table.h"

#include <gtest/gtest.h>

#include <wchar.h>

using namespace SkinUI;

namespace {

const UINT kLong = 600000;

// The manager's collaborators driven on their own, each forgetting a
// control without help from the manager.

TEST(TimerTable, NeedsABoundWindowAndForgetsItsRecordsWithTheWindow)
{
    ManagerHost host;
    CRecorderUI x(L"x");
    CTimerTable timers;
    EXPECT_FALSE(timers.Start(&x, 1, kLong)) << "no window bound yet";

    timers.BindWindow(host.hwnd);
    ASSERT_TRUE(timers.Start(&x, 1, kLong));
    EXPECT_EQ(timers.Due(17).control, &x);
    EXPECT_EQ(timers.Due(17).id, 1u);

    timers.WindowGone();
    EXPECT_EQ(timers.Due(17).control, nullptr);
    EXPECT_FALSE(timers.Start(&x, 1, kLong)) << "the window went with the records";
}

TEST(TimerTable, AForgottenControlLosesItsNativeIdsAndTheOthersKeepTheirs)
{
    ManagerHost host;
    CRecorderUI x(L"x");
    CRecorderUI y(L"y");
    CTimerTable timers;
    timers.BindWindow(host.hwnd);
    ASSERT_TRUE(timers.Start(&x, 1, kLong));
    ASSERT_TRUE(timers.Start(&y, 1, kLong));
    ASSERT_TRUE(timers.Stop(&x, 1));
    EXPECT_EQ(timers.Due(17).control, nullptr) << "stopped";

    timers.Forget(&x);
    ASSERT_TRUE(timers.Start(&x, 1, kLong));
    EXPECT_EQ(timers.Due(19).control, &x) << "a new record, not the stopped one's id";
    EXPECT_EQ(timers.Due(18).control, &y);
}

TUINotify Notify(CControlUI* sender, const wchar_t* type, WPARAM wParam)
{
    TUINotify msg;
    msg.pSender = sender;
    msg.sType = type;
    msg.wParam = wParam;
    return msg;
}

TEST(NotifyQueue, RepeatsMergeUnlessAllowedAndAForgottenSendersGo)
{
    CRecorderUI x(L"x");
    CRecorderUI y(L"y");
    CNotifyQueue queue;
    struct Case {
        CControlUI* sender;
        const wchar_t* type;
        bool allowRepeat;
        bool added;
    } cases[] = {
        {&x, L"click", false, true},
        {&x, L"click", false, false},
        {&x, L"click", true, true},
        {&x, L"timer", false, true},
        {&y, L"click", false, true},
    };
    WPARAM serial = 0;
    for (const Case& c : cases)
        EXPECT_EQ(queue.Add(Notify(c.sender, c.type, ++serial), c.allowRepeat), c.added) << serial;

    queue.Forget(&y);
    const WPARAM expected[] = {2, 3, 4};
    for (WPARAM value : expected) {
        std::unique_ptr<TUINotify> msg = queue.TakeFirst();
        ASSERT_TRUE(msg);
        EXPECT_EQ(msg->pSender, &x);
        EXPECT_EQ(msg->wParam, value) << "the merged one carries the later values";
    }
    EXPECT_FALSE(queue.TakeFirst());
}

TEST(TextTable, SetReplacesInsertKeepsTheFirstAndNullIsEmpty)
{
    CTextTable table;
    table.Set(L"a", L"one");
    table.Set(L"a", L"two");
    EXPECT_FALSE(table.Insert(L"a", L"three"));
    EXPECT_TRUE(table.Insert(L"b", nullptr));
    EXPECT_STREQ(table.Find(L"a"), L"two");
    EXPECT_STREQ(table.Find(L"b"), L"");
    EXPECT_EQ(table.Find(L"c"), nullptr);
    table.RemoveAll();
    EXPECT_EQ(table.Find(L"a"), nullptr);
}

TEST(OptionGroups, ForgettingEmptiesAGroupRemovingDropsIt)
{
    CRecorderUI x(L"x");
    CRecorderUI y(L"y");
    COptionGroups groups;
    EXPECT_FALSE(groups.Add(L"", &x));
    EXPECT_TRUE(groups.Add(L"g", &x));
    EXPECT_FALSE(groups.Add(L"g", &x));
    EXPECT_TRUE(groups.Add(L"h", &y));

    groups.Forget(&x);
    ASSERT_NE(groups.Find(L"g"), nullptr);
    EXPECT_EQ(groups.Find(L"g")->GetSize(), 0);
    groups.Remove(L"h", &y);
    EXPECT_EQ(groups.Find(L"h"), nullptr);
}

} // namespace
