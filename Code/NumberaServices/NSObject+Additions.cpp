#include "NSObject+Additions.h"

namespace NSObjectAdditions {

MainQueue::TaskId performBlockOnMainThread(std::function<void()> block) {
    return MainQueue::shared()->post(std::move(block));
}

MainQueue::TaskId performBlockAfterDelay(std::function<void()> block, NSTimeInterval delay) {
    return MainQueue::shared()->postAfter(delay < 0 ? 0 : delay, std::move(block));
}

}  // namespace NSObjectAdditions
