// A unit with a factor, and optionally an offset, against its type's base unit; the mutable
// kind lets the factor change (currency rates).
#ifndef NUMBERA_CORE_NC_BASIC_UNIT_H
#define NUMBERA_CORE_NC_BASIC_UNIT_H

#include "NBFUnit.h"
#include "NCUnit.h"

class NCBasicUnit : public NCUnit {
  public:
    struct Names {
        std::optional<std::u16string> singular = {}, plural = {}, veryShort = {}, symbol = {};
    };

    // Without identifier or factor there is no foundation unit and so no fraction. A type the
    // foundation has no number for (fuel consumption) makes no unit: logged, answers null.
    static std::shared_ptr<NCBasicUnit> create(const std::optional<std::u16string>& identifier,
                                               NCUnitType type,
                                               const std::optional<std::u16string>& factor,
                                               const std::optional<std::u16string>& offset,
                                               const Names& names, const NCUnitAliases& aliases,
                                               const std::set<std::u16string>& caseSensitiveNames);
    static std::shared_ptr<NCBasicUnit> create(const std::optional<std::u16string>& identifier,
                                               NCUnitType type,
                                               const std::optional<std::u16string>& factor,
                                               const Names& names, const NCUnitAliases& aliases) {
        return create(identifier, type, factor, std::nullopt, names, aliases, {});
    }
    static std::shared_ptr<NCBasicUnit> unitWithIdentifier(const std::u16string& identifier,
                                                           NCUnitType type,
                                                           const std::u16string& factor,
                                                           const std::u16string& singularName) {
        return create(identifier, type, factor, Names{singularName, {}, {}, {}}, {});
    }
    static std::shared_ptr<NCBasicUnit> unitWithIdentifier(const std::u16string& identifier,
                                                           NCUnitType type,
                                                           const std::u16string& factor,
                                                           const Names& names,
                                                           const NCUnitAliases& aliases) {
        return create(identifier, type, factor, names, aliases);
    }
    ~NCBasicUnit() override;

    // The foundation unit's factor text; none without a foundation unit.
    std::optional<std::u16string> factor() const;
    const std::optional<std::u16string>& offset() const { return m_offset; }
    NBFUnitRef nbfUnit() const { return m_nbfUnit; }
    const std::set<std::u16string>& caseSensitiveNames() const { return m_caseSensitiveNames; }

  protected:
    struct Parts;
    NCBasicUnit(const std::optional<std::u16string>& identifier, NCUnitType type, Parts parts,
                std::optional<std::u16string> offset, std::set<std::u16string> caseSensitiveNames);
    // Makes the foundation unit and its container; null when the type has no foundation number.
    static bool makeParts(Parts* parts, const std::optional<std::u16string>& identifier,
                          NCUnitType type, const std::optional<std::u16string>& factor,
                          const std::optional<std::u16string>& offset, const Names& names,
                          const NCUnitAliases& aliases,
                          const std::set<std::u16string>& caseSensitiveNames);
    void setUnderlyingAmbiguousTieBreakFactor(int64_t factor) override;

    NBFUnitRef m_nbfUnit = nullptr;

  private:
    std::set<std::u16string> m_caseSensitiveNames;
    std::optional<std::u16string> m_offset;
};

struct NCBasicUnit::Parts {
    NBFUnitRef unit = nullptr;  // one reference, handed to the object
    NBF::Ref<NBF::UnitContainer> container;
};

class NCMutableBasicUnit : public NCBasicUnit {
  public:
    static std::shared_ptr<NCMutableBasicUnit> create(
        const std::optional<std::u16string>& identifier, NCUnitType type,
        const std::optional<std::u16string>& factor, const std::optional<std::u16string>& offset,
        const Names& names, const NCUnitAliases& aliases,
        const std::set<std::u16string>& caseSensitiveNames);
    static std::shared_ptr<NCMutableBasicUnit> unitWithIdentifier(const std::u16string& identifier,
                                                                  NCUnitType type,
                                                                  const std::u16string& factor,
                                                                  const Names& names,
                                                                  const NCUnitAliases& aliases) {
        return create(identifier, type, factor, std::nullopt, names, aliases, {});
    }

    // A new factor and a fraction rebuilt from it.
    void setFactor(const std::u16string& factor);

  private:
    using NCBasicUnit::NCBasicUnit;
};

#endif
