// Unit types and the name types of unit names, numbered as in the foundation where the
// foundation knows them.
#ifndef NUMBERA_CORE_NC_UNIT_TYPE_H
#define NUMBERA_CORE_NC_UNIT_TYPE_H

#include <cstdint>

typedef uint64_t NCUnitType;
enum : NCUnitType {
    NCUnitTypeNone = 0,   // a plain number
    NCUnitTypeMixed = 1,  // units that form no single type
    NCUnitTypeLength = 2,
    NCUnitTypeMass = 3,
    NCUnitTypeCurrency = 4,
    NCUnitTypeTime = 5,
    NCUnitTypeTemperature = 6,
    NCUnitTypeComputerStorage = 7,
    NCUnitTypeForce = 8,
    NCUnitTypeEnergy = 9,
    NCUnitTypePower = 10,
    NCUnitTypePressure = 11,
    NCUnitTypeFrequency = 12,
    NCUnitTypeElectricPotential = 13,
    NCUnitTypeElectricCurrent = 14,
    NCUnitTypeElectricResistance = 15,
    NCUnitTypeSpeed = 16,
    NCUnitTypeAcceleration = 17,
    NCUnitTypeArea = 18,
    NCUnitTypeVolume = 19,
    NCUnitTypeComputerThroughput = 20,
    NCUnitTypeFuelConsumption = 21,  // has no foundation type
};

typedef int64_t NCUnitNameType;
enum : NCUnitNameType {
    NCUnitNameTypeSingular = 1,
    NCUnitNameTypePlural = 2,
    NCUnitNameTypeVeryShort = 3,
    NCUnitNameTypeSymbol = 4,
};

#endif
