#include "NBFPolyString.h"

namespace NBF {

PolyString* PolyString::create(const char* text) {
    return new PolyString(text ? std::string(text) : std::string(), nullptr);
}

PolyString* PolyString::create(std::string standardString) {
    return new PolyString(std::move(standardString), nullptr);
}

PolyString* PolyString::create(NBFStringRef string) {
    if (!string) return new PolyString(std::string(), nullptr);
    return new PolyString(NBFStringGetCppString(string), NBFStringRetain(string));
}

PolyString::~PolyString() { NBFStringRelease(m_string.load()); }

NBFStringRef PolyString::nbfString() const {
    NBFStringRef current = m_string.load(std::memory_order_acquire);
    if (current) return current;
    NBFStringRef made = NBFStringCreateWithCppString(m_text);
    // Another thread may have made it meanwhile; keep theirs and drop ours.
    if (m_string.compare_exchange_strong(current, made, std::memory_order_acq_rel)) return made;
    NBFStringRelease(made);
    return current;
}

}  // namespace NBF
