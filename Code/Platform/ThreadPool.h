// A pool of worker threads that runs tasks concurrently: the global queues. A pool grows by one
// thread when every thread is busy (up to its limit), so that tasks that wait on other tasks of
// the same pool cannot starve them.
#ifndef NUMBERA_PLATFORM_THREADPOOL_H
#define NUMBERA_PLATFORM_THREADPOOL_H

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class ThreadPool {
  public:
    using Task = std::function<void()>;

    // maxThreads 0 means no limit beyond a safety cap; a limit of 1 runs tasks one at a time,
    // in order.
    explicit ThreadPool(size_t maxThreads = 0, std::string name = {});
    // Runs what is queued, then joins the threads.
    ~ThreadPool();
    ThreadPool(const ThreadPool&) = delete;
    ThreadPool& operator=(const ThreadPool&) = delete;

    void async(Task task);
    // Blocks until nothing is queued or running.
    void waitUntilIdle();

    const std::string& name() const { return m_name; }
    size_t maxThreads() const { return m_maxThreads; }
    size_t threadCount() const;

    // The process-wide concurrent queue of default priority.
    static std::shared_ptr<ThreadPool> global();

  private:
    void work();

    const size_t m_maxThreads;
    const std::string m_name;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<Task> m_tasks;
    std::vector<std::thread> m_threads;
    size_t m_idleThreads = 0;
    size_t m_running = 0;
    bool m_stopping = false;
};

#endif
