#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "CoreTestSupport.h"
#include "NBFUnitFractionBuilder.h"
#include "NCAliasUnit.h"
#include "NCBasicUnit.h"
#include "NCCompositeUnit.h"
#include "NCEnvironment.h"
#include "NCUnitCollection.h"
#include "NCUnitComposer.h"
#include "NCUnitFilter.h"
#include "NCUnitStringFormatter.h"
#include "NCUnitStringParser.h"
#include "NCValueUnit.h"

namespace {

using Names = NCBasicUnit::Names;

class UnitModel : public testing::Test {
  protected:
    void SetUp() override {
        initFoundationConstants();
        metre = NCBasicUnit::create(u"metre", NCUnitTypeLength, u"1",
                                    Names{u"metre", u"metres", {}, u"m"},
                                    {{NCUnitNameTypeSingular, {u"meter"}}});
        kilometre = NCBasicUnit::create(u"kilometre", NCUnitTypeLength, u"1000",
                                        Names{u"kilometre", u"kilometres", {}, u"km"}, {});
        second = NCBasicUnit::create(u"second", NCUnitTypeTime, u"1",
                                     Names{u"second", u"seconds", {}, u"s"}, {});
        minute = NCBasicUnit::create(u"minute", NCUnitTypeTime, u"60",
                                     Names{u"minute", u"minutes", u"min", {}},
                                     {{NCUnitNameTypeSymbol, {u"m"}}});
        kilogram = NCBasicUnit::create(u"kilogram", NCUnitTypeMass, u"1",
                                       Names{u"kilogram", u"kilograms", {}, u"kg"}, {});
        celsius = NCBasicUnit::create(u"celsius", NCUnitTypeTemperature, u"1", u"273.15",
                                      Names{u"degree Celsius", u"degrees Celsius", {}, u"\u00B0C"},
                                      {}, {});
        dollar =
            NCMutableBasicUnit::create(u"USD", NCUnitTypeCurrency, u"1", std::nullopt,
                                       Names{u"US dollar", u"US dollars", u"USD", u"$"}, {}, {});
        ASSERT_TRUE(metre && kilometre && second && minute && kilogram && celsius && dollar);
    }

