// The unit catalogue as the document core asks it: the interface with empty answers, and
// NCNewUnitManager, its implementation over the foundation's unit collection.
#ifndef NUMBERA_CORE_NC_UNIT_COLLECTION_H
#define NUMBERA_CORE_NC_UNIT_COLLECTION_H

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "NBFUnitCollection.h"
#include "NCUnit.h"

class NCUnitsFile;

class NCUnitCollection {
  public:
    virtual ~NCUnitCollection() = default;
    // The current environment's catalogue; none before an environment is current.
    static std::shared_ptr<NCUnitCollection> sharedManager();
    // A new NCNewUnitManager.
    static std::shared_ptr<NCUnitCollection> create();

    virtual uint64_t countOfUnits() const { return 0; }
    virtual std::vector<std::shared_ptr<NCUnit>> allUnits() const { return {}; }
    virtual void addUnit(const std::shared_ptr<NCUnit>& unit) {}
    virtual void addUnits(const std::vector<std::shared_ptr<NCUnit>>& units) {}
    virtual void removeUnit(const std::shared_ptr<NCUnit>& unit) {}
    virtual uint64_t countUnitsOfType(NCUnitType type) const { return 0; }
    virtual std::shared_ptr<NCUnit> unitWithName(const std::optional<std::u16string>& name) const {
        return nullptr;
    }
    virtual std::shared_ptr<NCUnit> unitWithIdentifier(const std::u16string& identifier) const {
        return nullptr;
    }
    virtual void setDefaultUnitForClashingName(const std::shared_ptr<NCUnit>& unit,
                                               const std::u16string& name) {}
    virtual void setDefaultUnitForType(const std::shared_ptr<NCUnit>& unit, NCUnitType type) {}
    virtual NBFUnitCollectionRef nbfUnitCollection() const { return nullptr; }

    void removeUnitWithIdentifier(const std::u16string& identifier);
    // Adds the loaded units, then makes each category's base unit the default of its type.
    void addContentsOfLoadedUnitsFile(const NCUnitsFile& unitsFile);
};

class NCNewUnitManager : public NCUnitCollection {
  public:
    NCNewUnitManager();
    ~NCNewUnitManager() override;
    NCNewUnitManager(const NCNewUnitManager&) = delete;
    NCNewUnitManager& operator=(const NCNewUnitManager&) = delete;
    // One manager of its own, made on first call.
    static std::shared_ptr<NCNewUnitManager> sharedManager();

    uint64_t countOfUnits() const override;
    std::vector<std::shared_ptr<NCUnit>> allUnits() const override;
    void addUnit(const std::shared_ptr<NCUnit>& unit) override { addUnits({unit}); }
    // All containers go to the foundation in one call; a later unit with an identifier already
    // held replaces the earlier one here.
    void addUnits(const std::vector<std::shared_ptr<NCUnit>>& units) override;
    void removeUnit(const std::shared_ptr<NCUnit>& unit) override;
    uint64_t countUnitsOfType(NCUnitType type) const override;
    std::vector<std::shared_ptr<NCUnit>> unitsOfType(NCUnitType type) const;
    // A registered winner of a clashing name first, else the best match of the name's words.
    std::shared_ptr<NCUnit> unitWithName(const std::optional<std::u16string>& name) const override;
    std::shared_ptr<NCUnit> unitWithIdentifier(const std::u16string& identifier) const override;
    // The previous winner's internal tie-break factor drops to 0, the new one's rises to 1.
    void setDefaultUnitForClashingName(const std::shared_ptr<NCUnit>& unit,
                                       const std::u16string& name) override;
    void setDefaultUnitForType(const std::shared_ptr<NCUnit>& unit, NCUnitType type) override;
    NBFUnitCollectionRef nbfUnitCollection() const override { return unitCollection; }

  private:
    NBFUnitCollectionRef unitCollection;
    std::map<std::u16string, std::shared_ptr<NCUnit>> unitsByIdentifier;
    std::map<std::u16string, std::u16string> nameClashIdentifiersByName;
    // Guards both dictionaries; the foundation collection has its own lock.
    mutable std::mutex mutex;
};

#endif
