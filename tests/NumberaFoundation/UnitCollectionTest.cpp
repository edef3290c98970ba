#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "NBFAmbiguousUnit.h"
#include "NBFUnitCollection.h"
#include "UnitCatalogueFixture.h"

namespace {

std::string identifierOrNull(NBFUnitContainerRef unit) {
    return unit ? NBFUnitContainerGetIdentifier_cpp(unit) : "(null)";
}

std::string describe(const NBFUnitCollectionSearchResults& results) {
    std::string text;
    for (const NBFUnitCollectionSearchResult& result : results) {
        text += (text.empty() ? "" : ",") + NBFUnitContainerGetIdentifier_cpp(result.unit.get()) +
                ":" + std::to_string(result.formatType);
    }
    return text;
}

// A unit with no names standing for the given basic unit.
NBFUnitContainerRef makeUnit(const char* identifier, NBFUnitRef basic) {
    NBFUnitContainerRef unit = NBFUnitContainerCreate(identifier, {}, {});
    NBFUnitFractionBuilderRef builder = NBFUnitFractionBuilderCreateWithBasicUnit(basic);
    NBFUnitContainerSetUnitFraction(unit, NBFUnitFractionBuilderGetUnitFraction(builder));
    NBFUnitFractionBuilderRelease(builder);
    return unit;
}

class UnitCollectionTest : public ::testing::Test {
  protected:
    UnitCollectionTest() : collection(NBFUnitCollectionCreate()) {
        NBFUnitCollectionAddUnits(collection, catalogue.all().data(),
                                  static_cast<int32_t>(catalogue.all().size()));
    }
    ~UnitCollectionTest() override { NBFUnitCollectionRelease(collection); }

    std::string base(NBFUnitType type) const {
        return identifierOrNull(NBFUnitCollectionGetBaseUnit(collection, type));
    }

