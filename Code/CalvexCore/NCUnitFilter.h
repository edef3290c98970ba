// The unit an answer shows: a currency amount multiplied by other units shows as currency
// alone, while a rate such as currency per kilogram keeps its denominator. An amount with both
// (currency times kilograms per kilowatt hour) keeps every unit: shown as currency per kilowatt
// hour alone it would read as a price it is not.
#ifndef NUMBERA_CORE_NC_UNIT_FILTER_H
#define NUMBERA_CORE_NC_UNIT_FILTER_H

#include <memory>

#include "NCUnit.h"

class NCUnitFilter {
  public:
    // The same object unless currency stands in the numerator and the answer is an amount or
    // a rate of it.
    static std::shared_ptr<NCUnit> filteredUnit(const std::shared_ptr<NCUnit>& unit);
};

#endif
