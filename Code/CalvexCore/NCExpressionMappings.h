// Which stretches of a line's evaluation string were produced by substitution, and where each
// lay in the stored text, so tokens can be placed back onto the stored and display texts.
#ifndef NUMBERA_CORE_NC_EXPRESSION_MAPPINGS_H
#define NUMBERA_CORE_NC_EXPRESSION_MAPPINGS_H

#include <cstdint>
#include <functional>
#include <map>

#include "NSIndexSet.h"
#include "NSRange.h"

class NCExpressionMappings {
  public:
    // Keyed by the evaluation range's location.
    void addRangeMapping(NSRange storedRange, NSRange evaluationRange);
    // False when no mapping starts exactly at the evaluation location.
    bool findNCRangeMapping(NSRange* storedRange, NSRange* evaluationRange,
                            uint64_t evaluationLocation) const;
    // Every mapping at or after the location moves by the offset in the evaluation string;
    // its stored range stays.
    void offsetNBFRangesBy(int64_t offset, uint64_t fromLocation);
    // In ascending evaluation location.
    void enumerateMappings(
        const std::function<void(NSRange stored, NSRange evaluation)>& block) const;
    size_t count() const { return m_mappings.size(); }
    const NSIndexSet& nbfLocations() const { return m_locations; }

  private:
    struct Mapping {
        NSRange evaluation;  // "fromRange"
        NSRange stored;      // "toRange"
    };
    std::map<uint64_t, Mapping> m_mappings;
    NSIndexSet m_locations;
};

#endif
