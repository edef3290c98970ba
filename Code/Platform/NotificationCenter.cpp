#include "NotificationCenter.h"

#include <atomic>

#include "MainQueue.h"

namespace {

std::atomic<uint64_t> s_nextCenterId{1};

}  // namespace

struct NotificationCenter::Entry {
    std::string name;
    const void* sender = nullptr;
    // Weak: a queued delivery holds the entry, and the queue holds the delivery.
    std::weak_ptr<MainQueue> queue;
    bool onQueue = false;
    Block block;
    std::atomic<bool> removed{false};
};

bool NotificationObserverToken::isRemoved() const {
    auto entry = std::static_pointer_cast<NotificationCenter::Entry>(m_entry);
    return !entry || entry->removed.load();
}

NotificationCenter::NotificationCenter() : m_centerId(s_nextCenterId++) {}

NotificationCenter::~NotificationCenter() {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto& entry : m_entries) entry->removed = true;
}

NotificationObserver NotificationCenter::addObserver(const std::string& name, const void* sender,
                                                     std::shared_ptr<MainQueue> queue,
                                                     Block block) {
    auto entry = std::make_shared<Entry>();
    entry->name = name;
    entry->sender = sender;
    entry->onQueue = queue != nullptr;
    entry->queue = queue;
    entry->block = std::move(block);
    auto token = std::make_shared<NotificationObserverToken>();
    token->m_entry = entry;
    token->m_centerId = m_centerId;
    std::lock_guard<std::mutex> lock(m_mutex);
    m_entries.push_back(std::move(entry));
    return token;
}

void NotificationCenter::removeObserver(const NotificationObserver& token) {
    if (!token || token->m_centerId != m_centerId) return;
    auto entry = std::static_pointer_cast<Entry>(token->m_entry);
    if (!entry) return;
    entry->removed = true;
    std::lock_guard<std::mutex> lock(m_mutex);
    std::erase(m_entries, entry);
}

void NotificationCenter::post(const NSNotification& notification) {
    std::vector<std::shared_ptr<Entry>> targets;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const auto& entry : m_entries) {
            if (!entry->name.empty() && entry->name != notification.name) continue;
            if (entry->sender && entry->sender != notification.sender) continue;
            targets.push_back(entry);
        }
    }
    // Observers may add or remove observers (themselves included) while being told.
    for (const auto& entry : targets) {
        if (entry->removed) continue;
        if (entry->onQueue) {
            auto queue = entry->queue.lock();
            if (!queue) continue;
            auto copy = std::make_shared<NSNotification>(notification);
            queue->post([entry, copy] {
                if (!entry->removed) entry->block(*copy);
            });
        } else {
            entry->block(notification);
        }
    }
}

void NotificationCenter::post(const std::string& name, const void* sender, std::any object,
                              std::map<std::string, std::any> userInfo) {
    post(NSNotification{name, sender, std::move(object), std::move(userInfo)});
}

size_t NotificationCenter::observerCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_entries.size();
}

NotificationCenter& NotificationCenter::defaultCenter() {
    // Never destroyed: objects kept in other statics (the shared environment) remove their
    // observers while the process exits, after a function-local centre would be gone.
    static NotificationCenter* const center = new NotificationCenter;
    return *center;
}
