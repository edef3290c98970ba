#include "NBFDate.h"

NBFDateComponentsRef NBFDateComponentsCreate() { return new NBFDateComponents(); }

NBFDateComponents::~NBFDateComponents() { NBFTimeZoneRelease(timeZone); }

NBFDateComponentsRef NBFDateComponentsRetain(NBFDateComponentsRef components) {
    return NBF::retain(components);
}

void NBFDateComponentsRelease(NBFDateComponentsRef components) { NBF::release(components); }

NBFTimeZoneRef NBFTimeZoneCreate() { return new NBFTimeZone(); }

NBFTimeZoneRef NBFTimeZoneRetain(NBFTimeZoneRef timeZone) { return NBF::retain(timeZone); }

void NBFTimeZoneRelease(NBFTimeZoneRef timeZone) { NBF::release(timeZone); }

NBFTimeZoneRef NBFTimeZoneGetCurrentTimeZone() { return nullptr; }
NBFDateRef NBFDateCreate() { return nullptr; }
NBFDateComponentsRef NBFDateCalculatorSubtractDates(NBFDateRef, NBFDateRef) { return nullptr; }
NBFDateRef NBFDateCalculatorAddDateComponentsToDate(NBFDateComponentsRef, NBFDateRef) {
    return nullptr;
}
