#include "NCUnitCollection.h"
#include "NCUnitsFile.h"

void NCUnitCollection::addContentsOfLoadedUnitsFile(const NCUnitsFile& unitsFile) {
    addUnits(unitsFile.units());
    for (const auto& [type, identifier] : unitsFile.baseUnitIdentifiersByType())
        if (auto unit = unitWithIdentifier(identifier)) setDefaultUnitForType(unit, type);
}
