#include "NBFUnitDisambiguator.h"

#include <utility>

#include "NBFAmbiguousUnit.h"

namespace NBF {

UnitDisambiguationMap* UnitDisambiguationMap::create(Entries entries) {
    return new UnitDisambiguationMap(std::move(entries));
}

NBFUnitType UnitDisambiguationMap::findDisambiguation(NBFUnitTypeBitmap leftBitmap,
                                                      NBFOperatorType operatorType,
                                                      NBFUnitTypeBitmap rightBitmap,
                                                      int8_t* side) const {
    auto found = m_entries.find({leftBitmap, operatorType, rightBitmap});
    if (found == m_entries.end()) return NBFUnitTypeNone;
    if (side) *side = found->second.side;
    return found->second.unitType;
}

}  // namespace NBF

namespace {

// Made once, never freed: trees may be processed until the process ends.
const NBF::UnitDisambiguationMap* sharedMap() {
    static const NBF::UnitDisambiguationMap* const s_map = [] {
        NBFUnitTypeBitmap length = NBFUnitTypeBitmapMake(NBFUnitTypeLength);
        NBFUnitTypeBitmap time = NBFUnitTypeBitmapMake(NBFUnitTypeTime);
        NBF::UnitDisambiguationMap::Entries entries;
        entries[{length | time, NBFOperatorTypeDivide, time}] = {
            NBFUnitTypeLength, NBF::UnitDisambiguationMap::kSideLeft};
        return NBF::UnitDisambiguationMap::create(std::move(entries));
    }();
    return s_map;
}

bool hasOperatorChildren(NBFExpressionNodeType type) {
    return type == kNBFExpressionNodeTypeOperator || type == kNBFExpressionNodeTypeWordOperator ||
           type == kNBFExpressionNodeTypeOperatorUnit;
}

NBFExpressionNodeRef childAt(NBFExpressionNodeRef node, size_t index) {
    const NBFExpressionNodeVector& children = NBFExpressionNodeGetChildren(node);
    return index < children.size() ? children[index] : nullptr;
}

void combineOperatorFlags(NBFExpressionNodeRef node) {
    NBFExpressionNodeType type = NBFExpressionNodeGetType(node);
    NBFExpressionNodeRef first = childAt(node, 0);
    NBFExpressionNodeRef second = childAt(node, 1);
    if (type == kNBFExpressionNodeTypeOperator) {
        NBFExpressionNodeSetUnitTypeBitmap(node, NBFExpressionNodeGetUnitTypeBitmap(node) |
                                                     NBFExpressionNodeGetUnitTypeBitmap(first) |
                                                     NBFExpressionNodeGetUnitTypeBitmap(second));
    }
    if (hasOperatorChildren(type)) {
        NBFExpressionNodeSetSubtreeHasAmbiguousUnit(
            node, NBFExpressionNodeSubtreeHasAmbiguousUnit(node) ||
                      NBFExpressionNodeSubtreeHasAmbiguousUnit(first) ||
                      NBFExpressionNodeSubtreeHasAmbiguousUnit(second));
    }
}

// The bitmap the types around the node choose within two levels up; 0 when nothing decides.
NBFUnitTypeBitmap chooseBitmap(NBFExpressionNodeRef node, NBFUnitTypeBitmap ambiguousBitmap,
                               const NBF::UnitDisambiguationMap* map) {
    NBFExpressionNodeRef branch = node;
    NBFExpressionNodeRef ancestor = NBFExpressionNodeGetParent(node);
    for (int level = 0; level < 2 && ancestor;
         ++level, branch = ancestor, ancestor = NBFExpressionNodeGetParent(ancestor)) {
        NBFOperatorType operatorType = NBFExpressionNodeGetOperatorType(ancestor);
        if (operatorType == NBFOperatorTypeNone ||
            NBFExpressionNodeGetChildren(ancestor).size() < 2)
            continue;
        NBFExpressionNodeRef left = childAt(ancestor, 0);
        NBFExpressionNodeRef right = childAt(ancestor, 1);
        bool fromLeft = branch == left;
        NBFUnitTypeBitmap leftBitmap =
            NBFExpressionNodeGetUnitTypeBitmap(left) | (fromLeft ? ambiguousBitmap : 0);
        NBFUnitTypeBitmap rightBitmap =
            NBFExpressionNodeGetUnitTypeBitmap(right) | (fromLeft ? 0 : ambiguousBitmap);
        NBFUnitTypeBitmap siblingBitmap =
            NBFExpressionNodeGetUnitTypeBitmap(fromLeft ? right : left);

        bool sum = operatorType == NBFOperatorTypeAdd || operatorType == NBFOperatorTypeSubtract;
        if (sum && NBFUnitTypeBitmapHasSingleUnitOnly(&siblingBitmap)) return siblingBitmap;
        if (leftBitmap || rightBitmap) {
            int8_t side = -1;
            NBFUnitType type =
                map->findDisambiguation(leftBitmap, operatorType, rightBitmap, &side);
            bool ownSide = (side == NBF::UnitDisambiguationMap::kSideLeft && fromLeft) ||
                           (side == NBF::UnitDisambiguationMap::kSideRight && !fromLeft);
            if (type != NBFUnitTypeNone && ownSide) return NBFUnitTypeBitmapMake(type);
        }
    }
    return NBFUnitTypeBitmapZero;
}

}  // namespace

void NBFUnitDisambiguatorInit() { sharedMap(); }

const NBF::UnitDisambiguationMap* NBFUnitDisambiguatorGetMap() { return sharedMap(); }

void NBFUnitDisambiguatorProcessExpressionTree(NBFExpressionTreeRef tree) {
    if (!tree || !tree->root()) return;
    const auto& nodes = tree->nodesPostOrderDFS();
    for (NBFExpressionNodeRef node : nodes) combineOperatorFlags(node);
    NBFUnitTypeBitmap rootBitmap = NBFExpressionNodeGetUnitTypeBitmap(tree->root());

    const NBF::UnitDisambiguationMap* map = sharedMap();
    for (NBFExpressionNodeRef node : nodes) {
        NBFAmbiguousUnitRef ambiguousUnit = NBFExpressionNodeGetAmbiguosUnit(node);
        if (!ambiguousUnit) continue;
        NBFStringRef name =
            NBFExpressionTokenGetStringReference(NBFExpressionNodeGetExpressionToken(node));
        NBFUnitTypeBitmap chosen =
            chooseBitmap(node, NBFAmbiguousUnitGetUnitTypeBitmap(ambiguousUnit), map);
        if (!chosen) chosen = rootBitmap;
        NBFExpressionNodeResolveUnitAmbiguity(
            node, NBFAmbiguousUnitGetUnambiguousUnit(ambiguousUnit, chosen, name));
    }
}
