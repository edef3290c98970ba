#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "NBFUnitSearchIndex.h"
#include "UnitCatalogueFixture.h"

namespace {

// "identifier:formatType" for each result, comma-separated.
std::string describe(const NBFUnitSearchIndexResults& results) {
    std::string text;
    for (const NBFUnitSearchIndexResult& result : results) {
        text += (text.empty() ? "" : ",") + NBFUnitContainerGetIdentifier_cpp(result.unit.get()) +
                ":" + std::to_string(result.formatType);
    }
    return text;
}

class UnitSearchIndexTest : public ::testing::Test {
  protected:
    UnitSearchIndexTest() : index(NBFUnitSearchIndexCreate()) {
        NBFUnitSearchIndexAddUnits(index, catalogue.all().data(),
                                   static_cast<int32_t>(catalogue.all().size()));
    }
    ~UnitSearchIndexTest() override { NBFUnitSearchIndexRelease(index); }

    // Counted from the catalogue's table: every name and alias has at least one word.
    static int32_t namesInCatalogue() {
        int32_t count = 0;
        for (const UnitCatalogueEntry& entry : unitCatalogueEntries())
            count += static_cast<int32_t>(entry.names.size() + entry.aliases.size());
        return count;
    }

    UnitCatalogueFixture catalogue;
    NBFUnitSearchIndexRef index;
};

// The flag's value before the query; "unchanged" rows expect it to survive.
constexpr int kUnchanged = 2;

struct QueryRow {
    std::vector<const char*> words;
    const char* expected;  // describe() of the answer
    int longer;            // 0, 1 or kUnchanged
};

TEST_F(UnitSearchIndexTest, FindsNamesByLowercaseWordsAndReportsLongerNames) {
    const QueryRow rows[] = {
        {{"metre"}, "metre:1", 0},
        {{"METRES"}, "metre:1", 0},
        {{"meters"}, "metre:1", 0},  // an alias, by its name type's format
        {{"sec"}, "second:2", 0},
        {{"M"}, "metre:3,minute:2", 0},  // in the order the units were added
        {{"mm"}, "millimetre:3,megametre:3", 0},
        {{"nautical"}, "", 1},  // no name ends here, longer ones go on
        {{"Nautical", "MILES"}, "nautical-mile:1", 0},
        {{"degree"}, "", 1},
        {{"degree", "celsius"}, "celsius:1", 0},
        {{"°c"}, "celsius:3", 0},
        {{"parsec"}, "", kUnchanged},
        {{"nautical", "league"}, "", kUnchanged},
        {{}, "", kUnchanged},
    };
    for (const QueryRow& row : rows) {
        std::vector<NBFStringRef> words;
        for (const char* word : row.words) words.push_back(NBFStringCreateWithUTF8(word));
        for (bool before : {false, true}) {
            bool longer = before;
            NBFUnitSearchIndexResults results = NBFUnitSearchIndexFindUnits(index, words, &longer);
            SCOPED_TRACE(::testing::Message() << "row " << (&row - rows) << " before " << before);
            EXPECT_EQ(describe(results), row.expected);
            EXPECT_EQ(longer, row.longer == kUnchanged ? before : row.longer == 1);
        }
        for (NBFStringRef word : words) NBFStringRelease(word);
    }
}

TEST_F(UnitSearchIndexTest, KeepsTheWordsOfANameInTheirOwnCase) {
    Words query{"DEGREES", "CELSIUS"};
    NBFUnitSearchIndexResults results = NBFUnitSearchIndexFindUnits(index, query.get(), nullptr);
    ASSERT_EQ(results.size(), 1u);
    ASSERT_EQ(results[0].words.size(), 2u);
    EXPECT_EQ(NBFStringGetCppString(results[0].words[0].get()), "degrees");
    EXPECT_EQ(NBFStringGetCppString(results[0].words[1].get()), "Celsius");
    EXPECT_EQ(NBFStringGetCppString(results[0].name.get()), "degrees Celsius");
    EXPECT_EQ(results[0].formatType, NBFUnitFormatTypeName);
}

TEST_F(UnitSearchIndexTest, SizeCountsEveryNameOnceHoweverOftenAUnitIsAdded) {
    EXPECT_EQ(NBFUnitSearchIndexGetSize(index), namesInCatalogue());
    NBFUnitSearchIndexAddUnit(index, catalogue["metre"]);
    NBFUnitSearchIndexAddUnits(index, catalogue.all().data(), 3);
    EXPECT_EQ(NBFUnitSearchIndexGetSize(index), namesInCatalogue());
    Words metre{"metre"};
    EXPECT_EQ(describe(NBFUnitSearchIndexFindUnits(index, metre.get(), nullptr)), "metre:1");
}

TEST_F(UnitSearchIndexTest, NamesWithoutWordsAreNeitherCountedNorFound) {
    NBFUnitContainerRef blank = NBFUnitContainerCreate(
        "blank", {{NBFUnitNameTypeSingular, "   "}, {NBFUnitNameTypeSymbol, "bl"}},
        {{NBFUnitNameTypeSingular, ""}});
    NBFUnitSearchIndexAddUnit(index, blank);
    EXPECT_EQ(NBFUnitSearchIndexGetSize(index), namesInCatalogue() + 1);
    Words spaces{"   "};
    Words empty{""};
    Words symbol{"bl"};
    bool longer = true;
    EXPECT_TRUE(NBFUnitSearchIndexFindUnits(index, spaces.get(), &longer).empty());
    EXPECT_TRUE(NBFUnitSearchIndexFindUnits(index, empty.get(), &longer).empty());
    EXPECT_TRUE(longer);
    EXPECT_EQ(describe(NBFUnitSearchIndexFindUnits(index, symbol.get(), nullptr)), "blank:3");
    NBFUnitSearchIndexRemoveUnit(index, blank);
    EXPECT_EQ(NBFUnitSearchIndexGetSize(index), namesInCatalogue());
    NBFUnitContainerRelease(blank);
}

TEST_F(UnitSearchIndexTest, RemovalLeavesNodesAndTellsLongerNamesOnlyOfOtherUnits) {
    NBFUnitContainerRef league = NBFUnitContainerCreate(
        "nautical-league", {{NBFUnitNameTypeSingular, "nautical league"}}, {});
    NBFUnitSearchIndexAddUnit(index, league);
    Words nautical{"nautical"};
    Words mile{"nautical", "mile"};

    NBFUnitSearchIndexRemoveUnit(index, catalogue["nautical-mile"]);
    EXPECT_EQ(NBFUnitSearchIndexGetSize(index), namesInCatalogue() + 1 - 3);
    bool longer = false;
    EXPECT_TRUE(NBFUnitSearchIndexFindUnits(index, mile.get(), &longer).empty());
    EXPECT_FALSE(longer);  // the node is still there and written
    longer = false;
    EXPECT_TRUE(NBFUnitSearchIndexFindUnits(index, nautical.get(), &longer).empty());
    EXPECT_TRUE(longer);  // "nautical league" goes on

    NBFUnitSearchIndexRemoveUnit(index, league);
    longer = true;
    EXPECT_TRUE(NBFUnitSearchIndexFindUnits(index, nautical.get(), &longer).empty());
    EXPECT_FALSE(longer);
    EXPECT_EQ(NBFUnitSearchIndexGetSize(index), namesInCatalogue() - 3);
    NBFUnitContainerRelease(league);
}

TEST_F(UnitSearchIndexTest, RemovalGoesByIdentifier) {
    // Another object with the metre's identifier and one of its names.
    NBFUnitContainerRef twin = NBFUnitContainerCreate("metre", {{NBFUnitNameTypeSymbol, "m"}}, {});
    NBFUnitSearchIndexRemoveUnit(index, twin);
    Words m{"m"};
    Words metre{"metre"};
    EXPECT_EQ(describe(NBFUnitSearchIndexFindUnits(index, m.get(), nullptr)), "minute:2");
    // Only the twin's own names were visited.
    EXPECT_EQ(describe(NBFUnitSearchIndexFindUnits(index, metre.get(), nullptr)), "metre:1");
    NBFUnitContainerRelease(twin);
}

TEST_F(UnitSearchIndexTest, AnswersStayValidAfterTheUnitIsRemovedAndFreed) {
    NBFUnitContainerRef rod =
        NBFUnitContainerCreate("rod", {{NBFUnitNameTypeSingular, "rod"}}, {{1, "perch"}});
    NBFUnitSearchIndexAddUnit(index, rod);
    int32_t held = rod->retainCount();
    Words perch{"perch"};
    NBFUnitSearchIndexResults results = NBFUnitSearchIndexFindUnits(index, perch.get(), nullptr);
    EXPECT_EQ(rod->retainCount(), held + 1);
    NBFUnitSearchIndexRemoveUnit(index, rod);
    NBFUnitContainerRelease(rod);  // the answer now holds the last reference
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(NBFUnitContainerGetIdentifier_cpp(results[0].unit.get()), "rod");
    EXPECT_EQ(NBFStringGetCppString(results[0].name.get()), "perch");
    EXPECT_EQ(results[0].unit->retainCount(), 1);
}

TEST(UnitSearchIndex, NullIndexAndNullArgumentsDoNothing) {
    UnitCatalogueFixture catalogue;
    NBFUnitSearchIndexAddUnits(nullptr, catalogue.all().data(), 1);
    NBFUnitSearchIndexRemoveUnit(nullptr, catalogue["metre"]);
    EXPECT_EQ(NBFUnitSearchIndexGetSize(nullptr), 0);
    Words metre{"metre"};
    bool longer = true;
    EXPECT_TRUE(NBFUnitSearchIndexFindUnits(nullptr, metre.get(), &longer).empty());
    EXPECT_TRUE(longer);

    NBFUnitSearchIndexRef index = NBFUnitSearchIndexCreate();
    NBFUnitSearchIndexAddUnits(index, nullptr, 3);
    NBFUnitSearchIndexAddUnits(index, catalogue.all().data(), 0);
    NBFUnitContainerRef units[] = {nullptr, catalogue["metre"]};
    NBFUnitSearchIndexAddUnits(index, units, 2);
    EXPECT_EQ(NBFUnitSearchIndexGetSize(index), 5);
    NBFUnitSearchIndexRemoveUnit(index, nullptr);
    EXPECT_EQ(NBFUnitSearchIndexGetSize(index), 5);
    NBFUnitSearchIndexRelease(index);
}

}  // namespace
