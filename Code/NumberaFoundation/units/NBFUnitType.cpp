#include "NBFUnitType.h"

#include <bit>

#include "NBFErrorLog.h"

namespace {

constexpr NBFUnitType kTypeOfIndex[NBFUnitTypeCount] = {
    2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 1, 0,
};

constexpr int32_t kIndexOfType[NBFUnitTypeCount] = {
    20, 19, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18,
};

constexpr NBFUnitFormatType kFormatOfNameType[5] = {0, 1, 1, 2, 3};

const char* const kTypeIdentifiers[NBFUnitTypeCount] = {
    nullptr,        nullptr,      "length",   "mass",  "money",    "time",   "temp",
    "comp storage", "force",      "energy",   "power", "pressure", "freq",   "voltage",
    "current",      "resistance", "velocity", "acc",   "area",     "volume", "comp throughput",
};

}  // namespace

int32_t NBFUnitTypeToArrayIndex(NBFUnitType type) {
    if (type < 0 || type >= NBFUnitTypeCount) {
        NBF_LOG_ERROR("Unexpected unit type %d", type);
        NBF_ABORT("Unexpected unit type");
    }
    return kIndexOfType[type];
}

NBFUnitType NBFUnitTypeFromArrayIndex(int32_t index) {
    if (index < 0 || index >= NBFUnitTypeCount) {
        NBF_LOG_ERROR("Unexpected unit index %d", index);
        NBF_LOG_ERROR("Unexpected unit type index");
        return NBFUnitTypeNone;
    }
    return kTypeOfIndex[index];
}

NBFUnitFormatType NBFUnitFormatTypeFromNBFUnitNameType(NBFUnitNameType nameType) {
    if (nameType < 0 || nameType > 4) {
        NBF_LOG_ERROR("Unexpected name type %d", nameType);
        return NBFUnitFormatTypeNone;
    }
    return kFormatOfNameType[nameType];
}

const std::vector<NBFUnitType>& NBFUnitTypes() {
    static const std::vector<NBFUnitType> types = {2,  3,  4,  5,  6,  7,  8,  9,
                                                   10, 11, 12, 16, 17, 18, 19, 20};
    return types;
}

const char* NBFUnitTypeIdentifier(NBFUnitType type) {
    if (type < 2 || type >= NBFUnitTypeCount) {
        NBF_LOG_ERROR("Unexpected type %d", type);
        return nullptr;
    }
    return kTypeIdentifiers[type];
}

NBFUnitTypeBitmap NBFUnitTypeBitmapMake(NBFUnitType type) {
    return NBFUnitTypeBitmap{1} << NBFUnitTypeToArrayIndex(type);
}

bool NBFUnitTypeBitmapHasUnitType(const NBFUnitTypeBitmap* bitmap, NBFUnitType type) {
    return bitmap && (*bitmap & NBFUnitTypeBitmapMake(type)) != 0;
}

bool NBFUnitTypeBitmapHasSingleUnitOnly(const NBFUnitTypeBitmap* bitmap) {
    return bitmap && std::popcount(*bitmap) == 1;
}

NBFUnitTypeBitmap NBFUnitTypeBitmapAdd(NBFUnitTypeBitmap a, NBFUnitTypeBitmap b) { return a | b; }

void NBFUnitTypeBitmapAppend(NBFUnitTypeBitmap* bitmap, NBFUnitTypeBitmap other) {
    if (bitmap) *bitmap |= other;
}
