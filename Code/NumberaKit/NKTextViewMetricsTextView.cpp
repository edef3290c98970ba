#include "NKTextViewMetricsTextView.h"

#include <algorithm>

void NKPlainTextSource::replaceCharactersInRange(NSRange range, const std::u16string& replacement) {
    uint64_t start = std::min<uint64_t>(range.location, m_text.size());
    uint64_t end = std::min<uint64_t>(NSMaxRange(range), m_text.size());
    m_text.replace(start, end - start, replacement);
    m_selection = {start + replacement.size(), 0};
}
