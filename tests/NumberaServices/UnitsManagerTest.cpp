#include <gtest/gtest.h>

#include "NCUnitType.h"
#include "NKUnitsManager.h"
#include "ServicesTestSupport.h"

namespace {

std::string resources() { return sourceDirectory() + "/Resources"; }

TEST(UnitsManager, LoadsUnitsAndCurrencyUnitsByIdentifier) {
    NKUnitsManager units;
    units.loadUnitsFromFile(resources() + "/Units.plist",
                            resources() + "/en.lproj/UnitLocalization.plist", std::nullopt);
    ASSERT_NE(units.unitWithIdentifier(u"metre"), nullptr);
    EXPECT_EQ(units.ncUnitManager()->unitWithName(u"feet"), units.unitWithIdentifier(u"foot"));
    EXPECT_EQ(units.unitWithIdentifier(u"USD"), nullptr);
    EXPECT_EQ(units.ncUnitManager()->countUnitsOfType(NCUnitTypeCurrency), 0u);

    units.loadCurrenciesFromLocalizationFile(resources() + "/en.lproj/CurrencyLocalization.plist");
    auto dollar = units.unitWithIdentifier(u"USD");
    ASSERT_NE(dollar, nullptr);
    EXPECT_EQ(dollar->type(), NCUnitTypeCurrency);
    // Known by identifier, but in the collection only once enabled.
    EXPECT_EQ(units.ncUnitManager()->countUnitsOfType(NCUnitTypeCurrency), 0u);
    units.setUnitEnabled(dollar, true);
    EXPECT_EQ(units.ncUnitManager()->countUnitsOfType(NCUnitTypeCurrency), 1u);
    // With a currency unit in the collection, the currencies are not loaded again.
    units.loadCurrenciesFromLocalizationFile(resources() + "/en.lproj/CurrencyLocalization.plist");
    EXPECT_EQ(units.unitWithIdentifier(u"USD"), dollar);
}

TEST(UnitsManager, SwitchingUnitsLeavesCurrenciesAlone) {
    NKUnitsManager units;
    units.loadUnitsFromFile(resources() + "/Units.plist",
                            resources() + "/en.lproj/UnitLocalization.plist", std::nullopt);
    units.loadCurrenciesFromLocalizationFile(resources() + "/en.lproj/CurrencyLocalization.plist");
    units.setUnitEnabled(units.unitWithIdentifier(u"EUR"), true);
    struct Row {
        bool enabled;
        bool metreFound;
    };
    for (const Row& row : {Row{false, false}, Row{true, true}, Row{false, false}}) {
        units.setUnitsEnabled(row.enabled);
        EXPECT_EQ(units.ncUnitManager()->unitWithName(u"metre") != nullptr, row.metreFound);
        EXPECT_NE(units.ncUnitManager()->unitWithName(u"EUR"), nullptr);
    }
}

TEST(UnitsManager, PreferencesStartFromTheDefaults) {
    NKUnitsManager units;
    const auto defaults = NCUnitsPreferences::defaultPreferences();
    ASSERT_FALSE(defaults.empty());
    const auto& [name, option] = *defaults.begin();
    EXPECT_EQ(units.unitsPreferenceOptionForPreferenceName(name), option);
    units.setUnitsPreference(name, u"other");
    EXPECT_EQ(units.unitsPreferenceOptionForPreferenceName(name), u"other");
    EXPECT_EQ(units.unitsPreferenceOptionForPreferenceName(u"no such preference"), std::nullopt);
    EXPECT_EQ(units.unitWithIdentifier(u"anything"), nullptr);
    EXPECT_TRUE(units.allUnits().empty());
}

}  // namespace