    std::shared_ptr<NCBasicUnit> metre, kilometre, second, minute, kilogram, celsius;
    std::shared_ptr<NCMutableBasicUnit> dollar;
};

TEST_F(UnitModel, NamesAreKeptByFormatAndForm) {
    EXPECT_EQ(utf8(metre->nameForFormat(NCUnitNameFormatName)), "metre");
    EXPECT_EQ(utf8(metre->nameForFormat(NCUnitNameFormatName, NCUnitNameFormPlural)), "metres");
    EXPECT_EQ(utf8(metre->nameForFormat(NCUnitNameFormatSymbol)), "m");
    EXPECT_EQ(utf8(dollar->nameForFormat(NCUnitNameFormatVeryShortName)), "USD");
    // No very short name: the preference falls back to the name.
    EXPECT_EQ(
        utf8(metre->namePreferringFormat(NCUnitNameFormatVeryShortName, NCUnitNameFormSingular)),
        "metre");
    // Neither symbol nor very short name: the singular name.
    auto hour = NCBasicUnit::create(u"hour", NCUnitTypeTime, u"3600", Names{u"hour", u"hours"}, {});
    EXPECT_EQ(utf8(hour->namePreferringFormat(NCUnitNameFormatSymbol, NCUnitNameFormSingular)),
              "hour");
    // The foundation writes a missing symbol as the very short name.
    EXPECT_EQ(utf8(minute->nameForFormat(NCUnitNameFormatSymbol)), "min");

    metre->setName(u"metro", NCUnitNameFormatName, NCUnitNameFormSingular);
    EXPECT_EQ(utf8(metre->nameForFormat(NCUnitNameFormatName)), "metro");
    metre->setName(std::nullopt, NCUnitNameFormatSymbol);
    EXPECT_FALSE(metre->nameForFormat(NCUnitNameFormatSymbol));

    EXPECT_EQ(utf8(dollar->currencyCode()), "USD");
    EXPECT_FALSE(metre->currencyCode());
    ASSERT_EQ(metre->aliases().count(NCUnitNameTypeSingular), 1u);
    EXPECT_EQ(metre->aliases().at(NCUnitNameTypeSingular).at(0), u"meter");
    EXPECT_EQ(minute->aliases().at(NCUnitNameTypeSymbol).at(0), u"m");
}

TEST_F(UnitModel, BasicUnitsBuildTheirFoundationUnit) {
    NBFUnitRef unit = kilometre->nbfUnit();
    ASSERT_NE(unit, nullptr);
    EXPECT_EQ(NBFUnitGetType(unit), NBFUnitTypeLength);
    EXPECT_STREQ(NBFUnitGetBaseFactor(unit), "1000");
    EXPECT_STREQ(NBFUnitGetIdentifier(unit), "kilometre");
    EXPECT_EQ(NBFUnitGetObjectReference(unit), kilometre.get());
    EXPECT_EQ(NBFUnitGetOptions(unit), 0u);
    EXPECT_EQ(NBFUnitGetOptions(dollar->nbfUnit()), 8u);
    EXPECT_EQ(NBFUnitGetName(unit, NBFUnitNameTypePlural)->units(), u"kilometres");
    EXPECT_EQ(utf8(kilometre->factor()), "1000");
    EXPECT_EQ(utf8(celsius->offset()), "273.15");
    EXPECT_EQ(NBFUnitGetOffset(celsius->nbfUnit())->units(), u"273.15");

    NBFUnitContainerRef container = kilometre->nbfUnitContainer();
    EXPECT_EQ(NBFUnitContainerGetIdentifier_cpp(container), "kilometre");
    EXPECT_EQ(NBFUnitContainerGetNameForType(container, NBFUnitNameTypeSymbol), "km");
    EXPECT_EQ(decimalText(NBFUnitContainerGetScalarMAPM(container)), "1000");
    EXPECT_FALSE(NBFUnitContainerCanBePrefixUnit(container));
    EXPECT_TRUE(NBFUnitContainerCanBePrefixUnit(dollar->nbfUnitContainer()));
    EXPECT_EQ(NBFUnitFractionGetUnitType(kilometre->nbfUnitFraction()), NBFUnitTypeLength);
    EXPECT_EQ(NBFUnitContainerGetAliases(metre->nbfUnitContainer()).size(), 1u);
}

TEST_F(UnitModel, BasicUnitWithoutFactorHasNoFoundationUnit) {
    auto bare = NCBasicUnit::create(u"thing", NCUnitTypeLength, std::nullopt, Names{u"thing"}, {});
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare->nbfUnit(), nullptr);
    EXPECT_EQ(bare->nbfUnitFraction(), nullptr);
    EXPECT_FALSE(bare->factor());
    EXPECT_EQ(utf8(bare->nameForFormat(NCUnitNameFormatName)), "thing");
    EXPECT_TRUE(bare->caseSensitiveNames().empty());
}

TEST_F(UnitModel, ATypeWithoutFoundationNumberIsSkippedNotFatal) {
    testing::internal::CaptureStderr();
    auto fuel =
        NCBasicUnit::create(u"mpg", NCUnitTypeFuelConsumption, u"1", Names{u"mile per gallon"}, {});
    std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(fuel, nullptr);
    EXPECT_NE(log.find("Error!"), std::string::npos);
    EXPECT_NE(log.find("mpg"), std::string::npos);

    auto throughput = NCBasicUnit::create(u"bps", NCUnitTypeComputerThroughput, u"1",
                                          Names{u"bit per second"}, {});
    ASSERT_TRUE(throughput);
    EXPECT_EQ(NBFUnitGetType(throughput->nbfUnit()), NBFUnitTypeComputerThroughput);
}

TEST_F(UnitModel, MutableUnitsRebuildTheirFractionWithANewFactor) {
    dollar->setFactor(u"0.92");
    EXPECT_EQ(utf8(dollar->factor()), "0.92");
    EXPECT_EQ(decimalText(NBFUnitContainerGetScalarMAPM(dollar->nbfUnitContainer())), "0.92");
}

