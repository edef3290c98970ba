#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "MainQueue.h"
#include "NotificationCenter.h"

namespace {

TEST(NotificationCenter, DeliversByNameAndSender) {
    NotificationCenter center;
    int senderA = 0, senderB = 0;
    std::vector<std::string> log;
    auto record = [&log](std::string who) {
        return [&log, who](const NSNotification& n) { log.push_back(who + ":" + n.name); };
    };
    center.addObserver("Changed", nullptr, nullptr, record("any-sender"));
    center.addObserver("Changed", &senderA, nullptr, record("only-A"));
    center.addObserver("", nullptr, nullptr, record("every-name"));

    struct Row {
        std::string name;
        const void* sender;
        std::vector<std::string> expected;
    };
    const Row rows[] = {
        {"Changed", &senderA, {"any-sender:Changed", "only-A:Changed", "every-name:Changed"}},
        {"Changed", &senderB, {"any-sender:Changed", "every-name:Changed"}},
        {"Other", &senderA, {"every-name:Other"}},
    };
    for (const auto& row : rows) {
        log.clear();
        center.post(row.name, row.sender);
        EXPECT_EQ(log, row.expected) << row.name;
    }
}

TEST(NotificationCenter, CarriesItsObject) {
    NotificationCenter center;
    auto payload = std::make_shared<std::string>("payload");
    std::shared_ptr<std::string> received;
    center.addObserver("N", nullptr, nullptr, [&](const NSNotification& n) {
        received = n.objectAs<std::shared_ptr<std::string>>();
    });
    center.post("N", nullptr, payload);
    EXPECT_EQ(received, payload);
    center.post("N", nullptr, 42);  // another type reads as none
    EXPECT_EQ(received, nullptr);
}

TEST(NotificationCenter, RemovedTokensHearNothing) {
    NotificationCenter center;
    int count = 0;
    auto token = center.addObserver("N", nullptr, nullptr, [&](const NSNotification&) { ++count; });
    center.post("N");
    center.removeObserver(token);
    center.removeObserver(token);  // again: ignored
    center.post("N");
    EXPECT_EQ(count, 1);
    EXPECT_TRUE(token->isRemoved());
    EXPECT_EQ(center.observerCount(), 0u);

    NotificationCenter other;  // a token of another centre is not this centre's to remove
    auto kept = center.addObserver("N", nullptr, nullptr, [&](const NSNotification&) { ++count; });
    other.removeObserver(kept);
    center.post("N");
    EXPECT_EQ(count, 2);
}

// An observer may remove another observer (or itself) while a notification is delivered.
TEST(NotificationCenter, ObserverRemovedDuringDeliveryIsSkipped) {
    NotificationCenter center;
    std::vector<std::string> log;
    NotificationObserver second;
    center.addObserver("N", nullptr, nullptr, [&](const NSNotification&) {
        log.push_back("first");
        center.removeObserver(second);
    });
    second = center.addObserver("N", nullptr, nullptr,
                                [&](const NSNotification&) { log.push_back("second"); });
    center.post("N");
    EXPECT_EQ(log, (std::vector<std::string>{"first"}));
}

TEST(NotificationCenter, QueuedObserversRunOnTheirQueue) {
    NotificationCenter center;
    auto clock = std::make_shared<ManualClock>(0);
    auto queue = std::make_shared<ManualMainQueue>(clock);
    std::vector<std::string> log;
    auto token = center.addObserver("N", nullptr, queue, [&](const NSNotification& n) {
        log.push_back(n.objectAs<std::string>());
    });
    center.post("N", nullptr, std::string("one"));
    center.post("N", nullptr, std::string("two"));
    EXPECT_TRUE(log.empty());
    queue->runPending();
    EXPECT_EQ(log, (std::vector<std::string>{"one", "two"}));
    // Removal also withdraws deliveries still waiting on the queue.
    center.post("N", nullptr, std::string("three"));
    center.removeObserver(token);
    queue->runPending();
    EXPECT_EQ(log.size(), 2u);
}

TEST(NotificationCenter, DefaultCenterIsOne) {
    EXPECT_EQ(&NotificationCenter::defaultCenter(), &NotificationCenter::defaultCenter());
}

}  // namespace

namespace {

// Posting from several threads while observers come and go loses nothing of the kept ones.
TEST(NotificationCenter, ConcurrentPostsReachKeptObservers) {
    NotificationCenter center;
    std::atomic<int> kept{0};
    center.addObserver("N", nullptr, nullptr, [&](const NSNotification&) { ++kept; });
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&center] {
            for (int i = 0; i < 250; ++i) {
                auto token =
                    center.addObserver("N", nullptr, nullptr, [](const NSNotification&) {});
                center.post("N");
                center.removeObserver(token);
            }
        });
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(kept.load(), 1000);
    EXPECT_EQ(center.observerCount(), 1u);
}

TEST(ManualMainQueueThreads, TasksPostedFromOtherThreadsRunOnTheRunningThread) {
    ManualMainQueue queue(std::make_shared<ManualClock>(0));
    std::vector<std::thread> threads;
    std::atomic<int> ran{0};
    const auto runner = std::this_thread::get_id();
    std::atomic<bool> elsewhere{false};
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 100; ++i)
                queue.post([&] {
                    if (std::this_thread::get_id() != runner) elsewhere = true;
                    ++ran;
                });
        });
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(queue.runPending(), 400u);
    EXPECT_EQ(ran.load(), 400);
    EXPECT_FALSE(elsewhere.load());
}

}  // namespace
