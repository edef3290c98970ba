// Real-world conversions computed from the catalogue's own factors, offsets, prefixes,
// compositions and preference aliases, against values from definitions and published tables.
#include <gtest/gtest.h>

#include <map>
#include <ostream>
#include <set>

#include "TestSupport.hpp"

namespace resources_test {
namespace {

const UnitsCatalogue& catalogue() { return sharedCatalogue().catalogue; }

struct Conversion {
    const char* value;
    const char* from;  // as typed
    const char* to;    // as typed
    const char* expected;
    const char* tolerance;  // relative; "0" means exact
    const char* bytePrefix = "si";
    const char* system = "metric";
};

std::ostream& operator<<(std::ostream& out, const Conversion& c) {
    return out << c.value << " " << c.from << " -> " << c.to << " (" << c.bytePrefix << ", "
               << c.system << ")";
}

class UnitConversion : public ::testing::TestWithParam<Conversion> {
  protected:
    void SetUp() override { ASSERT_TRUE(sharedCatalogue().loaded) << sharedCatalogue().error; }
};

TEST_P(UnitConversion, MatchesTheReference) {
    const Conversion& row = GetParam();
    const PreferenceChoice choice = {{"byte-prefix", row.bytePrefix},
                                     {"imperial-us-or-metric", row.system}};
    const std::map<std::string, int> noExtra;
    std::string error;
    const CatalogueUnit* from = catalogue().unitNamed(row.from, noExtra, error);
    ASSERT_NE(from, nullptr) << error;
    const CatalogueUnit* to = catalogue().unitNamed(row.to, noExtra, error);
    ASSERT_NE(to, nullptr) << error;
    Quantity a, b;
    ASSERT_TRUE(catalogue().resolve(from->identifier, choice, a, error)) << error;
    ASSERT_TRUE(catalogue().resolve(to->identifier, choice, b, error)) << error;
    const auto result = convertQuantity(*Rational::fromDecimal(row.value), a, b);
    ASSERT_TRUE(result) << "incompatible units";
    const Rational expected = *Rational::fromDecimal(row.expected);
    const Rational tolerance = *Rational::fromDecimal(row.tolerance);
    const Rational scale = expected.isZero() ? Rational(1) : expected.abs();
    EXPECT_TRUE((*result - expected).abs() <= tolerance * scale)
        << "got " << result->toString(30) << ", expected " << row.expected;
}

// Exact definitions are compared exactly; published rounded values with their own precision.
const Conversion kConversions[] = {
    // Length
    {"1", "mi", "m", "1609.344", "0"},
    {"1", "inch", "cm", "2.54", "0"},
    {"1", "ft", "inches", "12", "0"},
    {"1", "yd", "ft", "3", "0"},
    {"1", "nmi", "m", "1852", "0"},
    {"1", "league", "miles", "3", "0"},
    {"1", "furlong", "yd", "220", "0"},
    {"1", "chain", "ft", "66", "0"},
    {"1", "rod", "yards", "5.5", "0"},
    {"1", "fathom", "ft", "6", "0"},
    {"1", "hand", "inches", "4", "0"},
    {"72", "points", "inch", "1", "0.000000000000000000000000000001"},
    {"1", "pica", "pt", "12", "0.000000000000000000000000000001"},
    {"1000", "thou", "inch", "1", "0"},
    {"1", "\u00c5", "nm", "0.1", "0"},
    {"1", "micron", "\u00b5m", "1", "0"},
    {"1", "au", "km", "149597870.7", "0"},
    {"1", "ly", "km", "9460730472580.8", "0"},
    {"1", "pc", "ly", "3.261563777", "0.000000001"},
    {"1", "Mpc", "m", "30856775814913673000000", "0.00000000000001"},
    {"2.5", "km", "m", "2500", "0"},
    // Mass
    {"1", "lb", "g", "453.59237", "0"},
    {"16", "oz", "lb", "1", "0"},
    {"1", "stone", "kg", "6.35029318", "0"},
    {"7000", "gr", "lb", "1", "0"},
    {"5", "ct", "g", "1", "0"},
    {"1", "short ton", "lb", "2000", "0"},
    {"1", "long ton", "lb", "2240", "0"},
    {"1", "ozt", "g", "31.1034768", "0"},
    {"1", "slug", "kg", "14.5939029372064", "0.00000000000001"},
    {"1", "t", "kg", "1000", "0"},
    {"250", "mcg", "mg", "0.25", "0"},
    {"1", "ton", "kg", "1000", "0"},
    {"1", "ton", "kg", "907.18474", "0", "si", "us"},
    {"1", "ton", "kg", "1016.0469088", "0", "si", "imperial"},
    // Time
    {"1", "h", "s", "3600", "0"},
    {"1", "wk", "d", "7", "0"},
    {"1", "fortnight", "days", "14", "0"},
    {"1", "yr", "d", "365.25", "0"},
    {"1", "month", "days", "30.4375", "0"},
    {"1", "millennium", "decades", "100", "0"},
    {"1", "day", "min", "1440", "0"},
    {"1500", "ms", "s", "1.5", "0"},
    // Temperature
    {"100", "\u00b0C", "\u00b0F", "212", "0.000000000000000000000000000001"},
    {"0", "\u00b0C", "K", "273.15", "0"},
    {"-40", "\u00b0C", "\u00b0F", "-40", "0.000000000000000000000000000001"},
    {"32", "\u00b0F", "\u00b0C", "0", "0.000000000000000000000000000001"},
    {"98.6", "\u00b0F", "\u00b0C", "37", "0.000000000000000000000000000001"},
    {"0", "K", "\u00b0F", "-459.67", "0.000000000000000000000000000001"},
    {"491.67", "\u00b0R", "\u00b0F", "32", "0.000000000000000000000000000001"},
    {"300", "K", "\u00b0C", "26.85", "0"},
    // Computer storage, with both byte-prefix options
    {"1", "byte", "bits", "8", "0"},
    {"1", "nibble", "bits", "4", "0"},
    {"1", "kB", "B", "1000", "0", "si"},
    {"1", "kB", "B", "1024", "0", "binary"},
    {"1", "GB", "B", "1000000000", "0", "si"},
    {"1", "GB", "B", "1073741824", "0", "binary"},
    {"1", "MB", "kB", "1024", "0", "binary"},
    {"1", "TB", "GiB", "1024", "0", "binary"},
    {"1", "KiB", "B", "1024", "0", "si"},
    {"1", "PiB", "B", "1125899906842624", "0", "si"},
    {"1", "Mbit", "bytes", "125000", "0"},
    // Force
    {"1", "lbf", "N", "4.4482216152605", "0"},
    {"1", "kgf", "N", "9.80665", "0"},
    {"1", "dyn", "N", "0.00001", "0"},
    {"1", "kN", "lbf", "224.80894309971", "0.0000000000001"},
    {"1", "kip", "lbf", "1000", "0"},
    // Energy
    {"1", "cal", "J", "4.184", "0"},
    {"1", "kcal", "J", "4184", "0"},
    {"1", "Calorie", "kcal", "1", "0"},
    {"1", "kWh", "MJ", "3.6", "0"},
    {"1", "BTU", "J", "1055.05585262", "0"},
    {"1", "eV", "J", "0.0000000000000000001602176634", "0"},
    {"1", "MeV", "J", "0.0000000000001602176634", "0"},
    {"1", "erg", "J", "0.0000001", "0"},
    {"1", "therm", "MJ", "105.4804", "0"},
    {"1", "ft lbf", "J", "1.3558179483314004", "0"},
    // Power
    {"1", "hp", "W", "745.69987158227022", "0"},
    {"1", "PS", "W", "735.49875", "0"},
    {"1", "kW", "hp", "1.341022089595", "0.000000000001"},
    {"12000", "BTU per hour", "W", "3516.852842067", "0.000000000001"},
    // Pressure
    {"1", "atm", "Pa", "101325", "0"},
    {"1", "bar", "kPa", "100", "0"},
    {"1", "mbar", "hPa", "1", "0"},
    {"1", "psi", "Pa", "6894.757293168361", "0.0000000000000001"},
    {"1", "atm", "psi", "14.695948775513", "0.000000000001"},
    {"1", "atm", "Torr", "760", "0.000000000000000000000000000001"},
    {"1", "mmHg", "Pa", "133.322387415", "0"},
    {"1", "inHg", "Pa", "3386.388640341", "0"},
    // Frequency
    {"60", "rpm", "Hz", "1", "0.000000000000000000000000000001"},
    {"2.4", "GHz", "MHz", "2400", "0"},
    // Electric potential, current, resistance
    {"1", "kV", "V", "1000", "0"},
    {"1500", "mA", "A", "1.5", "0"},
    {"3", "uA", "\u00b5A", "3", "0"},
    {"4.7", "k\u03a9", "\u03a9", "4700", "0"},
    {"1", "M\u03a9", "k\u03a9", "1000", "0"},
    // Speed
    {"1", "mph", "kph", "1.609344", "0"},
    {"1", "knot", "kph", "1.852", "0"},
    {"1", "metre per second", "kph", "3.6", "0"},
    {"1", "fps", "kph", "1.09728", "0"},
    {"100", "kph", "mph", "62.13711922373", "0.000000000001"},
    // Acceleration
    {"1", "standard gravity", "metres per second squared", "9.80665", "0"},
    {"1", "gee", "feet per second squared", "32.17404855643", "0.000000000001"},
    // Area
    {"1", "acre", "m\u00b2", "4046.8564224", "0"},
    {"1", "ha", "m\u00b2", "10000", "0"},
    {"1", "are", "m\u00b2", "100", "0"},
    {"1", "sq mi", "acres", "640", "0"},
    {"1", "ft\u00b2", "in\u00b2", "144", "0"},
    {"1", "yd\u00b2", "ft\u00b2", "9", "0"},
    {"1", "km\u00b2", "ha", "100", "0"},
    {"1", "m\u00b2", "cm\u00b2", "10000", "0"},
    // Volume, with the measurement-system preference
    {"1", "US gal", "L", "3.785411784", "0"},
    {"1", "imp gal", "L", "4.54609", "0"},
    {"1", "US gal", "US qt", "4", "0"},
    {"1", "US gal", "US pt", "8", "0"},
    {"1", "US gal", "US cups", "16", "0"},
    {"1", "US gal", "US fl oz", "128", "0"},
    {"1", "tbsp", "tsp", "3", "0"},
    {"1", "bbl", "US gal", "42", "0"},
    {"1", "ft\u00b3", "L", "28.316846592", "0"},
    {"1", "in\u00b3", "mL", "16.387064", "0"},
    {"1", "imp pt", "imp fl oz", "20", "0"},
    {"1", "imp pt", "mL", "568.26125", "0"},
    {"1", "m\u00b3", "L", "1000", "0"},
    {"1", "cc", "mL", "1", "0"},
    {"1", "metric tablespoon", "mL", "15", "0"},
    {"1", "gallon", "L", "3.785411784", "0", "si", "metric"},
    {"1", "gallon", "L", "4.54609", "0", "si", "imperial"},
    {"1", "cup", "mL", "250", "0", "si", "metric"},
    {"1", "cup", "mL", "236.5882365", "0", "si", "us"},
    {"1", "pint", "fl oz", "20", "0", "si", "imperial"},
    {"1", "quart", "pints", "2", "0", "si", "us"},
    // Computer throughput
    {"1", "Mbps", "kBps", "125", "0", "si"},
    {"8", "Mbps", "MBps", "1", "0", "si"},
    {"1", "Gbps", "Mbps", "1000", "0"},
    {"1", "kbps", "bps", "1000", "0"},
    {"1", "MBps", "Bps", "1048576", "0", "binary"},
    {"1", "KiBps", "Bps", "1024", "0"},
    // Fuel consumption, both ways
    {"30", "mpg US", "litres per hundred kilometres", "7.8404861", "0.00000001"},
    {"40", "mpg imp", "litres per hundred kilometres", "7.0620234", "0.0000001"},
    {"10", "litres per hundred kilometres", "mpg US", "23.5214583", "0.00000001"},
    {"1", "kmpl", "mpg US", "2.35214583", "0.00000001"},
    {"30", "mpg", "litres per hundred kilometres", "9.4160312", "0.0000001", "si", "imperial"},
    {"30", "mpg", "litres per hundred kilometres", "7.8404861", "0.00000001", "si", "us"},
    {"1", "mpg US", "mpg imp", "1.200949925", "0.000000001"},
};

INSTANTIATE_TEST_SUITE_P(Catalogue, UnitConversion, ::testing::ValuesIn(kConversions));

TEST(UnitConversionTable, CoversEveryCategoryWithAtLeastSixtyRows) {
    ASSERT_TRUE(sharedCatalogue().loaded) << sharedCatalogue().error;
    EXPECT_GE(std::size(kConversions), 60u);
    std::set<std::string> covered;
    const std::map<std::string, int> noExtra;
    for (const Conversion& row : kConversions) {
        std::string error;
        if (const CatalogueUnit* unit = catalogue().unitNamed(row.from, noExtra, error))
            covered.insert(unit->category);
    }
    for (const auto& [category, units] : catalogue().unitsFile().find("Units")->entries)
        EXPECT_TRUE(covered.count(category)) << category;
}

// A factor given by definition: the product of the numerator texts over the product of the
// denominator texts.
struct Definition {
    const char* identifier;
    std::vector<const char*> numerator;
    std::vector<const char*> denominator;
};

class FactorDefinition : public ::testing::TestWithParam<Definition> {
  protected:
    void SetUp() override { ASSERT_TRUE(sharedCatalogue().loaded) << sharedCatalogue().error; }
};

int significantDigits(const std::string& decimal) {
    int digits = 0;
    bool leading = true;
    for (char c : decimal) {
        if (c < '0' || c > '9') continue;
        if (leading && c == '0') continue;
        leading = false;
        ++digits;
    }
    return digits;
}

// Every definition is exact: a rounded 5/9 would leave its rounding in conversions whose
// offsets cancel (32 °F in °C).
TEST_P(FactorDefinition, IsExact) {
    const Definition& row = GetParam();
    const CatalogueUnit* unit = catalogue().unit(row.identifier);
    ASSERT_NE(unit, nullptr) << row.identifier;
    ASSERT_EQ(unit->kind, UnitKind::Basic);
    Rational exact(1);
    for (const char* text : row.numerator) exact = exact * *Rational::fromDecimal(text);
    for (const char* text : row.denominator) exact = exact / *Rational::fromDecimal(text);
    const auto factor = Rational::fromFactor(unit->factor);
    ASSERT_TRUE(factor.has_value()) << unit->factor;
    EXPECT_TRUE(*factor == exact) << unit->factor << " instead of " << exact.toString(40);
    EXPECT_EQ(Rational::isRatio(unit->factor), !exact.isTerminatingDecimal()) << unit->factor;
}

const Definition kDefinitions[] = {
    {"foot", {"12", "0.0254"}, {}},
    {"yard", {"3", "0.3048"}, {}},
    {"mile", {"5280", "0.3048"}, {}},
    {"league", {"3", "5280", "0.3048"}, {}},
    {"furlong", {"660", "0.3048"}, {}},
    {"chain", {"66", "0.3048"}, {}},
    {"rod", {"16.5", "0.3048"}, {}},
    {"fathom", {"6", "0.3048"}, {}},
    {"hand", {"4", "0.0254"}, {}},
    {"point", {"0.0254"}, {"72"}},
    {"pica", {"0.0254"}, {"6"}},
    {"thou", {"0.0254"}, {"1000"}},
    {"light-year", {"299792458", "31557600"}, {}},
    {"ounce", {"0.45359237"}, {"16"}},
    {"stone", {"14", "0.45359237"}, {}},
    {"grain", {"0.45359237"}, {"7000"}},
    {"short-ton", {"2000", "0.45359237"}, {}},
    {"long-ton", {"2240", "0.45359237"}, {}},
    {"troy-ounce", {"480", "0.45359237"}, {"7000"}},
    {"slug", {"0.45359237", "9.80665"}, {"0.3048"}},
    {"month", {"365.25", "86400"}, {"12"}},
    {"year", {"365.25", "86400"}, {}},
    {"fahrenheit", {"5"}, {"9"}},
    {"rankine", {"5"}, {"9"}},
    {"pound-force", {"0.45359237", "9.80665"}, {}},
    {"poundal", {"0.45359237", "0.3048"}, {}},
    {"kip", {"1000", "0.45359237", "9.80665"}, {}},
    {"foot-pound", {"0.3048", "0.45359237", "9.80665"}, {}},
    {"horsepower", {"550", "0.3048", "0.45359237", "9.80665"}, {}},
    {"metric-horsepower", {"75", "9.80665"}, {}},
    {"btu-per-hour", {"1055.05585262"}, {"3600"}},
    {"psi", {"0.45359237", "9.80665"}, {"0.0254", "0.0254"}},
    {"torr", {"101325"}, {"760"}},
    {"millimetre-of-mercury", {"13595.1", "9.80665", "0.001"}, {}},
    {"inch-of-mercury", {"13595.1", "9.80665", "0.0254"}, {}},
    {"rpm", {"1"}, {"60"}},
    {"acre", {"43560", "0.3048", "0.3048"}, {}},
    {"us-gallon", {"231", "0.0254", "0.0254", "0.0254"}, {}},
    {"us-quart", {"231", "0.0254", "0.0254", "0.0254"}, {"4"}},
    {"us-pint", {"231", "0.0254", "0.0254", "0.0254"}, {"8"}},
    {"us-cup", {"231", "0.0254", "0.0254", "0.0254"}, {"16"}},
    {"us-fluid-ounce", {"231", "0.0254", "0.0254", "0.0254"}, {"128"}},
    {"tablespoon", {"231", "0.0254", "0.0254", "0.0254"}, {"256"}},
    {"teaspoon", {"231", "0.0254", "0.0254", "0.0254"}, {"768"}},
    {"barrel", {"42", "231", "0.0254", "0.0254", "0.0254"}, {}},
    {"imperial-quart", {"0.00454609"}, {"4"}},
    {"imperial-pint", {"0.00454609"}, {"8"}},
    {"imperial-cup", {"0.00454609"}, {"16"}},
    {"imperial-fluid-ounce", {"0.00454609"}, {"160"}},
};

std::ostream& operator<<(std::ostream& out, const Definition& d) { return out << d.identifier; }

INSTANTIATE_TEST_SUITE_P(Catalogue, FactorDefinition, ::testing::ValuesIn(kDefinitions));

TEST(FactorDefinitionParsec, MatchesThePublishedValueToFortyDigits) {
    ASSERT_TRUE(sharedCatalogue().loaded) << sharedCatalogue().error;
    // 648000/pi astronomical units; pi is irrational, so the factor is checked against
    // 648000/pi au computed with a 50-digit pi.
    const CatalogueUnit* parsec = catalogue().unit("parsec");
    ASSERT_NE(parsec, nullptr);
    EXPECT_GE(significantDigits(parsec->factor), 30);
    const Rational pi =
        *Rational::fromDecimal("3.14159265358979323846264338327950288419716939937510");
    const Rational exact =
        *Rational::fromDecimal("648000") * *Rational::fromDecimal("149597870700") / pi;
    const Rational error = (*Rational::fromDecimal(parsec->factor) - exact).abs();
    EXPECT_TRUE(error <= Rational::powerOfTen(-19))
        << parsec->factor << " vs " << exact.toString(45);
}

}  // namespace
}  // namespace resources_test