    UnitCatalogueFixture catalogue;
    NBFUnitCollectionRef collection;
};

TEST_F(UnitCollectionTest, CountsUnitsByType) {
    const struct {
        NBFUnitType type;
        int32_t count;
    } rows[] = {{NBFUnitTypeLength, 7},
                {NBFUnitTypeMass, 2},
                {NBFUnitTypeTime, 3},
                {NBFUnitTypeTemperature, 2},
                {NBFUnitTypeMoney, 0}};
    int32_t total = 0;
    for (const auto& row : rows) {
        EXPECT_EQ(NBFUnitCollectionGetCountOfUnitsWithType(collection, row.type), row.count)
            << row.type;
        total += row.count;
    }
    EXPECT_EQ(NBFUnitCollectionGetCountOfUnits(collection), total);
    EXPECT_EQ(NBFUnitCollectionGetCountOfUnits(nullptr), 0);
    NBFUnitCollectionAddUnits(collection, catalogue.all().data(), 0);
    NBFUnitCollectionAddUnits(collection, nullptr, 3);
    NBFUnitCollectionAddUnit(collection, nullptr);
    NBFUnitCollectionRemoveUnit(collection, nullptr);
    EXPECT_EQ(NBFUnitCollectionGetCountOfUnits(collection), total);
}

TEST_F(UnitCollectionTest, TheFirstUnitOfMultiplierOneIsTheBaseUnitOfItsType) {
    // Celsius has a multiplier of 1 too, but kelvin came first.
    const struct {
        NBFUnitType type;
        const char* base;
    } rows[] = {{NBFUnitTypeLength, "metre"},
                {NBFUnitTypeMass, "kilogram"},
                {NBFUnitTypeTime, "second"},
                {NBFUnitTypeTemperature, "kelvin"},
                {NBFUnitTypeMoney, "(null)"}};
    for (const auto& row : rows) EXPECT_EQ(base(row.type), row.base) << row.type;

    NBFUnitCollectionSetBaseUnit(collection, NBFUnitTypeLength, catalogue["foot"]);
    EXPECT_EQ(base(NBFUnitTypeLength), "foot");
    NBFUnitContainerRef copy = NBFUnitCollectionCopyBaseUnit(collection, NBFUnitTypeLength);
    EXPECT_EQ(copy, catalogue["foot"]);
    NBFUnitContainerRelease(copy);
    NBFUnitCollectionSetBaseUnit(collection, NBFUnitTypeLength, nullptr);
    EXPECT_EQ(base(NBFUnitTypeLength), "(null)");
    EXPECT_EQ(NBFUnitCollectionCopyBaseUnit(collection, NBFUnitTypeLength), nullptr);
}

TEST_F(UnitCollectionTest, RemovingAUnitClearsOnlyItsOwnBaseUnitEntry) {
    const struct {
        const char* removed;
        NBFUnitType type;
        const char* baseAfter;
    } rows[] = {
        {"foot", NBFUnitTypeLength, "metre"},
        {"celsius", NBFUnitTypeTemperature, "kelvin"},  // multiplier 1, but not the base unit
        {"kelvin", NBFUnitTypeTemperature, "(null)"},
        {"metre", NBFUnitTypeLength, "(null)"},  // even though other lengths remain
    };
    int32_t count = NBFUnitCollectionGetCountOfUnits(collection);
    for (const auto& row : rows) {
        int32_t ofType = NBFUnitCollectionGetCountOfUnitsWithType(collection, row.type);
        NBFUnitCollectionRemoveUnit(collection, catalogue[row.removed]);
        EXPECT_EQ(base(row.type), row.baseAfter) << row.removed;
        EXPECT_EQ(NBFUnitCollectionGetCountOfUnits(collection), --count) << row.removed;
        EXPECT_EQ(NBFUnitCollectionGetCountOfUnitsWithType(collection, row.type), ofType - 1);
    }
}

TEST_F(UnitCollectionTest, RemovalReleasesWhatWasRemovedAndNothingElse) {
    NBFUnitContainerRef metre = catalogue["metre"];
    NBFUnitContainerRef outsider = makeUnit("parsec", catalogue.basic("kilometre"));
    NBFUnitContainerRef twin = makeUnit("metre", catalogue.basic("metre"));
    // Links and index entries hold references too; all of them go with the unit.
    NBFUnitCollectionAddSIExponentLink(collection, metre, catalogue["kilometre"], 3);
    ASSERT_GT(metre->retainCount(), 1);

    // A unit the collection does not hold changes nothing.
    NBFUnitCollectionRemoveUnit(collection, outsider);
    EXPECT_EQ(outsider->retainCount(), 1);
    EXPECT_EQ(NBFUnitCollectionGetCountOfUnits(collection), 14);

    // Another object with the metre's identifier removes the held metre, not itself.
    NBFUnitCollectionRemoveUnit(collection, twin);
    EXPECT_EQ(twin->retainCount(), 1);
    EXPECT_EQ(metre->retainCount(), 1);  // only the catalogue's own reference is left
    EXPECT_EQ(NBFUnitCollectionGetCountOfUnits(collection), 13);
    Words word{"metre"};
    EXPECT_TRUE(
        NBFUnitCollectionFindUnitsMatchingWords(collection, word.get(), nullptr, nullptr).empty());

    // A second removal of the same identifier finds nothing more.
    NBFUnitCollectionRemoveUnit(collection, metre);
    EXPECT_EQ(metre->retainCount(), 1);
    EXPECT_EQ(NBFUnitCollectionGetCountOfUnits(collection), 13);
    NBFUnitContainerRelease(outsider);
    NBFUnitContainerRelease(twin);
}

TEST_F(UnitCollectionTest, AUnitAddedTwiceKeepsItsPlacesUntilRemovedTwice) {
    NBFUnitContainerRef kilogram = catalogue["kilogram"];
    NBFUnitCollectionAddUnit(collection, kilogram);
    NBFUnitCollectionAddSIExponentLink(collection, kilogram, catalogue["gram"], -3);
    Words kg{"kg"};
    const struct {
        int32_t count;
        const char* base;
        const char* linked;
        size_t found;
    } afterRemoval[] = {{14, "kilogram", "gram", 1}, {13, "(null)", "(null)", 0}};
    EXPECT_EQ(NBFUnitCollectionGetCountOfUnits(collection), 15);
    for (const auto& row : afterRemoval) {
        NBFUnitCollectionRemoveUnit(collection, kilogram);
        EXPECT_EQ(NBFUnitCollectionGetCountOfUnits(collection), row.count);
        EXPECT_EQ(base(NBFUnitTypeMass), row.base);
        EXPECT_EQ(identifierOrNull(NBFUnitCollectionGetSIExponentUnit(collection, kilogram, -3)),
                  row.linked);
        EXPECT_EQ(
            NBFUnitCollectionFindUnitsMatchingWords(collection, kg.get(), nullptr, nullptr).size(),
            row.found);
    }
    EXPECT_EQ(kilogram->retainCount(), 1);
}

TEST_F(UnitCollectionTest, ReplacingAUnitByOneOfTheSameIdentifierKeepsItsNamesFindable) {
    NBFUnitContainerRef replacement = NBFUnitContainerCreate(
        "foot", {{NBFUnitNameTypeSingular, "foot"}, {NBFUnitNameTypeSymbol, "ft"}}, {});
    NBFUnitContainerSetUnitFraction(replacement,
                                    NBFUnitContainerGetUnitFraction(catalogue["foot"]));
    NBFUnitCollectionAddUnit(collection, replacement);
    NBFUnitCollectionRemoveUnit(collection, catalogue["foot"]);  // the first one added goes
    Words ft{"ft"};
    NBFUnitCollectionSearchResults results =
        NBFUnitCollectionFindUnitsMatchingWords(collection, ft.get(), nullptr, nullptr);
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].unit.get(), replacement);
    NBFUnitContainerRelease(replacement);
}