TEST_F(UnitModel, TieBreakFactorsReachTheFoundationAsTheirSum) {
    metre->setAmbiguousTieBreakFactor(10);
    EXPECT_EQ(NBFUnitContainerGetAmbiguousTieBreakFactor(metre->nbfUnitContainer()), 10);
    EXPECT_EQ(NBFUnitGetAmbiguousTieBreakFactor(metre->nbfUnit()), 10);
    metre->setInternalAmbiguousTieBreakFactor(1);
    EXPECT_EQ(NBFUnitContainerGetAmbiguousTieBreakFactor(metre->nbfUnitContainer()), 11);
    EXPECT_EQ(NBFUnitGetAmbiguousTieBreakFactor(metre->nbfUnit()), 11);
    // An unchanged value does not touch the foundation.
    NBFUnitContainerSetAmbiguousTieBreakFactor(metre->nbfUnitContainer(), 99);
    metre->setInternalAmbiguousTieBreakFactor(1);
    EXPECT_EQ(NBFUnitContainerGetAmbiguousTieBreakFactor(metre->nbfUnitContainer()), 99);
}

TEST_F(UnitModel, EqualityFollowsTheSingularName) {
    auto other = NCBasicUnit::create(u"metre2", NCUnitTypeLength, u"1", Names{u"metre"}, {});
    EXPECT_TRUE(metre->isEqual(other.get()));
    EXPECT_EQ(metre->hash(), other->hash());
    EXPECT_FALSE(metre->isEqual(kilometre.get()));
    EXPECT_FALSE(metre->isEqual(nullptr));
}

TEST_F(UnitModel, AliasUnitsTakeTheTargetsConversion) {
    celsius->setAmbiguousTieBreakFactor(3);
    NCAliasUnit alias(u"centigrade", celsius, Names{u"centigrade", u"centigrades", {}, {}},
                      {{NCUnitNameTypePlural, {u"degrees centigrade"}}});
    auto unit = alias.unitWithAliasUnitValue();
    ASSERT_TRUE(unit);
    EXPECT_EQ(utf8(unit->identifier()), "centigrade");
    EXPECT_EQ(unit->type(), NCUnitTypeTemperature);
    EXPECT_EQ(utf8(unit->factor()), "1");
    EXPECT_EQ(utf8(unit->offset()), "273.15");
    EXPECT_EQ(NBFUnitGetOffset(unit->nbfUnit())->units(), u"273.15");
    EXPECT_EQ(unit->ambiguousTieBreakFactor(), 3);
    EXPECT_EQ(NBFUnitContainerGetAmbiguousTieBreakFactor(unit->nbfUnitContainer()), 3);
    EXPECT_EQ(utf8(unit->nameForFormat(NCUnitNameFormatName, NCUnitNameFormPlural)), "centigrades");
    EXPECT_EQ(unit->aliases().at(NCUnitNameTypePlural).at(0), u"degrees centigrade");
    // Both convert alike: the same fraction offset.
    EXPECT_EQ(decimalText(NBFUnitFractionGetOffsetMAPMReference(unit->nbfUnitFraction())),
              decimalText(NBFUnitFractionGetOffsetMAPMReference(celsius->nbfUnitFraction())));

    NCAliasUnit toComposite(
        u"kps", NCCompositeUnit::create(u"kmps", NCUnitTypeSpeed, nullptr, Names{u"kmps"}, {}, {}),
        Names{u"kps"}, {});
    testing::internal::CaptureStderr();
    EXPECT_EQ(toComposite.unitWithAliasUnitValue(), nullptr);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Unexpected aliased unit class"),
              std::string::npos);
}

TEST_F(UnitModel, NamesSetBeforeAnyIsReadOverrideTheFractionsNames) {
    // The fraction's names are formatted on first use; a name given earlier still wins.
    NBFUnitFractionBuilderRef builder = NBFUnitFractionBuilderCreate();
    NBFUnitFractionBuilderAddNumeratorUnit(builder, metre->nbfUnitContainer());
    NBFUnitFractionBuilderAddDenominatorUnit(builder, second->nbfUnitContainer());
    NCValueUnit speed(NBFUnitFractionBuilderGetUnitFraction(builder));
    NBFUnitFractionBuilderRelease(builder);
    speed.setName(u"pace", NCUnitNameFormatName, NCUnitNameFormSingular);
    speed.setName(std::nullopt, NCUnitNameFormatSymbol);
    EXPECT_EQ(utf8(speed.nameForFormat(NCUnitNameFormatName)), "pace");
    EXPECT_EQ(utf8(speed.nameForFormat(NCUnitNameFormatName, NCUnitNameFormPlural)),
              "metres per second");
    EXPECT_FALSE(speed.nameForFormat(NCUnitNameFormatSymbol));
    EXPECT_TRUE(speed.isEqual(&speed));
}

