#include "NCUnit.h"

#include "NBFUnitStringFormatter.h"
#include "NCUtilityFunctions.h"

namespace {

std::optional<std::u16string> formattedName(NBFUnitStringFormatterRef formatter,
                                            NBFUnitContainerRef container, NBFUnitFormatType format,
                                            NBFUnitStringForm form) {
    NBFStringRef text =
        NBFUnitStringFormatterCreateFormattedString(formatter, container, format, form);
    std::optional<std::u16string> name = NCNSStringCreateFromNBFString(text);
    NBFStringRelease(text);
    return name;
}

}  // namespace

NCUnit::NCUnit(std::optional<std::u16string> identifier, NCUnitType type,
               NBFUnitContainerRef nbfUnitContainer)
    : m_type(type), m_identifier(std::move(identifier)) {
    m_nbfUnitContainer = NBF::Ref<NBF::UnitContainer>::retainOf(nbfUnitContainer);
}

void NCUnit::loadNames() const {
    std::call_once(m_namesLoaded, [this] {
        const_cast<NCUnit*>(this)->copyNamesFromNBFUnitContainer(m_nbfUnitContainer.get());
    });
}

int64_t NCUnit::nameKey(NCUnitNameFormat format, NCUnitNameForm form) {
    return format == NCUnitNameFormatName ? (format | (form << 8)) : format;
}

std::optional<std::u16string> NCUnit::nameForFormat(NCUnitNameFormat format) const {
    return nameForFormat(format, NCUnitNameFormSingular);
}

std::optional<std::u16string> NCUnit::nameForFormat(NCUnitNameFormat format,
                                                    NCUnitNameForm form) const {
    loadNames();
    auto found = m_names.find(nameKey(format, form));
    if (found == m_names.end()) return std::nullopt;
    return found->second;
}

void NCUnit::setName(std::optional<std::u16string> name, NCUnitNameFormat format,
                     NCUnitNameForm form) {
    loadNames();
    storeName(std::move(name), format, form);
}

void NCUnit::storeName(std::optional<std::u16string> name, NCUnitNameFormat format,
                       NCUnitNameForm form) {
    if (name)
        m_names[nameKey(format, form)] = std::move(*name);
    else
        m_names.erase(nameKey(format, form));
}

void NCUnit::setName(std::optional<std::u16string> name, NCUnitNameFormat format) {
    setName(std::move(name), format, NCUnitNameFormSingular);
}

std::optional<std::u16string> NCUnit::namePreferringFormat(NCUnitNameFormat format,
                                                           NCUnitNameForm form) const {
    const NCUnitNameFormat candidates[] = {format, NCUnitNameFormatName,
                                           NCUnitNameFormatVeryShortName, NCUnitNameFormatSymbol};
    for (NCUnitNameFormat candidate : candidates) {
        if (auto name = nameForFormat(candidate, form)) return name;
    }
    return std::nullopt;
}

std::optional<std::u16string> NCUnit::currencyCode() const {
    if (m_type != NCUnitTypeCurrency) return std::nullopt;
    return nameForFormat(NCUnitNameFormatVeryShortName);
}

void NCUnit::setAmbiguousTieBreakFactor(int64_t factor) {
    if (factor == m_ambiguousTieBreakFactor) return;
    m_ambiguousTieBreakFactor = factor;
    setUnderlyingAmbiguousTieBreakFactor(m_ambiguousTieBreakFactor +
                                         m_internalAmbiguousTieBreakFactor);
}

void NCUnit::setInternalAmbiguousTieBreakFactor(int64_t factor) {
    if (factor == m_internalAmbiguousTieBreakFactor) return;
    m_internalAmbiguousTieBreakFactor = factor;
    setUnderlyingAmbiguousTieBreakFactor(m_ambiguousTieBreakFactor +
                                         m_internalAmbiguousTieBreakFactor);
}

void NCUnit::setUnderlyingAmbiguousTieBreakFactor(int64_t factor) {
    NBFUnitContainerSetAmbiguousTieBreakFactor(m_nbfUnitContainer.get(),
                                               static_cast<int32_t>(factor));
}

