// A name that points at another unit, chosen by a units preference ("gallon" meaning the US
// or the imperial gallon). Not a unit itself: it becomes one through unitWithAliasUnitValue.
#ifndef NUMBERA_CORE_NC_ALIAS_UNIT_H
#define NUMBERA_CORE_NC_ALIAS_UNIT_H

#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "NCBasicUnit.h"

class NCAliasUnit {
  public:
    NCAliasUnit() = default;
    NCAliasUnit(std::optional<std::u16string> identifier, std::shared_ptr<NCUnit> aliasedUnit,
                const NCBasicUnit::Names& names, NCUnitAliases aliases);

    // Every accessor is safe against concurrent setters.
    std::optional<std::u16string> identifier() const;
    void setIdentifier(std::optional<std::u16string> identifier);
    std::shared_ptr<NCUnit> aliasedUnit() const;
    void setAliasedUnit(std::shared_ptr<NCUnit> unit);
    NCBasicUnit::Names names() const;
    void setNames(const NCBasicUnit::Names& names);
    NCUnitAliases aliases() const;
    void setAliases(NCUnitAliases aliases);

    // A basic unit under the alias's identifier, names and aliases with the aliased unit's
    // type, factor, offset and tie-break factor. Null (logged) when the aliased unit is not a
    // basic unit.
    std::shared_ptr<NCBasicUnit> unitWithAliasUnitValue() const;

  private:
    mutable std::mutex m_mutex;
    std::optional<std::u16string> m_identifier;
    std::shared_ptr<NCUnit> m_aliasedUnit;
    NCBasicUnit::Names m_names;
    NCUnitAliases m_aliases;
};

#endif
