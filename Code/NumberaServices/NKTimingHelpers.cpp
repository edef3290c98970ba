#include "NKTimingHelpers.h"

#include <algorithm>

#include "NKTextHelpers.h"
#include "Settings.h"

namespace {

std::shared_ptr<MainQueue> queueOrShared(std::shared_ptr<MainQueue> queue) {
    return queue ? std::move(queue) : MainQueue::shared();
}

}  // namespace

NKScheduledAction::NKScheduledAction(std::weak_ptr<NKActionTarget> target, std::string action,
                                     std::shared_ptr<void> argument)
    : m_argument(std::move(argument)), m_target(std::move(target)), m_action(std::move(action)) {}

NKScheduledAction::~NKScheduledAction() { invalidate(); }

std::shared_ptr<NKScheduledAction> NKScheduledAction::actionWithTarget(
    std::weak_ptr<NKActionTarget> target, std::string action, std::shared_ptr<void> argument) {
    return std::make_shared<NKScheduledAction>(std::move(target), std::move(action),
                                               std::move(argument));
}

void NKScheduledAction::fireAfterDelay(NSTimeInterval delay, std::shared_ptr<MainQueue> queue) {
    invalidate();
    m_valid = true;
    queue = queueOrShared(std::move(queue));
    m_queue = queue;
    auto self = shared_from_this();
    m_task = queue->postAfter(delay, [self] { self->fire(); });
}

void NKScheduledAction::invalidate() {
    if (auto queue = m_queue.lock(); queue && m_task != MainQueue::kNoTask) queue->cancel(m_task);
    m_task = MainQueue::kNoTask;
    m_valid = false;
}

void NKScheduledAction::fire() {
    m_task = MainQueue::kNoTask;
    // The delegate may drop its last reference to this action.
    auto keepAlive = shared_from_this();
    if (m_valid) {
        auto target = m_target.lock();
        if (!target || !target->performAction(m_action, m_argument))
            NKLogLine("Warning: target " + (target ? target->targetDescription() : "(none)") +
                      " doesn't respond to " + m_action);
    }
    if (m_delegate) m_delegate->scheduledActionDidFire(*this);
}

NKDelayedPerformer::~NKDelayedPerformer() { cancelAllActions(); }

void NKDelayedPerformer::performAction(const std::string& action, std::shared_ptr<void> argument,
                                       NSTimeInterval delay) {
    auto scheduled = NKScheduledAction::actionWithTarget(m_target, action, std::move(argument));
    scheduled->setDelegate(this);
    m_scheduledActions.push_back(scheduled);
    scheduled->fireAfterDelay(delay, m_queue);
}

void NKDelayedPerformer::cancelActionsWithSelectorAndArgument(
    const std::string& action, const std::shared_ptr<void>& argument) {
    std::erase_if(m_scheduledActions, [&](const std::shared_ptr<NKScheduledAction>& scheduled) {
        if (scheduled->action() != action || scheduled->argument().get() != argument.get())
            return false;
        scheduled->invalidate();
        scheduled->setDelegate(nullptr);
        return true;
    });
}

void NKDelayedPerformer::cancelActionsWithSelector(const std::string& action) {
    std::erase_if(m_scheduledActions, [&](const std::shared_ptr<NKScheduledAction>& scheduled) {
        if (scheduled->action() != action) return false;
        scheduled->invalidate();
        scheduled->setDelegate(nullptr);
        return true;
    });
}

void NKDelayedPerformer::cancelAllActions() {
    for (auto& scheduled : m_scheduledActions) {
        scheduled->invalidate();
        scheduled->setDelegate(nullptr);
    }
    m_scheduledActions.clear();
}

void NKDelayedPerformer::scheduledActionDidFire(NKScheduledAction& action) {
    action.setDelegate(nullptr);
    std::erase_if(m_scheduledActions,
                  [&](const std::shared_ptr<NKScheduledAction>& s) { return s.get() == &action; });
}

NKEventThrottler::NKEventThrottler(std::shared_ptr<MainQueue> queue)
    : m_queue(queueOrShared(std::move(queue))) {}

bool NKEventThrottler::mayFire() {
    const NSTimeInterval now = m_queue->now();
    if (now - m_last > m_eventInterval) {
        m_last = now;
        return true;
    }
    return false;
}

NKDelayedLatestPerformer::NKDelayedLatestPerformer(std::shared_ptr<MainQueue> queue)
    : m_queue(queueOrShared(std::move(queue))) {}

void NKDelayedLatestPerformer::performBlock(std::function<void()> block, NSTimeInterval delay) {
    const int64_t mine = ++*m_seqNumber;
    std::weak_ptr<int64_t> counter = m_seqNumber;
    m_queue->postAfter(delay, [counter, mine, block = std::move(block)] {
        auto current = counter.lock();
        if (current && *current == mine && block) block();
    });
}

NKRecurringTimer::NKRecurringTimer(std::weak_ptr<NKActionTarget> target, std::string action,
                                   NSTimeInterval interval,
                                   std::optional<std::string> preventionKey,
                                   std::optional<NSTimeInterval> lastUpdateDate,
                                   std::shared_ptr<MainQueue> queue)
    : m_target(std::move(target)),
      m_preventionKey(std::move(preventionKey)),
      m_action(std::move(action)),
      m_interval(interval),
      m_queue(queueOrShared(std::move(queue))) {
    m_lastFiringDate = lastUpdateDate ? *lastUpdateDate : m_queue->now();
    beginTimer();
}

NKRecurringTimer::~NKRecurringTimer() { invalidate(); }

void NKRecurringTimer::invalidate() {
    if (m_queue && m_timer != MainQueue::kNoTask) m_queue->cancel(m_timer);
    m_timer = MainQueue::kNoTask;
}

void NKRecurringTimer::beginTimer() {
    invalidate();
    if (!m_queue) return;
    if (!(m_interval > 0)) {
        NKLogLine("Warning: not starting a timer for " + m_action + " without a positive interval");
        return;
    }
    const NSTimeInterval elapsed = m_queue->now() - m_lastFiringDate;
    const NSTimeInterval firstDelay = elapsed >= m_interval ? 1.0 : m_interval - elapsed;
    std::weak_ptr<NKRecurringTimer*> self = m_self;
    m_timer = m_queue->repeating(firstDelay, m_interval, [self] {
        if (auto timer = self.lock()) (*timer)->timerFireMethod();
    });
}

void NKRecurringTimer::timerFireMethod() {
    if (m_preventionKey) {
        auto settings = Settings::standard();
        if (settings->objectForKey(*m_preventionKey) && !settings->boolForKey(*m_preventionKey)) {
            NKLogLine("Not sending " + m_action + " because of being prevented");
            return;
        }
    }
    auto target = m_target.lock();
    if (!target || !target->performAction(m_action, nullptr))
        NKLogLine("Not sending selector " + m_action + " because the target doesn't respond to it");
}
