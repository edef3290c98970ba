// Shared set-up of the resource checks: where the files are and the catalogue built from them.
#pragma once

#include <string>
#include <vector>

#include "UnitsCatalogue.hpp"

namespace resources_test {

struct LoadedCatalogue {
    UnitsCatalogue catalogue;
    bool loaded = false;
    std::string error;
};

// The Resources folder of the source tree named by NUMBERA_SOURCE_DIR.
std::string resourcesDirectory();
// Built once per test program: the files do not change while it runs.
const LoadedCatalogue& sharedCatalogue();

// The names the engine reserves: a unit name equal to one of them would hide it or break it.
const std::vector<std::string>& reservedFunctionNames();
const std::vector<std::string>& reservedWordOperators();
const std::vector<std::string>& conversionWords();
const std::vector<std::string>& defaultGlobalVariables();  // compared with exact case
const std::vector<std::string>& standardVariables();       // compared without case

// The 153 currency codes the rate services supply, in their order, and the bitcoin code.
const std::vector<std::string>& supportedCurrencyCodes();

// Currency names that several currencies share on purpose: the clashing-symbol rules make one
// of them the default (symbol, singular, plural, default code).
struct ClashingCurrencyName {
    std::string symbol, singular, plural, defaultCode;
};
const std::vector<ClashingCurrencyName>& clashingCurrencyNames();

}  // namespace resources_test
