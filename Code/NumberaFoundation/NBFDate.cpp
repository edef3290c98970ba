#include "NBFDate.h"

NBFDateComponentsRef NBFDateComponentsCreate() { return new NBFDateComponents{1, 0, 0, 0, 0, 0, 0, nullptr}; }

NBFDateComponentsRef NBFDateComponentsRetain(NBFDateComponentsRef components) {
    if (components) ++components->refCount;
    return components;
}

void NBFDateComponentsRelease(NBFDateComponentsRef components) {
    if (!components || components->refCount-- != 1) return;
    NBFTimeZoneRelease(components->timeZone);
    delete components;
}

NBFTimeZoneRef NBFTimeZoneCreate() { return new NBFTimeZone{1}; }

NBFTimeZoneRef NBFTimeZoneRetain(NBFTimeZoneRef timeZone) {
    if (timeZone) ++timeZone->refCount;
    return timeZone;
}

void NBFTimeZoneRelease(NBFTimeZoneRef timeZone) {
    if (timeZone && timeZone->refCount-- == 1) delete timeZone;
}

NBFTimeZoneRef NBFTimeZoneGetCurrentTimeZone() { return nullptr; }
NBFDateRef NBFDateCreate() { return nullptr; }
NBFDateComponentsRef NBFDateCalculatorSubtractDates(NBFDateRef, NBFDateRef) { return nullptr; }
NBFDateRef NBFDateCalculatorAddDateComponentsToDate(NBFDateComponentsRef, NBFDateRef) { return nullptr; }
