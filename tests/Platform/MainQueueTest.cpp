#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MainQueue.h"

namespace {

struct Fixture {
    std::shared_ptr<ManualClock> clock = std::make_shared<ManualClock>(1000);
    ManualMainQueue queue{clock};
    std::vector<std::string> log;
    MainQueue::Task note(std::string text) {
        return [this, text] { log.push_back(text + "@" + std::to_string(int(clock->now()))); };
    }
};

TEST(ManualMainQueue, PostedTasksWaitForTheirTurnAndRunInOrder) {
    Fixture f;
    f.queue.postAfter(5, f.note("late"));
    f.queue.post(f.note("first"));
    f.queue.post(f.note("second"));
    f.queue.postAfter(2, f.note("soon"));
    EXPECT_TRUE(f.log.empty());
    EXPECT_EQ(f.queue.runPending(), 2u);
    f.queue.advance(*f.clock, 10);
    EXPECT_EQ(f.log,
              (std::vector<std::string>{"first@1000", "second@1000", "soon@1002", "late@1005"}));
    EXPECT_EQ(f.clock->now(), 1010);
}

TEST(ManualMainQueue, CancelledTasksNeverRun) {
    Fixture f;
    const auto a = f.queue.postAfter(1, f.note("a"));
    f.queue.postAfter(1, f.note("b"));
    f.queue.cancel(a);
    f.queue.cancel(a);                   // twice: ignored
    f.queue.cancel(MainQueue::kNoTask);  // never an id
    f.queue.advance(*f.clock, 2);
    EXPECT_EQ(f.log, (std::vector<std::string>{"b@1001"}));
    EXPECT_EQ(f.queue.pendingCount(), 0u);
}

// A task that posts for now runs in the same turn; one that posts for later waits.
TEST(ManualMainQueue, TasksPostedByTasks) {
    Fixture f;
    f.queue.post([&f] {
        f.log.push_back("outer");
        f.queue.post(f.note("inner"));
        f.queue.postAfter(3, f.note("later"));
    });
    f.queue.runPending();
    EXPECT_EQ(f.log, (std::vector<std::string>{"outer", "inner@1000"}));
    f.queue.advance(*f.clock, 3);
    EXPECT_EQ(f.log.back(), "later@1003");
}

TEST(ManualMainQueue, RepeatingTasksKeepTheirPeriodUntilCancelled) {
    struct Row {
        double firstDelay, interval, advanceBy;
        std::vector<int> expectedTimes;  // seconds after the start
    };
    const Row rows[] = {
        {1, 3600, 3 * 3600 + 1, {1, 3601, 7201, 10801}},
        {3000, 3600, 3600 * 2, {3000, 6600}},
        {0, 10, 25, {0, 10, 20}},
    };
    for (const auto& row : rows) {
        auto clock = std::make_shared<ManualClock>(0);
        ManualMainQueue queue(clock);
        std::vector<int> times;
        const auto id = queue.repeating(row.firstDelay, row.interval,
                                        [&] { times.push_back(int(clock->now())); });
        queue.advance(*clock, row.advanceBy);
        EXPECT_EQ(times, row.expectedTimes) << row.firstDelay << " " << row.interval;
        queue.cancel(id);
        queue.advance(*clock, row.interval * 3);
        EXPECT_EQ(times, row.expectedTimes) << "ran after cancel";
    }
}

// A repeating task that the queue reaches late skips the missed periods instead of catching up.
TEST(ManualMainQueue, LateRepeatingTaskRunsOnceThenKeepsPhase) {
    auto clock = std::make_shared<ManualClock>(0);
    ManualMainQueue queue(clock);
    std::vector<int> times;
    queue.repeating(10, 10, [&] { times.push_back(int(clock->now())); });
    clock->set(35);
    queue.runPending();
    clock->set(40);
    queue.runPending();
    EXPECT_EQ(times, (std::vector<int>{35, 40}));
}

TEST(ManualMainQueue, SharedQueueCanBeReplaced) {
    auto clock = std::make_shared<ManualClock>(7);
    auto mine = std::make_shared<ManualMainQueue>(clock);
    MainQueue::setShared(mine);
    EXPECT_EQ(MainQueue::shared(), mine);
    EXPECT_EQ(MainQueue::shared()->now(), 7);
    MainQueue::setShared(nullptr);
    EXPECT_NE(MainQueue::shared(), mine);
    EXPECT_NE(MainQueue::shared(), nullptr);
}

TEST(SystemClock, CountsFromTheReferenceDate) {
    // 2020-01-01 is 599616000 seconds after 2001-01-01 (19 years, 5 of them leap years).
    EXPECT_GT(SystemClock().now(), 599616000.0);
}

}  // namespace
