// Writes a unit container as text: its own name of the requested kind when it has one, else
// the names of its component units with powers, the denominator after "/" or "per ":
// "metres per second", "m/s", "kilograms per metre second^2", "per second".
#ifndef NUMBERA_FOUNDATION_NBF_UNIT_STRING_FORMATTER_H
#define NUMBERA_FOUNDATION_NBF_UNIT_STRING_FORMATTER_H

#include <cstdint>

#include "NBFString.h"
#include "NBFUnitContainer.h"
#include "NBFUnitType.h"

typedef int32_t NBFUnitStringConnectiveType;
enum : NBFUnitStringConnectiveType {
    NBFUnitStringConnectiveTypeSlash = 0,  // always "/"
    NBFUnitStringConnectiveTypePer = 1,    // always "per "
    // "/" when a numerator unit is written in a short form (very short name, symbol or
    // identifier), else "per ".
    NBFUnitStringConnectiveTypeAutomatic = 2,
};

struct NBFUnitStringFormatter;
typedef NBFUnitStringFormatter* NBFUnitStringFormatterRef;

// Connective type 2.
NBFUnitStringFormatterRef NBFUnitStringFormatterCreate();
NBFUnitStringFormatterRef NBFUnitStringFormatterCreate(NBFUnitStringConnectiveType connectiveType);
NBFUnitStringFormatterRef NBFUnitStringFormatterRetain(NBFUnitStringFormatterRef formatter);
void NBFUnitStringFormatterRelease(NBFUnitStringFormatterRef formatter);

// A null formatter is ignored.
void NBFUnitStringFormatterSetConnectiveType(NBFUnitStringFormatterRef formatter,
                                             NBFUnitStringConnectiveType type);
// Units of the type are written in this format whatever format is requested; format 0 removes
// the override.
void NBFUnitStringFormatterSetNameFormatForUnitType(NBFUnitStringFormatterRef formatter,
                                                    NBFUnitFormatType formatType,
                                                    NBFUnitType unitType);

// The name type that a format asks for: format 1 the singular for form 1 and the plural
// otherwise, 2 the very short name, 3 the symbol, 4 the identifier. Any other format logs an
// error and gives name type 0.
NBFUnitNameType NBFUnitStringFormatterNameTypeForFormat(NBFUnitFormatType formatType,
                                                        NBFUnitStringForm form);

// A new string (the caller releases it). The container's own name of the name type needs no
// formatter; otherwise the text is built from its unit fraction, so null when the container,
// the formatter or the fraction is missing. Only the last numerator unit takes the plural;
// denominator units are always singular.
NBFStringRef NBFUnitStringFormatterCreateFormattedString(NBFUnitStringFormatterRef formatter,
                                                         NBFUnitContainerRef container,
                                                         NBFUnitFormatType formatType,
                                                         NBFUnitStringForm form);

#endif
