// Work put off to the main queue: now, after a delay, or a value set after a delay.
#ifndef NUMBERA_SERVICES_NSOBJECT_ADDITIONS_H
#define NUMBERA_SERVICES_NSOBJECT_ADDITIONS_H

#include <functional>

#include "MainQueue.h"

namespace NSObjectAdditions {

// Queued on the process's main queue; each answers the task, for cancelling.
MainQueue::TaskId performBlockOnMainThread(std::function<void()> block);
MainQueue::TaskId performBlockAfterDelay(std::function<void()> block, NSTimeInterval delay);
// Sets the value through the setter once the delay has passed.
template <typename Value>
MainQueue::TaskId setPropertyToValueAfterDelay(std::function<void(const Value&)> setter,
                                               Value value, NSTimeInterval delay) {
    return performBlockAfterDelay(
        [setter = std::move(setter), value = std::move(value)] { setter(value); }, delay);
}

}  // namespace NSObjectAdditions

#endif
