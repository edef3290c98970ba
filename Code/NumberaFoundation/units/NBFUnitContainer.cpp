#include "NBFUnitContainer.h"

#include "NBFUnitFraction.h"

namespace NBF {

namespace {

const std::string& emptyText() {
    static const std::string empty;
    return empty;
}

}  // namespace

UnitContainer* UnitContainer::create(const std::string& identifier, const NameMap& names,
                                     const AliasMap& aliases,
                                     const std::set<std::string>& caseSensitiveNames) {
    auto* container = new UnitContainer();
    container->m_identifier = identifier;
    container->m_names = names;
    container->m_caseSensitiveNames = caseSensitiveNames;
    for (const auto& [nameType, name] : names) {
        container->m_nameStrings[nameType] = NBFStringCreateWithCppString(name);
        container->m_nameTypes[name] = nameType;
    }
    for (const auto& [nameType, alias] : aliases) {
        container->m_aliases.emplace(nameType, NBFStringCreateWithCppString(alias));
        container->m_nameTypes[alias] = nameType;
    }
    return container;
}

UnitContainer::~UnitContainer() {
    NBFUnitFractionRelease(m_fraction);
    for (const auto& entry : m_nameStrings) NBFStringRelease(entry.second);
    for (const auto& entry : m_aliases) NBFStringRelease(entry.second);
}

void UnitContainer::setUnitFraction(NBFUnitFraction* fraction) {
    if (fraction == m_fraction) return;
    NBFUnitFractionRetain(fraction);
    NBFUnitFractionRelease(m_fraction);
    m_fraction = fraction;
}

const std::string& UnitContainer::nameForType(NBFUnitNameType nameType) const {
    if (nameType == NBFUnitNameTypeIdentifier) return m_identifier;
    auto found = m_names.find(nameType);
    return found == m_names.end() ? emptyText() : found->second;
}

NBFUnitNameType UnitContainer::nameTypeForName(const std::string& name) const {
    auto found = m_nameTypes.find(name);
    return found == m_nameTypes.end() ? NBFUnitNameTypeNone : found->second;
}

}  // namespace NBF

NBFUnitContainerRef NBFUnitContainerCreate() { return NBF::UnitContainer::create(); }

NBFUnitContainerRef NBFUnitContainerCreate(const std::string& identifier,
                                           const NBF::UnitContainer::NameMap& names,
                                           const NBF::UnitContainer::AliasMap& aliases) {
    return NBF::UnitContainer::create(identifier, names, aliases);
}

NBFUnitContainerRef NBFUnitContainerCreate(const std::string& identifier,
                                           const NBF::UnitContainer::NameMap& names,
                                           const NBF::UnitContainer::AliasMap& aliases,
                                           const std::set<std::string>& caseSensitiveNames) {
    return NBF::UnitContainer::create(identifier, names, aliases, caseSensitiveNames);
}

NBFUnitContainerRef NBFUnitContainerRetain(NBFUnitContainerRef container) {
    return NBF::retain(container);
}

void NBFUnitContainerRelease(NBFUnitContainerRef container) { NBF::release(container); }

void NBFUnitContainerSetUnitFraction(NBFUnitContainerRef container, NBFUnitFraction* fraction) {
    if (container) container->setUnitFraction(fraction);
}

NBFUnitFraction* NBFUnitContainerGetUnitFraction(NBFUnitContainerRef container) {
    return container ? container->unitFraction() : nullptr;
}

M_APM NBFUnitContainerGetScalarMAPM(NBFUnitContainerRef container) {
    return NBFUnitFractionGetMultiplier(NBFUnitContainerGetUnitFraction(container));
}

bool NBFUnitContainerIsBaseUnit(NBFUnitContainerRef container) {
    M_APM scalar = NBFUnitContainerGetScalarMAPM(container);
    return scalar && m_apm_compare_mt(scalar, MM_One) == 0;
}

NBFUnitType NBFUnitContainerGetUnitType(NBFUnitContainerRef container) {
    return NBFUnitFractionGetUnitType(NBFUnitContainerGetUnitFraction(container));
}

void NBFUnitContainerSetCanBePrefixUnit(NBFUnitContainerRef container, bool flag) {
    if (container) container->setCanBePrefixUnit(flag);
}

bool NBFUnitContainerCanBePrefixUnit(NBFUnitContainerRef container) {
    return container && container->canBePrefixUnit();
}

void NBFUnitContainerSetAmbiguousTieBreakFactor(NBFUnitContainerRef container, int32_t factor) {
    if (container) container->setAmbiguousTieBreakFactor(factor);
}

int32_t NBFUnitContainerGetAmbiguousTieBreakFactor(NBFUnitContainerRef container) {
    return container ? container->ambiguousTieBreakFactor() : 0;
}

const char* NBFUnitContainerGetIdentifier(NBFUnitContainerRef container) {
    return container ? container->identifier().c_str() : nullptr;
}

const std::string& NBFUnitContainerGetIdentifier_cpp(NBFUnitContainerRef container) {
    return container ? container->identifier() : NBF::emptyText();
}

const std::string& NBFUnitContainerGetNameForType(NBFUnitContainerRef container,
                                                  NBFUnitNameType nameType) {
    return container ? container->nameForType(nameType) : NBF::emptyText();
}

bool NBFUnitContainerHasNameForType(NBFUnitContainerRef container, NBFUnitNameType nameType) {
    return container && container->hasNameForType(nameType);
}

NBFUnitNameType NBFUnitContainerGetNameTypeForName(NBFUnitContainerRef container,
                                                   const std::string& name) {
    return container ? container->nameTypeForName(name) : NBFUnitNameTypeNone;
}

bool NBFUnitContainerIsNameCaseSensitive(NBFUnitContainerRef container, const std::string& name) {
    return container && container->isNameCaseSensitive(name);
}

const NBF::UnitContainer::StringNameMap& NBFUnitContainerGetNames(NBFUnitContainerRef container) {
    static const NBF::UnitContainer::StringNameMap none;
    return container ? container->names() : none;
}

const NBF::UnitContainer::StringAliasMap& NBFUnitContainerGetAliases(
    NBFUnitContainerRef container) {
    static const NBF::UnitContainer::StringAliasMap none;
    return container ? container->aliases() : none;
}

NBFUnitTypeBitmap NBFUnitTypeBitmapMakeWithUnitContainer(const NBF::UnitContainer* container) {
    return container ? NBFUnitTypeBitmapMakeWithUnitFraction(container->unitFraction())
                     : NBFUnitTypeBitmapZero;
}
