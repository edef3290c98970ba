#include "CLocaleScope.h"

namespace {

// Made once and never freed: every thread may use it at any time.
locale_t cLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

}  // namespace

CLocaleScope::CLocaleScope() {
    if (const locale_t c = cLocale()) m_previous = uselocale(c);
}

CLocaleScope::~CLocaleScope() {
    if (m_previous) uselocale(m_previous);
}
