#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "NBFExpressionTree.h"
#include "NBFUnitDisambiguator.h"
#include "UnitCatalogueFixture.h"

namespace {

// Builds expression trees the way the parser leaves them: unit operands carry the bitmap of
// their unit, ambiguous ones none, and their token holds the name as typed.
class TreeBuilder {
  public:
    explicit TreeBuilder(const UnitCatalogueFixture& catalogue) : m_catalogue(catalogue) {}
    ~TreeBuilder() {
        for (NBFExpressionTokenRef token : m_tokens) NBFExpressionTokenRelease(token);
        for (NBFAmbiguousUnitRef unit : m_ambiguous) NBFAmbiguousUnitRelease(unit);
    }
    TreeBuilder(const TreeBuilder&) = delete;
    TreeBuilder& operator=(const TreeBuilder&) = delete;

    NBFExpressionNodeRef number(int32_t value) {
        return NBFExpressionNodeCreateOperand_TransferOwnership(
            NBFNumberCreateWithInt32(value, NBFNumberTypeNumber), nullptr);
    }

    NBFExpressionNodeRef unit(const char* identifier) {
        NBFUnitContainerRef container = m_catalogue[identifier];
        NBFExpressionNodeRef node = NBFExpressionNodeCreateOperand_TransferOwnership(
            NBFNumberCreateWithInt32(1, NBFNumberTypeNumber), NBFUnitContainerRetain(container));
        NBFExpressionNodeSetUnitTypeBitmap(node, NBFUnitTypeBitmapMakeWithUnitContainer(container));
        return node;
    }

    // An operand (or, with operatorType, an operator-unit node) whose name matched the units.
    NBFExpressionNodeRef ambiguous(const char* name, std::vector<const char*> identifiers,
                                   NBFOperatorType operatorType = NBFOperatorTypeNone) {
        std::vector<NBFUnitContainerRef> candidates;
        for (const char* identifier : identifiers) candidates.push_back(m_catalogue[identifier]);
        NBFAmbiguousUnitRef ambiguousUnit = NBFAmbiguousUnitCreate(candidates);
        m_ambiguous.push_back(ambiguousUnit);
        NBFExpressionNodeRef node =
            operatorType == NBFOperatorTypeNone
                ? NBFExpressionNodeCreateOperandWithAmbiguousUnit(NBFNumber_CONST_1, ambiguousUnit)
                : NBFExpressionNodeCreateOperatorUnit(ambiguousUnit, operatorType);
        NBFExpressionNodeSetSubtreeHasAmbiguousUnit(node, true);
        NBFExpressionTokenRef token = NBFExpressionTokenCreateWithString(
            name, kNBFTokenTypeUnit, kNBFTokenSubTypeStandaloneUnit);
        m_tokens.push_back(token);
        NBFExpressionNodeSetExpressionToken(node, token);
        m_targets.push_back(node);
        return node;
    }

    NBFExpressionNodeRef op(NBFOperatorType type, NBFExpressionNodeRef left,
                            NBFExpressionNodeRef right) {
        return NBFExpressionNodeCreateOperator_TransferOwnership(type, left, right);
    }

    // The units the ambiguous nodes resolved to, in the order they were made.
    std::string resolved() const {
        std::string text;
        for (NBFExpressionNodeRef node : m_targets) {
            NBFUnitContainerRef unit = NBFExpressionNodeGetUnitContainer(node);
            text += (text.empty() ? "" : ",") +
                    (unit ? NBFUnitContainerGetIdentifier_cpp(unit) : std::string("(none)"));
        }
        return text;
    }

