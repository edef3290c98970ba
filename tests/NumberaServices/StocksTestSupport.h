// A stocks manager over the real currency units and a fresh global variable list, with its
// own notification centre whose posts are recorded, on a manual clock and main queue.
#ifndef NUMBERA_TESTS_STOCKS_TEST_SUPPORT_H
#define NUMBERA_TESTS_STOCKS_TEST_SUPPORT_H

#include "CurrenciesTestSupport.h"
#include "NKStocksManager.h"
#include "NKVariablesManager.h"

struct StocksFixture {
    ManualTime time;
    NotificationCenter center;
    PostRecorder recorder{center};
    std::shared_ptr<NKUnitsManager> units = std::make_shared<NKUnitsManager>();
    std::shared_ptr<NCVariableList> list = std::make_shared<NCVariableList>();
    std::shared_ptr<NKVariablesManager> variables;
    std::shared_ptr<NKStocksManager> manager;

    StocksFixture() {
        units->loadCurrenciesFromLocalizationFile(sourceDirectory() +
                                                  "/Resources/en.lproj/CurrencyLocalization.plist");
        for (const char16_t* code : {u"USD", u"EUR", u"GBP"})
            units->setUnitEnabled(units->unitWithIdentifier(code), true);
        variables = std::make_shared<NKVariablesManager>(list, units->ncUnitManager(), &center);
        manager = NKStocksManager::create(units, variables, time.queue, &center);
    }
    ~StocksFixture() { manager->stopUpdating(); }

    static std::shared_ptr<NKStock> stock(const char16_t* name, const char16_t* ticker,
                                          const char16_t* value) {
        auto stock = NKStock::stockWithCompany(u"Company", ticker, value);
        stock->setName(std::u16string(name));
        return stock;
    }
    std::shared_ptr<NKStock> stockWithTicker(const std::u16string& ticker) const {
        for (const auto& stock : manager->stocks())
            if (stock->ticker() == ticker) return stock;
        return nullptr;
    }
    std::shared_ptr<NCVariable> listed(const std::u16string& name) const {
        for (const auto& variable : list->variables())
            if (variable->name() == name) return variable;
        return nullptr;
    }
    std::optional<std::u16string> listedValue(const std::u16string& name) const {
        auto variable = listed(name);
        return variable ? variable->delocalizedValue() : std::nullopt;
    }
};

#endif
