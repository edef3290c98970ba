#include "NBFUnitStringFormatter.h"

#include <map>
#include <vector>

#include "NBFErrorLog.h"
#include "NBFObject.h"
#include "NBFStringBuffer.h"
#include "NBFUnit.h"
#include "NBFUnitFraction.h"

struct NBFUnitStringFormatter : NBF::Object<NBFUnitStringFormatter> {
    explicit NBFUnitStringFormatter(NBFUnitStringConnectiveType type) : connectiveType(type) {}

    NBFUnitStringConnectiveType connectiveType;
    std::map<NBFUnitType, NBFUnitFormatType> nameFormats;  // 0: no override
};

namespace {

constexpr int32_t BufferCapacity = 2048;

bool isShortNameType(NBFUnitNameType nameType) {
    return nameType == NBFUnitNameTypeVeryShort || nameType == NBFUnitNameTypeSymbol ||
           nameType == NBFUnitNameTypeIdentifier;
}

// Denominator units are always written in the singular.
NBFUnitNameType singularOf(NBFUnitNameType nameType) {
    return nameType == NBFUnitNameTypePlural ? NBFUnitNameTypeSingular : nameType;
}

struct Component {
    NBFUnit* unit;
    int32_t degree;  // absolute
    NBFUnitNameType nameType;
};

void appendComponents(NBF::StringBuffer& buffer, const std::vector<Component>& components) {
    bool first = true;
    for (const Component& component : components) {
        if (!first) buffer.append(' ');
        first = false;
        std::string name =
            NBFStringGetCppString(NBFUnitGetNamePreferringType(component.unit, component.nameType));
        if (component.degree != 1) {
            buffer.appendFormat("%s^%d", name.c_str(), component.degree);
        } else {
            buffer.appendFormat("%s", name.c_str());
        }
    }
}

}  // namespace

NBFUnitStringFormatterRef NBFUnitStringFormatterCreate() {
    return NBFUnitStringFormatterCreate(NBFUnitStringConnectiveTypeAutomatic);
}

NBFUnitStringFormatterRef NBFUnitStringFormatterCreate(NBFUnitStringConnectiveType connectiveType) {
    return new NBFUnitStringFormatter(connectiveType);
}

NBFUnitStringFormatterRef NBFUnitStringFormatterRetain(NBFUnitStringFormatterRef formatter) {
    return NBF::retain(formatter);
}

void NBFUnitStringFormatterRelease(NBFUnitStringFormatterRef formatter) { NBF::release(formatter); }

void NBFUnitStringFormatterSetConnectiveType(NBFUnitStringFormatterRef formatter,
                                             NBFUnitStringConnectiveType type) {
    if (formatter) formatter->connectiveType = type;
}

void NBFUnitStringFormatterSetNameFormatForUnitType(NBFUnitStringFormatterRef formatter,
                                                    NBFUnitFormatType formatType,
                                                    NBFUnitType unitType) {
    if (formatter) formatter->nameFormats[unitType] = formatType;
}

NBFUnitNameType NBFUnitStringFormatterNameTypeForFormat(NBFUnitFormatType formatType,
                                                        NBFUnitStringForm form) {
    switch (formatType) {
        case NBFUnitFormatTypeName:
            return form == NBFUnitStringFormSingular ? NBFUnitNameTypeSingular
                                                     : NBFUnitNameTypePlural;
        case NBFUnitFormatTypeVeryShortName:
            return NBFUnitNameTypeVeryShort;
        case NBFUnitFormatTypeSymbol:
            return NBFUnitNameTypeSymbol;
        case NBFUnitFormatTypeIdentifier:
            return NBFUnitNameTypeIdentifier;
        default:
            NBF_LOG_ERROR("Unexpected type %d", formatType);
            return NBFUnitNameTypeNone;
    }
}

NBFStringRef NBFUnitStringFormatterCreateFormattedString(NBFUnitStringFormatterRef formatter,
                                                         NBFUnitContainerRef container,
                                                         NBFUnitFormatType formatType,
                                                         NBFUnitStringForm form) {
    if (!container) return nullptr;
    const NBFUnitNameType requested = NBFUnitStringFormatterNameTypeForFormat(formatType, form);
    if (container->hasNameForType(requested)) {
        return NBFStringCreateWithCppString(container->nameForType(requested));
    }
    NBFUnitFraction* fraction = container->unitFraction();
    if (!formatter || !fraction) return nullptr;

    // The name type for a unit of the type: the type's override format, else the request.
    auto nameTypeFor = [&](NBFUnitType type) {
        auto override = formatter->nameFormats.find(type);
        if (override == formatter->nameFormats.end() || override->second == NBFUnitFormatTypeNone) {
            return requested;
        }
        return NBFUnitStringFormatterNameTypeForFormat(override->second, form);
    };

    const NBFUnitsByTypeMap unitsByType = NBFUnitFractionGetUnitsByType(fraction);
    std::vector<Component> numerator;
    std::vector<Component> denominator;
    for (const auto& [type, degree] : NBFUnitFractionGetDegrees(fraction)) {
        auto shown = unitsByType.find(type);
        if (degree == 0 || shown == unitsByType.end() || !shown->second) continue;
        if (degree > 0) {
            numerator.push_back({shown->second, degree, nameTypeFor(type)});
        } else {
            denominator.push_back({shown->second, -degree, singularOf(nameTypeFor(type))});
        }
    }
    // Only the last numerator unit takes the plural: "kilogram metres".
    bool shortNameUsed = false;
    for (size_t i = 0; i < numerator.size(); ++i) {
        if (i + 1 < numerator.size()) numerator[i].nameType = singularOf(numerator[i].nameType);
        shortNameUsed = shortNameUsed || isShortNameType(numerator[i].nameType);
    }

    auto buffer = NBF::Ref<NBF::StringBuffer>::adopt(NBF::StringBuffer::create(BufferCapacity));
    appendComponents(*buffer, numerator);
    if (!denominator.empty()) {
        const NBFUnitStringConnectiveType connective = formatter->connectiveType;
        if (connective == NBFUnitStringConnectiveTypeSlash ||
            (connective == NBFUnitStringConnectiveTypeAutomatic && shortNameUsed)) {
            buffer->append('/');
        } else {
            if (buffer->length() > 0) buffer->append(' ');
            buffer->append("per ");
        }
        appendComponents(*buffer, denominator);
    }
    return buffer->createString();
}