struct MatchRow {
    std::vector<const char*> words;
    const char* expected;
    bool exactCase;
    bool longer;
};

TEST_F(UnitCollectionTest, MatchesWordsPreferringExactCase) {
    const MatchRow rows[] = {
        {{"metre"}, "metre:1", true, false},
        {{"METRE"}, "metre:1", false, false},
        {{"m"}, "metre:3,minute:2", true, false},
        {{"M"}, "metre:3,minute:2", false, false},  // every name that is not case-sensitive
        {{"mm"}, "millimetre:3", true, false},      // the case-sensitive "Mm" is dropped
        {{"Mm"}, "megametre:3", true, false},
        {{"MM"}, "millimetre:3", false, false},
        {{"mM"}, "millimetre:3", false, false},
        {{"K"}, "kelvin:3", true, false},
        {{"k"}, "", false, false},  // "K" only matches in its own case
        {{"nautical"}, "", false, true},
        {{"nautical", "miles"}, "nautical-mile:1", true, false},
        {{"Nautical", "Miles"}, "nautical-mile:1", false, false},
        {{"degree", "Celsius"}, "celsius:1", true, false},
        {{"celsius"}, "celsius:1", true, false},
        {{"sec"}, "second:2", true, false},
        {{"parsec"}, "", false, false},
    };
    for (const MatchRow& row : rows) {
        std::vector<NBFStringRef> words;
        for (const char* word : row.words) words.push_back(NBFStringCreateWithUTF8(word));
        bool exactCase = !row.exactCase;
        bool longer = !row.longer;
        NBFUnitCollectionSearchResults results =
            NBFUnitCollectionFindUnitsMatchingWords(collection, words, &longer, &exactCase);
        SCOPED_TRACE(::testing::Message() << "row " << (&row - rows));
        EXPECT_EQ(describe(results), row.expected);
        EXPECT_EQ(exactCase, row.exactCase);
        EXPECT_EQ(longer, row.longer);

        NBFUnitFormatType formatType = -1;
        NBF::Ref<NBF::UnitContainer> top = NBFUnitCollectionFindTopUnitMatchingWords(
            collection, words, nullptr, nullptr, &formatType);
        EXPECT_EQ(top.get(), results.empty() ? nullptr : results[0].unit.get());
        EXPECT_EQ(formatType, results.empty() ? NBFUnitFormatTypeNone : results[0].formatType);
        for (NBFStringRef word : words) NBFStringRelease(word);
    }
}

