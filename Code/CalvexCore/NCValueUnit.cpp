#include "NCValueUnit.h"

#include "NCUtilityFunctions.h"

NBFUnitContainerRef NCValueUnit::containerWith(NBFUnitFractionRef unitFraction) {
    NBFUnitContainerRef container = NBFUnitContainerCreate();
    NBFUnitContainerSetUnitFraction(container, unitFraction);
    return container;
}

NCValueUnit::NCValueUnit(NBFUnitFractionRef unitFraction)
    : NCUnit(std::nullopt, NCUnitTypeFromNBFUnitType(NBFUnitFractionGetUnitType(unitFraction)),
             NBF::Ref<NBF::UnitContainer>::adopt(containerWith(unitFraction)).get()),
      m_nbfUnitFraction(NBFUnitFractionRetain(unitFraction)) {}

NCValueUnit::~NCValueUnit() { NBFUnitFractionRelease(m_nbfUnitFraction); }
