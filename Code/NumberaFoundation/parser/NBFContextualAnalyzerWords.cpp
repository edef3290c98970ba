// The analyser's word passes: special words, the assignment target and word resolution.
#include "NBFContextualAnalyzerInternal.h"
#include "NBFErrorLog.h"

using namespace NBF::analysis;

namespace {

void makeOperator(NBFEPExpressionTreeNodeRef node, NBFTokenSubType subType,
                  const NBFOperatorOptions& options = NBFOperatorOptionsNone) {
    NBFExpressionTreeNodeSetTokenType(node, kNBFTokenTypeOperator);
    NBFExpressionTreeNodeSetTokenSubType(node, subType);
    NBFExpressionTreeNodeSetOperatorOptions(node, options);
}

void recognizeSpecialWords(NBFContextualAnalyzerRef analyzer, NBFEPExpressionTreeNodeRef group) {
    for (NBFEPExpressionTreeNodeRef child : NBFExpressionTreeNodeGetChildren(group)) {
        if (typeOf(child) != kNBFTokenTypeWord || !NBFExpressionTreeNodeIsMutable(child)) continue;
        NBFStringRef text = NBFExpressionTreeNodeGetStringReference(child);
        if (!text) continue;
        auto found = analyzer->specialWords->find(text->units());
        if (found == analyzer->specialWords->end()) continue;
        switch (found->second) {
            case kNBFSpecialWordStatementSeparator:
                NBFExpressionTreeNodeSetTokenType(child, kNBFTokenTypeStatementSeparator);
                NBFExpressionTreeNodeSetTokenSubType(child, kNBFTokenSubTypeNone);
                break;
            case kNBFSpecialWordPercent:
                makeOperator(child, kNBFTokenSubTypePercent);
                break;
            case kNBFSpecialWordFactorial:
                makeOperator(child, kNBFTokenSubTypeFactorial);
                break;
            case kNBFSpecialWordUnitConversion:
                makeOperator(child, kNBFTokenSubTypeUnitConversion,
                             kNBFUnitConversionOperatorOptions);
                break;
            case kNBFSpecialWordExponent:
                makeOperator(child, kNBFTokenSubTypeExponent, kNBFExponentOperatorOptions);
                break;
            case kNBFSpecialWordPower:
                makeOperator(child, kNBFTokenSubTypePower, kNBFPowerOperatorOptions);
                break;
            case kNBFSpecialWordModulo:
                makeOperator(child, kNBFTokenSubTypeModulo);
                break;
            default:
                NBF_LOG_ERROR("Unexpected special type %d", found->second);
                break;
        }
    }
}

// One run of candidates being resolved: words, numbers glued to them, and separators.
struct WordRun {
    NBFEPExpressionTreeNodeVector entries;
    std::vector<bool> separator;
    void clear() {
        entries.clear();
        separator.clear();
    }
};

constexpr size_t kMaximumRunEntries = 5;

// The words of the first length entries: each maximal run of non-separators is one word.
std::vector<NBF::Ref<NBF::String>> wordsOf(const WordRun& run, size_t length) {
    std::vector<NBF::Ref<NBF::String>> words;
    std::u16string word;
    bool inWord = false;
    for (size_t i = 0; i <= length; ++i) {
        if (i < length && !run.separator[i]) {
            NBFStringRef text = NBFExpressionTreeNodeGetStringReference(run.entries[i]);
            if (text) word += text->units();
            inWord = true;
        } else if (inWord) {
            words.push_back(NBF::Ref<NBF::String>::adopt(NBFStringCreateWithUTF16(word)));
            word.clear();
            inWord = false;
        }
    }
    return words;
}

void retype(NBFEPExpressionTreeNodeRef node, NBFNamespaceType type,
            const NBFNamespaceResolvedType& found, bool functionInstead) {
    NBFExpressionTreeNodeSetTokenSubType(node, kNBFTokenSubTypeNone);
    NBFExpressionTreeNodeSetRepresentedTokenSubType(node, kNBFTokenSubTypeNone);
    if (type == kNBFNamespaceTypeUnit && functionInstead) type = kNBFNamespaceTypeFunction;
    switch (type) {
        case kNBFNamespaceTypeFunction:
            NBFExpressionTreeNodeSetTokenType(node, kNBFTokenTypeFunction);
            NBFExpressionTreeNodeSetFunction(node, found.function);
            break;
        case kNBFNamespaceTypeVariable:
            NBFExpressionTreeNodeSetTokenType(node, kNBFTokenTypeVariable);
            NBFExpressionTreeNodeSetScopedVariable(node, found.scopedVariable);
            break;
        case kNBFNamespaceTypeWordOperator:
            NBFExpressionTreeNodeSetTokenType(node, kNBFTokenTypeOperator);
            NBFExpressionTreeNodeSetTokenSubType(node, kNBFTokenSubTypeWordOperator);
            NBFExpressionTreeNodeSetRepresentedTokenSubType(
                node, NBFWordOperatorGetRepresentedTokenSubType(found.wordOperator));
            NBFExpressionTreeNodeSetWordOperator(node, found.wordOperator);
            break;
        case kNBFNamespaceTypeUnit:
            NBFExpressionTreeNodeSetTokenType(node, kNBFTokenTypeUnit);
            NBFExpressionTreeNodeSetUnitFraction(node, found.unitFraction);
            NBFExpressionTreeNodeSetUnitContainer(node, found.unitContainer);
            NBFExpressionTreeNodeSetAmbiguousUnit(node, found.ambiguousUnit);
            NBFExpressionTreeNodeSetUnitFormatType(node, found.unitFormatType);
            break;
        default:
            break;
    }
}

class WordResolver {
  public:
    WordResolver(NBFNamespaceRef ns, uint32_t lineIndex, bool acceptsWordOperators)
        : m_ns(ns), m_lineIndex(lineIndex), m_acceptsWordOperators(acceptsWordOperators) {}

