#include "NKDataManagers.h"

#include "NKCurrenciesManager.h"
#include "NKStocksManager.h"

NKEnvironmentModuleFactory NKDataManagersFactory() {
    NKEnvironmentModuleFactory factory;
    factory.makeCurrenciesManager = [](std::shared_ptr<NKUnitsManager> units) {
        return std::static_pointer_cast<NKCurrenciesManaging>(
            NKCurrenciesManager::create(std::move(units)));
    };
    factory.makeStocksManager = [](std::shared_ptr<NKUnitsManager> units,
                                   std::shared_ptr<NKVariablesManager> variables) {
        return std::static_pointer_cast<NKStocksManaging>(
            NKStocksManager::create(std::move(units), std::move(variables)));
    };
    return factory;
}
