// Unit types, unit name and format types, and the unit type bitmap shared by the unit system
// and the expression nodes. Every per-type array of the unit system is indexed by a type's
// dense array index, not by the type number.
#ifndef NUMBERA_FOUNDATION_NBF_UNIT_TYPE_H
#define NUMBERA_FOUNDATION_NBF_UNIT_TYPE_H

#include <cstdint>
#include <vector>

typedef int32_t NBFUnitType;
enum : NBFUnitType {
    NBFUnitTypeNone = 0,   // a plain number
    NBFUnitTypeMixed = 1,  // units that form no single type
    NBFUnitTypeLength = 2,
    NBFUnitTypeMass = 3,
    NBFUnitTypeMoney = 4,
    NBFUnitTypeTime = 5,
    NBFUnitTypeTemperature = 6,
    NBFUnitTypeComputerStorage = 7,
    NBFUnitTypeForce = 8,
    NBFUnitTypeEnergy = 9,
    NBFUnitTypePower = 10,
    NBFUnitTypePressure = 11,
    NBFUnitTypeFrequency = 12,
    NBFUnitTypeVoltage = 13,
    NBFUnitTypeCurrent = 14,
    NBFUnitTypeResistance = 15,
    NBFUnitTypeVelocity = 16,
    NBFUnitTypeAcceleration = 17,
    NBFUnitTypeArea = 18,
    NBFUnitTypeVolume = 19,
    NBFUnitTypeComputerThroughput = 20,
};
constexpr int32_t NBFUnitTypeCount = 21;
// Slots of a per-type array: one per array index, and one spare.
constexpr int32_t NBFUnitTypeArraySize = 22;

typedef int32_t NBFUnitNameType;
enum : NBFUnitNameType {
    NBFUnitNameTypeNone = 0,
    NBFUnitNameTypeSingular = 1,
    NBFUnitNameTypePlural = 2,
    NBFUnitNameTypeVeryShort = 3,
    NBFUnitNameTypeSymbol = 4,
    NBFUnitNameTypeIdentifier = 5,
};

typedef int32_t NBFUnitFormatType;
enum : NBFUnitFormatType {
    NBFUnitFormatTypeNone = 0,
    NBFUnitFormatTypeName = 1,  // singular or plural by the string form
    NBFUnitFormatTypeVeryShortName = 2,
    NBFUnitFormatTypeSymbol = 3,
    NBFUnitFormatTypeIdentifier = 4,
};

typedef int32_t NBFUnitStringForm;
enum : NBFUnitStringForm {
    NBFUnitStringFormSingular = 1,  // any other value means plural
    NBFUnitStringFormPlural = 2,
};

// Types 2..20 map to indexes 0..18, type 1 to 19 and type 0 to 20. A type outside 0..20 is a
// consistency failure that stops the process.
int32_t NBFUnitTypeToArrayIndex(NBFUnitType type);
// An index outside 0..20 logs an error and gives type 0.
NBFUnitType NBFUnitTypeFromArrayIndex(int32_t index);
// Name types 0..4 give format types 0, 1, 1, 2, 3; anything else logs an error and gives 0.
NBFUnitFormatType NBFUnitFormatTypeFromNBFUnitNameType(NBFUnitNameType nameType);

// The 16 types that take part in ambiguity scoring and unit maps: 2..12, then 16..20.
// The electrical types 13..15 are left out.
const std::vector<NBFUnitType>& NBFUnitTypes();
// "length", "mass", ... for types 2..20; any other type logs an error and gives null.
const char* NBFUnitTypeIdentifier(NBFUnitType type);

// Bit i set: the type with array index i is present.
typedef uint64_t NBFUnitTypeBitmap;
constexpr NBFUnitTypeBitmap NBFUnitTypeBitmapZero = 0;

struct NBFUnitFraction;
namespace NBF {
class UnitContainer;
}

NBFUnitTypeBitmap NBFUnitTypeBitmapMake(NBFUnitType type);
// The types of all numerator and denominator units; 0 for null.
NBFUnitTypeBitmap NBFUnitTypeBitmapMakeWithUnitFraction(const NBFUnitFraction* fraction);
NBFUnitTypeBitmap NBFUnitTypeBitmapMakeWithUnitContainer(const NBF::UnitContainer* container);
bool NBFUnitTypeBitmapHasUnitType(const NBFUnitTypeBitmap* bitmap, NBFUnitType type);
// Exactly one bit set (false for the empty bitmap).
bool NBFUnitTypeBitmapHasSingleUnitOnly(const NBFUnitTypeBitmap* bitmap);
NBFUnitTypeBitmap NBFUnitTypeBitmapAdd(NBFUnitTypeBitmap a, NBFUnitTypeBitmap b);
void NBFUnitTypeBitmapAppend(NBFUnitTypeBitmap* bitmap, NBFUnitTypeBitmap other);

#endif
