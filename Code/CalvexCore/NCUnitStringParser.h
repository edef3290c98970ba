// Reads a unit from text ("km/h", "kilograms per cubic metre") by evaluating it over a unit
// catalogue.
#ifndef NUMBERA_CORE_NC_UNIT_STRING_PARSER_H
#define NUMBERA_CORE_NC_UNIT_STRING_PARSER_H

#include <memory>
#include <mutex>
#include <string>

#include "NCUnitCollection.h"
#include "NCWordOperatorList.h"

class NCUnitStringParser {
  public:
    // Word operators such as "per" come from the list; without one, only the foundation's own.
    explicit NCUnitStringParser(std::shared_ptr<NCUnitCollection> unitManager,
                                std::shared_ptr<NCWordOperatorList> wordOperators = nullptr);

    std::shared_ptr<NCUnitCollection> unitManager() const;
    void setUnitManager(std::shared_ptr<NCUnitCollection> unitManager);

    // The unit of the text's value; null when the text has none.
    std::shared_ptr<NCUnit> unitFromString(const std::u16string& text) const;

  private:
    mutable std::mutex m_mutex;
    std::shared_ptr<NCUnitCollection> m_unitManager;
    std::shared_ptr<NCWordOperatorList> m_wordOperators;
};

#endif
