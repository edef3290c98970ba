// Named notifications delivered to the observers of that name (or of every name), optionally
// only for one sender and optionally on a main queue instead of the posting thread. Adding an
// observer answers a token; removing the token stops delivery, also of notifications already
// queued for it.
#ifndef NUMBERA_PLATFORM_NOTIFICATIONCENTER_H
#define NUMBERA_PLATFORM_NOTIFICATIONCENTER_H

#include <any>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class MainQueue;

struct NSNotification {
    std::string name;
    // Identity of the sender, for observers that listen to one sender; may be null.
    const void* sender = nullptr;
    // What the notification is about (usually a shared pointer); empty when nothing.
    std::any object;
    std::map<std::string, std::any> userInfo;

    // The object as T, or a default T when it holds something else.
    template <typename T>
    T objectAs() const {
        if (const T* value = std::any_cast<T>(&object)) return *value;
        return T{};
    }
};

class NotificationObserverToken;
using NotificationObserver = std::shared_ptr<NotificationObserverToken>;

class NotificationCenter {
  public:
    using Block = std::function<void(const NSNotification&)>;

    NotificationCenter();
    ~NotificationCenter();
    NotificationCenter(const NotificationCenter&) = delete;
    NotificationCenter& operator=(const NotificationCenter&) = delete;

    // An empty name observes every name, a null sender every sender. With a queue the block
    // runs there (deliveries stop when the queue is gone); without one, on the posting thread.
    NotificationObserver addObserver(const std::string& name, const void* sender,
                                     std::shared_ptr<MainQueue> queue, Block block);
    // A token of another centre, or one already removed, is ignored.
    void removeObserver(const NotificationObserver& token);

    void post(const NSNotification& notification);
    void post(const std::string& name, const void* sender = nullptr, std::any object = {},
              std::map<std::string, std::any> userInfo = {});

    size_t observerCount() const;

    static NotificationCenter& defaultCenter();

  private:
    friend class NotificationObserverToken;
    struct Entry;
    mutable std::mutex m_mutex;
    std::vector<std::shared_ptr<Entry>> m_entries;
    uint64_t m_centerId;
};

class NotificationObserverToken {
  public:
    bool isRemoved() const;

  private:
    friend class NotificationCenter;
    std::shared_ptr<void> m_entry;
    uint64_t m_centerId = 0;
};

#endif
