// The analyser's grouping passes: number runs, brackets, wordy numbers and word runs.
#include "NBFContextualAnalyzerInternal.h"
#include "NBFParseLimits.h"
#include "NBFUnitContainer.h"

using namespace NBF::analysis;

namespace {

bool isDecimalNumber(NBFEPExpressionTreeNodeRef node) {
    return typeOf(node) == kNBFTokenTypeNumber && subTypeOf(node) == kNBFTokenSubTypeDecimalNumber;
}

bool isBracket(NBFEPExpressionTreeNodeRef node, NBFTokenSubType side) {
    return typeOf(node) == kNBFTokenTypeBracket && subTypeOf(node) == side;
}

bool isMinus(NBFEPExpressionTreeNodeRef node) {
    return typeOf(node) == kNBFTokenTypeOperator && subTypeOf(node) == kNBFTokenSubTypeMinus;
}

// A unit that may be written before its number, or an ambiguous unit one of whose candidates
// may.
bool canBePrefixUnit(NBFEPExpressionTreeNodeRef node) {
    if (NBFUnitContainerCanBePrefixUnit(NBFExpressionTreeNodeGetUnitContainer(node))) return true;
    for (NBFUnitContainerRef unit :
         NBFAmbiguousUnitGetUnits(NBFExpressionTreeNodeGetAmbiguousUnit(node)))
        if (NBFUnitContainerCanBePrefixUnit(unit)) return true;
    return false;
}

}  // namespace

// Closes a number run: its trailing whitespace and markers go back to the line, the rest
// becomes one number node of its first node's kind.
void flush_nodeBuf(NBFEPExpressionTreeNodeVector& run, NBFEPExpressionTreeNodeVector& kept,
                   NBFEPExpressionTreeNodeVector& created) {
    size_t end = run.size();
    while (end > 0 && isWhitespaceOrMarker(run[end - 1])) --end;
    if (end == 1) {
        kept.push_back(run[0]);
    } else if (end > 1) {
        NBFEPExpressionTreeNodeVector parts(run.begin(), run.begin() + static_cast<long>(end));
        NBFEPExpressionTreeNodeRef number = createNodeOver(parts, kNBFTokenTypeNone, 0);
        NBFExpressionTreeNodeSetTokenTypesBasedOnNode(number, run[0]);
        kept.push_back(number);
        created.push_back(number);
    }
    kept.insert(kept.end(), run.begin() + static_cast<long>(end), run.end());
    run.clear();
}

void number_run_grouper(NBFEPExpressionTreeNodeRef node) {
    if (!node) return;
    NBFEPExpressionTreeNodeVector kept, created, run;
    for (NBFEPExpressionTreeNodeRef child : NBFExpressionTreeNodeGetChildren(node)) {
        if (run.empty()) {
            if (typeOf(child) == kNBFTokenTypeNumber) {
                run.push_back(child);
            } else {
                kept.push_back(child);
            }
        } else if (isDecimalNumber(child) || isWhitespaceOrMarker(child)) {
            run.push_back(child);
        } else {
            // The node that ends a run opens none, even a prefixed number.
            flush_nodeBuf(run, kept, created);
            kept.push_back(child);
        }
    }
    if (!run.empty()) flush_nodeBuf(run, kept, created);
    replaceChildren(node, kept, created);
}

void bracket_grouper2(NBFEPExpressionTreeNodeRef node) {
    if (!node) return;
    // Open groups, innermost last; each holds the nodes gathered for it so far.
    std::vector<NBFEPExpressionTreeNodeVector> open(1);
    NBFEPExpressionTreeNodeVector created;
    int32_t ungroupedDepth = 0;  // brackets past the depth bound, left as they are
    auto closeInnermost = [&] {
        NBFEPExpressionTreeNodeRef group =
            createNodeOver(open.back(), kNBFTokenTypeGroup, kNBFTokenSubTypeBracketGroup);
        created.push_back(group);
        open.pop_back();
        open.back().push_back(group);
    };
    for (NBFEPExpressionTreeNodeRef child : NBFExpressionTreeNodeGetChildren(node)) {
        if (isBracket(child, kNBFTokenSubTypeLeftBracket)) {
            if (static_cast<int32_t>(open.size()) > NBFMaxBracketDepth) {
                ++ungroupedDepth;
                open.back().push_back(child);
            } else {
                open.push_back({child});
            }
        } else if (isBracket(child, kNBFTokenSubTypeRightBracket)) {
            if (ungroupedDepth > 0) {
                --ungroupedDepth;
                open.back().push_back(child);
            } else if (open.size() > 1) {
                open.back().push_back(child);
                closeInnermost();
            } else {
                // Nothing to close: the line ends here.
                open.back().push_back(child);
                break;
            }
        } else {
            open.back().push_back(child);
        }
    }
    // Unclosed groups run to the end of the line.
    while (open.size() > 1) closeInnermost();
    replaceChildren(node, open.front(), created);
}

