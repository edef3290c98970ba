#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "ThreadPool.h"

namespace {

TEST(ThreadPool, RunsEveryTask) {
    ThreadPool pool(4, "test");
    std::atomic<int> sum{0};
    for (int i = 1; i <= 100; ++i) pool.async([&sum, i] { sum += i; });
    pool.waitUntilIdle();
    EXPECT_EQ(sum.load(), 5050);
    EXPECT_LE(pool.threadCount(), 4u);
}

TEST(ThreadPool, OneThreadKeepsOrder) {
    ThreadPool pool(1);
    std::vector<int> order;
    for (int i = 0; i < 20; ++i) pool.async([&order, i] { order.push_back(i); });
    pool.waitUntilIdle();
    std::vector<int> expected(20);
    for (int i = 0; i < 20; ++i) expected[i] = i;
    EXPECT_EQ(order, expected);
}

// Tasks that wait on later tasks of the same pool still finish: the pool grows.
TEST(ThreadPool, WaitingTasksDoNotStarveTheirDependencies) {
    ThreadPool pool;
    constexpr int kWaiters = 6;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<int> done{0};
    for (int i = 0; i < kWaiters; ++i)
        pool.async([released, &done] {
            released.wait();
            ++done;
        });
    pool.async([&release] { release.set_value(); });
    pool.waitUntilIdle();
    EXPECT_EQ(done.load(), kWaiters);
}

TEST(ThreadPool, DestructionFinishesQueuedWork) {
    std::atomic<int> count{0};
    {
        ThreadPool pool(2);
        for (int i = 0; i < 50; ++i) pool.async([&count] { ++count; });
    }
    EXPECT_EQ(count.load(), 50);
}

TEST(ThreadPool, GlobalPoolIsShared) {
    EXPECT_EQ(ThreadPool::global(), ThreadPool::global());
    std::promise<std::thread::id> ran;
    ThreadPool::global()->async([&ran] { ran.set_value(std::this_thread::get_id()); });
    EXPECT_NE(ran.get_future().get(), std::this_thread::get_id());
}

}  // namespace
