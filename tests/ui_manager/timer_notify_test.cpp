#include "tests/support/ui_host.h"

#include <gtest/gtest.h>

using namespace SkinUI;

namespace {

const UINT kLong = 600000;

class TimerTest : public ::testing::Test {
protected:
    void SetUp() override { root = host.Attach({x, y, z}); }

    // The timer event the native id reaches: the recorder and its own id.
    long long Fire(CRecorderUI* control, UINT nativeId)
    {
        control->Clear();
        host.Send(WM_TIMER, nativeId);
        return control->LastParam(UIEVENT_TIMER);
    }

    ManagerHost host;
    CRecorderUI* x = new CRecorderUI(L"x");
    CRecorderUI* y = new CRecorderUI(L"y");
    CRecorderUI* z = new CRecorderUI(L"z");
    CVerticalLayoutUI* root = nullptr;
};

TEST_F(TimerTest, NativeIdsCountFrom17AndWrapAfter254To0)
{
    for (UINT id = 1; id <= 239; ++id)
        ASSERT_TRUE(host.manager.StartTimer(x, id, kLong)) << id;

    struct Case {
        UINT nativeId;
        long long ownId;
    } cases[] = {{17, 1}, {18, 2}, {254, 238}, {0, 239}};
    for (const Case& timer : cases)
        EXPECT_EQ(Fire(x, timer.nativeId), timer.ownId) << timer.nativeId;
    EXPECT_EQ(host.log.Count(L"timer"), 4) << "the control base turns the event into a notification";
}

TEST_F(TimerTest, RunningTimerCannotStartAgainAndARestartReusesItsId)
{
    ASSERT_TRUE(host.manager.StartTimer(x, 5, kLong));
    EXPECT_FALSE(host.manager.StartTimer(x, 5, 10));
    EXPECT_TRUE(host.manager.StopTimer(x, 5));
    EXPECT_FALSE(host.manager.StopTimer(x, 5));
    EXPECT_EQ(Fire(x, 17), -1) << "a stopped timer gives no event";

    EXPECT_TRUE(host.manager.StartTimer(x, 5, kLong));
    EXPECT_EQ(Fire(x, 17), 5);
    ASSERT_TRUE(host.manager.StartTimer(y, 5, kLong));
    EXPECT_EQ(Fire(y, 18), 5);
}

TEST_F(TimerTest, IdsStillHeldAreSkippedAfterTheWrap)
{
    ASSERT_TRUE(host.manager.StartTimer(x, 1, kLong));
    ASSERT_TRUE(host.manager.StopTimer(x, 1));
    for (UINT id = 1; id <= 237; ++id)
        ASSERT_TRUE(host.manager.StartTimer(y, id, kLong));
    host.manager.StopTimers(y);
    for (UINT id = 1; id <= 18; ++id)
        ASSERT_TRUE(host.manager.StartTimer(z, id, kLong)) << id;

    EXPECT_EQ(Fire(z, 0), 1);
    EXPECT_EQ(Fire(z, 16), 17);
    EXPECT_EQ(Fire(z, 17), -1) << "17 still belongs to x's stopped timer";
    EXPECT_EQ(Fire(z, 18), 18);
    EXPECT_TRUE(host.manager.StartTimer(x, 1, kLong));
    EXPECT_EQ(Fire(x, 17), 1);
}

TEST_F(TimerTest, DeletedControlsTimersAreGone)
{
    ASSERT_TRUE(host.manager.StartTimer(y, 1, kLong));
    root->Remove(y, true);
    y->Delete();

    EXPECT_FALSE(host.manager.StopTimer(y, 1));
    host.Send(WM_TIMER, 17);
}

TEST(WindowInit, ArrivesOncePerRootBeforeTheTreeIsPainted)
{
    ManagerHost host;
    CRecorderUI* first = new CRecorderUI(L"first");
    std::vector<int> paintsAtInit;
    CRecorderUI* watched = first;
    host.log.onNotify = [&](TUINotify& msg) {
        if (msg.sType == L"windowinit")
            paintsAtInit.push_back(watched->paints);
    };
    CVerticalLayoutUI* root = host.Attach({first});
    host.Paint();
    EXPECT_EQ(host.log.got.front().pSender, root);

    CRecorderUI* second = new CRecorderUI(L"second");
    CVerticalLayoutUI* next = new CVerticalLayoutUI;
    next->Add(second);
    host.manager.AttachRoot(next);
    watched = second;
    host.Paint();
    host.Paint();

    EXPECT_EQ(host.log.Count(L"windowinit"), 2);
    EXPECT_EQ(paintsAtInit, (std::vector<int>{0, 0}));
    EXPECT_GT(second->paints, 0);
}

class AsyncNotifyTest : public ::testing::Test {
protected:
    void SetUp() override { root = host.Attach({a, b}); }

    ManagerHost host;
    CRecorderUI* a = new CRecorderUI(L"a");
    CRecorderUI* b = new CRecorderUI(L"b");
    CVerticalLayoutUI* root = nullptr;
};

TEST_F(AsyncNotifyTest, QueueCoalescesBySenderAndType)
{
    struct Case {
        bool allowRepeat;
        std::vector<WPARAM> delivered;
    } cases[] = {{false, {2}}, {true, {1, 2}}};
    for (const Case& queue : cases) {
        host.log.got.clear();
        host.manager.EmitNotify(a, L"progress", 1, 0, true, queue.allowRepeat);
        host.manager.EmitNotify(a, L"progress", 2, 0, true, queue.allowRepeat);
        host.manager.EmitNotify(b, L"progress", 3, 0, true, queue.allowRepeat);
        EXPECT_TRUE(host.log.got.empty()) << "nothing before the posted message";
        host.Pump();

        std::vector<WPARAM> fromA;
        for (const TUINotify& msg : host.log.got) {
            if (msg.pSender == a)
                fromA.push_back(msg.wParam);
        }
        EXPECT_EQ(fromA, queue.delivered);
        EXPECT_EQ(host.log.Count(L"progress"), static_cast<int>(queue.delivered.size()) + 1);
    }
}

TEST_F(AsyncNotifyTest, NotificationOfADeletedSenderIsDropped)
{
    host.manager.EmitNotify(a, L"click", 0, 0, true);
    host.manager.EmitNotify(b, L"click", 0, 0, true);
    root->Remove(a, true);
    a->Delete();
    host.Pump();

    ASSERT_EQ(host.log.Count(L"click"), 1);
    EXPECT_EQ(host.log.got.back().pSender, b);
}

TEST_F(AsyncNotifyTest, DeleteLaterDeletesOnThePostedMessage)
{
    struct Watched : CRecorderUI {
        explicit Watched(bool* flag) : CRecorderUI(L"watched"), deleted(flag) {}
        ~Watched() override { *deleted = true; }
        bool* deleted;
    };
    bool deleted = false;
    host.manager.DeleteLater(new Watched(&deleted));

    EXPECT_FALSE(deleted);
    host.Pump();
    EXPECT_TRUE(deleted);
}

} // namespace
