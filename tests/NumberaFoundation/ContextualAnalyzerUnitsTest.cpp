// The analyser's unit passes on lines whose units are set by hand: the tokens at the given
// positions become units (some of which may be written before their number), then the passes
// named by the row run.
#include <gtest/gtest.h>

#include "AnalyzerTestSupport.h"
#include "NBFRagelMatcher.h"
#include "NBFUnitContainer.h"

namespace {

using analyzer_test::describeTree;
using analyzer_test::tokenizeLine;

enum class Passes { Place, HighPriority, Lonely, Wordy };

struct UnitRow {
    std::string text;
    std::map<int, bool> units;  // token position -> may be written before its number
    Passes passes;
    std::string expected;
};

std::ostream& operator<<(std::ostream& out, const UnitRow& row) { return out << row.text; }

NBFUnitContainerRef makeUnit(const std::string& name, bool prefixCapable) {
    NBFUnitContainerRef unit = NBFUnitContainerCreate("unit_" + name, {{1, name}}, {});
    NBFUnitContainerSetCanBePrefixUnit(unit, prefixCapable);
    return unit;
}

std::string run(const UnitRow& row, bool ambiguous = false) {
    auto tokenized = tokenizeLine(row.text);
    NBFEPExpressionTreeRef tree = NBFContextualAnalyzerCreateAnalysisTree(tokenized->tokens());
    NBFEPExpressionTreeNodeRef root = NBFEPExpressionTreeGetRootNode(tree);
    for (auto [position, prefixCapable] : row.units) {
        NBFEPExpressionTreeNodeRef node =
            NBFExpressionTreeNodeGetChildren(root)[static_cast<size_t>(position)];
        std::string name = NBFStringGetCppString(NBFExpressionTreeNodeGetStringReference(node));
        NBFExpressionTreeNodeSetTokenType(node, kNBFTokenTypeUnit);
        NBFUnitContainerRef unit = makeUnit(name, prefixCapable && !ambiguous);
        if (ambiguous) {
            // Only the second candidate may stand before a number.
            NBFUnitContainerRef other = makeUnit(name + "2", prefixCapable);
            NBFAmbiguousUnitRef both = NBFAmbiguousUnitCreate({unit, other});
            NBFExpressionTreeNodeSetAmbiguousUnit(node, both);
            NBFAmbiguousUnitRelease(both);
            NBFUnitContainerRelease(other);
        } else {
            NBFExpressionTreeNodeSetUnitContainer(node, unit);
        }
        NBFUnitContainerRelease(unit);
    }
    NBFContextualAnalyzerRef analyzer = NBFContextualAnalyzerCreate();
    NBFContextualAnalyzerRunSteps(analyzer, root, 0, kNBFAnalysisStepSpecialWords);
    switch (row.passes) {
        case Passes::Place:
            unit_cleanup(root);
            break;
        case Passes::HighPriority: {
            unit_cleanup(root);
            word_operator_cleanup(root);
            cleanup_postfix_unary_operators_without_operands(root);
            NBFRagelMatcherRef matcher = NBFStandardRagelMatchersCreateHighPriorityOperators();
            ragel_matcher_crawl(matcher, root);
            NBFRagelMatcherRelease(matcher);
            break;
        }
        case Passes::Lonely:
            lonely_number_crawler(root);
            break;
        case Passes::Wordy:
            wordy_number_grouper(root);
            break;
    }
    std::string described = describeTree(tree);
    NBFContextualAnalyzerRelease(analyzer);
    NBFEPExpressionTreeRelease(tree);
    return described;
}

class AnalyzerUnits : public ::testing::TestWithParam<UnitRow> {};

TEST_P(AnalyzerUnits, TakeTheirPlaceInTheLine) { EXPECT_EQ(run(GetParam()), GetParam().expected); }

// Subtypes: 26 before its number, 27 after a value, 28 standing alone.
INSTANTIATE_TEST_SUITE_P(
    Placement, AnalyzerUnits,
    ::testing::Values(
        UnitRow{"60 km/h",
                {{2, false}, {4, false}},
                Passes::Place,
                "60:num8 km:unit27 /:op13 h:unit28"},
        UnitRow{"$5", {{0, true}}, Passes::Place, "$:unit26 5:num8"},
        UnitRow{"$ 5", {{0, true}}, Passes::Place, "$:unit26 5:num8"},
        UnitRow{"5 $", {{2, true}}, Passes::Place, "5:num8 $:unit27"},
        UnitRow{"2 * $", {{4, true}}, Passes::Place, "2:num8 *:op12 $:unit28"},
        UnitRow{"5 m", {{2, false}}, Passes::Place, "5:num8 m:unit27"},
        UnitRow{"m^2", {{0, false}}, Passes::Place, "m:unit28 ^:op14 2:num8"},
        UnitRow{"km", {{0, false}}, Passes::Place, "km:unit28"},
        UnitRow{"(km)", {{1, false}}, Passes::Place, "{(:br1 km:unit28 ):br2}"},
        UnitRow{"5 + km", {{4, false}}, Passes::Place, "5:num8 +:op10 km:unit28"},
        // Units leading the line up to an operator stand alone, then follow the first.
        UnitRow{"km h + 1",
                {{0, false}, {2, false}},
                Passes::Place,
                "km:unit28 h:unit27 +:op10 1:num8"},
        // A unit with nothing to belong to is a word.
        UnitRow{"3 apples km", {{4, false}}, Passes::Place, "3:num8 apples:word km:word"},
        UnitRow{"km 5", {{0, false}}, Passes::Place, "km:word 5:num8"}));

INSTANTIATE_TEST_SUITE_P(
    AroundUnits, AnalyzerUnits,
    ::testing::Values(
        // Units make "/" and "*" bind tighter between them.
        UnitRow{"60 km/h",
                {{2, false}, {4, false}},
                Passes::HighPriority,
                "60:num8 km:unit27 /:op23 h:unit28"},
        UnitRow{"1 m/s/s",
                {{2, false}, {4, false}, {6, false}},
                Passes::HighPriority,
                "1:num8 m:unit27 /:op23 s:unit28 /:op13 s:unit28"},
        // A unit may be the left argument of "^".
        UnitRow{"m^2", {{0, false}}, Passes::HighPriority, "m:unit28 ^:op14 2:num8"},
        UnitRow{"5 m!", {{2, false}}, Passes::HighPriority, "5:num8 m:unit27 !:word"},
        // A unit takes the value before it: nothing is lonely.
        UnitRow{
            "5 ft 3 in", {{2, false}, {6, false}}, Passes::Lonely, "5:num8 ft:unit 3:num8 in:unit"},
        UnitRow{"3m", {{1, false}}, Passes::Wordy, "3:num8 m:unit"},
        UnitRow{"3-m", {{2, false}}, Passes::Wordy, "3-m:word"},
        UnitRow{"3-$", {{2, true}}, Passes::Wordy, "3:num8 -:op11 $:unit"}));

TEST(AnalyzerUnits, AnAmbiguousUnitMayStandBeforeItsNumberIfACandidateMay) {
    EXPECT_EQ(run({"$5", {{0, true}}, Passes::Place, ""}, true), "$:unit26 5:num8");
    EXPECT_EQ(run({"$5", {{0, false}}, Passes::Place, ""}, true), "$:word 5:num8");
}

}  // namespace
