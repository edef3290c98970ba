// Regular expressions on UTF-16 text (ICU syntax), compiled once per pattern and cached.
#ifndef NUMBERA_PLATFORM_REGEX_H
#define NUMBERA_PLATFORM_REGEX_H

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "NSRange.h"

struct URegularExpression;

struct RegexMatch {
    NSRange range;
    // Capture groups 1..n; empty when a group took no part in the match.
    std::vector<std::optional<NSRange>> groups;

    // The text of group n (0 = the whole match); empty when it took no part.
    std::u16string group(const std::u16string& text, size_t n) const;
    // Expands "$n" references to capture groups in a replacement template.
    std::u16string expand(const std::u16string& text,
                          const std::u16string& replacementTemplate) const;
};

class Regex {
  public:
    // The compiled pattern, shared; null when the pattern is not a valid expression.
    static std::shared_ptr<Regex> cached(const std::u16string& pattern);
    ~Regex();
    Regex(const Regex&) = delete;
    Regex& operator=(const Regex&) = delete;

    // The first match that starts at or after `from`.
    std::optional<RegexMatch> firstMatch(const std::u16string& text, uint64_t from = 0);
    std::vector<RegexMatch> allMatches(const std::u16string& text);

  private:
    explicit Regex(URegularExpression* compiled) : m_compiled(compiled) {}
    URegularExpression* m_compiled;
    std::mutex m_mutex;  // a compiled expression holds its matching state
};

#endif
