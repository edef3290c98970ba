// The result of work running on a queue, for whoever needs it: get() waits until the work has
// produced it. A future resolves exactly once and never fails; work that produces nothing
// resolves with an empty value. Derived futures wait for their sources on a thread of the
// source's queue, so give them a pool that can grow (the global pool does).
#ifndef NUMBERA_SERVICES_NY_DISPATCH_FUTURE_H
#define NUMBERA_SERVICES_NY_DISPATCH_FUTURE_H

#include <any>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "ThreadPool.h"

namespace NY {

using DispatchQueue = std::shared_ptr<ThreadPool>;

template <typename T>
class DispatchFuture {
  public:
    explicit DispatchFuture(DispatchQueue queue) : m_queue(std::move(queue)) {}
    DispatchFuture(const DispatchFuture&) = delete;
    DispatchFuture& operator=(const DispatchFuture&) = delete;

    // Waits, from any thread and any number of times, until resolved.
    T get() const {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_resolvedSignal.wait(lock, [this] { return m_resolved; });
        return m_value;
    }
    // The first value stays; later calls are ignored.
    void resolve(T value) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_resolved) return;
            m_value = std::move(value);
            m_resolved = true;
        }
        m_resolvedSignal.notify_all();
    }
    bool resolved() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_resolved;
    }
    const DispatchQueue& queue() const { return m_queue; }

  private:
    DispatchQueue m_queue;
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_resolvedSignal;
    T m_value{};
    bool m_resolved = false;
};

template <typename T>
using DispatchFutureRef = std::shared_ptr<DispatchFuture<T>>;

struct DispatchFutures {
    // The queued work holds the future, so it lives until resolved whatever its owner does.
    template <typename T>
    static DispatchFutureRef<T> dispatch_create(DispatchQueue queue, std::function<T()> work) {
        auto future = std::make_shared<DispatchFuture<T>>(queue);
        queue->async([future, work = std::move(work)] { future->resolve(work ? work() : T{}); });
        return future;
    }
    template <typename T, typename S>
    static DispatchFutureRef<T> transform_create(DispatchFutureRef<S> source,
                                                 std::function<T(S)> function) {
        return dispatch_create<T>(source->queue(), [source, function = std::move(function)] {
            return function(source->get());
        });
    }
    template <typename T, typename S1, typename S2>
    static DispatchFutureRef<T> transform_create(DispatchFutureRef<S1> first,
                                                 DispatchFutureRef<S2> second,
                                                 std::function<T(S1, S2)> function) {
        return dispatch_create<T>(first->queue(), [first, second, function = std::move(function)] {
            S1 a = first->get();
            S2 b = second->get();
            return function(std::move(a), std::move(b));
        });
    }
};

}  // namespace NY

// The object face: a future of any value.
class NYDispatchFuture {
  public:
    using Underlying = NY::DispatchFuture<std::any>;
    using Work = std::function<std::any()>;

    NYDispatchFuture() = default;
    explicit NYDispatchFuture(std::shared_ptr<Underlying> underlying)
        : m_underlying(std::move(underlying)) {}

    static std::shared_ptr<NYDispatchFuture> futureOnQueue(NY::DispatchQueue queue, Work work);
    static std::shared_ptr<NYDispatchFuture> futureWithUnderlying(
        std::shared_ptr<Underlying> underlying);
    // Resolves with no value once every future has; none for an empty list.
    static std::shared_ptr<NYDispatchFuture> all(
        const std::vector<std::shared_ptr<NYDispatchFuture>>& futures);

    // Waits; a face over nothing answers no value at once.
    std::any get() const;
    bool resolved() const { return !m_underlying || m_underlying->resolved(); }
    const std::shared_ptr<Underlying>& underlying() const { return m_underlying; }

  private:
    std::shared_ptr<Underlying> m_underlying;
};

std::shared_ptr<NYDispatchFuture> NYDispatchFutureTransform(
    const std::shared_ptr<NYDispatchFuture>& future, std::function<std::any(std::any)> block);
std::shared_ptr<NYDispatchFuture> NYDispatchFutureTransform2(
    const std::shared_ptr<NYDispatchFuture>& first, const std::shared_ptr<NYDispatchFuture>& second,
    std::function<std::any(std::any, std::any)> block);

#endif