  private:
    const UnitCatalogueFixture& m_catalogue;
    std::vector<NBFExpressionTokenRef> m_tokens;
    std::vector<NBFAmbiguousUnitRef> m_ambiguous;
    std::vector<NBFExpressionNodeRef> m_targets;  // owned by the tree
};

constexpr NBFOperatorType kAdd = NBFOperatorTypeAdd;
constexpr NBFOperatorType kSubtract = NBFOperatorTypeSubtract;
constexpr NBFOperatorType kMultiply = NBFOperatorTypeMultiply;
constexpr NBFOperatorType kDivide = NBFOperatorTypeDivide;

struct DisambiguationRow {
    const char* expression;  // what the tree stands for
    std::function<NBFExpressionNodeRef(TreeBuilder&)> build;
    const char* expected;
};

// "m" is metre (tie-break 10) or minute (5); "x" is foot or hour, whose equal tie-breaks leave
// candidate order to decide, so the foot wins whenever nothing else does.
const std::vector<const char*> kMetreOrMinute = {"metre", "minute"};
const std::vector<const char*> kFootOrHour = {"foot", "hour"};

TEST(UnitDisambiguator, ResolvesAmbiguousUnitsFromTheTypesAroundThem) {
    initFoundationConstants();
    UnitCatalogueFixture catalogue;
    const DisambiguationRow rows[] = {
        {"5 m + 3 s",
         [](TreeBuilder& b) {
             return b.op(kAdd, b.op(kMultiply, b.number(5), b.ambiguous("m", kMetreOrMinute)),
                         b.op(kMultiply, b.number(3), b.unit("second")));
         },
         "minute"},
        {"3 h - 2 x",
         [](TreeBuilder& b) {
             return b.op(kSubtract, b.op(kMultiply, b.number(3), b.unit("hour")),
                         b.op(kMultiply, b.number(2), b.ambiguous("x", kFootOrHour)));
         },
         "hour"},
        {"h + x",  // the sibling itself
         [](TreeBuilder& b) { return b.op(kAdd, b.unit("hour"), b.ambiguous("x", kFootOrHour)); },
         "hour"},
        {"m / s: the length over a time",
         [](TreeBuilder& b) {
             return b.op(kDivide, b.ambiguous("m", kMetreOrMinute), b.unit("second"));
         },
         "metre"},
        {"s / m: no rule for the right side, the whole expression is a time",
         [](TreeBuilder& b) {
             return b.op(kDivide, b.unit("second"), b.ambiguous("m", kMetreOrMinute));
         },
         "minute"},
        {"m * s: no rule for a product",
         [](TreeBuilder& b) {
             return b.op(kMultiply, b.ambiguous("m", kMetreOrMinute), b.unit("second"));
         },
         "minute"},
        {"x / h: the rule beats the root's time",
         [](TreeBuilder& b) {
             return b.op(kDivide, b.ambiguous("x", kFootOrHour), b.unit("hour"));
         },
         "foot"},
        {"minute / s: the name bonus outweighs the rule",
         [](TreeBuilder& b) {
             return b.op(kDivide, b.ambiguous("minute", kMetreOrMinute), b.unit("second"));
         },
         "minute"},
        {"(m) / s as a unit operator",
         [](TreeBuilder& b) {
             return b.op(kDivide, b.ambiguous("m", kMetreOrMinute, NBFOperatorTypeUnitBeforeNumber),
                         b.unit("second"));
         },
         "metre"},
        {"x * 2 + h: decided two levels up",
         [](TreeBuilder& b) {
             return b.op(kAdd, b.op(kMultiply, b.ambiguous("x", kFootOrHour), b.number(2)),
                         b.unit("hour"));
         },
         "hour"},
        {"(x * 2 * 3 + h) * ft: three levels up is too far; the root has both types",
         [](TreeBuilder& b) {
             NBFExpressionNodeRef deep =
                 b.op(kMultiply, b.op(kMultiply, b.ambiguous("x", kFootOrHour), b.number(2)),
                      b.number(3));
             return b.op(kMultiply, b.op(kAdd, deep, b.unit("hour")), b.unit("foot"));
         },
         "foot"},
        {"m alone: the tie-break", [](TreeBuilder& b) { return b.ambiguous("m", kMetreOrMinute); },
         "metre"},
        {"m + x: each resolved by the root's types",
         [](TreeBuilder& b) {
             NBFExpressionNodeRef m = b.ambiguous("m", kMetreOrMinute);
             return b.op(kAdd, m, b.ambiguous("x", kFootOrHour));
         },
         "metre,foot"},
    };
    for (const DisambiguationRow& row : rows) {
        TreeBuilder builder(catalogue);
        NBFExpressionNodeRef root = row.build(builder);
        auto tree = NBF::Ref<NBF::ExpressionTree>::adopt(NBF::ExpressionTree::create(root));
        NBFExpressionNodeRelease(root);
        NBFUnitDisambiguatorProcessExpressionTree(tree.get());
        EXPECT_EQ(builder.resolved(), row.expected) << row.expression;
    }
}

TEST(UnitDisambiguator, CombinesTheBitmapsAndFlagsOfOperators) {
    initFoundationConstants();
    UnitCatalogueFixture catalogue;
    TreeBuilder b(catalogue);
    // (5 km / h) + (2 m), and a plain product beside it: (5 km / h + 2 m) * (3 * 4).
    NBFExpressionNodeRef speed =
        b.op(kDivide, b.op(kMultiply, b.number(5), b.unit("kilometre")), b.unit("hour"));
    NBFExpressionNodeRef distance = b.op(kMultiply, b.number(2), b.ambiguous("m", kMetreOrMinute));
    NBFExpressionNodeRef sum = b.op(kAdd, speed, distance);
    NBFExpressionNodeRef plain = b.op(kMultiply, b.number(3), b.number(4));
    NBFExpressionNodeRef root = b.op(kMultiply, sum, plain);
    auto tree = NBF::Ref<NBF::ExpressionTree>::adopt(NBF::ExpressionTree::create(root));
    NBFExpressionNodeRelease(root);
    NBFUnitDisambiguatorProcessExpressionTree(tree.get());

    const NBFUnitTypeBitmap length = NBFUnitTypeBitmapMake(NBFUnitTypeLength);
    const NBFUnitTypeBitmap time = NBFUnitTypeBitmapMake(NBFUnitTypeTime);
    const struct {
        const char* node;
        NBFExpressionNodeRef ref;
        NBFUnitTypeBitmap bitmap;
        bool ambiguous;
    } rows[] = {
        {"speed", speed, length | time, false},
        {"distance", distance, 0, true},  // the ambiguous unit adds no bits
        {"sum", sum, length | time, true},
        {"plain", plain, 0, false},
        {"root", root, length | time, true},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(NBFExpressionNodeGetUnitTypeBitmap(row.ref), row.bitmap) << row.node;
        EXPECT_EQ(NBFExpressionNodeSubtreeHasAmbiguousUnit(row.ref), row.ambiguous) << row.node;
    }
    // Beside a speed (two types) the sum decides nothing; the root's two types leave the tie-break.
    EXPECT_EQ(b.resolved(), "metre");
    NBFUnitDisambiguatorProcessExpressionTree(nullptr);
}

TEST(UnitDisambiguationMap, HoldsOneRuleForALengthOrTimeOverATime) {
    NBFUnitDisambiguatorInit();
    NBFUnitDisambiguatorInit();  // once is enough; twice changes nothing
    const NBF::UnitDisambiguationMap* map = NBFUnitDisambiguatorGetMap();
    ASSERT_NE(map, nullptr);
    const NBFUnitTypeBitmap length = NBFUnitTypeBitmapMake(NBFUnitTypeLength);
    const NBFUnitTypeBitmap time = NBFUnitTypeBitmapMake(NBFUnitTypeTime);
    const struct {
        NBFUnitTypeBitmap left;
        NBFOperatorType op;
        NBFUnitTypeBitmap right;
        NBFUnitType type;
        int8_t side;  // 9: left untouched
    } rows[] = {
        {length | time, kDivide, time, NBFUnitTypeLength, 0},
        {length | time, kMultiply, time, NBFUnitTypeNone, 9},
        {length, kDivide, time, NBFUnitTypeNone, 9},
        {time, kDivide, length | time, NBFUnitTypeNone, 9},
        {length | time, kDivide, length | time, NBFUnitTypeNone, 9},
    };
    for (const auto& row : rows) {
        int8_t side = 9;
        EXPECT_EQ(map->findDisambiguation(row.left, row.op, row.right, &side), row.type);
        EXPECT_EQ(side, row.side);
        EXPECT_EQ(map->findDisambiguation(row.left, row.op, row.right, nullptr), row.type);
    }

    auto custom = NBF::Ref<NBF::UnitDisambiguationMap>::adopt(NBF::UnitDisambiguationMap::create(
        {{{time, kMultiply, length}, {NBFUnitTypeTime, NBF::UnitDisambiguationMap::kSideRight}}}));
    int8_t side = 9;
    EXPECT_EQ(custom->findDisambiguation(time, kMultiply, length, &side), NBFUnitTypeTime);
    EXPECT_EQ(side, 1);
}

}  // namespace