TEST_F(UnitCollectionTest, UnitsOfSearchResultsKeepTheirOrder) {
    Words m{"m"};
    NBFUnitCollectionSearchResults results =
        NBFUnitCollectionFindUnitsMatchingWords(collection, m.get(), nullptr, nullptr);
    EXPECT_EQ(identifiersOf(NBFUnitCollectionUnitsFromSearchResults(results)), "metre,minute");
    EXPECT_TRUE(NBFUnitCollectionUnitsFromSearchResults({}).empty());
}

TEST(UnitCollection, NullCollectionMatchesNothingAndClearsTheFlags) {
    Words metre{"metre"};
    bool longer = true;
    bool exactCase = true;
    EXPECT_TRUE(
        NBFUnitCollectionFindUnitsMatchingWords(nullptr, metre.get(), &longer, &exactCase).empty());
    EXPECT_FALSE(longer);
    EXPECT_FALSE(exactCase);
    EXPECT_FALSE(
        NBFUnitCollectionFindTopUnitMatchingWords(nullptr, metre.get(), nullptr, nullptr, nullptr));
}

class UnitLinksTest : public UnitCollectionTest {
  protected:
    UnitLinksTest() {
        NBFUnitCollectionAddSIExponentLink(collection, catalogue["metre"], catalogue["kilometre"],
                                           3);
        NBFUnitCollectionAddSIExponentLink(collection, catalogue["metre"], catalogue["centimetre"],
                                           -2);
        NBFUnitCollectionAddSIExponentLink(collection, catalogue["metre"], catalogue["millimetre"],
                                           -3);
        NBFUnitCollectionAddNonSILink(collection, catalogue["metre"], catalogue["foot"]);
        NBFUnitCollectionAddNonSILink(collection, catalogue["metre"], catalogue["nautical-mile"]);
    }

    std::string at(const char* value) const {
        M_APM number = m_apm_init();
        m_apm_set_string(number, value);
        NBFUnitContainerRef found =
            NBFUnitCollectionFindFirstLinkedUnitWithScalarLessThanOrEqualToMAPM(
                collection, catalogue["metre"], number);
        m_apm_free(number);
        return identifierOrNull(found);
    }

    std::string si(const char* unit, int8_t exponent) const {
        return identifierOrNull(
            NBFUnitCollectionGetSIExponentUnit(collection, catalogue[unit], exponent));
    }

    std::string unity(const char* unit) const {
        return identifierOrNull(NBFUnitCollectionGetUnityLinkedUnit(collection, catalogue[unit]));
    }
};

