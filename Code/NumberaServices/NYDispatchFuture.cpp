#include "NYDispatchFuture.h"

std::shared_ptr<NYDispatchFuture> NYDispatchFuture::futureOnQueue(NY::DispatchQueue queue,
                                                                  Work work) {
    if (!queue) queue = ThreadPool::global();
    return std::make_shared<NYDispatchFuture>(
        NY::DispatchFutures::dispatch_create<std::any>(std::move(queue), std::move(work)));
}

std::shared_ptr<NYDispatchFuture> NYDispatchFuture::futureWithUnderlying(
    std::shared_ptr<Underlying> underlying) {
    return std::make_shared<NYDispatchFuture>(std::move(underlying));
}

std::shared_ptr<NYDispatchFuture> NYDispatchFuture::all(
    const std::vector<std::shared_ptr<NYDispatchFuture>>& futures) {
    if (futures.empty()) return nullptr;
    NY::DispatchQueue queue = futures.front() && futures.front()->underlying()
                                  ? futures.front()->underlying()->queue()
                                  : ThreadPool::global();
    return futureOnQueue(queue, [futures]() -> std::any {
        for (const auto& future : futures)
            if (future) future->get();
        return {};
    });
}

std::any NYDispatchFuture::get() const { return m_underlying ? m_underlying->get() : std::any(); }

std::shared_ptr<NYDispatchFuture> NYDispatchFutureTransform(
    const std::shared_ptr<NYDispatchFuture>& future, std::function<std::any(std::any)> block) {
    if (!future || !future->underlying()) return nullptr;
    return NYDispatchFuture::futureWithUnderlying(
        NY::DispatchFutures::transform_create<std::any, std::any>(future->underlying(),
                                                                  std::move(block)));
}

std::shared_ptr<NYDispatchFuture> NYDispatchFutureTransform2(
    const std::shared_ptr<NYDispatchFuture>& first, const std::shared_ptr<NYDispatchFuture>& second,
    std::function<std::any(std::any, std::any)> block) {
    if (!first || !first->underlying() || !second || !second->underlying()) return nullptr;
    return NYDispatchFuture::futureWithUnderlying(
        NY::DispatchFutures::transform_create<std::any, std::any, std::any>(
            first->underlying(), second->underlying(), std::move(block)));
}