NBFUnitFractionRef NCUnit::nbfUnitFraction() const {
    return NBFUnitContainerGetUnitFraction(m_nbfUnitContainer.get());
}

size_t NCUnit::hash() const {
    auto name = namePreferringFormat(NCUnitNameFormatName, NCUnitNameFormSingular);
    return name ? std::hash<std::u16string>()(*name) : 0;
}

bool NCUnit::isEqual(const NCUnit* other) const {
    if (!other) return false;
    auto mine = nameForFormat(NCUnitNameFormatName);
    return mine && mine == other->nameForFormat(NCUnitNameFormatName);
}

std::u16string NCUnit::description() const {
    return nameForFormat(NCUnitNameFormatName).value_or(m_identifier.value_or(u""));
}

void NCUnit::copyNamesFromNBFUnitContainer(NBFUnitContainerRef container) {
    if (!container) return;
    NBFUnitStringFormatterRef per = NBFUnitStringFormatterCreate(NBFUnitStringConnectiveTypePer);
    storeName(formattedName(per, container, NBFUnitFormatTypeName, NBFUnitStringFormSingular),
              NCUnitNameFormatName, NCUnitNameFormSingular);
    storeName(formattedName(per, container, NBFUnitFormatTypeName, NBFUnitStringFormPlural),
              NCUnitNameFormatName, NCUnitNameFormPlural);
    NBFUnitStringFormatterRelease(per);

    NBFUnitStringFormatterRef slash =
        NBFUnitStringFormatterCreate(NBFUnitStringConnectiveTypeSlash);
    storeName(
        formattedName(slash, container, NBFUnitFormatTypeVeryShortName, NBFUnitStringFormSingular),
        NCUnitNameFormatVeryShortName, NCUnitNameFormSingular);
    storeName(formattedName(slash, container, NBFUnitFormatTypeSymbol, NBFUnitStringFormSingular),
              NCUnitNameFormatSymbol, NCUnitNameFormSingular);
    NBFUnitStringFormatterRelease(slash);

    NCUnitAliases aliases;
    for (const auto& [nameType, text] : NBFUnitContainerGetAliases(container)) {
        if (!text) continue;
        aliases[NBFUnitNameTypeToNCUnitNameType(nameType)].push_back(text->units());
    }
    m_aliasDict = std::move(aliases);
}

NBFUnitContainerRef NBFUnitContainerCreateWithNames(
    const std::optional<std::u16string>& identifier, const std::optional<std::u16string>& singular,
    const std::optional<std::u16string>& plural, const std::optional<std::u16string>& veryShort,
    const std::optional<std::u16string>& symbol, const NCUnitAliases& aliases,
    const std::set<std::u16string>& caseSensitiveNames) {
    NBF::UnitContainer::NameMap names;
    const std::pair<NBFUnitNameType, const std::optional<std::u16string>*> given[] = {
        {NBFUnitNameTypeSingular, &singular},
        {NBFUnitNameTypePlural, &plural},
        {NBFUnitNameTypeVeryShort, &veryShort},
        {NBFUnitNameTypeSymbol, &symbol},
    };
    for (const auto& [nameType, name] : given)
        if (*name) names[nameType] = NBFUTF16ToUTF8(**name);

    NBF::UnitContainer::AliasMap aliasMap;
    for (const auto& [nameType, texts] : aliases) {
        NBFUnitNameType converted = NCUnitNameTypeToNBFUnitNameType(nameType);
        for (const std::u16string& text : texts) aliasMap.emplace(converted, NBFUTF16ToUTF8(text));
    }
    std::set<std::string> caseSensitive;
    for (const std::u16string& name : caseSensitiveNames)
        caseSensitive.insert(NBFUTF16ToUTF8(name));
    return NBFUnitContainerCreate(identifier ? NBFUTF16ToUTF8(*identifier) : std::string(), names,
                                  aliasMap, caseSensitive);
}
