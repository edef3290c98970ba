// Date and time-zone records of the procedural interface. No date arithmetic exists yet: the
// creating and calculating functions answer null.
#ifndef NUMBERA_FOUNDATION_NBF_DATE_H
#define NUMBERA_FOUNDATION_NBF_DATE_H

#include <cstdint>

#include "NBFObject.h"

struct NBFTimeZone : NBF::Object<NBFTimeZone> {};
typedef NBFTimeZone* NBFTimeZoneRef;

struct NBFDateComponents : NBF::Object<NBFDateComponents> {
    ~NBFDateComponents() override;
    int32_t year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    NBFTimeZoneRef timeZone = nullptr;  // retained
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
NBFDateRef NBFDateCalculatorAddDateComponentsToDate(NBFDateComponentsRef components,
                                                    NBFDateRef date);

#endif
