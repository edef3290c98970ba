// Random and mutated lines through the scanner, tokenizer, analyser and parser. Run under the
// sanitizers, nothing may crash, leak or touch freed memory; every line must come back with
// ordered display tokens inside the text and, when it has one, a well-formed tree. How time
// grows with the length of a line is measured by the parser benchmark.
//
// The generator is a fixed-seed Mersenne Twister used through its raw output, so every run
// sees the same lines unless the environment gives another seed or more rounds (TestRandom.h).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>

#include "AnalyzerTestSupport.h"
#include "NBFErrorLog.h"
#include "NBFExpressionNodeTreePrinter.h"
#include "NBFExpressionParser.h"
#include "NBFUnitCollection.h"
#include "TestRandom.h"
#include "UnitCatalogueFixture.h"

namespace {

using analyzer_test::Environment;

// Pieces that lines are made of: numbers in every form the scanner knows, operators, brackets,
// special words, names the environment knows, comment and label marks, markers, whitespace,
// text outside ASCII and byte sequences that are not UTF-8.
const std::vector<std::string>& fragments() {
    // clang-format off
    static const std::vector<std::string> pieces = {
        "0", "1", "7", "12", "3.5", ".5", "5.", "1,000", "1 000", "0x1F", "0b101", "0b102", "0x",
        " ", "  ", "\t", "\n", "\x16", "\x17", "+", "-", "*", "/", "^", "%", "!", "(", ")", "((",
        "))", "=", ";", ":", "@", "\"", "//", "e", "E", "e5", "2e3", "__uc", "__mod", "x", "y",
        "y2", "rate", "foo-bar", "x-ray", "mp3", "sqrt", "sin", "max", "of", "per", "mod",
        "twice", "_as_percent", "km", "m", "h", "$", "min", "nautical", "miles", "degrees",
        "Celsius", "K", "°C", "€", "😀", "apples", "\xff", "\xc3", "\xe2\x82",
        std::string("\0", 1)};
    // clang-format on
    return pieces;
}

// Lines of the tables elsewhere, to mutate.
const std::vector<std::string>& seeds() {
    // clang-format off
    static const std::vector<std::string> lines = {
        "2 + 3 * 4", "-2^2", "2^3^2", "10-4-3", "5 +", "/ 4", "2) + 3", "(1;2)", "max(1;2)",
        "sin 30 + 1", "2y^2", "1/2y", "3 per 4 of 5", "7 mod 3", "5! + 1", "1 000 000 + 5",
        "2e-3", "x = 5 km", "60 km/h", "$5", "rent: 5 // monthly", "\"quoted\" 5", "2 sqrt 4",
        "hello!", "3 apples 4", "mp3 x-ray covid-19", "(3 + (4", "twice 4 _as_percent",
        "5 km 3 m", "3 nautical miles", "20 degrees Celsius", "min(3;4) h"};
    // clang-format on
    return lines;
}

class Lines {
  public:
    explicit Lines(uint32_t seed) : m_random(seed) {}

    uint32_t below(uint32_t bound) { return bound ? static_cast<uint32_t>(m_random() % bound) : 0; }

    std::string random() {
        std::string line;
        uint32_t count = below(40);
        for (uint32_t i = 0; i < count; ++i) line += fragments()[below(fragments().size())];
        return line;
    }

    // Inserts, deletes, replaces or repeats pieces of a seed line.
    std::string mutated() {
        std::string line = seeds()[below(seeds().size())];
        uint32_t edits = 1 + below(4);
        for (uint32_t i = 0; i < edits; ++i) {
            size_t at = below(static_cast<uint32_t>(line.size() + 1));
            size_t length = below(static_cast<uint32_t>(line.size() - at + 1));
            switch (below(4)) {
                case 0:
                    line.insert(at, fragments()[below(fragments().size())]);
                    break;
                case 1:
                    line.erase(at, length);
                    break;
                case 2:
                    line.replace(at, length, fragments()[below(fragments().size())]);
                    break;
                default:
                    line.insert(at, line.substr(at, length));
                    break;
            }
        }
        return line;
    }

  private:
    std::mt19937 m_random;
};

class LineFuzz : public ::testing::Test {
  protected:
    LineFuzz() {
        NBFExpressionScannerInit();
        NBFErrorLogSetEnabled(false);  // odd lines are expected to log
        NBFUnitCollectionAddUnits(collection, units.all().data(),
                                  static_cast<int32_t>(units.all().size()));
        NBFUnitContainerSetCanBePrefixUnit(dollar, true);
        NBFUnitCollectionAddUnit(collection, dollar);
        parser = NBFExpressionParserCreate(environment.functions, environment.variables,
                                           environment.wordOperators, collection);
    }
    ~LineFuzz() override {
        NBFExpressionParserRelease(parser);
        NBFUnitCollectionRelease(collection);
        NBFUnitContainerRelease(dollar);
        NBFErrorLogSetEnabled(true);
    }

    // Parses the line and checks what comes back; false after the first failed check.
    bool parseAndCheck(const std::string& text) {
        auto expression = NBF::Ref<NBF::Expression>::adopt(NBF::Expression::create(text));
        NBFParsedExpressionRef parsed =
            NBFExpressionParserParseExpression(parser, expression.get());
        EXPECT_TRUE(parsed);
        if (!parsed) return false;
        const int32_t length = NBFStringLength(NBFExpressionGetStringReference(expression.get()));
        int32_t end = 0;
        bool ordered = true;
        for (NBFTokenRef token : NBFParsedExpressionGetTokens(parsed)) {
            NBFRange range = token->range();
            ordered = ordered && range.location >= end && range.length >= 0 &&
                      NBFRangeEnd(range) <= length;
            end = static_cast<int32_t>(NBFRangeEnd(range));
        }
        EXPECT_TRUE(ordered);
        bool wellFormed = true;
        if (NBFExpressionTreeRef tree = NBFParsedExpressionGetExpressionTree(parsed)) {
            for (NBFExpressionNodeRef node : tree->nodes())
                wellFormed = wellFormed && (node == tree->root()) != (node->parent != nullptr);
            NBFExpressionNodeTreePrinterRef printer = NBFExpressionNodeTreePrinterCreate(tree);
            wellFormed = wellFormed && !NBFExpressionNodeTreePrinterCreateString(printer).empty();
            NBFExpressionNodeTreePrinterRelease(printer);
        }
        EXPECT_TRUE(wellFormed);
        NBFParsedExpressionRelease(parsed);
        return ordered && wellFormed;
    }

    UnitCatalogueFixture units;
    NBFUnitContainerRef dollar = NBFUnitContainerCreate("dollar", {{4, "$"}}, {});
    NBFUnitCollectionRef collection = NBFUnitCollectionCreate();
    Environment environment;
    NBFExpressionParserRef parser;
};

TEST_F(LineFuzz, RandomAndMutatedLinesParseSafely) {
    const uint32_t seed = test_random::seed(20240601);
    SCOPED_TRACE(test_random::reproduction(seed));
    Lines lines(seed);
    for (int i = 0, count = test_random::rounds(10000); i < count; ++i) {
        std::string line = i % 2 ? lines.mutated() : lines.random();
        ASSERT_TRUE(parseAndCheck(line)) << "line " << i << ": \"" << line << "\"";
    }
}

}  // namespace
