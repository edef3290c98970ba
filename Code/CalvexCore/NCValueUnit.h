// The anonymous unit of an answer: an unnamed container over the answer's unit fraction.
#ifndef NUMBERA_CORE_NC_VALUE_UNIT_H
#define NUMBERA_CORE_NC_VALUE_UNIT_H

#include "NCUnit.h"

class NCValueUnit : public NCUnit {
  public:
    // The type is the fraction's (0 for none, or a fraction without units).
    explicit NCValueUnit(NBFUnitFractionRef unitFraction);
    NCValueUnit() : NCValueUnit(nullptr) {}
    ~NCValueUnit() override;

  private:
    static NBFUnitContainerRef containerWith(NBFUnitFractionRef unitFraction);
    NBFUnitFractionRef m_nbfUnitFraction;
};

#endif
