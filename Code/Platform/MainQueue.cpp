#include "MainQueue.h"

#include <algorithm>

namespace {

std::mutex s_sharedMutex;
std::shared_ptr<MainQueue> s_shared;

constexpr NSTimeInterval kMinimumInterval = 0.001;

}  // namespace

std::shared_ptr<MainQueue> MainQueue::shared() {
    std::lock_guard<std::mutex> lock(s_sharedMutex);
    if (!s_shared) s_shared = std::make_shared<ManualMainQueue>();
    return s_shared;
}

void MainQueue::setShared(std::shared_ptr<MainQueue> queue) {
    std::lock_guard<std::mutex> lock(s_sharedMutex);
    s_shared = std::move(queue);
}

ManualMainQueue::ManualMainQueue(std::shared_ptr<const Clock> clock)
    : m_clock(clock ? std::move(clock) : std::make_shared<SystemClock>()) {}

MainQueue::TaskId ManualMainQueue::schedule(NSTimeInterval due, NSTimeInterval interval,
                                            Task task) {
    if (!task) return kNoTask;
    std::lock_guard<std::mutex> lock(m_mutex);
    const uint64_t sequence = ++m_sequence;
    const TaskId id = sequence;
    const Key key{due, sequence};
    m_order.emplace(key, id);
    m_tasks.emplace(id, std::make_pair(key, Entry{std::move(task), interval}));
    return id;
}

MainQueue::TaskId ManualMainQueue::post(Task task) {
    return schedule(m_clock->now(), 0, std::move(task));
}

MainQueue::TaskId ManualMainQueue::postAfter(NSTimeInterval delay, Task task) {
    return schedule(m_clock->now() + std::max(delay, 0.0), 0, std::move(task));
}

MainQueue::TaskId ManualMainQueue::repeating(NSTimeInterval firstDelay, NSTimeInterval interval,
                                             Task task) {
    return schedule(m_clock->now() + std::max(firstDelay, 0.0),
                    std::max(interval, kMinimumInterval), std::move(task));
}

void ManualMainQueue::cancel(TaskId id) {
    Task dropped;  // destroyed after the lock: what it holds may cancel other tasks
    std::lock_guard<std::mutex> lock(m_mutex);
    auto found = m_tasks.find(id);
    if (found == m_tasks.end()) return;
    dropped = std::move(found->second.second.task);
    m_order.erase(found->second.first);
    m_tasks.erase(found);
}

size_t ManualMainQueue::runPending() {
    size_t ran = 0;
    for (;;) {
        const NSTimeInterval now = m_clock->now();
        Task task;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_order.empty() || m_order.begin()->first.first > now) break;
            const Key key = m_order.begin()->first;
            const TaskId id = m_order.begin()->second;
            m_order.erase(m_order.begin());
            auto found = m_tasks.find(id);
            Entry& entry = found->second.second;
            task = entry.task;
            if (entry.interval > 0) {
                // A repeating task keeps its id and its phase: the next run is one period after
                // this one's due time, whatever the time the queue got round to it.
                NSTimeInterval next = key.first + entry.interval;
                if (next <= now)
                    next = key.first +
                           entry.interval *
                               (1 + static_cast<uint64_t>((now - key.first) / entry.interval));
                const Key nextKey{next, ++m_sequence};
                found->second.first = nextKey;
                m_order.emplace(nextKey, id);
            } else {
                task = std::move(entry.task);
                m_tasks.erase(found);
            }
        }
        task();
        ++ran;
    }
    return ran;
}

size_t ManualMainQueue::advance(ManualClock& clock, NSTimeInterval seconds) {
    const NSTimeInterval target = clock.now() + std::max(seconds, 0.0);
    size_t ran = runPending();
    NSTimeInterval due = 0;
    while (nextDueTime(&due) && due <= target) {
        if (due > clock.now()) clock.set(due);
        ran += runPending();
    }
    clock.set(target);
    return ran + runPending();
}

size_t ManualMainQueue::pendingCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_tasks.size();
}

bool ManualMainQueue::nextDueTime(NSTimeInterval* due) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_order.empty()) return false;
    if (due) *due = m_order.begin()->first.first;
    return true;
}
