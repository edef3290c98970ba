#include "NKConversionWordSource.h"

#include <mutex>

#include "NSLocalizedString.h"

namespace {
std::mutex s_sharedMutex;
std::weak_ptr<NKConversionWordSource> s_sharedSource;
}  // namespace

std::shared_ptr<NKConversionWordSource> NKConversionWordSource::shared() {
    std::lock_guard<std::mutex> lock(s_sharedMutex);
    return s_sharedSource.lock();
}

void NKConversionWordSource::setShared(std::weak_ptr<NKConversionWordSource> source) {
    std::lock_guard<std::mutex> lock(s_sharedMutex);
    s_sharedSource = std::move(source);
}

std::u16string NKConversionWord() {
    if (std::shared_ptr<NKConversionWordSource> source = NKConversionWordSource::shared())
        return source->localizedConversionOperatorString();
    return NSLocalizedString(u"in");
}
