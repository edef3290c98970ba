#include "NSLocalizedString.h"

#include <mutex>

namespace {

std::mutex s_hookMutex;
NSLocalizedStringHook s_hook;

}  // namespace

std::u16string NSLocalizedString(const std::u16string& key) {
    NSLocalizedStringHook hook;
    {
        std::lock_guard<std::mutex> lock(s_hookMutex);
        hook = s_hook;
    }
    return hook ? hook(key) : key;
}

void NSSetLocalizedStringHook(NSLocalizedStringHook hook) {
    std::lock_guard<std::mutex> lock(s_hookMutex);
    s_hook = std::move(hook);
}
