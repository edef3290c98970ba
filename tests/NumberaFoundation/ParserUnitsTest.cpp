// The parser's unit paths, on tokens made by hand: units written before their number (26),
// after a value (27) and alone (28), ambiguous units resolved after parsing, and the format in
// which each unit's name is to be shown.
#include <gtest/gtest.h>

#include "NBFExpressionNodeTreePrinter.h"
#include "NBFParser.h"
#include "UnitCatalogueFixture.h"

namespace {

constexpr NBFTokenSubType kBefore = kNBFTokenSubTypePrefixUnit;
constexpr NBFTokenSubType kAfter = kNBFTokenSubTypeUnitAfterValue;
constexpr NBFTokenSubType kAlone = kNBFTokenSubTypeStandaloneUnit;

// A token: a number, an operator (its subtype), or a unit (its place and the unit's
// identifier; "m?" is the name shared by metre and minute).
struct TokenSpec {
    std::string text;
    token_type type;
    NBFTokenSubType subType = 0;
    std::string unit = {};
};

TokenSpec number(const char* text) {
    return {text, kNBFTokenTypeNumber, kNBFTokenSubTypeDecimalNumber};
}
TokenSpec op(const char* text, NBFTokenSubType subType) {
    return {text, kNBFTokenTypeOperator, subType};
}
TokenSpec unit(const char* text, NBFTokenSubType place, const char* identifier) {
    return {text, kNBFTokenTypeUnit, place, identifier};
}

class ParserUnits : public ::testing::Test {
  protected:
    NBFExpressionTokenVector tokensFor(const std::vector<TokenSpec>& specs) {
        NBFExpressionTokenVector tokens;
        for (const TokenSpec& spec : specs) {
            NBFExpressionTokenRef token =
                NBFExpressionTokenCreateWithString(spec.text, spec.type, spec.subType);
            if (spec.unit == "m?") {
                NBFAmbiguousUnitRef m = NBFAmbiguousUnitCreate({units["metre"], units["minute"]});
                NBFExpressionTokenSetAmbiguousUnit(token, m);
                NBFAmbiguousUnitRelease(m);
            } else if (!spec.unit.empty()) {
                NBFExpressionTokenSetUnitContainer(token, units[spec.unit]);
            }
            tokens.push_back(token);
        }
        return tokens;
    }

    std::string parse(const std::vector<TokenSpec>& specs) {
        NBFExpressionTokenVector tokens = tokensFor(specs);
        NBFExpressionTreeRef tree = NBFParserImplParse(tokens, nullptr);
        NBFExpressionNodeTreePrinterRef printer = NBFExpressionNodeTreePrinterCreate(tree);
        std::string printed = NBFExpressionNodeTreePrinterCreateString(printer);
        NBFExpressionNodeTreePrinterRelease(printer);
        NBF::release(tree);
        for (NBFExpressionTokenRef token : tokens) NBFExpressionTokenRelease(token);
        return printed;
    }

