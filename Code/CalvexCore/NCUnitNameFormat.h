// How a unit is named in an answer.
#ifndef NUMBERA_CORE_NC_UNIT_NAME_FORMAT_H
#define NUMBERA_CORE_NC_UNIT_NAME_FORMAT_H

#include <cstdint>

typedef int64_t NCUnitNameFormat;
enum : NCUnitNameFormat {
    NCUnitNameFormatDefault = 0,        // each unit type's own choice
    NCUnitNameFormatName = 1,           // singular or plural by form
    NCUnitNameFormatVeryShortName = 2,  // for a currency, its code
    NCUnitNameFormatSymbol = 3,
};

typedef int64_t NCUnitNameForm;
enum : NCUnitNameForm { NCUnitNameFormPlural = 1, NCUnitNameFormSingular = 2 };

#endif
