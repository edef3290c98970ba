#include <algorithm>
#include <map>

#include "NCExpression.h"
#include "NCExpressionSubstituter.h"
#include "NCUtilityFunctions.h"
#include "NKLineCollectionController.h"
#include "NKLineReferenceTokens.h"

namespace {
const NCLineReferenceType kPlacedKinds =
    NCLineReferenceTypeAbsolute | NCLineReferenceTypeByLineNumber;

char16_t asciiLower(char16_t c) { return c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c; }

// A first look that spares parsing lines without such references: a reference function's
// name, or a number written right after the word for "line" in any case.
bool mayHoldPlacedReferences(std::u16string_view text, const std::optional<std::u16string>& word) {
    static const std::u16string absolute = NCExpression::absoluteLineReferenceFunctionName();
    if (text.find(absolute) != std::u16string_view::npos) return true;
    if (!word || word->empty()) return false;
    const bool plainWord =
        std::all_of(word->begin(), word->end(), [](char16_t c) { return c < 0x80; });
    for (size_t p = word->size(); p < text.size(); ++p) {
        if (text[p] < u'0' || text[p] > u'9') continue;
        if (!plainWord) return true;  // other scripts' cases are left to the parser
        bool matches = true;
        for (size_t i = 0; i < word->size() && matches; ++i)
            matches = asciiLower(text[p - word->size() + i]) == asciiLower((*word)[i]);
        if (matches) return true;
    }
    return false;
}

// Where each line starts in the whole text the lines make, joined by line breaks.
std::vector<uint64_t> lineStarts(const std::vector<std::u16string>& texts) {
    std::vector<uint64_t> starts(texts.size(), 0);
    for (size_t i = 1; i < texts.size(); ++i) starts[i] = starts[i - 1] + texts[i - 1].size() + 1;
    return starts;
}
}  // namespace

std::vector<NKLineCollectionController::PlacedReference>
NKLineCollectionController::placedReferencesBeforeAction() const {
    std::vector<PlacedReference> references;
    if (!m_lineCollection) return references;
    const NCLineCollection& collection = *m_lineCollection;
    const std::optional<std::u16string> word =
        NCExpressionSubstituter::defaultSubstituter().lineReferenceWordString();
    uint64_t start = 0;
    const std::vector<std::shared_ptr<NCLine>> all = collection.lines();
    const uint64_t count = all.size();
    for (uint64_t i = 0; i < count; ++i) {
        const std::u16string_view view = all[i]->expressionText();
        if (mayHoldPlacedReferences(view, word)) {
            const std::u16string text(view);
            for (const auto& token : NKLineReferenceTokensOfTypeInString(kPlacedKinds, text)) {
                const NSRange range = token->range();
                const int64_t target =
                    NCLineReferenceIndex(token->lineReferenceType(), token->lineReferenceNumber(),
                                         static_cast<int64_t>(i));
                // A reference to no line has no line to follow: it is left as it is.
                if (NSMaxRange(range) > text.size() || target < 0 ||
                    static_cast<uint64_t>(target) >= count)
                    continue;
                references.push_back({start + range.location,
                                      text.substr(range.location, range.length),
                                      token->lineReferenceType(), i, static_cast<uint64_t>(target),
                                      all[static_cast<uint64_t>(target)]});
            }
        }
        start += view.size() + 1;
    }
    return references;
}

