// The real units data file through the parser: every unit, alias, base unit, preference target
// and composition it names is loaded, under every choice of preferences.
#include <gtest/gtest.h>

#include "NCCompositeUnit.h"
#include "UnitsFileTestSupport.h"

namespace {

typedef std::shared_ptr<const NCPropertyListValue> Value;

Value realData() {
    std::string error;
    Value data = NCPropertyListValue::readFromFile(resourcePath("Units.plist"), &error);
    EXPECT_NE(data, nullptr) << error;
    return data;
}

std::vector<NCUnitsPreferenceChoices> allChoices() {
    std::vector<NCUnitsPreferenceChoices> choices;
    for (const auto& bytes :
         {NCUnitsPreferenceBytePrefixOptionSI, NCUnitsPreferenceBytePrefixOptionBinary})
        for (const auto& system : {NCUnitsMeasurementSystemMetric, NCUnitsMeasurementSystemImperial,
                                   NCUnitsMeasurementSystemUSCustomary})
            choices.push_back(
                {{NCUnitsPreferenceBytePrefix, bytes}, {NCUnitsMeasurementSystem, system}});
    return choices;
}

TEST(UnitsCatalogueLoadTest, EveryEntryOfTheRealFileLoadsUnderEveryPreference) {
    Value data = realData();
    ASSERT_TRUE(data && data->isDictionary());
    for (const auto& choices : allChoices()) {
        CapturedUnitsLog log;
        auto file = loadRealUnitsFile(choices);
        EXPECT_TRUE(log.lines.empty()) << log.lines.front();
        NCNewUnitManager manager;
        manager.addContentsOfLoadedUnitsFile(*file);

        size_t entries = 0;
        for (const auto& [category, units] : data->valueForKey(u"Units")->dictionary()) {
            const NCUnitType type = NCUnitsFileParser::unitTypeForCategory(category);
            EXPECT_NE(type, NCUnitTypeNone) << utf8(category);
            for (const auto& [identifier, entry] : units->dictionary()) {
                ++entries;
                auto unit = manager.unitWithIdentifier(identifier);
                ASSERT_NE(unit, nullptr) << utf8(identifier);
                EXPECT_EQ(unit->type(), type) << utf8(identifier);
                EXPECT_NE(unit->nbfUnitFraction(), nullptr) << utf8(identifier);
                if (Value composition = entry->valueForKey(u"composition")) {
                    EXPECT_NE(std::dynamic_pointer_cast<NCCompositeUnit>(unit), nullptr)
                        << utf8(identifier);
                    for (const char16_t* side : {u"numerator", u"denominator"}) {
                        Value parts = composition->valueForKey(side);
                        if (!parts) continue;
                        for (const Value& part : parts->array())
                            EXPECT_NE(manager.unitWithIdentifier(part->string()), nullptr)
                                << utf8(part->string());
                    }
                }
            }
        }
        EXPECT_GT(entries, 100u);

        for (const auto& [category, identifier] : data->valueForKey(u"Base Units")->dictionary()) {
            auto unit = manager.unitWithIdentifier(identifier->string());
            ASSERT_NE(unit, nullptr) << utf8(identifier->string());
            EXPECT_EQ(unit->type(), NCUnitsFileParser::unitTypeForCategory(category));
            EXPECT_EQ(file->baseUnitIdentifiersByType().at(unit->type()), identifier->string());
        }

        // Every alias and target of every option; the chosen option's alias is a unit with its
        // target's factor.
        const std::map<std::u16string, std::u16string> optionWords{
            {u"si", NCUnitsPreferenceBytePrefixOptionSI},
            {u"binary", NCUnitsPreferenceBytePrefixOptionBinary},
            {u"metric", NCUnitsMeasurementSystemMetric},
            {u"imperial", NCUnitsMeasurementSystemImperial},
            {u"us", NCUnitsMeasurementSystemUSCustomary}};
        const std::map<std::u16string, std::u16string> preferenceWords{
            {u"byte-prefix", NCUnitsPreferenceBytePrefix},
            {u"imperial-us-or-metric", NCUnitsMeasurementSystem}};
        for (const auto& [preference, options] : data->valueForKey(u"Preferences")->dictionary()) {
            ASSERT_TRUE(preferenceWords.count(preference)) << utf8(preference);
            for (const auto& [option, aliases] : options->dictionary()) {
                ASSERT_TRUE(optionWords.count(option)) << utf8(option);
                const bool chosen =
                    choices.at(preferenceWords.at(preference)) == optionWords.at(option);
                for (const auto& [alias, target] : aliases->dictionary()) {
                    auto targetUnit = std::dynamic_pointer_cast<NCBasicUnit>(
                        manager.unitWithIdentifier(target->string()));
                    ASSERT_NE(targetUnit, nullptr) << utf8(target->string());
                    auto aliasUnit =
                        std::dynamic_pointer_cast<NCBasicUnit>(manager.unitWithIdentifier(alias));
                    ASSERT_NE(aliasUnit, nullptr) << utf8(alias);
                    if (chosen) {
                        EXPECT_EQ(aliasUnit->factor(), targetUnit->factor()) << utf8(alias);
                        EXPECT_EQ(aliasUnit->type(), targetUnit->type()) << utf8(alias);
                    }
                }
            }
        }
    }
}

TEST(UnitsCatalogueLoadTest, EveryNameOfTheRealCatalogueFindsItsUnit) {
    auto manager = realUnitManager(NCUnitsPreferences::defaultPreferences());
    size_t names = 0;
    for (const auto& unit : manager->allUnits()) {
        auto singular = unit->nameForFormat(NCUnitNameFormatName, NCUnitNameFormSingular);
        if (!singular) continue;
        ++names;
        auto found = manager->unitWithName(singular);
        ASSERT_NE(found, nullptr) << utf8(singular);
        // A clashing name may pick another unit, but always one of the same kind.
        EXPECT_EQ(found->type(), unit->type()) << utf8(singular) << " " << utf8(unit->identifier());
    }
    EXPECT_GT(names, 250u);
}

}  // namespace