TEST_F(UnitModel, ValueUnitsAreNamedFromTheirFraction) {
    NBFUnitFractionBuilderRef builder = NBFUnitFractionBuilderCreate();
    NBFUnitFractionBuilderAddNumeratorUnit(builder, metre->nbfUnitContainer());
    NBFUnitFractionBuilderAddDenominatorUnit(builder, second->nbfUnitContainer());
    NCValueUnit speed(NBFUnitFractionBuilderGetUnitFraction(builder));
    NBFUnitFractionBuilderRelease(builder);
    EXPECT_EQ(speed.type(), NCUnitTypeSpeed);
    EXPECT_FALSE(speed.identifier());
    EXPECT_EQ(utf8(speed.nameForFormat(NCUnitNameFormatName)), "metre per second");
    EXPECT_EQ(utf8(speed.nameForFormat(NCUnitNameFormatName, NCUnitNameFormPlural)),
              "metres per second");
    EXPECT_EQ(utf8(speed.nameForFormat(NCUnitNameFormatSymbol)), "m/s");

    NBFUnitFractionBuilderRef empty = NBFUnitFractionBuilderCreate();
    NCValueUnit scalar(NBFUnitFractionBuilderGetUnitFraction(empty));
    NBFUnitFractionBuilderRelease(empty);
    EXPECT_EQ(scalar.type(), NCUnitTypeNone);
    EXPECT_EQ(NCValueUnit().type(), NCUnitTypeNone);
}

TEST_F(UnitModel, ComposedUnitsCarryTheProductOfTheirParts) {
    auto kmPerMinute = NCUnitComposer::composeUnitWithIdentifier(
        u"kmpmin", NCUnitTypeSpeed, Names{u"kilometre a minute", {}, {}, u"km/min"}, {}, {},
        {kilometre}, {minute});
    ASSERT_TRUE(kmPerMinute);
    EXPECT_EQ(kmPerMinute->type(), NCUnitTypeSpeed);
    EXPECT_EQ(utf8(kmPerMinute->nameForFormat(NCUnitNameFormatName)), "kilometre a minute");
    // 1000 m / 60 s, checked by multiplying back.
    M_APM product = m_apm_init();
    M_APM sixty = m_apm_init();
    m_apm_set_long(sixty, 60);
    m_apm_multiply(product, NBFUnitContainerGetScalarMAPM(kmPerMinute->nbfUnitContainer()), sixty);
    M_APM rounded = m_apm_init();
    m_apm_round(rounded, 20, product);
    EXPECT_EQ(decimalText(rounded), "1000");
    m_apm_free(product);
    m_apm_free(sixty);
    m_apm_free(rounded);
}

TEST_F(UnitModel, UnitStringsFollowFormatsPerType) {
    NBFUnitFractionBuilderRef builder = NBFUnitFractionBuilderCreate();
    NBFUnitFractionBuilderAddNumeratorUnit(builder, kilometre->nbfUnitContainer());
    NBFUnitFractionBuilderAddDenominatorUnit(builder, second->nbfUnitContainer());
    NCValueUnit speed(NBFUnitFractionBuilderGetUnitFraction(builder));
    NBFUnitFractionBuilderRelease(builder);

    NCUnitStringFormatter formatter;
    EXPECT_EQ(utf8(formatter.stringForUnit(&speed, NCUnitNameFormPlural)), "kilometres per second");
    EXPECT_EQ(utf8(formatter.stringForUnit(&speed, NCUnitNameFormSingular)),
              "kilometre per second");
    EXPECT_EQ(utf8(formatter.stringForUnit(&speed, NCUnitNameFormatSymbol, NCUnitNameFormPlural)),
              "km/s");
    formatter.setUnitNameFormat(NCUnitNameFormatSymbol, NCUnitTypeLength);
    EXPECT_EQ(utf8(formatter.stringForUnit(&speed, NCUnitNameFormPlural)), "km/second");
    EXPECT_FALSE(formatter.stringForUnit(nullptr, NCUnitNameFormPlural));
}

