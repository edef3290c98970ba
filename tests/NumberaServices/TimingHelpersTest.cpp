#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "NKTimingHelpers.h"
#include "ServicesTestSupport.h"
#include "Settings.h"

namespace {

TEST(ScheduledAction, FiresOnceAfterItsDelayUnlessInvalidated) {
    ManualTime time;
    auto target =
        std::make_shared<RecordingTarget>(time.clock.get(), std::vector<std::string>{"go"});
    auto argument = std::make_shared<int>(3);
    auto action = NKScheduledAction::actionWithTarget(target, "go", argument);
    action->fireAfterDelay(2.5);
    EXPECT_TRUE(action->valid());
    time.advance(2);
    EXPECT_TRUE(target->calls.empty());
    time.advance(1);
    ASSERT_EQ(target->calls.size(), 1u);
    EXPECT_EQ(target->calls[0].time, time.clock->now() - 0.5);
    EXPECT_EQ(target->calls[0].argument, argument);

    auto withdrawn = NKScheduledAction::actionWithTarget(target, "go", nullptr);
    withdrawn->fireAfterDelay(1);
    withdrawn->invalidate();
    EXPECT_FALSE(withdrawn->valid());
    time.advance(5);
    EXPECT_EQ(target->calls.size(), 1u);
}

TEST(ScheduledAction, TargetThatDoesNotRespondIsLogged) {
    ManualTime time;
    CapturedLog log;
    auto target = std::make_shared<RecordingTarget>(time.clock.get());
    auto action = NKScheduledAction::actionWithTarget(target, "unknown", nullptr);
    struct Delegate : NKScheduledActionDelegate {
        int fired = 0;
        void scheduledActionDidFire(NKScheduledAction&) override { ++fired; }
    } delegate;
    action->setDelegate(&delegate);
    action->fireAfterDelay(0);
    time.advance(0);
    EXPECT_TRUE(log.contains("Warning: target target doesn't respond to unknown"));
    EXPECT_EQ(delegate.fired, 1);  // told in every case
}

TEST(DelayedPerformer, CancelsBySelectorAndArgumentIdentity) {
    ManualTime time;
    auto target = std::make_shared<RecordingTarget>(time.clock.get(),
                                                    std::vector<std::string>{"save", "load"});
    NKDelayedPerformer performer(target);
    auto argument = std::make_shared<std::string>("x");
    auto equalArgument = std::make_shared<std::string>("x");  // equal, not identical

    struct Row {
        std::string cancel;  // "selector+argument", "selector", "all"
        std::vector<std::string> expectedActions;
    };
    const Row rows[] = {
        {"selector+argument", {"save", "load"}},
        {"selector", {"load"}},
        {"all", {}},
        {"none", {"save", "save", "load"}},
    };
    for (const auto& row : rows) {
        target->calls.clear();
        performer.performAction("save", argument, 1);
        performer.performAction("save", equalArgument, 1);
        performer.performAction("load", argument, 1);
        EXPECT_EQ(performer.pendingCount(), 3u);  // nothing coalesced
        if (row.cancel == "selector+argument")
            performer.cancelActionsWithSelectorAndArgument("save", argument);
        else if (row.cancel == "selector")
            performer.cancelActionsWithSelector("save");
        else if (row.cancel == "all")
            performer.cancelAllActions();
        time.advance(2);
        std::vector<std::string> actions;
        for (const auto& call : target->calls) actions.push_back(call.action);
        EXPECT_EQ(actions, row.expectedActions) << row.cancel;
        EXPECT_EQ(performer.pendingCount(), 0u) << "fired actions leave the list";
        if (row.cancel == "selector+argument") {
            ASSERT_EQ(target->calls.size(), 2u);
            EXPECT_EQ(target->calls[0].argument, equalArgument);
        }
    }
}

TEST(EventThrottler, LetsOneEventThroughPerInterval) {
    ManualTime time;
    NKEventThrottler throttler;
    throttler.setEventInterval(2);
    struct Row {
        NSTimeInterval advanceBy;
        bool expected;
    };
    const Row rows[] = {{0, true},    {0.5, false}, {1.0, false}, {0.5, false},
                        {0.01, true}, {2.0, false}, {0.5, true}};
    for (size_t i = 0; i < std::size(rows); ++i) {
        time.clock->advance(rows[i].advanceBy);
        EXPECT_EQ(throttler.mayFire(), rows[i].expected) << "row " << i;
    }
    NKEventThrottler everyTime;
    for (int i = 0; i < 3; ++i) {
        time.clock->advance(0.001);
        EXPECT_TRUE(everyTime.mayFire());
    }
}

TEST(DelayedLatestPerformer, OnlyTheLastBlockRunsItsDelayAfterTheLastCall) {
    ManualTime time;
    NKDelayedLatestPerformer performer;
    std::vector<std::pair<int, NSTimeInterval>> ran;
    const NSTimeInterval start = time.now();
    for (int i = 1; i <= 3; ++i) {
        performer.performBlock([&ran, &time, i] { ran.push_back({i, time.now()}); }, 1.0);
        if (i < 3) time.advance(0.1);
    }
    time.advance(5);
    ASSERT_EQ(ran.size(), 1u);
    EXPECT_EQ(ran[0].first, 3);
    EXPECT_NEAR(ran[0].second - start, 1.2, 1e-6);
}

TEST(RecurringTimer, FirstFiringFollowsTheLastUpdate) {
    struct Row {
        NSTimeInterval interval, lastUpdateAgo;
        std::vector<NSTimeInterval> expectedFirings;  // seconds from now, within 3 hours
    };
    const Row rows[] = {
        // 10 minutes ago with an hourly interval: first in 50 minutes, then hourly.
        {3600, 600, {3000, 6600, 10200}},
        // Two hours ago: one second from now, then hourly.
        {3600, 7200, {1, 3601, 7201}},
        // Exactly one interval ago counts as overdue.
        {3600, 3600, {1, 3601, 7201}},
        {21600, 0, {}},
    };
    for (const auto& row : rows) {
        ManualTime time;
        auto target =
            std::make_shared<RecordingTarget>(time.clock.get(), std::vector<std::string>{"update"});
        const NSTimeInterval start = time.now();
        NKRecurringTimer timer(target, "update", row.interval, std::nullopt,
                               start - row.lastUpdateAgo);
        time.advance(3 * 3600);
        std::vector<NSTimeInterval> firings;
        for (const auto& call : target->calls) firings.push_back(call.time - start);
        EXPECT_EQ(firings, row.expectedFirings) << row.interval << " " << row.lastUpdateAgo;
        EXPECT_EQ(timer.lastFiringDate(), start - row.lastUpdateAgo);  // firing keeps it
    }
}

TEST(RecurringTimer, PreventionKeySilencesFiringsButKeepsRunning) {
    ManualTime time;
    CapturedLog log;
    auto settings = std::make_shared<InMemorySettings>();
    Settings::setStandard(settings);
    auto target =
        std::make_shared<RecordingTarget>(time.clock.get(), std::vector<std::string>{"update"});
    NKRecurringTimer timer(target, "update", 100, std::string("NBAllowUpdates"), time.now());

    struct Row {
        std::optional<SettingsValue> setting;  // none: key removed
        bool sends;
    };
    const Row rows[] = {
        {SettingsValue(false), false},
        {SettingsValue(true), true},
        {SettingsValue(u"NO"), false},
        {std::nullopt, true},
    };
    for (const auto& row : rows) {
        if (row.setting)
            settings->setObject("NBAllowUpdates", *row.setting);
        else
            settings->removeObjectForKey("NBAllowUpdates");
        target->calls.clear();
        log.clear();
        time.advance(100);
        EXPECT_EQ(target->calls.size(), row.sends ? 1u : 0u);
        EXPECT_EQ(log.contains("Not sending update because of being prevented"), !row.sends);
        EXPECT_TRUE(timer.isRunning());
    }
    Settings::setStandard(nullptr);
}

TEST(RecurringTimer, GoneTargetOrTimerSendsNothing) {
    ManualTime time;
    CapturedLog log;
    auto target =
        std::make_shared<RecordingTarget>(time.clock.get(), std::vector<std::string>{"update"});
    {
        NKRecurringTimer timer(target, "update", 10, std::nullopt, std::nullopt);
        time.advance(10);
        EXPECT_EQ(target->calls.size(), 1u);
    }
    time.advance(100);  // the timer is gone: its firings went with it
    EXPECT_EQ(target->calls.size(), 1u);
    EXPECT_EQ(time.queue->pendingCount(), 0u);

    NKRecurringTimer orphan(std::weak_ptr<NKActionTarget>(), "update", 10, std::nullopt,
                            std::nullopt);
    time.advance(10);
    EXPECT_TRUE(
        log.contains("Not sending selector update because the target doesn't respond to it"));
}

}  // namespace
