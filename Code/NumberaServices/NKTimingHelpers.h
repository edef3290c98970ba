// Timing helpers on the main queue: an action sent after a delay (withdrawable), a performer
// that keeps one target's delayed actions so that they can be cancelled by name and argument,
// a throttler that lets an event through at most once per interval, a performer that runs only
// the latest of several delayed blocks, and a repeating timer that keeps its period from the
// last update. All of them belong to the main thread.
#ifndef NUMBERA_SERVICES_NK_TIMING_HELPERS_H
#define NUMBERA_SERVICES_NK_TIMING_HELPERS_H

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "MainQueue.h"

// Something that actions are sent to, by name. Held weakly by the helpers, so that an owner
// that keeps its own timer forms no cycle with it; a target that is gone does not respond.
class NKActionTarget {
  public:
    virtual ~NKActionTarget() = default;
    // False when the target has no action of that name.
    virtual bool performAction(const std::string& action,
                               const std::shared_ptr<void>& argument) = 0;
    // Names the target in log lines.
    virtual std::string targetDescription() const { return "target"; }
};

class NKScheduledAction;

struct NKScheduledActionDelegate {
    virtual ~NKScheduledActionDelegate() = default;
    virtual void scheduledActionDidFire(NKScheduledAction& action) {}
};

class NKScheduledAction : public std::enable_shared_from_this<NKScheduledAction> {
  public:
    NKScheduledAction(std::weak_ptr<NKActionTarget> target, std::string action,
                      std::shared_ptr<void> argument);
    ~NKScheduledAction();
    static std::shared_ptr<NKScheduledAction> actionWithTarget(std::weak_ptr<NKActionTarget> target,
                                                               std::string action,
                                                               std::shared_ptr<void> argument);

    // The pending request holds the action until it fires or is withdrawn. No queue means the
    // shared main queue.
    void fireAfterDelay(NSTimeInterval delay, std::shared_ptr<MainQueue> queue = nullptr);
    void invalidate();
    bool valid() const { return m_valid; }

    std::shared_ptr<NKActionTarget> target() const { return m_target.lock(); }
    const std::string& action() const { return m_action; }
    const std::shared_ptr<void>& argument() const { return m_argument; }
    // Not retained; cleared by its owner.
    NKScheduledActionDelegate* delegate() const { return m_delegate; }
    void setDelegate(NKScheduledActionDelegate* delegate) { m_delegate = delegate; }

  private:
    void fire();

    bool m_valid = false;
    std::shared_ptr<void> m_argument;
    NKScheduledActionDelegate* m_delegate = nullptr;
    std::weak_ptr<NKActionTarget> m_target;
    std::string m_action;
    // Weak: the queue's pending task holds the action.
    std::weak_ptr<MainQueue> m_queue;
    MainQueue::TaskId m_task = MainQueue::kNoTask;
};

class NKDelayedPerformer : public NKScheduledActionDelegate {
  public:
    NKDelayedPerformer() = default;
    explicit NKDelayedPerformer(std::weak_ptr<NKActionTarget> target,
                                std::shared_ptr<MainQueue> queue = nullptr)
        : m_target(std::move(target)), m_queue(std::move(queue)) {}
    ~NKDelayedPerformer() override;
    NKDelayedPerformer(const NKDelayedPerformer&) = delete;
    NKDelayedPerformer& operator=(const NKDelayedPerformer&) = delete;

    // Every call schedules its own action; nothing is coalesced.
    void performAction(const std::string& action, std::shared_ptr<void> argument,
                       NSTimeInterval delay);
    // Matches the argument by identity, not by equal contents.
    void cancelActionsWithSelectorAndArgument(const std::string& action,
                                              const std::shared_ptr<void>& argument);
    void cancelActionsWithSelector(const std::string& action);
    void cancelAllActions();
    size_t pendingCount() const { return m_scheduledActions.size(); }

    std::shared_ptr<NKActionTarget> target() const { return m_target.lock(); }
    void setTarget(std::weak_ptr<NKActionTarget> target) { m_target = std::move(target); }

    void scheduledActionDidFire(NKScheduledAction& action) override;

  private:
    std::vector<std::shared_ptr<NKScheduledAction>> m_scheduledActions;
    std::weak_ptr<NKActionTarget> m_target;
    std::shared_ptr<MainQueue> m_queue;
};

class NKEventThrottler {
  public:
    explicit NKEventThrottler(std::shared_ptr<MainQueue> queue = nullptr);
    NSTimeInterval eventInterval() const { return m_eventInterval; }
    void setEventInterval(NSTimeInterval interval) { m_eventInterval = interval; }
    // True, and remembers now, when more than the interval has passed since the last event let
    // through.
    bool mayFire();

  private:
    NSTimeInterval m_last = 0;
    NSTimeInterval m_eventInterval = 0;
    std::shared_ptr<MainQueue> m_queue;
};

class NKDelayedLatestPerformer {
  public:
    explicit NKDelayedLatestPerformer(std::shared_ptr<MainQueue> queue = nullptr);
    // Of several calls within the delay only the last one's block runs, its own delay after it.
    void performBlock(std::function<void()> block, NSTimeInterval delay);

  private:
    std::shared_ptr<int64_t> m_seqNumber = std::make_shared<int64_t>(0);
    std::shared_ptr<MainQueue> m_queue;
};

class NKRecurringTimer {
  public:
    NKRecurringTimer() = default;
    // Starts at once. No date means now; no key means never prevented.
    NKRecurringTimer(std::weak_ptr<NKActionTarget> target, std::string action,
                     NSTimeInterval interval, std::optional<std::string> preventionKey,
                     std::optional<NSTimeInterval> lastUpdateDate,
                     std::shared_ptr<MainQueue> queue = nullptr);
    ~NKRecurringTimer();
    NKRecurringTimer(const NKRecurringTimer&) = delete;
    NKRecurringTimer& operator=(const NKRecurringTimer&) = delete;

    // (Re)starts from lastFiringDate: the first firing is one interval after it, or one second
    // from now when that time has passed.
    void beginTimer();
    void invalidate();
    bool isRunning() const { return m_timer != MainQueue::kNoTask; }
    void timerFireMethod();

    std::shared_ptr<NKActionTarget> target() const { return m_target.lock(); }
    const std::string& action() const { return m_action; }
    NSTimeInterval interval() const { return m_interval; }
    const std::optional<std::string>& preventionKey() const { return m_preventionKey; }
    NSTimeInterval lastFiringDate() const { return m_lastFiringDate; }

  private:
    std::weak_ptr<NKActionTarget> m_target;
    std::optional<std::string> m_preventionKey;
    NSTimeInterval m_lastFiringDate = 0;
    MainQueue::TaskId m_timer = MainQueue::kNoTask;
    std::string m_action;
    NSTimeInterval m_interval = 0;
    std::shared_ptr<MainQueue> m_queue;
    // Lets a queued firing find out that the timer is gone.
    std::shared_ptr<NKRecurringTimer*> m_self = std::make_shared<NKRecurringTimer*>(this);
};

#endif
