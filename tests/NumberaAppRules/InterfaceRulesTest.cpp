#include "AppRulesTestSupport.h"
#include "CoreTestSupport.h"
#include "NBInterfaceRules.h"
#include "NCExpressionFormattingOptions.h"
#include "NCLine.h"
#include "NCResultFormattingOptions.h"

namespace {

struct LineFormat {
    int32_t base = 10;
    NCTrigonometryMode trigonometryMode = 0;
    int32_t alignment = 0;
    uint64_t decimalPlaces = 2;
};

std::shared_ptr<NCLine> makeLine(const LineFormat& format) {
    initFoundationConstants();
    auto line = NCLine::lineWithPlainText(u"1+1");
    auto options = std::make_shared<NCResultFormattingOptions>();
    options->displayBase = format.base;
    options->setDecimalPlaces(format.decimalPlaces);
    line->setCustomFormattingOptions(options);
    if (format.trigonometryMode) line->setTrigonometryMode(format.trigonometryMode);
    auto expressionOptions = std::make_shared<NCExpressionFormattingOptions>();
    expressionOptions->setTextAlignment(format.alignment);
    line->setExpressionFormattingOptions(expressionOptions);
    return line;
}

NBLineArray lines(std::initializer_list<LineFormat> formats) {
    NBLineArray result;
    for (const LineFormat& format : formats) result.push_back(makeLine(format));
    return result;
}

TEST(HeadingItems, ItemsUnderAHeadingAreIndentedOneLevelDeeper) {
    std::vector<NBMenuItemModel> items = {
        {u"before", 1, 0},
        NBMenuItemModel::headingItemWithTitle(u"Length"),
        {u"metre", 2, 0},
        {u"foot", 3, 5},
    };
    items.push_back(NBMenuItemModel::headingItemWithTitle(u"Mass"));
    items.back().indentationLevel = 2;
    items.push_back({u"gram", 4, 0});
    indentItemsUnderHeadings(items);
    EXPECT_EQ(items[0].indentationLevel, 0);
    EXPECT_EQ(items[1].indentationLevel, 0);
    EXPECT_EQ(items[2].indentationLevel, 1);
    EXPECT_EQ(items[3].indentationLevel, 1);
    EXPECT_EQ(items[4].indentationLevel, 2);
    EXPECT_EQ(items[5].indentationLevel, 3);
    EXPECT_TRUE(items[1].isHeadingItem());
    EXPECT_FALSE(items[1].enabled);
    EXPECT_EQ(items[1].tag, 8476521);
}

TEST(HeadingItems, AMenuWithoutHeadingsIsUnchanged) {
    std::vector<NBMenuItemModel> items = {{u"a", 1, 0}, {u"b", 2, 3}};
    indentItemsUnderHeadings(items);
    EXPECT_EQ(items[0].indentationLevel, 0);
    EXPECT_EQ(items[1].indentationLevel, 3);
}

struct UniformityRow {
    const char* name;
    std::string property;
    LineFormat first;
    LineFormat second;
    bool uniform;
};

class Uniformity : public ::testing::TestWithParam<UniformityRow> {};

TEST_P(Uniformity, ComparesEachLineWithTheOneBefore) {
    const UniformityRow& row = GetParam();
    EXPECT_EQ(
        propertyIsUniformAcrossLines(lines({row.first, row.second, row.second}), row.property),
        row.uniform);
    EXPECT_TRUE(propertyIsUniformAcrossLines(lines({row.first}), row.property));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Uniformity,
    ::testing::Values(
        UniformityRow{"SameBase", "base", {.base = 16}, {.base = 16}, true},
        UniformityRow{"OtherBase", "base", {.base = 16}, {.base = 2}, false},
        UniformityRow{"SameTrig", "trigonometryMode", {}, {}, true},
        UniformityRow{"OtherTrig",
                      "trigonometryMode",
                      {.trigonometryMode = 1},
                      {.trigonometryMode = 2},
                      false},
        UniformityRow{"OtherAlignment", "textAlignment", {.alignment = 1}, {.alignment = 2}, false},
        UniformityRow{"SameAlignment", "textAlignment", {.alignment = 2}, {.alignment = 2}, true},
        UniformityRow{"SameOption", "decimalPlaces", {}, {}, true},
        UniformityRow{
            "OtherOption", "decimalPlaces", {.decimalPlaces = 2}, {.decimalPlaces = 4}, false},
        // A key the options do not have never compares equal.
        UniformityRow{"UnknownKey", "noSuchKey", {}, {}, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Uniformity, NoLinesAreUniformAndANonLineIsReported) {
    EXPECT_TRUE(propertyIsUniformAcrossLines({}, "base"));
    NBLineArray mixed = lines({{}, {}});
    mixed.push_back(nullptr);
    CapturedDiagnostics diagnostics;
    EXPECT_FALSE(propertyIsUniformAcrossLines(mixed, "base"));
    EXPECT_FALSE(containsLineWithValue(mixed, int64_t{0}, "base"));
    EXPECT_EQ(diagnostics.count("Warning! Array does not contain only lines."), 2u);
}

TEST(ContainsValue, BaseValuesAreMenuNumbers) {
    const NBLineArray selection = lines({{.base = 16}, {.base = 10}});
    EXPECT_TRUE(containsLineWithValue(selection, int64_t{0}, "base"));
    EXPECT_FALSE(containsLineWithValue(selection, int64_t{1}, "base"));
    EXPECT_TRUE(containsLineWithValue(selection, int64_t{2}, "base"));
    EXPECT_FALSE(containsLineWithValue(selection, int64_t{16}, "base"));
    EXPECT_FALSE(containsLineWithValue(selection, int64_t{10}, "base"));
}

TEST(ContainsValue, OtherPropertiesCompareTheirValues) {
    const NBLineArray selection =
        lines({{.trigonometryMode = 2, .alignment = 1, .decimalPlaces = 4}, {}});
    EXPECT_TRUE(containsLineWithValue(selection, int64_t{2}, "trigonometryMode"));
    EXPECT_TRUE(containsLineWithValue(selection, int64_t{1}, "textAlignment"));
    EXPECT_FALSE(containsLineWithValue(selection, int64_t{3}, "textAlignment"));
    EXPECT_TRUE(containsLineWithValue(selection, int64_t{4}, "decimalPlaces"));
    EXPECT_TRUE(containsLineWithValue(selection, 4.0, "decimalPlaces"));
    EXPECT_FALSE(containsLineWithValue(selection, std::u16string(u"4"), "decimalPlaces"));
    EXPECT_FALSE(containsLineWithValue({}, int64_t{0}, "base"));
}

struct StateRow {
    const char* name;
    int tag;
    std::optional<int64_t> objectValue;
    std::vector<int> decimalPlaces;  // one selected line each
    NBMenuItemState state;
};

class MenuState : public ::testing::TestWithParam<StateRow> {};

TEST_P(MenuState, FollowsTheSelectedLines) {
    const StateRow& row = GetParam();
    NBLineArray selection;
    for (int places : row.decimalPlaces)
        selection.push_back(makeLine({.decimalPlaces = static_cast<uint64_t>(places)}));
    EXPECT_EQ(stateForFormattingProperty(row.tag, row.objectValue, selection, "decimalPlaces"),
              row.state);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MenuState,
    ::testing::Values(StateRow{"NoLineMatching", 2, 2, {}, NBMenuItemState::On},
                      StateRow{"NoLineOther", 3, 2, {}, NBMenuItemState::Off},
                      StateRow{"NoObjectValue", 0, std::nullopt, {0}, NBMenuItemState::Off},
                      // One line: only the object's value counts, not the line's.
                      StateRow{"OneLineMatching", 2, 2, {5}, NBMenuItemState::On},
                      StateRow{"OneLineOther", 5, 2, {5}, NBMenuItemState::Off},
                      StateRow{"UniformMatching", 4, 4, {4, 4}, NBMenuItemState::On},
                      StateRow{"UniformOther", 2, 4, {4, 4}, NBMenuItemState::Off},
                      StateRow{"MixedHasTag", 2, 4, {4, 2, 4}, NBMenuItemState::Mixed},
                      StateRow{"MixedHasTagMatchingObject", 4, 4, {4, 2}, NBMenuItemState::Mixed},
                      StateRow{"MixedWithoutTag", 3, 4, {4, 2}, NBMenuItemState::Off}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(KeyStroke, ModifiersComeInControlOptionCommandOrder) {
    EXPECT_EQ(keyStrokeRepresentation(false, true, true, u"k"), u"\u2325\u2318 k");
    EXPECT_EQ(keyStrokeRepresentation(true, true, true, u"k"), u"\u2303\u2325\u2318 k");
    EXPECT_EQ(keyStrokeRepresentation(true, false, false, u"="), u"\u2303 =");
    EXPECT_EQ(keyStrokeRepresentation(false, false, false, u"k"), u"k");
    EXPECT_EQ(keyStrokeRepresentation(true, true, true, u""), u"");
}

TEST(SystemInfo, ProcessorNamesFollowTheMachine) {
    for (const char* intel : {"x86_64", "i386", "i686", "amd64"})
        EXPECT_EQ(processorTypeForMachine(std::string(intel)), u"Intel") << intel;
    EXPECT_EQ(processorTypeForMachine(std::string("ppc64le")), u"PowerPC");
    EXPECT_EQ(processorTypeForMachine(std::string("aarch64")), u"aarch64");
    EXPECT_EQ(processorTypeForMachine(std::string("i886")), u"i886");
    EXPECT_EQ(processorTypeForMachine(std::string("")), u"Unknown");
    EXPECT_EQ(processorTypeForMachine(std::nullopt), u"Unknown");
    EXPECT_FALSE(processorType().empty());
    EXPECT_EQ(operatingSystemVersion().rfind(u"Linux ", 0), 0u);
}

}  // namespace
