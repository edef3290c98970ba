#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "NYDispatchFuture.h"

namespace {

// A gate the test opens by hand, so that work finishes exactly when the test says.
struct Gate {
    std::promise<void> promise;
    std::shared_future<void> opened = promise.get_future().share();
    void open() { promise.set_value(); }
};

TEST(DispatchFuture, ResolvesWithTheWorksValue) {
    struct Row {
        std::function<std::any()> work;
        bool hasValue;
        int value;
    };
    const std::vector<Row> rows = {
        {[] { return std::any(42); }, true, 42},
        {[] { return std::any(-7); }, true, -7},
        {[] { return std::any(); }, false, 0},  // no value: resolved with none
    };
    for (const auto& row : rows) {
        auto future = NYDispatchFuture::futureOnQueue(ThreadPool::global(), row.work);
        std::any first = future->get();
        EXPECT_EQ(first.has_value(), row.hasValue);
        if (row.hasValue) {
            EXPECT_EQ(std::any_cast<int>(first), row.value);
        }
        EXPECT_TRUE(future->resolved());
        // Asked again: the same answer without waiting.
        EXPECT_EQ(future->get().has_value(), row.hasValue);
    }
}

TEST(DispatchFuture, GetWaitsForTheWork) {
    Gate gate;
    std::atomic<bool> finished{false};
    auto future = NYDispatchFuture::futureOnQueue(ThreadPool::global(), [&]() -> std::any {
        gate.opened.wait();
        finished = true;
        return std::string("done");
    });
    EXPECT_FALSE(future->resolved());
    gate.open();
    EXPECT_EQ(std::any_cast<std::string>(future->get()), "done");
    EXPECT_TRUE(finished.load());
}

TEST(DispatchFuture, EveryWaitingThreadGetsTheValue) {
    Gate gate;
    auto future = NYDispatchFuture::futureOnQueue(ThreadPool::global(), [&]() -> std::any {
        gate.opened.wait();
        return 5;
    });
    std::vector<std::future<int>> waiters;
    for (int i = 0; i < 4; ++i)
        waiters.push_back(
            std::async(std::launch::async, [future] { return std::any_cast<int>(future->get()); }));
    gate.open();
    for (auto& waiter : waiters) EXPECT_EQ(waiter.get(), 5);
}

TEST(DispatchFuture, AllResolvesAfterTheSlowest) {
    Gate fast, slow;
    std::atomic<int> order{0};
    std::atomic<int> slowFinishedAt{-1};
    auto make = [&](Gate& gate, std::atomic<int>* mark) {
        return NYDispatchFuture::futureOnQueue(ThreadPool::global(),
                                               [&gate, &order, mark]() -> std::any {
                                                   gate.opened.wait();
                                                   const int at = order++;
                                                   if (mark) *mark = at;
                                                   return {};
                                               });
    };
    auto a = make(fast, nullptr);
    auto b = make(slow, &slowFinishedAt);
    auto c = make(fast, nullptr);
    auto all = NYDispatchFuture::all({a, b, c});
    ASSERT_TRUE(all);
    fast.open();
    a->get();
    c->get();
    EXPECT_FALSE(all->resolved());
    slow.open();
    EXPECT_FALSE(all->get().has_value());
    EXPECT_EQ(slowFinishedAt.load(), 2);
    EXPECT_EQ(NYDispatchFuture::all({}), nullptr);
}

TEST(DispatchFuture, TransformsDeriveFromTheirSources) {
    struct Row {
        int first, second, expectedOne, expectedTwo;
    };
    const Row rows[] = {{2, 3, 4, 5}, {-1, 10, 1, 9}, {0, 0, 0, 0}};
    for (const auto& row : rows) {
        auto a = NYDispatchFuture::futureOnQueue(nullptr, [v = row.first] { return std::any(v); });
        auto b = NYDispatchFuture::futureOnQueue(nullptr, [v = row.second] { return std::any(v); });
        auto squared = NYDispatchFutureTransform(a, [](std::any v) {
            const int x = std::any_cast<int>(v);
            return std::any(x * x);
        });
        auto sum = NYDispatchFutureTransform2(a, b, [](std::any x, std::any y) {
            return std::any(std::any_cast<int>(x) + std::any_cast<int>(y));
        });
        EXPECT_EQ(std::any_cast<int>(squared->get()), row.expectedOne);
        EXPECT_EQ(std::any_cast<int>(sum->get()), row.expectedTwo);
        EXPECT_EQ(squared->underlying()->queue(), a->underlying()->queue());
    }
    EXPECT_EQ(NYDispatchFutureTransform(nullptr, [](std::any v) { return v; }), nullptr);
}

// The template core serves typed results too.
TEST(DispatchFuture, TypedCore) {
    auto future = NY::DispatchFutures::dispatch_create<std::string>(
        ThreadPool::global(), [] { return std::string("typed"); });
    auto length = NY::DispatchFutures::transform_create<size_t, std::string>(
        future, [](std::string s) { return s.size(); });
    EXPECT_EQ(length->get(), 5u);
    // A face over nothing answers none at once.
    NYDispatchFuture empty;
    EXPECT_FALSE(empty.get().has_value());
    EXPECT_TRUE(empty.resolved());
}

}  // namespace
