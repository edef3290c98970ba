#include "NCExpressionMappings.h"

#include <vector>

void NCExpressionMappings::addRangeMapping(NSRange storedRange, NSRange evaluationRange) {
    m_mappings[evaluationRange.location] = {evaluationRange, storedRange};
    m_locations.addIndex(evaluationRange.location);
}

bool NCExpressionMappings::findNCRangeMapping(NSRange* storedRange, NSRange* evaluationRange,
                                              uint64_t evaluationLocation) const {
    auto found = m_mappings.find(evaluationLocation);
    if (found == m_mappings.end()) return false;
    if (storedRange) *storedRange = found->second.stored;
    if (evaluationRange) *evaluationRange = found->second.evaluation;
    return true;
}

void NCExpressionMappings::offsetNBFRangesBy(int64_t offset, uint64_t fromLocation) {
    if (offset == 0) return;
    std::vector<Mapping> moved;
    for (auto it = m_mappings.lower_bound(fromLocation); it != m_mappings.end();) {
        moved.push_back(it->second);
        it = m_mappings.erase(it);
    }
    for (Mapping mapping : moved) {
        int64_t location = static_cast<int64_t>(mapping.evaluation.location) + offset;
        mapping.evaluation.location = static_cast<uint64_t>(location < 0 ? 0 : location);
        m_mappings[mapping.evaluation.location] = mapping;
    }
    m_locations.removeAllIndexes();
    for (const auto& entry : m_mappings) m_locations.addIndex(entry.first);
}

void NCExpressionMappings::enumerateMappings(
    const std::function<void(NSRange, NSRange)>& block) const {
    for (const auto& entry : m_mappings) block(entry.second.stored, entry.second.evaluation);
}
