// The main thread's queue of work: tasks posted now, after a delay or repeatedly, each with an
// id that cancels it. The application adapts its event loop to this interface; tests and the
// previewer use ManualMainQueue, which runs tasks only when told to and keeps time on a clock
// they can move by hand.
#ifndef NUMBERA_PLATFORM_MAINQUEUE_H
#define NUMBERA_PLATFORM_MAINQUEUE_H

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <utility>

#include "Clock.h"

class MainQueue {
  public:
    using Task = std::function<void()>;
    using TaskId = uint64_t;
    // Never the id of a task.
    static constexpr TaskId kNoTask = 0;

    virtual ~MainQueue() = default;

    // Any thread may post and cancel.
    virtual TaskId post(Task task) = 0;
    virtual TaskId postAfter(NSTimeInterval delay, Task task) = 0;
    // First run after firstDelay, then every interval (at least a millisecond) until cancelled.
    virtual TaskId repeating(NSTimeInterval firstDelay, NSTimeInterval interval, Task task) = 0;
    // An unknown, finished or already cancelled id is ignored.
    virtual void cancel(TaskId id) = 0;
    // The clock that delays are measured on.
    virtual const Clock& clock() const = 0;
    NSTimeInterval now() const { return clock().now(); }

    // The process's main queue: a ManualMainQueue over the system clock until one is installed.
    static std::shared_ptr<MainQueue> shared();
    // Null restores the default.
    static void setShared(std::shared_ptr<MainQueue> queue);
};

class ManualMainQueue final : public MainQueue {
  public:
    // The clock must outlive the queue; none means the system clock.
    explicit ManualMainQueue(std::shared_ptr<const Clock> clock = nullptr);

    TaskId post(Task task) override;
    TaskId postAfter(NSTimeInterval delay, Task task) override;
    TaskId repeating(NSTimeInterval firstDelay, NSTimeInterval interval, Task task) override;
    void cancel(TaskId id) override;
    const Clock& clock() const override { return *m_clock; }

    // Runs every task due by the clock's present time, in order of due time then posting,
    // including tasks that those post for now. Answers how many ran. Call from one thread.
    size_t runPending();
    // Moves a manual clock forward, stopping at each due time on the way so that tasks run at
    // their own time, then runs what is due at the end. Needs the queue's clock to be manual.
    size_t advance(ManualClock& clock, NSTimeInterval seconds);
    size_t pendingCount() const;
    // Due time of the earliest pending task; none when nothing is pending.
    bool nextDueTime(NSTimeInterval* due) const;

  private:
    struct Entry {
        Task task;
        NSTimeInterval interval = 0;  // 0: runs once
    };
    using Key = std::pair<NSTimeInterval, uint64_t>;  // due time, posting sequence

    TaskId schedule(NSTimeInterval due, NSTimeInterval interval, Task task);

    std::shared_ptr<const Clock> m_clock;
    mutable std::mutex m_mutex;
    uint64_t m_sequence = 0;
    std::map<Key, TaskId> m_order;
    std::map<TaskId, std::pair<Key, Entry>> m_tasks;
};

#endif