    void resolve(NBFEPExpressionTreeNodeRef group) {
        const NBFEPExpressionTreeNodeVector& children = NBFExpressionTreeNodeGetChildren(group);
        m_kept.clear();
        m_created.clear();
        m_run.clear();
        for (size_t i = 0; i < children.size(); ++i) {
            NBFEPExpressionTreeNodeRef child = children[i];
            bool candidate = false, separator = false;
            if (typeOf(child) == kNBFTokenTypeWord && NBFExpressionTreeNodeIsMutable(child)) {
                candidate = true;
            } else if (m_run.entries.empty()) {
                candidate = false;
            } else if (typeOf(child) == kNBFTokenTypeNumber) {
                // Glued to the word before it: m2 is looked up as one word.
                candidate = !m_run.separator.back();
            } else if (isWhitespaceOrMarker(child)) {
                candidate = separator = true;
            }
            if (!candidate) {
                flush(children, i);
                m_kept.push_back(child);
                continue;
            }
            m_run.entries.push_back(child);
            m_run.separator.push_back(separator);
            if (m_run.entries.size() == kMaximumRunEntries) settleFirstName(children, i + 1);
        }
        flush(children, children.size());
        replaceChildren(group, m_kept, m_created);
    }

  private:
    // Resolves the run, longest prefix first, then what is left of it. `next` is the position
    // of the first child after the run.
    void flush(const NBFEPExpressionTreeNodeVector& children, size_t next) {
        if (m_run.entries.empty()) return;
        while (next < children.size() && isWhitespaceOrMarker(children[next])) ++next;
        const bool groupFollows = next < children.size() && isGroup(children[next]);
        size_t first = 0;
        while (first < m_run.entries.size()) {
            // A separator cannot begin a name.
            if (m_run.separator[first]) {
                m_kept.push_back(m_run.entries[first++]);
                continue;
            }
            first += resolvePrefix(first, groupFollows);
        }
        m_run.clear();
    }

