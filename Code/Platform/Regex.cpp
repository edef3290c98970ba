#include "Regex.h"

#include <unicode/uregex.h>

#include <map>

namespace {

std::mutex s_cacheMutex;
std::map<std::u16string, std::shared_ptr<Regex>> s_cache;
constexpr size_t kCacheLimit = 256;

}  // namespace

std::u16string RegexMatch::group(const std::u16string& text, size_t n) const {
    std::optional<NSRange> range = n == 0 ? std::optional<NSRange>(this->range)
                                          : (n <= groups.size() ? groups[n - 1] : std::nullopt);
    if (!range || range->location > text.size()) return {};
    return text.substr(range->location, range->length);
}

std::u16string RegexMatch::expand(const std::u16string& text,
                                  const std::u16string& replacementTemplate) const {
    std::u16string out;
    for (size_t i = 0; i < replacementTemplate.size(); ++i) {
        char16_t c = replacementTemplate[i];
        if (c == u'$' && i + 1 < replacementTemplate.size() && replacementTemplate[i + 1] >= u'0' &&
            replacementTemplate[i + 1] <= u'9') {
            size_t n = 0;
            while (i + 1 < replacementTemplate.size() && replacementTemplate[i + 1] >= u'0' &&
                   replacementTemplate[i + 1] <= u'9' && n < 1000)
                n = n * 10 + static_cast<size_t>(replacementTemplate[++i] - u'0');
            out += group(text, n);
        } else {
            out += c;
        }
    }
    return out;
}

std::shared_ptr<Regex> Regex::cached(const std::u16string& pattern) {
    std::lock_guard<std::mutex> lock(s_cacheMutex);
    if (auto found = s_cache.find(pattern); found != s_cache.end()) return found->second;
    UErrorCode status = U_ZERO_ERROR;
    URegularExpression* compiled =
        uregex_open(reinterpret_cast<const UChar*>(pattern.data()),
                    static_cast<int32_t>(pattern.size()), 0, nullptr, &status);
    if (U_FAILURE(status)) {
        if (compiled) uregex_close(compiled);
        return nullptr;
    }
    std::shared_ptr<Regex> regex(new Regex(compiled));
    if (s_cache.size() >= kCacheLimit) s_cache.erase(s_cache.begin());
    s_cache.emplace(pattern, regex);
    return regex;
}

Regex::~Regex() { uregex_close(m_compiled); }

std::optional<RegexMatch> Regex::firstMatch(const std::u16string& text, uint64_t from) {
    if (from > text.size()) return std::nullopt;
    std::lock_guard<std::mutex> lock(m_mutex);
    UErrorCode status = U_ZERO_ERROR;
    uregex_setText(m_compiled, reinterpret_cast<const UChar*>(text.data()),
                   static_cast<int32_t>(text.size()), &status);
    if (U_FAILURE(status) || !uregex_find(m_compiled, static_cast<int32_t>(from), &status) ||
        U_FAILURE(status)) {
        uregex_setText(m_compiled, u"", 0, &status);
        return std::nullopt;
    }
    RegexMatch match;
    int32_t start = uregex_start(m_compiled, 0, &status);
    int32_t end = uregex_end(m_compiled, 0, &status);
    match.range = {static_cast<uint64_t>(start), static_cast<uint64_t>(end - start)};
    int32_t count = uregex_groupCount(m_compiled, &status);
    for (int32_t g = 1; g <= count; ++g) {
        int32_t groupStart = uregex_start(m_compiled, g, &status);
        int32_t groupEnd = uregex_end(m_compiled, g, &status);
        if (groupStart < 0) {
            match.groups.push_back(std::nullopt);
        } else {
            match.groups.push_back(NSRange{static_cast<uint64_t>(groupStart),
                                           static_cast<uint64_t>(groupEnd - groupStart)});
        }
    }
    // Never keep a pointer to the caller's text.
    uregex_setText(m_compiled, u"", 0, &status);
    return match;
}

std::vector<RegexMatch> Regex::allMatches(const std::u16string& text) {
    std::vector<RegexMatch> matches;
    uint64_t from = 0;
    while (auto match = firstMatch(text, from)) {
        from = NSMaxRange(match->range) + (match->range.length == 0 ? 1 : 0);
        matches.push_back(std::move(*match));
        if (from > text.size()) break;
    }
    return matches;
}
