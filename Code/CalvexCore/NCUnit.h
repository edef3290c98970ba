// A unit as the document core sees it: a type, names by format and form, aliases, tie-break
// factors for ambiguous names, and the foundation unit container that the calculation uses.
// Kinds: NCBasicUnit (a factor against its type's base unit), NCMutableBasicUnit (a factor
// that changes: currencies), NCCompositeUnit (a named fraction of other units) and
// NCValueUnit (the anonymous unit of an answer).
#ifndef NUMBERA_CORE_NC_UNIT_H
#define NUMBERA_CORE_NC_UNIT_H

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "NBFUnitContainer.h"
#include "NBFUnitFraction.h"
#include "NCUnitNameFormat.h"
#include "NCUnitType.h"

// Alias texts by name type.
typedef std::map<NCUnitNameType, std::vector<std::u16string>> NCUnitAliases;

class NCUnit {
  public:
    NCUnit() : NCUnit(std::nullopt, NCUnitTypeNone, nullptr) {}
    // Retains the container and takes its names and aliases.
    NCUnit(std::optional<std::u16string> identifier, NCUnitType type,
           NBFUnitContainerRef nbfUnitContainer);
    virtual ~NCUnit() = default;
    NCUnit(const NCUnit&) = delete;
    NCUnit& operator=(const NCUnit&) = delete;

    NCUnitType type() const { return m_type; }
    const std::optional<std::u16string>& identifier() const { return m_identifier; }
    void setIdentifier(std::optional<std::u16string> identifier) {
        m_identifier = std::move(identifier);
    }
    const NCUnitAliases& aliases() const {
        loadNames();
        return m_aliasDict;
    }
    void setAliases(NCUnitAliases aliases) {
        loadNames();
        m_aliasDict = std::move(aliases);
    }

    // Form 2 (singular).
    std::optional<std::u16string> nameForFormat(NCUnitNameFormat format) const;
    std::optional<std::u16string> nameForFormat(NCUnitNameFormat format, NCUnitNameForm form) const;
    void setName(std::optional<std::u16string> name, NCUnitNameFormat format, NCUnitNameForm form);
    void setName(std::optional<std::u16string> name, NCUnitNameFormat format);
    // The requested format, else formats 1, 2 and 3, all in the given form.
    std::optional<std::u16string> namePreferringFormat(NCUnitNameFormat format,
                                                       NCUnitNameForm form) const;
    // The very short name of a currency; none for other types.
    std::optional<std::u16string> currencyCode() const;

    int64_t ambiguousTieBreakFactor() const { return m_ambiguousTieBreakFactor; }
    void setAmbiguousTieBreakFactor(int64_t factor);
    int64_t internalAmbiguousTieBreakFactor() const { return m_internalAmbiguousTieBreakFactor; }
    void setInternalAmbiguousTieBreakFactor(int64_t factor);

    NBFUnitContainerRef nbfUnitContainer() const { return m_nbfUnitContainer.get(); }
    NBFUnitFractionRef nbfUnitFraction() const;

    size_t hash() const;
    // Same singular name.
    bool isEqual(const NCUnit* other) const;
    std::u16string description() const;

  protected:
    // Gives the foundation the sum of both factors.
    virtual void setUnderlyingAmbiguousTieBreakFactor(int64_t factor);
    void copyNamesFromNBFUnitContainer(NBFUnitContainerRef container);

  private:
    static int64_t nameKey(NCUnitNameFormat format, NCUnitNameForm form);
    // The container's names and aliases are formatted on first use: most answers' units are
    // never shown by name, and formatting them costs as much as the arithmetic.
    void loadNames() const;
    void storeName(std::optional<std::u16string> name, NCUnitNameFormat format,
                   NCUnitNameForm form);

    NCUnitType m_type = NCUnitTypeNone;
    mutable std::once_flag m_namesLoaded;
    std::map<int64_t, std::u16string> m_names;
    std::optional<std::u16string> m_identifier;
    NCUnitAliases m_aliasDict;
    int64_t m_ambiguousTieBreakFactor = 0;
    int64_t m_internalAmbiguousTieBreakFactor = 0;
    NBF::Ref<NBF::UnitContainer> m_nbfUnitContainer;
};

// A foundation unit container with the names that are given (name types 1 to 4), every
// alias under its name type, and the names that match only in exact case. The caller releases it.
NBFUnitContainerRef NBFUnitContainerCreateWithNames(
    const std::optional<std::u16string>& identifier, const std::optional<std::u16string>& singular,
    const std::optional<std::u16string>& plural, const std::optional<std::u16string>& veryShort,
    const std::optional<std::u16string>& symbol, const NCUnitAliases& aliases,
    const std::set<std::u16string>& caseSensitiveNames);

#endif