TEST_F(UnitModel, FilteredUnitsShowCurrencyAloneOrAsARate) {
    EXPECT_EQ(NCUnitFilter::filteredUnit(metre), metre);
    EXPECT_EQ(NCUnitFilter::filteredUnit(nullptr), nullptr);

    NBFUnitFractionBuilderRef builder = NBFUnitFractionBuilderCreate();
    NBFUnitFractionBuilderAddNumeratorUnit(builder, dollar->nbfUnitContainer());
    NBFUnitFractionBuilderAddNumeratorUnit(builder, kilogram->nbfUnitContainer());
    auto dollarKilograms =
        std::make_shared<NCValueUnit>(NBFUnitFractionBuilderGetUnitFraction(builder));
    NBFUnitFractionBuilderRelease(builder);
    auto shown = NCUnitFilter::filteredUnit(dollarKilograms);
    ASSERT_TRUE(shown);
    EXPECT_NE(shown, dollarKilograms);
    EXPECT_EQ(shown->type(), NCUnitTypeCurrency);
    EXPECT_EQ(utf8(shown->nameForFormat(NCUnitNameFormatName, NCUnitNameFormPlural)), "US dollars");

    builder = NBFUnitFractionBuilderCreate();
    NBFUnitFractionBuilderAddNumeratorUnit(builder, dollar->nbfUnitContainer());
    NBFUnitFractionBuilderAddDenominatorUnit(builder, kilogram->nbfUnitContainer());
    auto perKilogram =
        std::make_shared<NCValueUnit>(NBFUnitFractionBuilderGetUnitFraction(builder));
    NBFUnitFractionBuilderRelease(builder);
    auto rate = NCUnitFilter::filteredUnit(perKilogram);
    EXPECT_EQ(NBFUnitFractionGetUnitDegree(rate->nbfUnitFraction(), NBFUnitTypeMoney), 1);
    EXPECT_EQ(NBFUnitFractionGetUnitDegree(rate->nbfUnitFraction(), NBFUnitTypeMass), -1);
    EXPECT_EQ(utf8(rate->nameForFormat(NCUnitNameFormatSymbol)), "$/kg");

    // Dollar metres per kilogram: dropping the metres would leave a price per kilogram it is
    // not, so every unit stays.
    builder = NBFUnitFractionBuilderCreate();
    NBFUnitFractionBuilderAddNumeratorUnit(builder, dollar->nbfUnitContainer());
    NBFUnitFractionBuilderAddNumeratorUnit(builder, metre->nbfUnitContainer());
    NBFUnitFractionBuilderAddDenominatorUnit(builder, kilogram->nbfUnitContainer());
    auto dollarMetresPerKilogram =
        std::make_shared<NCValueUnit>(NBFUnitFractionBuilderGetUnitFraction(builder));
    NBFUnitFractionBuilderRelease(builder);
    EXPECT_EQ(NCUnitFilter::filteredUnit(dollarMetresPerKilogram), dollarMetresPerKilogram);
}

class UnitManager : public UnitModel {
  protected:
    void SetUp() override {
        UnitModel::SetUp();
        manager.addUnits({metre, kilometre, second, minute, kilogram, celsius, dollar});
    }
    NCNewUnitManager manager;
};

TEST_F(UnitManager, CountsAndLookups) {
    EXPECT_EQ(manager.countOfUnits(), 7u);
    EXPECT_EQ(manager.allUnits().size(), 7u);
    EXPECT_EQ(manager.countUnitsOfType(NCUnitTypeLength), 2u);
    EXPECT_EQ(manager.countUnitsOfType(NCUnitTypeFuelConsumption), 0u);
    EXPECT_EQ(manager.unitsOfType(NCUnitTypeTime).size(), 2u);
    EXPECT_EQ(manager.unitWithIdentifier(u"kilogram"), kilogram);
    EXPECT_EQ(manager.unitWithIdentifier(u"gram"), nullptr);
    EXPECT_EQ(manager.unitWithName(u"kilometres"), kilometre);
    EXPECT_EQ(manager.unitWithName(u"degrees  Celsius"), celsius);
    EXPECT_EQ(manager.unitWithName(u"meter"), metre);
    EXPECT_EQ(manager.unitWithName(u""), nullptr);
    EXPECT_EQ(manager.unitWithName(std::nullopt), nullptr);
    EXPECT_EQ(manager.unitWithName(u"parsec"), nullptr);
    EXPECT_EQ(manager.nbfUnitCollection() != nullptr, true);
}

