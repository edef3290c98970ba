#include "ThreadPool.h"

namespace {

// Enough for work that waits on other work; more threads than this means a runaway.
constexpr size_t kThreadCap = 64;

}  // namespace

ThreadPool::ThreadPool(size_t maxThreads, std::string name)
    : m_maxThreads(maxThreads == 0 || maxThreads > kThreadCap ? kThreadCap : maxThreads),
      m_name(std::move(name)) {}

ThreadPool::~ThreadPool() {
    std::vector<std::thread> threads;
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_idle.wait(lock, [this] { return m_tasks.empty() && m_running == 0; });
        m_stopping = true;
        threads.swap(m_threads);
    }
    m_wake.notify_all();
    for (auto& thread : threads) thread.join();
}

void ThreadPool::async(Task task) {
    if (!task) return;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_tasks.push_back(std::move(task));
        if (m_idleThreads < m_tasks.size() && m_threads.size() < m_maxThreads)
            m_threads.emplace_back([this] { work(); });
    }
    m_wake.notify_one();
}

void ThreadPool::work() {
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        ++m_idleThreads;
        m_wake.wait(lock, [this] { return m_stopping || !m_tasks.empty(); });
        --m_idleThreads;
        if (m_tasks.empty()) return;  // stopping
        Task task = std::move(m_tasks.front());
        m_tasks.pop_front();
        ++m_running;
        lock.unlock();
        task();
        task = nullptr;
        lock.lock();
        --m_running;
        if (m_tasks.empty() && m_running == 0) m_idle.notify_all();
    }
}

void ThreadPool::waitUntilIdle() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_idle.wait(lock, [this] { return m_tasks.empty() && m_running == 0; });
}

size_t ThreadPool::threadCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_threads.size();
}

std::shared_ptr<ThreadPool> ThreadPool::global() {
    static const std::shared_ptr<ThreadPool> pool =
        std::make_shared<ThreadPool>(0, "global default");
    return pool;
}