    // A full buffer settles only its first name and keeps the entries after it: a name may
    // run past the buffer's end ("per hundred kilometres"), and cutting the buffer there would
    // split it into a stray word and a shorter name.
    void settleFirstName(const NBFEPExpressionTreeNodeVector& children, size_t next) {
        while (next < children.size() && isWhitespaceOrMarker(children[next])) ++next;
        const bool groupFollows = next < children.size() && isGroup(children[next]);
        size_t used = 0;
        while (used < m_run.entries.size() && m_run.separator[used])
            m_kept.push_back(m_run.entries[used++]);
        if (used < m_run.entries.size()) used += resolvePrefix(used, groupFollows);
        m_run.entries.erase(m_run.entries.begin(), m_run.entries.begin() + static_cast<long>(used));
        m_run.separator.erase(m_run.separator.begin(),
                              m_run.separator.begin() + static_cast<long>(used));
    }

    // Resolves the longest name starting at first; returns how many entries it used (one
    // when nothing is named, the entry then staying as it was).
    size_t resolvePrefix(size_t first, bool groupFollows) {
        WordRun rest;
        rest.entries.assign(m_run.entries.begin() + static_cast<long>(first), m_run.entries.end());
        rest.separator.assign(m_run.separator.begin() + static_cast<long>(first),
                              m_run.separator.end());
        for (size_t length = rest.entries.size(); length >= 1; --length) {
            if (rest.separator[length - 1]) continue;
            std::vector<NBF::Ref<NBF::String>> words = wordsOf(rest, length);
            std::vector<NBFStringRef> wordRefs;
            for (const auto& word : words) wordRefs.push_back(word.get());
            NBFNamespaceType type = kNBFNamespaceTypeNone;
            NBFNamespaceResolvedType found{};
            if (!NBFNamespaceGetTypeForWords(m_ns, wordRefs.data(),
                                             static_cast<int32_t>(wordRefs.size()), m_lineIndex,
                                             &type, nullptr, &found))
                continue;
            if (type == kNBFNamespaceTypeWordOperator && !m_acceptsWordOperators) {
                NBFNamespaceResolvedTypeRelease(&found);
                continue;
            }
            accept(rest, length, type, found, groupFollows && found.function);
            NBFNamespaceResolvedTypeRelease(&found);
            return length;
        }
        m_kept.push_back(rest.entries[0]);
        return 1;
    }

    void accept(const WordRun& rest, size_t length, NBFNamespaceType type,
                const NBFNamespaceResolvedType& found, bool functionInstead) {
        NBFEPExpressionTreeNodeRef node = rest.entries[0];
        if (length > 1) {
            NBFEPExpressionTreeNodeVector parts;
            for (size_t i = 0; i < length; ++i)
                if (!rest.separator[i]) parts.push_back(rest.entries[i]);
            node = createNodeOver(parts, kNBFTokenTypeWord, kNBFTokenSubTypeNone);
            m_created.push_back(node);
        }
        if (NBFExpressionTreeNodeIsMutable(node)) retype(node, type, found, functionInstead);
        m_kept.push_back(node);
    }

    NBFNamespaceRef m_ns;
    uint32_t m_lineIndex;
    bool m_acceptsWordOperators;
    NBFEPExpressionTreeNodeVector m_kept, m_created;
    WordRun m_run;
};

}  // namespace

void pre_pass_5a_recognize_important_word_types_crawler(NBFContextualAnalyzerRef analyzer,
                                                        NBFEPExpressionTreeNodeRef node) {
    if (!analyzer) return;
    forEachGroup(node, [analyzer](NBFEPExpressionTreeNodeRef group) {
        recognizeSpecialWords(analyzer, group);
    });
}

void assignment_target_locker(NBFEPExpressionTreeNodeRef node) {
    const NBFEPExpressionTreeNodeVector& children = NBFExpressionTreeNodeGetChildren(node);
    size_t equals = 0;
    while (equals < children.size() && typeOf(children[equals]) != kNBFTokenTypeEquals) ++equals;
    if (equals == children.size()) return;
    for (size_t i = 0; i < equals; ++i)
        if (typeOf(children[i]) == kNBFTokenTypeWord)
            NBFExpressionTreeNodeSetIsMutable(children[i], false);
}

void word_resolver(NBFNamespaceRef ns, NBFEPExpressionTreeNodeRef node, uint32_t lineIndex,
                   bool acceptsWordOperators) {
    WordResolver resolver(ns, lineIndex, acceptsWordOperators);
    forEachGroup(node, [&resolver](NBFEPExpressionTreeNodeRef group) { resolver.resolve(group); });
}
