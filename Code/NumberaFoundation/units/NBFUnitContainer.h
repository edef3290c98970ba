// A unit as the user names it: an identifier, names and aliases by name type, the names that
// match only with exact case, and the unit fraction it stands for (built from basic units).
//
// The procedural functions accept a null container and then do nothing or answer 0 / null /
// empty. Everything handed out is borrowed from the container.
#ifndef NUMBERA_FOUNDATION_NBF_UNIT_CONTAINER_H
#define NUMBERA_FOUNDATION_NBF_UNIT_CONTAINER_H

#include <cstdint>
#include <map>
#include <set>
#include <string>

#include "NBFObject.h"
#include "NBFString.h"
#include "NBFUnitType.h"
#include "mapm/m_apm.h"

struct NBFUnitFraction;

namespace NBF {

class UnitContainer : public Object<UnitContainer> {
  public:
    typedef std::map<NBFUnitNameType, std::string> NameMap;
    typedef std::multimap<NBFUnitNameType, std::string> AliasMap;
    typedef std::map<NBFUnitNameType, NBFStringRef> StringNameMap;
    typedef std::multimap<NBFUnitNameType, NBFStringRef> StringAliasMap;

    // Names first, then aliases, go into the name-to-type map; a later entry for the same
    // text replaces the earlier one.
    static UnitContainer* create(const std::string& identifier = std::string(),
                                 const NameMap& names = NameMap(),
                                 const AliasMap& aliases = AliasMap(),
                                 const std::set<std::string>& caseSensitiveNames = {});

    NBFUnitFraction* unitFraction() const { return m_fraction; }
    // Retains the new fraction and releases the old one.
    void setUnitFraction(NBFUnitFraction* fraction);

    const std::string& identifier() const { return m_identifier; }
    // Type 5: the identifier; otherwise that name, or the empty text.
    const std::string& nameForType(NBFUnitNameType nameType) const;
    bool hasNameForType(NBFUnitNameType nameType) const { return !nameForType(nameType).empty(); }
    // The name type under which the text is a name or alias; 0 when it is neither.
    NBFUnitNameType nameTypeForName(const std::string& name) const;
    bool isNameCaseSensitive(const std::string& name) const {
        return m_caseSensitiveNames.count(name) != 0;
    }
    const StringNameMap& names() const { return m_nameStrings; }
    const StringAliasMap& aliases() const { return m_aliases; }

    int32_t ambiguousTieBreakFactor() const { return m_ambiguousTieBreakFactor; }
    void setAmbiguousTieBreakFactor(int32_t factor) { m_ambiguousTieBreakFactor = factor; }
    bool canBePrefixUnit() const { return m_canBePrefixUnit; }
    void setCanBePrefixUnit(bool flag) { m_canBePrefixUnit = flag; }

  private:
    UnitContainer() = default;
    ~UnitContainer() override;

    NBFUnitFraction* m_fraction = nullptr;
    int32_t m_ambiguousTieBreakFactor = 0;
    bool m_canBePrefixUnit = false;
    std::string m_identifier;
    NameMap m_names;
    StringNameMap m_nameStrings;
    std::map<std::string, NBFUnitNameType> m_nameTypes;
    StringAliasMap m_aliases;
    std::set<std::string> m_caseSensitiveNames;
};

}  // namespace NBF

typedef NBF::UnitContainer* NBFUnitContainerRef;

NBFUnitContainerRef NBFUnitContainerCreate();
NBFUnitContainerRef NBFUnitContainerCreate(const std::string& identifier,
                                           const NBF::UnitContainer::NameMap& names,
                                           const NBF::UnitContainer::AliasMap& aliases);
NBFUnitContainerRef NBFUnitContainerCreate(const std::string& identifier,
                                           const NBF::UnitContainer::NameMap& names,
                                           const NBF::UnitContainer::AliasMap& aliases,
                                           const std::set<std::string>& caseSensitiveNames);
NBFUnitContainerRef NBFUnitContainerRetain(NBFUnitContainerRef container);
void NBFUnitContainerRelease(NBFUnitContainerRef container);

void NBFUnitContainerSetUnitFraction(NBFUnitContainerRef container, NBFUnitFraction* fraction);
NBFUnitFraction* NBFUnitContainerGetUnitFraction(NBFUnitContainerRef container);
// The multiplier of its fraction; null without a fraction.
M_APM NBFUnitContainerGetScalarMAPM(NBFUnitContainerRef container);
// Its fraction's multiplier is 1.
bool NBFUnitContainerIsBaseUnit(NBFUnitContainerRef container);
NBFUnitType NBFUnitContainerGetUnitType(NBFUnitContainerRef container);

void NBFUnitContainerSetCanBePrefixUnit(NBFUnitContainerRef container, bool flag);
bool NBFUnitContainerCanBePrefixUnit(NBFUnitContainerRef container);
void NBFUnitContainerSetAmbiguousTieBreakFactor(NBFUnitContainerRef container, int32_t factor);
int32_t NBFUnitContainerGetAmbiguousTieBreakFactor(NBFUnitContainerRef container);

const char* NBFUnitContainerGetIdentifier(NBFUnitContainerRef container);
const std::string& NBFUnitContainerGetIdentifier_cpp(NBFUnitContainerRef container);
const std::string& NBFUnitContainerGetNameForType(NBFUnitContainerRef container,
                                                  NBFUnitNameType nameType);
bool NBFUnitContainerHasNameForType(NBFUnitContainerRef container, NBFUnitNameType nameType);
NBFUnitNameType NBFUnitContainerGetNameTypeForName(NBFUnitContainerRef container,
                                                   const std::string& name);
bool NBFUnitContainerIsNameCaseSensitive(NBFUnitContainerRef container, const std::string& name);
const NBF::UnitContainer::StringNameMap& NBFUnitContainerGetNames(NBFUnitContainerRef container);
const NBF::UnitContainer::StringAliasMap& NBFUnitContainerGetAliases(NBFUnitContainerRef container);

#endif
