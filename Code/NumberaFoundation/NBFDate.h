// Date and time-zone records of the procedural interface. No date arithmetic exists yet: the
// creating and calculating functions answer null.
#ifndef NUMBERA_FOUNDATION_NBF_DATE_H
#define NUMBERA_FOUNDATION_NBF_DATE_H

#include <cstdint>

struct NBFTimeZone {
    uint16_t refCount;
};
typedef NBFTimeZone* NBFTimeZoneRef;

struct NBFDateComponents {
    uint16_t refCount;
    int32_t year, month, day, hour, minute, second;
    NBFTimeZoneRef timeZone;  // retained
};
typedef NBFDateComponents* NBFDateComponentsRef;

struct NBFDate;
typedef NBFDate* NBFDateRef;

NBFDateComponentsRef NBFDateComponentsCreate();
NBFDateComponentsRef NBFDateComponentsRetain(NBFDateComponentsRef components);
void NBFDateComponentsRelease(NBFDateComponentsRef components);
NBFTimeZoneRef NBFTimeZoneCreate();
NBFTimeZoneRef NBFTimeZoneRetain(NBFTimeZoneRef timeZone);
void NBFTimeZoneRelease(NBFTimeZoneRef timeZone);

NBFTimeZoneRef NBFTimeZoneGetCurrentTimeZone();
NBFDateRef NBFDateCreate();
NBFDateComponentsRef NBFDateCalculatorSubtractDates(NBFDateRef a, NBFDateRef b);
NBFDateRef NBFDateCalculatorAddDateComponentsToDate(NBFDateComponentsRef components, NBFDateRef date);

#endif
