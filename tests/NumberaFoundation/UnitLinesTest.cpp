// Lines with units found through the namespace's unit collection: the analyser's tokens and
// the expression parser's trees. The catalogue is that of UnitCatalogueFixture.h (metre and
// minute share the name "m"; "nautical mile" is two words), plus a dollar that may stand before
// its number and a function "min" that shares its name with the minute.
#include <gtest/gtest.h>

#include "AnalyzerTestSupport.h"
#include "NBFExpressionNodeTreePrinter.h"
#include "NBFExpressionParser.h"
#include "NBFUnitCollection.h"
#include "UnitCatalogueFixture.h"

namespace {

using analyzer_test::Environment;

class UnitLines : public ::testing::Test {
  protected:
    UnitLines() {
        NBFExpressionScannerInit();
        NBFUnitCollectionAddUnits(collection, units.all().data(),
                                  static_cast<int32_t>(units.all().size()));
        NBFUnitContainerSetCanBePrefixUnit(dollar, true);
        NBFUnitCollectionAddUnit(collection, dollar);
        NBFFunctionRef min = NBFFunctionCreateWithName("min", 2);
        NBFFunctionListAddFunction(environment.functions, min);
        NBFFunctionRelease(min);
        NBFNamespaceSetUnitCollection(environment.ns, collection);
        parser = NBFExpressionParserCreate(environment.functions, environment.variables,
                                           environment.wordOperators, collection);
    }
    ~UnitLines() override {
        NBFExpressionParserRelease(parser);
        NBFUnitCollectionRelease(collection);
        NBFUnitContainerRelease(dollar);
    }

    std::string tree(const std::string& text) {
        auto expression = NBF::Ref<NBF::Expression>::adopt(NBF::Expression::create(text));
        NBFParsedExpressionRef parsed =
            NBFExpressionParserParseExpression(parser, expression.get());
        NBFExpressionNodeTreePrinterRef printer =
            NBFExpressionNodeTreePrinterCreate(NBFParsedExpressionGetExpressionTree(parsed));
        std::string printed = NBFExpressionNodeTreePrinterCreateString(printer);
        NBFExpressionNodeTreePrinterRelease(printer);
        NBFParsedExpressionRelease(parsed);
        return printed;
    }

    UnitCatalogueFixture units;
    NBFUnitContainerRef dollar = NBFUnitContainerCreate("dollar", {{4, "$"}}, {});
    NBFUnitCollectionRef collection = NBFUnitCollectionCreate();
    Environment environment;
    NBFExpressionParserRef parser;
};

TEST_F(UnitLines, AnalysedTokens) {
    struct Row {
        const char* text;
        const char* tokens;
    };
    const std::vector<Row> rows = {
        {"60 km/h", "60:num8 km:unit27 /:op23 h:unit28"},
        {"$5", "$:unit26 5:num8"},
        {"5 km 3 m", "5:num8 km:unit27 3:num8 m:unit27"},
        {"m^2", "m:unit28 ^:op14 2:num8"},
        {"3m", "3:num8 m:unit27"},
        // The longest name first: two words make one unit.
        {"3 nautical miles", "3:num8 nautical miles:unit27"},
        {"20 degrees Celsius + 1 K", "20:num8 degrees Celsius:unit27 +:op10 1:num8 K:unit27"},
        // The name being declared is never resolved, even when it names a unit.
        {"h = 5 km", "h:word =:eq 5:num8 km:unit27"},
        // Followed by brackets, a name of a unit and a function is the function.
        {"min(3;4)", "min:fn (:br1 3:num8 ;:sep 4:num8 ):br2"},
        {"5 min", "5:num8 min:unit27"},
        {"3 apples km", "3:num8 apples:word km:word"},
    };
    for (const Row& row : rows) EXPECT_EQ(environment.analyse(row.text), row.tokens) << row.text;
}

TEST_F(UnitLines, ParsedTrees) {
    struct Row {
        const char* text;
        const char* tree;
    };
    const std::vector<Row> rows = {
        {"60 km/h", "((60*1{unit:kilometre})/1{unit:hour})"},
        {"5 km + 3 m", "((5*1{unit:kilometre})+(3*1{unit:metre}))"},
        // "m" next to hours is the minute.
        {"5 h + 3 m", "((5*1{unit:hour})+(3*1{unit:minute}))"},
        // Five kilometres three metres adds up.
        {"5 km 3 m", "((5*1{unit:kilometre})+(3*1{unit:metre}))"},
        {"3 nautical miles", "(3*1{unit:nautical-mile})"},
        {"$5 + $2", "(5{unit:dollar}+2{unit:dollar})"},
        {"m^2", "(1{unit:metre}^2)"},
        {"2 km * 3", "((2*1{unit:kilometre})*3)"},
        {"min(3;4)", "min([3;4])"},
    };
    for (const Row& row : rows) EXPECT_EQ(tree(row.text), row.tree) << row.text;
}

}  // namespace