namespace {

// A word glued to numbers: mp3, x-ray.
void groupWordyNumbers(NBFEPExpressionTreeNodeRef group) {
    const NBFEPExpressionTreeNodeVector& children = NBFExpressionTreeNodeGetChildren(group);
    const size_t count = children.size();
    auto at = [&](size_t i) { return i < count ? children[i] : nullptr; };
    auto isWordOrUnit = [](NBFEPExpressionTreeNodeRef n) {
        token_type type = typeOf(n);
        return type == kNBFTokenTypeWord || type == kNBFTokenTypeUnit;
    };
    NBFEPExpressionTreeNodeVector kept, created, run;
    auto endRun = [&] {
        if (run.size() == 1) {
            kept.push_back(run[0]);
        } else if (run.size() > 1) {
            NBFEPExpressionTreeNodeRef word = createNodeOver(run, kNBFTokenTypeWord, 0);
            kept.push_back(word);
            created.push_back(word);
        }
        run.clear();
    };
    for (size_t i = 0; i < count; ++i) {
        NBFEPExpressionTreeNodeRef child = children[i];
        token_type type = typeOf(child);
        if (run.empty()) {
            if (type == kNBFTokenTypeWord) {
                run.push_back(child);
            } else if (type == kNBFTokenTypeNumber && typeOf(at(i + 1)) == kNBFTokenTypeWord) {
                run = {child, at(i + 1)};
                ++i;
            } else if (type == kNBFTokenTypeNumber && isMinus(at(i + 1)) &&
                       (typeOf(at(i + 2)) == kNBFTokenTypeWord ||
                        (typeOf(at(i + 2)) == kNBFTokenTypeUnit && !canBePrefixUnit(at(i + 2))))) {
                run = {child, at(i + 1), at(i + 2)};
                i += 2;
            } else {
                kept.push_back(child);
            }
        } else if (isMinus(child) && isWordOrUnit(at(i + 1))) {
            run.push_back(child);
            run.push_back(at(i + 1));
            ++i;
        } else if (type == kNBFTokenTypeNumber || isWordOrUnit(child)) {
            run.push_back(child);
        } else {
            endRun();
            kept.push_back(child);
        }
    }
    endRun();
    if (!created.empty()) replaceChildren(group, kept, created);
}

// Two or more directly adjacent words become one.
void groupWords(NBFEPExpressionTreeNodeRef group) {
    NBFEPExpressionTreeNodeVector kept, created, run;
    auto endRun = [&] {
        if (run.size() == 1) {
            kept.push_back(run[0]);
        } else if (run.size() > 1) {
            NBFEPExpressionTreeNodeRef word = createNodeOver(run, kNBFTokenTypeWord, 0);
            kept.push_back(word);
            created.push_back(word);
        }
        run.clear();
    };
    for (NBFEPExpressionTreeNodeRef child : NBFExpressionTreeNodeGetChildren(group)) {
        if (typeOf(child) == kNBFTokenTypeWord) {
            run.push_back(child);
        } else {
            endRun();
            kept.push_back(child);
        }
    }
    endRun();
    if (!created.empty()) replaceChildren(group, kept, created);
}

}  // namespace

void wordy_number_grouper(NBFEPExpressionTreeNodeRef node) {
    forEachGroup(node, groupWordyNumbers);
}

void word_grouper(NBFEPExpressionTreeNodeRef node) { forEachGroup(node, groupWords); }