TEST_F(UnitManager, AClashingNameGoesToItsRegisteredWinner) {
    // "m" is the metre's symbol and the minute's alias; the registered winner takes it.
    manager.setDefaultUnitForClashingName(minute, u"m");
    EXPECT_EQ(manager.unitWithName(u"m"), minute);
    EXPECT_EQ(minute->internalAmbiguousTieBreakFactor(), 1);
    manager.setDefaultUnitForClashingName(metre, u"m");
    EXPECT_EQ(manager.unitWithName(u"m"), metre);
    EXPECT_EQ(minute->internalAmbiguousTieBreakFactor(), 0);
    EXPECT_EQ(metre->internalAmbiguousTieBreakFactor(), 1);
    EXPECT_EQ(NBFUnitContainerGetAmbiguousTieBreakFactor(minute->nbfUnitContainer()), 0);
    EXPECT_EQ(NBFUnitContainerGetAmbiguousTieBreakFactor(metre->nbfUnitContainer()), 1);
}

TEST_F(UnitManager, RemovalAndBaseUnits) {
    manager.setDefaultUnitForType(kilometre, NCUnitTypeLength);
    EXPECT_EQ(NBFUnitCollectionGetBaseUnit(manager.nbfUnitCollection(), NBFUnitTypeLength),
              kilometre->nbfUnitContainer());
    manager.removeUnitWithIdentifier(u"kilogram");
    EXPECT_EQ(manager.countOfUnits(), 6u);
    EXPECT_EQ(manager.unitWithIdentifier(u"kilogram"), nullptr);
    EXPECT_EQ(manager.unitWithName(u"kilograms"), nullptr);
    manager.removeUnitWithIdentifier(u"kilogram");  // already gone: nothing happens
    EXPECT_EQ(manager.countOfUnits(), 6u);

    // A later unit with the same identifier replaces the earlier one here.
    auto metre2 = NCBasicUnit::create(u"metre", NCUnitTypeLength, u"1", Names{u"metro"}, {});
    manager.addUnit(metre2);
    EXPECT_EQ(manager.unitWithIdentifier(u"metre"), metre2);
    manager.addUnits({});
    EXPECT_EQ(manager.allUnits().size(), 6u);
}

TEST_F(UnitManager, UnitsReadFromText) {
    auto shared = std::shared_ptr<NCUnitCollection>(&manager, [](NCUnitCollection*) {});
    NCUnitStringParser parser(shared);
    EXPECT_EQ(parser.unitManager(), shared);
    auto speed = parser.unitFromString(u"km/s");
    ASSERT_TRUE(speed);
    EXPECT_EQ(speed->type(), NCUnitTypeSpeed);
    EXPECT_EQ(utf8(speed->nameForFormat(NCUnitNameFormatSymbol)), "km/s");
    auto length = parser.unitFromString(u"kilometres");
    ASSERT_TRUE(length);
    EXPECT_EQ(length->type(), NCUnitTypeLength);
    EXPECT_EQ(parser.unitFromString(u"5 * 3"), nullptr);
    EXPECT_EQ(parser.unitFromString(u""), nullptr);
    parser.setUnitManager(nullptr);
    EXPECT_EQ(parser.unitFromString(u"km"), nullptr);
}

TEST(NCUnitCollection, TheInterfaceAnswersNothing) {
    struct Plain : NCUnitCollection {};
    Plain plain;
    EXPECT_EQ(plain.countOfUnits(), 0u);
    EXPECT_EQ(plain.unitWithName(u"metre"), nullptr);
    EXPECT_EQ(plain.nbfUnitCollection(), nullptr);
    plain.removeUnitWithIdentifier(u"metre");
    auto made = NCUnitCollection::create();
    ASSERT_TRUE(std::dynamic_pointer_cast<NCNewUnitManager>(made));
    EXPECT_EQ(NCNewUnitManager::sharedManager(), NCNewUnitManager::sharedManager());

    // The shared catalogue is the current environment's.
    auto environment = std::make_shared<NCEnvironment>();
    environment->setUnitManager(made);
    environment->set();
    EXPECT_EQ(NCUnitCollection::sharedManager(), made);
}

}  // namespace
