// Real-world conversions over the real unit catalogue, evaluated as lines are. Expected values
// come from the units' definitions (international foot and pound, thermochemical calorie,
// IT British thermal unit, standard atmosphere and gravity, US and imperial gallons).
#include <gtest/gtest.h>

#include "NCEvaluator.h"
#include "NCLineCollection.h"
#include "UnitsFileTestSupport.h"

namespace {

enum Bytes { SI, Binary };
enum System { Metric, Imperial, US };

struct Conversion {
    const char16_t* line;
    const char* value;  // to 10 decimal places, trailing zeros removed
    Bytes bytes = SI;
    System system = Metric;
};

NCUnitsPreferenceChoices choicesFor(Bytes bytes, System system) {
    return {{NCUnitsPreferenceBytePrefix, bytes == SI ? NCUnitsPreferenceBytePrefixOptionSI
                                                      : NCUnitsPreferenceBytePrefixOptionBinary},
            {NCUnitsMeasurementSystem, system == Metric     ? NCUnitsMeasurementSystemMetric
                                       : system == Imperial ? NCUnitsMeasurementSystemImperial
                                                            : NCUnitsMeasurementSystemUSCustomary}};
}

NCEvaluator& evaluatorFor(Bytes bytes, System system) {
    static std::map<std::pair<int, int>, std::shared_ptr<NCEvaluator>> evaluators;
    auto& evaluator = evaluators[{bytes, system}];
    if (!evaluator) {
        initFoundationConstants();
        evaluator = std::make_shared<NCEvaluator>(
            realUnitManager(choicesFor(bytes, system)), NCVariableList::listWithStandardVariables(),
            NCWordOperatorList::listWithStandardWordOperators());
    }
    return *evaluator;
}

const Conversion kConversions[] = {
    // Length
    {u"5 ft in cm", "152.4"},
    {u"1 mile in km", "1.609344"},
    {u"1 inch in mm", "25.4"},
    {u"1 yard in m", "0.9144"},
    {u"1 nautical mile in m", "1852"},
    {u"1 furlong in m", "201.168"},
    {u"1 chain in feet", "66"},
    {u"1 fathom in feet", "6"},
    {u"12 points in inches", "0.1666666667"},
    {u"1 light year in km", "9460730472580.8"},
    {u"1 astronomical unit in km", "149597870.7"},
    {u"1 angstrom in nm", "0.1"},
    {u"1 league in miles", "3"},
    {u"1 thou in mm", "0.0254"},
    {u"1 hand in inches", "4"},
    // Mass
    {u"1 pound in grams", "453.59237"},
    {u"1 ounce in grams", "28.349523125"},
    {u"1 stone in pounds", "14"},
    {u"1 tonne in kg", "1000"},
    {u"1 short ton in pounds", "2000"},
    {u"1 long ton in kg", "1016.0469088"},
    {u"1 carat in mg", "200"},
    {u"1 troy ounce in grams", "31.1034768"},
    {u"1 grain in mg", "64.79891"},
    // Time
    {u"1 day in seconds", "86400"},
    {u"1 week in hours", "168"},
    {u"1 fortnight in days", "14"},
    {u"90 minutes in hours", "1.5"},
    {u"1 century in years", "100"},
    // Temperature
    {u"100 °C in °F", "212"},
    {u"0 °C in K", "273.15"},
    {u"-40 °F in °C", "-40"},
    {u"32 °F in K", "273.15"},
    {u"0 K in °F", "-459.67"},
    {u"491.67 rankine in celsius", "0"},
    // Computer storage, both byte prefixes
    {u"1 KB in bytes", "1000"},
    {u"1 KB in bytes", "1024", Binary},
    {u"1 GB in MB", "1000"},
    {u"1 GB in MB", "1024", Binary},
    {u"1 byte in bits", "8"},
    {u"1 kibibyte in bytes", "1024"},
    {u"1 nibble in bits", "4"},
    // Force
    {u"1 lbf in N", "4.4482216153"},
    {u"1 kilogram force in newtons", "9.80665"},
    {u"1 newton in dynes", "100000"},
    {u"1 kip in lbf", "1000"},
    // Energy
    {u"1 kWh in joules", "3600000"},
    {u"1 calorie in joules", "4.184"},
    {u"1 erg in joules", "0.0000001"},
    {u"1 btu in joules", "1055.05585262"},
    // Power
    {u"1 horsepower in watts", "745.6998715823"},
    {u"1 metric horsepower in watts", "735.49875"},
    {u"1 kW in W", "1000"},
    // Pressure
    {u"1 atm in pascals", "101325"},
    {u"1 bar in kPa", "100"},
    {u"1 torr in Pa", "133.3223684211"},
    {u"1 psi in pascals", "6894.7572931684"},
    // Frequency
    {u"1 kHz in Hz", "1000"},
    {u"60 rpm in hertz", "1"},
    // Electricity
    {u"1 kV in volts", "1000"},
    {u"1 mA in amperes", "0.001"},
    {u"1 kiloohm in ohms", "1000"},
    // Speed
    {u"1 knot in km/h", "1.852"},
    {u"60 mph in km/h", "96.56064"},
    {u"10 m/s in km/h", "36"},
    {u"1 foot per second in m/s", "0.3048"},
    // Acceleration
    {u"1 standard gravity in m/s^2", "9.80665"},
    {u"1 gee in m/s²", "9.80665"},
    {u"2 gee in m/s²", "19.6133"},
    {u"1 gee in ft/s²", "32.1740485564"},
    {u"1 gee in m s⁻²", "9.80665"},
    {u"1 km² in m²", "1000000"},
    // Area
    {u"1 hectare in m²", "10000"},
    {u"1 acre in m²", "4046.8564224"},
    {u"1 square mile in acres", "640"},
    {u"1 square foot in square inches", "144"},
    // Volume, the gallon following the measurement system
    {u"1 litre in cm³", "1000"},
    {u"1 us gallon in litres", "3.785411784"},
    {u"1 imperial gallon in litres", "4.54609"},
    {u"1 gallon in litres", "4.54609", SI, Imperial},
    {u"1 gallon in litres", "3.785411784", SI, US},
    {u"1 cubic foot in litres", "28.316846592"},
    // Computer throughput
    {u"8 bits per second in bytes per second", "1"},
    // Fuel consumption, both ways
    {u"30 mpg in litres per kilometre", "0.0784048611", SI, US},
    {u"30 mpg in litres per kilometre", "0.0941603121", SI, Imperial},
    {u"10 litres per 100 km in mpg", "23.5214583333", SI, US},
    {u"10 litres per 100 km in mpg", "28.2480936332", SI, Imperial},
    {u"3 litres / 1 hundred kilometres in mpg", "78.4048611111", SI, US},
    {u"10 litres per hundred kilometres in mpg", "23.5214583333", SI, US},
    {u"10 litres per hundred kilometres in mpg", "28.2480936332", SI, Imperial},
    {u"30 mpg in litres per hundred kilometres", "7.8404861111", SI, US},
    {u"30 mpg in litres per hundred kilometres", "9.4160312111", SI, Imperial},
    {u"10 litres per hundred kilometres in litres per kilometre", "0.1"},
    {u"20 km per litre in mpg", "47.0429166667", SI, US},
};

class UnitsCatalogueConversionTest : public ::testing::TestWithParam<Conversion> {};

TEST_P(UnitsCatalogueConversionTest, GivesTheDefinedAnswer) {
    const Conversion& row = GetParam();
    auto result = evaluatorFor(row.bytes, row.system)
                      .evaluateExpression(NCExpression::expressionWithString(row.line));
    ASSERT_EQ(result->resultType(), NCResultTypeValue) << utf8(std::u16string(row.line));
    EXPECT_EQ(utf8(result->decimalValue(10)), row.value) << utf8(std::u16string(row.line));
}

INSTANTIATE_TEST_SUITE_P(RealCatalogue, UnitsCatalogueConversionTest,
                         ::testing::ValuesIn(kConversions));

TEST(UnitsCatalogueConversionTest, TableCoversEveryCategory) {
    EXPECT_GE(std::size(kConversions), 60u);
}

// Lines of a document and the answers shown beside them.
struct ShownAnswer {
    std::vector<const char16_t*> lines;  // the last one's answer is checked
    const char* shown;
};

const ShownAnswer kShownAnswers[] = {
    // Offsets that cancel leave nothing of the 5/9 behind.
    {{u"32 °F in °C"}, "0 °C"},
    {{u"491.67 °R in °C"}, "0 °C"},
    {{u"32 °F + 0 °C"}, "0 °C"},
    {{u"459.67 °R in °F"}, "0 °F"},
    {{u"273.15 K in °C"}, "0 °C"},
    {{u"98.6 °F in °C"}, "37 °C"},
    {{u"212 °F in °C"}, "100 °C"},
    {{u"100 °C in °F"}, "212 °F"},
    {{u"-40 °C in °F"}, "-40 °F"},
    {{u"32 °F in K"}, "273.15 K"},
    {{u"0 K in °F"}, "-459.67 °F"},
    {{u"300 K in °R"}, "540 °R"},
    {{u"(9 °R in K) - 5 K"}, "0 K"},
    {{u"32 °F in °C in °F"}, "32 °F"},
    {{u"72 points in inches"}, "1 inch"},
    {{u"1 °F in °C"}, "-17.2222222222 °C"},
    // Exact before, exact still.
    {{u"1 mile in km"}, "1.609344 km"},
    {{u"5 ft in cm"}, "152.4 cm"},
    {{u"36 km/h in m/s"}, "10 m/s"},
    {{u"1 m/s in km/h"}, "3.6 km/h"},
    // A value typed tiny stays tiny.
    {{u"1e-30 m in km"}, "1e-33 km"},
    {{u"5e-39 K in °R"}, "9e-39 °R"},
    // Powers typed as digits after the unit symbol.
    {{u"5 m2 in cm2"}, "50,000 cm^2"},
    {{u"5 km2"}, "5 km^2"},
    {{u"2 m3 in litres"}, "2,000 litres"},
    {{u"3m2"}, "3 m^2"},
    {{u"1 ft2 in in2"}, "144 inch^2"},
    {{u"1 yd3 in ft3"}, "27 ft^3"},
    {{u"1 in3 in cm3"}, "16.387064 cm^3"},
    {{u"10 mm2 in cm2"}, "0.1 cm^2"},
    {{u"1 mi2 in km2"}, "2.5899881103 km^2"},
    {{u"2 km2 + 3 m2"}, "2,000,003 m^2"},
    // A number after a space is still a number, and a name with a digit still a variable.
    {{u"2 m 3"}, "5 m"},
    {{u"x2 = 4", u"x2 * 3"}, "12"},
};

std::ostream& operator<<(std::ostream& out, const ShownAnswer& row) {
    return out << utf8(std::u16string(row.lines.back()));
}

class ShownAnswerTest : public ::testing::TestWithParam<ShownAnswer> {};

TEST_P(ShownAnswerTest, IsTheExactAnswer) {
    const ShownAnswer& row = GetParam();
    auto document = std::make_shared<NCLineCollection>(sharedRealEnvironment());
    document->beginBatchUpdate();
    for (const char16_t* text : row.lines)
        document->addLine(NCLine::lineWithExpressionString(text));
    document->endBatchUpdate();
    auto shown = document->lineAtIndex(row.lines.size() - 1)->formattedResult();
    ASSERT_TRUE(shown.has_value()) << utf8(std::u16string(row.lines.back()));
    EXPECT_EQ(utf8(*shown), row.shown) << utf8(std::u16string(row.lines.back()));
}

INSTANTIATE_TEST_SUITE_P(RealCatalogue, ShownAnswerTest, ::testing::ValuesIn(kShownAnswers));

}  // namespace
