// The main queue over Qt's event loop: work posted from any thread runs on the GUI thread, in
// order; cancelled work never runs; repeating work runs until cancelled.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>
#include <atomic>
#include <thread>
#include <vector>

#include "AppTestFixture.h"
#include "QtMainQueue.h"

namespace {

TEST(QtMainQueue, PostedWorkRunsOnTheGuiThreadInOrder) {
    QtMainQueue queue;
    std::vector<int> order;
    std::atomic<bool> offGuiThread{false};
    QThread* gui = QCoreApplication::instance()->thread();
    std::thread worker([&] {
        for (int i = 0; i < 3; ++i)
            queue.post([&, i] {
                if (QThread::currentThread() != gui) offGuiThread = true;
                order.push_back(i);
            });
    });
    worker.join();
    EXPECT_TRUE(order.empty());
    ASSERT_TRUE(pumpEventsUntil([&] { return order.size() == 3; }));
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
    EXPECT_FALSE(offGuiThread);
}

TEST(QtMainQueue, CancelledWorkNeverRuns) {
    QtMainQueue queue;
    int ran = 0;
    const auto now = queue.post([&] { ran += 1; });
    const auto later = queue.postAfter(0.01, [&] { ran += 10; });
    const auto kept = queue.postAfter(0.02, [&] { ran += 100; });
    queue.cancel(now);
    queue.cancel(later);
    queue.cancel(MainQueue::kNoTask);
    ASSERT_TRUE(pumpEventsUntil([&] { return ran != 0; }));
    pumpEventsFor(50);
    EXPECT_EQ(ran, 100);
    queue.cancel(kept);  // already finished: ignored
}

TEST(QtMainQueue, RepeatingWorkRunsUntilCancelled) {
    QtMainQueue queue;
    int runs = 0;
    MainQueue::TaskId id = MainQueue::kNoTask;
    id = queue.repeating(0, 0.001, [&] {
        if (++runs == 3) queue.cancel(id);
    });
    ASSERT_TRUE(pumpEventsUntil([&] { return runs >= 3; }));
    pumpEventsFor(30);
    EXPECT_EQ(runs, 3);
}

}  // namespace
