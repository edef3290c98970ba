#include <unicode/ucal.h>

#include "NSDate+Additions.h"

namespace NSDateAdditions {

namespace {
UDate toUDate(Date date) {
    return static_cast<UDate>(
        std::chrono::duration_cast<std::chrono::milliseconds>(date.time_since_epoch()).count());
}

UCalendar* openCalendar() {
    UErrorCode status = U_ZERO_ERROR;
    UCalendar* calendar = ucal_open(nullptr, 0, nullptr, UCAL_GREGORIAN, &status);
    return U_SUCCESS(status) ? calendar : nullptr;
}
}  // namespace

bool sharesCalanderDateWithDate(Date date, Date other) {
    UCalendar* calendar = openCalendar();
    if (!calendar) return false;
    UErrorCode status = U_ZERO_ERROR;
    int32_t fields[2][3];
    Date dates[2] = {date, other};
    for (int i = 0; i < 2; ++i) {
        ucal_setMillis(calendar, toUDate(dates[i]), &status);
        fields[i][0] = ucal_get(calendar, UCAL_EXTENDED_YEAR, &status);
        fields[i][1] = ucal_get(calendar, UCAL_MONTH, &status);
        fields[i][2] = ucal_get(calendar, UCAL_DATE, &status);
    }
    ucal_close(calendar);
    return U_SUCCESS(status) && fields[0][0] == fields[1][0] && fields[0][1] == fields[1][1] &&
           fields[0][2] == fields[1][2];
}

// The earlier of two equal dates is the receiver, as is the later.
bool isEarlierThan(Date date, Date other) { return date <= other; }
bool isLaterThan(Date date, Date other) { return date >= other; }

int64_t daysSinceDate(Date date, Date since) {
    UCalendar* calendar = openCalendar();
    if (!calendar) return 0;
    UErrorCode status = U_ZERO_ERROR;
    ucal_setMillis(calendar, toUDate(since), &status);
    int32_t days = ucal_getFieldDifference(calendar, toUDate(date), UCAL_DATE, &status);
    ucal_close(calendar);
    return U_SUCCESS(status) ? days : 0;
}

}  // namespace NSDateAdditions
