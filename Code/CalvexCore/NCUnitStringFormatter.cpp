#include "NCUnitStringFormatter.h"

#include "NBFErrorLog.h"
#include "NBFUnitStringFormatter.h"
#include "NCUtilityFunctions.h"

namespace {

NBFUnitStringForm foundationForm(NCUnitNameForm form) {
    if (form == NCUnitNameFormSingular) return NBFUnitStringFormSingular;
    if (form == NCUnitNameFormPlural) return NBFUnitStringFormPlural;
    OX_logErr_bigHeader(false, "Error!", __func__, "Code/CalvexCore/NCUnitStringFormatter",
                        __LINE__, "Unexpected type %d", static_cast<int>(form));
    return 0;
}

}  // namespace

std::optional<std::u16string> NCUnitStringFormatter::stringForUnit(const NCUnit* unit,
                                                                   NCUnitNameForm form) const {
    return stringForUnit(unit, NCUnitNameFormatName, form);
}

std::optional<std::u16string> NCUnitStringFormatter::stringForUnit(const NCUnit* unit,
                                                                   NCUnitNameFormat format,
                                                                   NCUnitNameForm form) const {
    if (!unit) return std::nullopt;
    NBFUnitStringFormatterRef formatter = NBFUnitStringFormatterCreate();
    for (const auto& [unitType, typeFormat] : unitNameFormatsByUnitType) {
        if (!NCUnitTypeHasNBFUnitType(unitType)) continue;
        NBFUnitStringFormatterSetNameFormatForUnitType(
            formatter, NCUnitNameFormatToNBFUnitFormatType(typeFormat),
            NCUnitTypeToNBFUnitType(unitType));
    }
    NBFStringRef text = NBFUnitStringFormatterCreateFormattedString(
        formatter, unit->nbfUnitContainer(), NCUnitNameFormatToNBFUnitFormatType(format),
        foundationForm(form));
    std::optional<std::u16string> answer = NCNSStringCreateFromNBFString(text);
    NBFStringRelease(text);
    NBFUnitStringFormatterRelease(formatter);
    return answer;
}
