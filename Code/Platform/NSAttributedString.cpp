#include "NSAttributedString.h"

NSAttributedString::NSAttributedString(std::u16string string, NSAttributes attributes)
    : m_string(std::move(string)) {
    if (!m_string.empty()) m_runs.push_back({m_string.size(), std::move(attributes)});
}

NSAttributes NSAttributedString::attributesAtIndex(uint64_t index, NSRange* effectiveRange) const {
    uint64_t start = 0;
    for (const Run& run : m_runs) {
        if (index < start + run.length) {
            if (effectiveRange) *effectiveRange = {start, run.length};
            return run.attributes;
        }
        start += run.length;
    }
    if (effectiveRange) *effectiveRange = {m_string.size(), 0};
    return {};
}

size_t NSAttributedString::splitAt(uint64_t location) {
    uint64_t start = 0;
    for (size_t i = 0; i < m_runs.size(); ++i) {
        if (location == start) return i;
        if (location < start + m_runs[i].length) {
            Run tail{start + m_runs[i].length - location, m_runs[i].attributes};
            m_runs[i].length = location - start;
            m_runs.insert(m_runs.begin() + static_cast<std::ptrdiff_t>(i) + 1, tail);
            return i + 1;
        }
        start += m_runs[i].length;
    }
    return m_runs.size();
}

void NSAttributedString::mergeRuns() {
    std::vector<Run> merged;
    for (Run& run : m_runs) {
        if (run.length == 0) continue;
        if (!merged.empty() && merged.back().attributes == run.attributes)
            merged.back().length += run.length;
        else
            merged.push_back(std::move(run));
    }
    m_runs = std::move(merged);
}

void NSAttributedString::setAttributes(const NSAttributes& attributes, NSRange range) {
    if (NSMaxRange(range) > m_string.size() || range.length == 0) return;
    size_t first = splitAt(range.location);
    size_t end = splitAt(NSMaxRange(range));
    for (size_t i = first; i < end; ++i) m_runs[i].attributes = attributes;
    mergeRuns();
}

void NSAttributedString::addAttribute(const std::string& name, const NSAttributeValue& value,
                                      NSRange range) {
    if (NSMaxRange(range) > m_string.size() || range.length == 0) return;
    size_t first = splitAt(range.location);
    size_t end = splitAt(NSMaxRange(range));
    for (size_t i = first; i < end; ++i) m_runs[i].attributes[name] = value;
    mergeRuns();
}

bool NSAttributedString::replaceCharactersInRange(NSRange range, const std::u16string& string) {
    if (range.location > m_string.size() || range.length > m_string.size() - range.location)
        return false;
    NSAttributes attributes;
    if (range.length > 0)
        attributes = attributesAtIndex(range.location);
    else if (range.location > 0)
        attributes = attributesAtIndex(range.location - 1);
    else
        attributes = attributesAtIndex(0);
    return replaceCharactersInRange(range, NSAttributedString(string, attributes));
}

bool NSAttributedString::replaceCharactersInRange(NSRange range, const NSAttributedString& string) {
    if (range.location > m_string.size() || range.length > m_string.size() - range.location)
        return false;
    size_t first = splitAt(range.location);
    size_t end = splitAt(NSMaxRange(range));
    m_runs.erase(m_runs.begin() + static_cast<std::ptrdiff_t>(first),
                 m_runs.begin() + static_cast<std::ptrdiff_t>(end));
    m_runs.insert(m_runs.begin() + static_cast<std::ptrdiff_t>(first), string.m_runs.begin(),
                  string.m_runs.end());
    m_string.replace(range.location, range.length, string.m_string);
    mergeRuns();
    return true;
}

void NSAttributedString::appendAttributedString(const NSAttributedString& string) {
    replaceCharactersInRange({m_string.size(), 0}, string);
}

NSAttributedString NSAttributedString::attributedSubstringFromRange(NSRange range) const {
    NSAttributedString copy = *this;
    if (range.location > m_string.size()) return {};
    uint64_t end = std::min<uint64_t>(NSMaxRange(range), m_string.size());
    copy.replaceCharactersInRange({end, copy.length() - end}, std::u16string());
    copy.replaceCharactersInRange({0, range.location}, std::u16string());
    return copy;
}
