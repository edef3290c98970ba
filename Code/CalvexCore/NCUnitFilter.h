// The unit an answer shows: a currency amount multiplied by other units shows as currency
// alone, while a rate such as currency per kilogram keeps its denominator.
#ifndef NUMBERA_CORE_NC_UNIT_FILTER_H
#define NUMBERA_CORE_NC_UNIT_FILTER_H

#include <memory>

#include "NCUnit.h"

class NCUnitFilter {
  public:
    // The same object unless currency stands in the numerator.
    static std::shared_ptr<NCUnit> filteredUnit(const std::shared_ptr<NCUnit>& unit);
};

#endif
