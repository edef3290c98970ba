#include "NCAliasUnit.h"

#include <typeinfo>

#include "NBFErrorLog.h"
#include "NBFString.h"

NCAliasUnit::NCAliasUnit(std::optional<std::u16string> identifier,
                         std::shared_ptr<NCUnit> aliasedUnit, const NCBasicUnit::Names& names,
                         NCUnitAliases aliases)
    : m_identifier(std::move(identifier)),
      m_aliasedUnit(std::move(aliasedUnit)),
      m_names(names),
      m_aliases(std::move(aliases)) {}

std::optional<std::u16string> NCAliasUnit::identifier() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_identifier;
}

void NCAliasUnit::setIdentifier(std::optional<std::u16string> identifier) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_identifier = std::move(identifier);
}

std::shared_ptr<NCUnit> NCAliasUnit::aliasedUnit() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_aliasedUnit;
}

void NCAliasUnit::setAliasedUnit(std::shared_ptr<NCUnit> unit) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_aliasedUnit = std::move(unit);
}

NCBasicUnit::Names NCAliasUnit::names() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_names;
}

void NCAliasUnit::setNames(const NCBasicUnit::Names& names) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_names = names;
}

NCUnitAliases NCAliasUnit::aliases() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_aliases;
}

void NCAliasUnit::setAliases(NCUnitAliases aliases) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_aliases = std::move(aliases);
}

std::shared_ptr<NCBasicUnit> NCAliasUnit::unitWithAliasUnitValue() const {
    std::shared_ptr<NCUnit> target = aliasedUnit();
    auto basic = std::dynamic_pointer_cast<NCBasicUnit>(target);
    if (!basic) {
        OX_logErr_bigHeader(false, "Error!", __func__, "Code/CalvexCore/NCAliasUnit", __LINE__,
                            "Unexpected aliased unit class %s",
                            target ? typeid(*target).name() : "(null)");
        return nullptr;
    }
    // The offset and tie-break factor belong to what the alias means: a temperature alias
    // must convert like its target.
    auto unit = NCBasicUnit::create(identifier(), basic->type(), basic->factor(), basic->offset(),
                                    names(), aliases(), {});
    if (unit) unit->setAmbiguousTieBreakFactor(basic->ambiguousTieBreakFactor());
    return unit;
}
