#include "NCBasicUnit.h"

#include "NBFErrorLog.h"
#include "NBFUnitFractionBuilder.h"
#include "NCUtilityFunctions.h"

namespace {

// Foundation unit options of a currency unit.
constexpr uint32_t kCurrencyUnitOptions = 8;

void giveContainerTheFractionOf(NBFUnitContainerRef container, NBFUnitRef unit) {
    NBFUnitFractionBuilderRef builder = NBFUnitFractionBuilderCreateWithBasicUnit(unit);
    NBFUnitContainerSetUnitFraction(container, NBFUnitFractionBuilderGetUnitFraction(builder));
    NBFUnitFractionBuilderRelease(builder);
}

}  // namespace

bool NCBasicUnit::makeParts(Parts* parts, const std::optional<std::u16string>& identifier,
                            NCUnitType type, const std::optional<std::u16string>& factor,
                            const std::optional<std::u16string>& offset, const Names& names,
                            const NCUnitAliases& aliases,
                            const std::set<std::u16string>& caseSensitiveNames) {
    if (!NCUnitTypeHasNBFUnitType(type)) {
        OX_logErr_bigHeader(false, "Error!", __func__, "Code/CalvexCore/NCBasicUnit", __LINE__,
                            "Unit '%s' of type %llu has no foundation type; skipped",
                            identifier ? NBFUTF16ToUTF8(*identifier).c_str() : "",
                            static_cast<unsigned long long>(type));
        return false;
    }
    if (identifier && factor) {
        std::string identifierText = NBFUTF16ToUTF8(*identifier);
        parts->unit = NBFUnitCreate(NCUnitTypeToNBFUnitType(type), NBFUTF16ToUTF8(*factor).c_str(),
                                    identifierText.c_str());
        if (offset) NBFUnitSetOffset(parts->unit, NCNBFStringFromNSStringReference(*offset).get());
        NBFUnitSetOptions(parts->unit, type == NCUnitTypeCurrency ? kCurrencyUnitOptions : 0);
        const std::pair<NBFUnitNameType, const std::optional<std::u16string>*> given[] = {
            {NBFUnitNameTypeSingular, &names.singular},
            {NBFUnitNameTypePlural, &names.plural},
            {NBFUnitNameTypeVeryShort, &names.veryShort},
            {NBFUnitNameTypeSymbol, &names.symbol},
        };
        for (const auto& [nameType, name] : given)
            if (*name)
                NBFUnitSetName(parts->unit, NCNBFStringFromNSStringReference(**name).get(),
                               nameType);
        for (const auto& [nameType, texts] : aliases) {
            NBFUnitNameType converted = NCUnitNameTypeToNBFUnitNameType(nameType);
            for (const std::u16string& text : texts)
                NBFUnitAddAlias(parts->unit, NCNBFStringFromNSStringReference(text).get(),
                                converted);
        }
    }
    parts->container = NBF::Ref<NBF::UnitContainer>::adopt(
        NBFUnitContainerCreateWithNames(identifier, names.singular, names.plural, names.veryShort,
                                        names.symbol, aliases, caseSensitiveNames));
    if (parts->unit) giveContainerTheFractionOf(parts->container.get(), parts->unit);
    if (type == NCUnitTypeCurrency)
        NBFUnitContainerSetCanBePrefixUnit(parts->container.get(), true);
    return true;
}

NCBasicUnit::NCBasicUnit(const std::optional<std::u16string>& identifier, NCUnitType type,
                         Parts parts, std::optional<std::u16string> offset,
                         std::set<std::u16string> caseSensitiveNames)
    : NCUnit(identifier, type, parts.container.get()),
      m_nbfUnit(parts.unit),
      m_caseSensitiveNames(std::move(caseSensitiveNames)),
      m_offset(std::move(offset)) {
    NBFUnitSetObjectReference(m_nbfUnit, this);
}

NCBasicUnit::~NCBasicUnit() {
    // Fractions elsewhere may keep the foundation unit alive; it must not point back here.
    NBFUnitSetObjectReference(m_nbfUnit, nullptr);
    NBFUnitRelease(m_nbfUnit);
}

std::shared_ptr<NCBasicUnit> NCBasicUnit::create(
    const std::optional<std::u16string>& identifier, NCUnitType type,
    const std::optional<std::u16string>& factor, const std::optional<std::u16string>& offset,
    const Names& names, const NCUnitAliases& aliases,
    const std::set<std::u16string>& caseSensitiveNames) {
    Parts parts;
    if (!makeParts(&parts, identifier, type, factor, offset, names, aliases, caseSensitiveNames))
        return nullptr;
    return std::shared_ptr<NCBasicUnit>(
        new NCBasicUnit(identifier, type, std::move(parts), offset, caseSensitiveNames));
}

std::optional<std::u16string> NCBasicUnit::factor() const {
    return NCNSStringFromCStringUTF8(NBFUnitGetBaseFactor(m_nbfUnit));
}

void NCBasicUnit::setUnderlyingAmbiguousTieBreakFactor(int64_t factor) {
    NBFUnitSetAmbiguousTieBreakFactor(m_nbfUnit, static_cast<int32_t>(factor));
    NCUnit::setUnderlyingAmbiguousTieBreakFactor(factor);
}

std::shared_ptr<NCMutableBasicUnit> NCMutableBasicUnit::create(
    const std::optional<std::u16string>& identifier, NCUnitType type,
    const std::optional<std::u16string>& factor, const std::optional<std::u16string>& offset,
    const Names& names, const NCUnitAliases& aliases,
    const std::set<std::u16string>& caseSensitiveNames) {
    Parts parts;
    if (!makeParts(&parts, identifier, type, factor, offset, names, aliases, caseSensitiveNames))
        return nullptr;
    return std::shared_ptr<NCMutableBasicUnit>(
        new NCMutableBasicUnit(identifier, type, std::move(parts), offset, caseSensitiveNames));
}

void NCMutableBasicUnit::setFactor(const std::u16string& factor) {
    if (!m_nbfUnit) return;
    NBFUnitSetBaseFactor(m_nbfUnit, NBFUTF16ToUTF8(factor).c_str());
    giveContainerTheFractionOf(nbfUnitContainer(), m_nbfUnit);
}