TEST_F(UnitLinksTest, SIExponentAndUnityLinks) {
    const struct {
        const char* unit;
        int8_t exponent;
        const char* expected;
    } rows[] = {
        {"metre", 3, "kilometre"}, {"metre", -2, "centimetre"}, {"metre", -3, "millimetre"},
        {"metre", 0, "metre"},     {"metre", 6, "(null)"},      {"kilometre", 3, "(null)"},
        {"foot", 0, "foot"},       {"foot", 1, "(null)"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(si(row.unit, row.exponent), row.expected) << row.unit << " " << int(row.exponent);
    EXPECT_EQ(NBFUnitCollectionGetSIExponentUnit(nullptr, catalogue["foot"], 0), catalogue["foot"]);

    const struct {
        const char* unit;
        const char* expected;
    } unityRows[] = {{"kilometre", "metre"},
                     {"millimetre", "metre"},
                     {"foot", "metre"},
                     {"metre", "metre"},
                     {"second", "(null)"}};
    for (const auto& row : unityRows) EXPECT_EQ(unity(row.unit), row.expected) << row.unit;
}

TEST_F(UnitLinksTest, FindsTheGreatestLinkedScalarNotAboveAValue) {
    // Ordered: millimetre 0.001, centimetre 0.01, foot 0.3048, metre 1, kilometre 1000,
    // nautical mile 1852.
    const struct {
        const char* value;
        const char* expected;
    } rows[] = {
        {"0.0009", "(null)"},      {"0.001", "millimetre"}, {"0.0099", "millimetre"},
        {"0.01", "centimetre"},    {"0.3", "centimetre"},   {"0.3048", "foot"},
        {"0.9999", "foot"},        {"1", "metre"},          {"999.99", "metre"},
        {"1000", "kilometre"},     {"1851", "kilometre"},   {"1852", "nautical-mile"},
        {"1e30", "nautical-mile"}, {"-5", "(null)"},
    };
    for (const auto& row : rows) EXPECT_EQ(at(row.value), row.expected) << row.value;
    EXPECT_EQ(identifierOrNull(NBFUnitCollectionFindFirstLinkedUnitWithScalarLessThanOrEqualToMAPM(
                  collection, catalogue["second"], MM_One)),
              "(null)");
}

TEST_F(UnitLinksTest, AUnitOfAnEqualScalarDoesNotDisplaceTheFirst) {
    NBFUnitContainerRef klick = makeUnit("klick", catalogue.basic("kilometre"));
    NBFUnitCollectionAddNonSILink(collection, catalogue["metre"], klick);
    EXPECT_EQ(at("1000"), "kilometre");
    EXPECT_EQ(identifierOrNull(NBFUnitCollectionGetUnityLinkedUnit(collection, klick)), "metre");
    NBFUnitContainerRelease(klick);
}

TEST_F(UnitLinksTest, RemovingAUnitDropsItsLinks) {
    NBFUnitCollectionRemoveUnit(collection, catalogue["kilometre"]);
    EXPECT_EQ(si("metre", 3), "(null)");
    EXPECT_EQ(at("1500"), "metre");
    EXPECT_EQ(at("2000"), "nautical-mile");
    EXPECT_EQ(unity("kilometre"), "(null)");

    NBFUnitCollectionRemoveUnit(collection, catalogue["metre"]);
    EXPECT_EQ(si("metre", -2), "(null)");
    EXPECT_EQ(at("1"), "(null)");
    EXPECT_EQ(unity("centimetre"), "(null)");  // it pointed at the removed metre
    EXPECT_EQ(unity("metre"), "(null)");
}

struct AmbiguityRow {
    NBFUnitTypeBitmap bitmap;
    const char* name;  // null for none
    const char* expected;
};

TEST(AmbiguousUnit, ScoresTypesNamesAndTieBreakFactors) {
    UnitCatalogueFixture catalogue;
    NBFAmbiguousUnitRef m = NBFAmbiguousUnitCreate({catalogue["metre"], catalogue["minute"]});
    const NBFUnitTypeBitmap length = NBFUnitTypeBitmapMake(NBFUnitTypeLength);
    const NBFUnitTypeBitmap time = NBFUnitTypeBitmapMake(NBFUnitTypeTime);
    const NBFUnitTypeBitmap mass = NBFUnitTypeBitmapMake(NBFUnitTypeMass);
    EXPECT_EQ(NBFAmbiguousUnitGetUnitTypeBitmap(m), length | time);
    // metre: tie-break 10; minute: tie-break 5.
    const AmbiguityRow rows[] = {
        {length, "m", "metre"},
        {time, "m", "minute"},
        {NBFUnitTypeBitmapZero, "m", "metre"},  // both have the name; the tie-break decides
        {mass, nullptr, "metre"},
        {length | time, nullptr, "metre"},
        {length, "min", "minute"},  // the name bonus outweighs a type match
        {NBFUnitTypeBitmapZero, "Metre", "metre"},
        {time, "metre", "metre"},
    };
    for (const AmbiguityRow& row : rows) {
        NBFStringRef name = row.name ? NBFStringCreateWithUTF8(row.name) : nullptr;
        EXPECT_EQ(identifierOrNull(NBFAmbiguousUnitGetUnambiguousUnit(m, row.bitmap, name)),
                  row.expected)
            << (&row - rows);
        NBFStringRelease(name);
    }
    NBFAmbiguousUnitRelease(m);

    // Equal scores keep candidate order.
    NBFAmbiguousUnitRef even = NBFAmbiguousUnitCreate({catalogue["foot"], catalogue["second"]});
    EXPECT_EQ(identifierOrNull(NBFAmbiguousUnitGetUnambiguousUnit(even, 0, nullptr)), "foot");
    NBFAmbiguousUnitRelease(even);
    NBFAmbiguousUnitRef single = NBFAmbiguousUnitCreate({catalogue["gram"]});
    EXPECT_EQ(identifierOrNull(NBFAmbiguousUnitGetUnambiguousUnit(single, time, nullptr)), "gram");
    NBFAmbiguousUnitRelease(single);
    NBFAmbiguousUnitRef none = NBFAmbiguousUnitCreate({});
    EXPECT_EQ(NBFAmbiguousUnitGetUnambiguousUnit(none, time, nullptr), nullptr);
    NBFAmbiguousUnitRelease(none);
}

TEST_F(UnitCollectionTest, BuildsFractionsFromTypesWithTheCollectionsBaseUnits) {
    NBFMAPMAccumulatorRef accumulator = NBFMAPMAccumulatorCreate(100);
    const struct {
        NBF::UnitTypeFraction types;
        const char* expected;  // numerator identifiers / denominator identifiers
    } rows[] = {
        {NBF::UnitTypeFraction(NBFUnitTypeMass, 1), "kilogram/"},
        {NBF::UnitTypeFraction(NBFUnitTypeLength, 1, NBFUnitTypeTime, -1), "metre/second"},
        {NBF::UnitTypeFraction(NBFUnitTypeLength, 2), "metre,metre/"},
        {NBF::UnitTypeFraction(NBFUnitTypeMoney, 1), "(null)"},
    };
    for (const auto& row : rows) {
        NBFUnitFractionRef fraction = NBFUnitFractionCreateFromTypeFraction(
            collection, accumulator, nullptr, NBFEvalUnitsMap(), row.types);
        std::string text = "(null)";
        if (fraction) {
            text.clear();
            for (NBFUnit* unit : NBFUnitFractionGetNumeratorUnits(fraction))
                text += (text.empty() ? "" : ",") + std::string(NBFUnitGetIdentifier(unit));
            text += "/";
            std::string below;
            for (NBFUnit* unit : NBFUnitFractionGetDenominatorUnits(fraction))
                below += (below.empty() ? "" : ",") + std::string(NBFUnitGetIdentifier(unit));
            text += below;
            EXPECT_EQ(decimalText(NBFUnitFractionGetMultiplier(fraction)), "1");
        }
        EXPECT_EQ(text, row.expected) << row.types.stringRepresentation();
        NBFUnitFractionRelease(fraction);
    }
    NBFUnitCollectionRemoveUnit(collection, catalogue["kilogram"]);
    EXPECT_EQ(
        NBFUnitFractionCreateFromTypeFraction(collection, accumulator, nullptr, NBFEvalUnitsMap(),
                                              NBF::UnitTypeFraction(NBFUnitTypeMass, 1)),
        nullptr);
    NBFMAPMAccumulatorRelease(accumulator);
}

}  // namespace