NKLineCollectionController::PlacedReferenceRewrites
NKLineCollectionController::planPlacedReferenceRewrites(
    const NKTextAction& action, const std::vector<PlacedReference>& before) const {
    PlacedReferenceRewrites rewrites;
    if (!m_lineCollection || before.empty()) return rewrites;
    const NCLineCollection& collection = *m_lineCollection;
    std::vector<std::shared_ptr<NCLine>> lines;
    std::vector<std::u16string> texts;
    for (uint64_t i = 0; i < collection.countOfLines(); ++i) {
        lines.push_back(collection.lineAtIndex(i));
        texts.push_back(lines.back() ? lines.back()->expressionString().value_or(u"") : u"");
    }
    const std::vector<uint64_t> starts = lineStarts(texts);
    const uint64_t editStart = action.affectedRange().location;
    const uint64_t editEnd = NSMaxRange(action.affectedRange());
    const uint64_t replaced = action.stringOfTextAction() ? action.stringOfTextAction()->size() : 0;

    // The new line of each surviving reference, with what its place there must become.
    std::map<uint64_t, std::vector<std::pair<NSRange, PlacedReferenceRewrite>>> byLine;
    for (const PlacedReference& reference : before) {
        const uint64_t end = reference.location + reference.text.size();
        uint64_t location;
        if (end <= editStart)
            location = reference.location;
        else if (reference.location >= editEnd)
            location = reference.location - (editEnd - editStart) + replaced;
        else
            continue;  // the edit took it away
        if (starts.empty()) continue;
        const uint64_t line = static_cast<uint64_t>(
            std::upper_bound(starts.begin(), starts.end(), location) - starts.begin() - 1);
        const NSRange range{location - starts[line], reference.text.size()};
        if (NSMaxRange(range) > texts[line].size() ||
            texts[line].compare(range.location, range.length, reference.text) != 0)
            continue;  // not where its text should be: not a reference this action moved
        const std::shared_ptr<NCLine>& target = reference.target;
        const bool targetKept =
            target && target->index() < lines.size() && lines[target->index()] == target;
        // A reference that comes to stand on the line it names, as when its line is joined to
        // its target, would refer to itself.
        const bool ontoItself =
            targetKept && target->index() == line && reference.targetIndex != reference.lineIndex;
        std::u16string replacement;
        if (!targetKept || ontoItself) {
            replacement = NCExpression::nullLineReferenceToken();
        } else if (target->index() == reference.targetIndex) {
            continue;  // its target did not move
        } else if (reference.kind == NCLineReferenceTypeAbsolute) {
            replacement = NCExpression::absoluteLineReferenceTokenWithIndex(target->index());
        } else {
            replacement = NKLineReferenceByLineNumberWithNumber(
                reference.text, static_cast<int64_t>(target->index()) + 1);
        }
        if (replacement == reference.text) continue;
        byLine[line].push_back({range, {0, reference.text, replacement}});
    }
    for (auto& [line, planned] : byLine) {
        // Rewrites are matched to the line's references by their order, which the relative
        // references' rewriting in between leaves alone.
        NCExpressionTokenArray tokens =
            NKLineReferenceTokensOfTypeInString(kPlacedKinds, texts[line]);
        std::vector<PlacedReferenceRewrite> found;
        for (auto& [range, rewrite] : planned) {
            for (size_t k = 0; k < tokens.size(); ++k)
                if (tokens[k]->range() == range) {
                    rewrite.ordinal = k;
                    found.push_back(rewrite);
                }
        }
        if (!found.empty() && lines[line]) rewrites.emplace_back(lines[line], std::move(found));
    }
    return rewrites;
}

void NKLineCollectionController::rewritePlacedReferences(const PlacedReferenceRewrites& rewrites) {
    if (!m_lineCollection) return;
    for (const auto& [line, planned] : rewrites) {
        if (m_lineCollection->lineAtIndex(line->index()) != line) continue;
        std::u16string text = line->expressionString().value_or(u"");
        NCExpressionTokenArray tokens = NKLineReferenceTokensOfTypeInString(kPlacedKinds, text);
        std::vector<PlacedReferenceRewrite> lastFirst = planned;
        std::sort(lastFirst.begin(), lastFirst.end(),
                  [](const auto& a, const auto& b) { return a.ordinal > b.ordinal; });
        bool changed = false;
        for (const PlacedReferenceRewrite& rewrite : lastFirst) {
            if (rewrite.ordinal >= tokens.size()) continue;
            const NSRange range = tokens[rewrite.ordinal]->range();
            if (NSMaxRange(range) > text.size() ||
                text.compare(range.location, range.length, rewrite.text) != 0)
                continue;
            text.replace(range.location, range.length, rewrite.replacement);
            changed = true;
        }
        if (changed) {
            setExpressionOfLine(*line, text);
            noteExpressionChanged(line->index());
        }
    }
}