    UnitCatalogueFixture units;
};

TEST_F(ParserUnits, UnitsJoinTheirNumbers) {
    struct Row {
        std::vector<TokenSpec> tokens;
        std::string tree;
    };
    const std::vector<Row> rows = {
        {{number("5"), unit("m", kAfter, "metre")}, "(5*1{unit:metre})"},
        // Five feet three inches adds up: implicit addition binds more loosely than the
        // implicit multiplications.
        {{number("5"), unit("km", kAfter, "kilometre"), number("3"), unit("m", kAfter, "metre")},
         "((5*1{unit:kilometre})+(3*1{unit:metre}))"},
        {{number("60"), unit("km", kAfter, "kilometre"),
          op("/", kNBFTokenSubTypeHighPriorityDivide), unit("h", kAlone, "hour")},
         "((60*1{unit:kilometre})/1{unit:hour})"},
        {{number("2"), op("*", kNBFTokenSubTypeMultiply), number("3"),
          unit("km", kAfter, "kilometre"), op("/", kNBFTokenSubTypeHighPriorityDivide),
          unit("h", kAlone, "hour")},
         "(2*((3*1{unit:kilometre})/1{unit:hour}))"},
        {{unit("km", kAlone, "kilometre")}, "1{unit:kilometre}"},
        {{unit("kg", kBefore, "kilogram"), number("5")}, "5{unit:kilogram}"},
        {{unit("kg", kBefore, "kilogram"), number("5"), op("+", kNBFTokenSubTypePlus), number("1")},
         "(5{unit:kilogram}+1)"},
        // A unit after the number wins over the one before it.
        {{unit("kg", kBefore, "kilogram"), number("5"), unit("g", kAfter, "gram")},
         "(5*1{unit:gram})"},
        {{number("3"), op("__uc", kNBFTokenSubTypeHighPriorityUnitConversion),
          unit("km", kAlone, "kilometre")},
         "(3`uc`1{unit:kilometre})"},
        // The ambiguous "m" takes the type of the other side of a sum.
        {{number("5"), unit("km", kAfter, "kilometre"), op("+", kNBFTokenSubTypePlus), number("3"),
          unit("m", kAfter, "m?")},
         "((5*1{unit:kilometre})+(3*1{unit:metre}))"},
        {{number("5"), unit("h", kAfter, "hour"), op("+", kNBFTokenSubTypePlus), number("3"),
          unit("m", kAfter, "m?")},
         "((5*1{unit:hour})+(3*1{unit:minute}))"},
        // A unit token of no known place is passed over.
        {{number("5"), unit("m", 0, "metre")}, "5"},
    };
    for (const Row& row : rows) {
        std::string described;
        for (const TokenSpec& token : row.tokens) described += token.text + " ";
        EXPECT_EQ(parse(row.tokens), row.tree) << described;
    }
}

TEST_F(ParserUnits, UnitNodesCarryTheirTypesAndNameFormats) {
    NBFExpressionTokenVector tokens = tokensFor(
        {unit("feet", kBefore, "foot"), number("5"), op("+", kNBFTokenSubTypePlus), number("2"),
         unit("ft", kAfter, "foot"), op("+", kNBFTokenSubTypePlus), unit("km", kAlone, "kilometre"),
         op("+", kNBFTokenSubTypePlus), unit("m", kAlone, "m?")});
    NBFExpressionTokenSetUnitFormatType(tokens[6], NBFUnitFormatTypeVeryShortName);
    NBFExpressionTreeRef tree = NBFParserImplParse(tokens, nullptr);
    ASSERT_TRUE(tree);
    std::map<NBFExpressionTokenRef, NBFExpressionNodeRef> nodeOf;
    for (NBFExpressionNodeRef node : tree->nodes())
        if (NBFExpressionNodeGetExpressionToken(node))
            nodeOf[NBFExpressionNodeGetExpressionToken(node)] = node;
    NBFExpressionNodeRef feet = nodeOf[tokens[0]], ft = nodeOf[tokens[4]], km = nodeOf[tokens[6]],
                         m = nodeOf[tokens[8]];
    EXPECT_EQ(NBFExpressionNodeGetType(feet), kNBFExpressionNodeTypeOperatorUnit);
    EXPECT_EQ(NBFExpressionNodeGetOperatorType(feet), NBFOperatorTypeUnitBeforeNumber);
    EXPECT_EQ(NBFExpressionNodeGetType(ft), kNBFExpressionNodeTypeOperand);
    // The name type under which the unit knows the text gives the format: plural and singular
    // names are shown as names, symbols as symbols; a token's own format wins.
    EXPECT_EQ(NBFExpressionNodeGetUnitNameFormat(feet), NBFUnitFormatTypeName);
    EXPECT_EQ(NBFExpressionNodeGetUnitNameFormat(ft), NBFUnitFormatTypeSymbol);
    EXPECT_EQ(NBFExpressionNodeGetUnitNameFormat(km), NBFUnitFormatTypeVeryShortName);
    EXPECT_EQ(NBFExpressionNodeGetUnitTypeBitmap(ft), NBFUnitTypeBitmapMake(NBFUnitTypeLength));
    EXPECT_EQ(NBFExpressionNodeGetUnitTypeBitmap(feet), NBFUnitTypeBitmapMake(NBFUnitTypeLength));
    EXPECT_FALSE(NBFExpressionNodeSubtreeHasAmbiguousUnit(ft));
    // The ambiguous "m" stands among lengths: the metre.
    EXPECT_TRUE(NBFExpressionNodeGetAmbiguosUnit(m));
    EXPECT_EQ(NBFExpressionNodeGetUnitContainer(m), units["metre"]);
    NBF::release(tree);
    for (NBFExpressionTokenRef token : tokens) NBFExpressionTokenRelease(token);
}

}  // namespace
