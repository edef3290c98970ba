// Names as the loader makes them (prefix words and symbols included) must be typeable, must not
// hide a function, word operator, conversion word or default variable, and must name one unit
// unless the sharing is deliberate and settled by a tie-break or the clashing-currency rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "TestSupport.hpp"
#include "Utf8.hpp"

namespace resources_test {
namespace {

const UnitsCatalogue& catalogue() { return sharedCatalogue().catalogue; }

class UnitNames : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(sharedCatalogue().loaded) << sharedCatalogue().error; }
};

// Characters the scanner or the substituter turns into something else than a word character:
// operators, word breakers, separators, markers and the look-alikes rewritten to operators.
bool isOperatorCharacter(char32_t c) {
    static const std::u32string ascii = U"+-*/:@^;=!%()\".,|&~<>";
    static const std::u32string others = {0x00A0, 0x00F7, 0xFF0F, 0x2044, 0x00D7, 0x00B7,
                                          0xFF0A, 0x2010, 0x2011, 0x2012, 0x2013, 0x2212,
                                          0xFE63, 0xFF0D, 0xFF0B, 0x221A, 0x16,   0x17};
    return ascii.find(c) != std::u32string::npos || others.find(c) != std::u32string::npos;
}

std::vector<std::string> wordsOf(const std::string& name) {
    std::vector<std::string> words;
    std::string current;
    for (char c : name + " ") {
        if (c == ' ') {
            if (!current.empty()) words.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    return words;
}

bool isDigit(char32_t c) { return c >= U'0' && c <= U'9'; }

// Digits glued to the end of a word, as in m2: the analyser looks a word and the number
// written directly after it up as one word. A digit anywhere else starts a number.
bool digitsArePower(const std::u32string& name) {
    const std::size_t first = name.find_first_of(U"0123456789");
    if (first == std::u32string::npos) return true;
    if (first == 0 || name[first - 1] == U' ') return false;
    return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(first), name.end(), isDigit);
}

// Empty when the name can be typed as one unit name.
std::string typingProblem(const std::string& name) {
    const auto decoded = decodeUtf8(name);
    if (!decoded) return "is not UTF-8";
    if (decoded->empty()) return "is empty";
    if (decoded->front() == U' ' || decoded->back() == U' ') return "has outer spaces";
    if (name.find("  ") != std::string::npos) return "has a double space";
    if (!digitsArePower(*decoded)) return "has a digit outside a power at its end";
    for (char32_t c : *decoded) {
        if (c < 0x20 || c == 0x7F) return "has a control character";
        if (isOperatorCharacter(c)) return "has an operator character";
    }
    for (const std::string& word : wordsOf(name))
        for (const std::string& conversion : conversionWords())
            if (UnitsCatalogue::lowercase(word) == conversion)
                return "has the conversion word \"" + conversion + "\"";
    return {};
}

// Empty when the name takes nothing away from the engine's own vocabulary. Functions are found
// in any case and word operators with exact case, but a case-sensitive unit name is only found
// as written, so it may differ from them in case.
std::string reservedProblem(const std::string& name, bool caseSensitive) {
    const std::string lower = UnitsCatalogue::lowercase(name);
    const auto clashes = [&](const std::string& word) {
        return name == word || (!caseSensitive && lower == UnitsCatalogue::lowercase(word));
    };
    for (const auto& f : reservedFunctionNames())
        if (clashes(f)) return "is the function " + f;
    for (const auto& w : reservedWordOperators())
        if (clashes(w)) return "is the word operator " + w;
    for (const auto& w : conversionWords())
        if (lower == w) return "is the conversion word " + w;
    for (const auto& v : defaultGlobalVariables())
        if (name == v) return "is the default variable " + v;
    for (const auto& v : standardVariables())
        if (lower == UnitsCatalogue::lowercase(v)) return "is the variable " + v;
    return {};
}

std::map<std::string, int> clashDefaults() {
    std::map<std::string, int> extra;
    for (const auto& clash : clashingCurrencyNames()) extra[clash.defaultCode] = 1;
    return extra;
}

// Names that units share on purpose, with the unit that wins them when nothing around the name
// decides: the winner carries the highest tie-break factor of the units sharing the name.
struct DeliberateShare {
    const char* name;
    const char* winner;
};
const DeliberateShare kDeliberateShares[] = {
    {"pt", "point"},     // typographic point and pint
    {"pound", "pound"},  // mass and the British pound
    {"pounds", "pound"},
};

// Sharing is deliberate when the name is listed above and its winner has the unique highest
// tie-break factor, or when currencies share a clashing name whose default is among them.
bool deliberatelyShared(const std::string& key, const std::set<const CatalogueUnit*>& units) {
    for (const DeliberateShare& share : kDeliberateShares) {
        if (key != share.name) continue;
        const auto winner = std::find_if(units.begin(), units.end(), [&](const auto* u) {
            return u->identifier == share.winner;
        });
        if (winner == units.end()) return false;
        return std::all_of(units.begin(), units.end(), [&](const auto* u) {
            return u == *winner || u->tieBreak < (*winner)->tieBreak;
        });
    }
    for (const auto& clash : clashingCurrencyNames()) {
        const bool clashName = key == UnitsCatalogue::searchKey(clash.symbol) ||
                               key == UnitsCatalogue::searchKey(clash.singular) ||
                               key == UnitsCatalogue::searchKey(clash.plural);
        if (!clashName) continue;
        const bool allCurrencies = std::all_of(units.begin(), units.end(), [](const auto* u) {
            return u->kind == UnitKind::Currency;
        });
        const bool withDefault = std::any_of(units.begin(), units.end(), [&](const auto* u) {
            return u->identifier == clash.defaultCode;
        });
        if (allCurrencies && withDefault) return true;
    }
    return false;
}

std::string identifiers(const std::set<const CatalogueUnit*>& units) {
    std::string text;
    for (const auto* unit : units) text += unit->identifier + " ";
    return text;
}

TEST_F(UnitNames, EveryNameCanBeTyped) {
    std::size_t names = 0;
    for (const auto& [identifier, unit] : catalogue().units()) {
        for (const UnitName& name : unit.names) {
            ++names;
            const std::string problem = typingProblem(name.text);
            EXPECT_TRUE(problem.empty()) << identifier << ": \"" << name.text << "\" " << problem;
        }
    }
    EXPECT_GT(names, 2000u);
}

TEST_F(UnitNames, NoNameIsReservedByTheEngine) {
    for (const auto& [identifier, unit] : catalogue().units()) {
        for (const UnitName& name : unit.names) {
            const std::string problem = reservedProblem(name.text, name.caseSensitive);
            EXPECT_TRUE(problem.empty()) << identifier << ": \"" << name.text << "\" " << problem;
        }
    }
}

TEST_F(UnitNames, ReservedWordsAreRejectedByTheChecks) {
    // The checks themselves must catch the names that caused trouble elsewhere.
    for (const char* name : {"sec", "in", "as", "to", "x", "per", "M", "LOG", "Pi"})
        EXPECT_FALSE(reservedProblem(name, false).empty() && typingProblem(name).empty()) << name;
    EXPECT_FALSE(reservedProblem("sec", true).empty()) << "exact case always clashes";
    EXPECT_TRUE(reservedProblem("LSL", true).empty()) << "found only as written";
    for (const char* name :
         {"km/h", "2m", "m2x", "sq m2 x", "m 2", "lb-ft", "sq in", "a%b", "5", "x\u00b7y", " m"})
        EXPECT_FALSE(typingProblem(name).empty()) << name;
    for (const char* name : {"m", "g", "K", "m\u00b2", "m2", "\u00b5m", "fl oz", "$", "\u20ac"})
        EXPECT_TRUE(typingProblem(name).empty() && reservedProblem(name, false).empty()) << name;
}

TEST_F(UnitNames, SharedNamesAreDeliberate) {
    for (const auto& [key, entries] : catalogue().nameIndex()) {
        std::map<std::string, std::set<const CatalogueUnit*>> bySpelling;
        std::set<const CatalogueUnit*> caseInsensitive;
        for (const auto& entry : entries) {
            bySpelling[entry.name->text].insert(entry.unit);
            if (!entry.name->caseSensitive) caseInsensitive.insert(entry.unit);
        }
        // Typed exactly, a spelling finds the units that have it.
        for (const auto& [spelling, units] : bySpelling)
            EXPECT_TRUE(units.size() == 1 || deliberatelyShared(key, units))
                << "\"" << spelling << "\" names " << identifiers(units);
        // Typed in another case, it finds the units whose name is not case-sensitive.
        EXPECT_TRUE(caseInsensitive.size() <= 1 || deliberatelyShared(key, caseInsensitive))
            << "\"" << key << "\" in any case names " << identifiers(caseInsensitive);
    }
}

TEST_F(UnitNames, EveryDeliberateShareIsActuallyShared) {
    for (const DeliberateShare& share : kDeliberateShares) {
        const auto it = catalogue().nameIndex().find(share.name);
        ASSERT_NE(it, catalogue().nameIndex().end()) << share.name;
        std::set<const CatalogueUnit*> units;
        for (const auto& entry : it->second) units.insert(entry.unit);
        EXPECT_GE(units.size(), 2u) << share.name << " is no longer shared";
        std::string error;
        const CatalogueUnit* found = catalogue().unitNamed(share.name, {}, error);
        ASSERT_NE(found, nullptr) << error;
        EXPECT_EQ(found->identifier, share.winner);
    }
}

TEST_F(UnitNames, EveryNameLeadsToItsUnitOrToADeliberateWinner) {
    const auto extra = clashDefaults();
    for (const auto& [identifier, unit] : catalogue().units()) {
        for (const UnitName& name : unit.names) {
            std::string error;
            const CatalogueUnit* found = catalogue().unitNamed(name.text, extra, error);
            ASSERT_NE(found, nullptr) << identifier << ": " << error;
            if (found == &unit) continue;
            const std::set<const CatalogueUnit*> pair = {found, &unit};
            EXPECT_TRUE(deliberatelyShared(UnitsCatalogue::searchKey(name.text), pair))
                << "\"" << name.text << "\" of " << identifier << " finds " << found->identifier;
        }
    }
}

struct Lookup {
    const char* typed;
    const char* identifier;  // null: no unit
};

std::ostream& operator<<(std::ostream& out, const Lookup& l) { return out << l.typed; }

class NameLookup : public UnitNames, public ::testing::WithParamInterface<Lookup> {};

TEST_P(NameLookup, FindsTheIntendedUnit) {
    const Lookup& row = GetParam();
    std::string error;
    const CatalogueUnit* found = catalogue().unitNamed(row.typed, clashDefaults(), error);
    if (!row.identifier) {
        EXPECT_EQ(found, nullptr) << row.typed << " finds " << found->identifier;
        return;
    }
    ASSERT_NE(found, nullptr) << error;
    EXPECT_EQ(found->identifier, row.identifier);
}

// What a name means is a decision of the catalogue; these rows pin the decisions that a change
// of prefixes, aliases or letter case could silently undo.
const Lookup kLookups[] = {
    {"m", "metre"},
    {"mm", "si-3-metre"},
    {"Mm", "si+6-metre"},
    {"kilometer", "si+3-metre"},
    {"KM", "BAM"},
    {"pm", nullptr},
    {"am", nullptr},
    {"as", nullptr},
    {"in", nullptr},
    {"sec", nullptr},
    {"k", nullptr},
    {"ms", "si-3-second"},
    {"\u00b5s", "si-6-second"},
    {"attosecond", "si-18-second"},
    {"Pa", "pascal"},
    {"kPa", "si+3-pascal"},
    {"hPa", "si+2-pascal"},
    {"PS", "metric-horsepower"},
    {"ps", "si-12-second"},
    {"pt", "point"},
    {"pints", "pint"},
    {"pound", "pound"},
    {"pounds", "pound"},
    {"\u00a3", "GBP"},
    {"kg", "si+3-gram"},
    {"kgs", "kilo"},
    {"KGS", "KGS"},
    {"cup", "cup"},
    {"CUP", "CUP"},
    {"b", "bit"},
    {"B", "byte"},
    {"kb", "si+3-bit"},
    {"kB", "kilobyte"},
    {"KB", "kilobyte"},
    {"Mb", "si+6-bit"},
    {"MB", "megabyte"},
    {"mb", "megabyte"},
    {"KiB", "kibibyte"},
    {"K", "kelvin"},
    {"mK", "si-3-kelvin"},
    {"MK", "MWK"},
    {"\u00b0C", "celsius"},
    {"C", "celsius"},
    {"F", "fahrenheit"},
    {"Calorie", "food-calorie"},
    {"calorie", "calorie"},
    {"kcal", "si+3-calorie"},
    {"kWh", "si+3-watt-hour"},
    {"kilowatt hour", "si+3-watt-hour"},
    {"\u00b5m", "si-6-metre"},
    {"um", "micron"},
    {"\u03bcm", "micron"},
    {"mL", "si-3-litre"},
    {"ml", "si-3-litre"},
    {"cc", "cubic-centimetre"},
    {"NM", "nautical-mile"},
    {"nm", "si-9-metre"},
    {"$", "USD"},
    {"dollars", "USD"},
    {"kr", "NOK"},
    {"\u20ac", "EUR"},
    {"Ft", "HUF"},
    {"ft", "foot"},
    {"mph", "mile-per-hour"},
    {"kph", "kilometre-per-hour"},
    {"kn", "knot"},
    {"mpg", "mile-per-gallon"},
    {"gal", "gallon"},
    {"mbar", "si-3-bar"},
    {"MHz", "si+6-hertz"},
    {"k\u03a9", "si+3-ohm"},
    {"mA", "si-3-ampere"},
    {"uA", "microampere-ascii"},
    {"Mt", "si+6-tonne"},
    {"kpc", "si+3-parsec"},
    {"MeV", "si+6-electronvolt"},
    {"meV", "si-3-electronvolt"},
    {"sq ft", "square-foot"},
    {"fl oz", "fluid-ounce"},
    {"US gal", "us-gallon"},
    {"Mbps", "megabit-per-second"},
    {"MBps", "megabyte-per-second"},
    {"usd", "USD"},
    {"pen", nullptr},
    {"all", nullptr},
    {"d", "day"},
    {"D", nullptr},
    {"st", nullptr},
    {"AC", nullptr},
    {"LSL", "LSL"},
    {"lsl", nullptr},
    // Powers typed as digits
    {"m2", "square-metre"},
    {"km2", "square-kilometre"},
    {"cm2", "square-centimetre"},
    {"mm2", "square-millimetre"},
    {"in2", "square-inch"},
    {"ft2", "square-foot"},
    {"yd2", "square-yard"},
    {"mi2", "square-mile"},
    {"m3", "cubic-metre"},
    {"cm3", "cubic-centimetre"},
    {"in3", "cubic-inch"},
    {"ft3", "cubic-foot"},
    {"yd3", "cubic-yard"},
    {"m4", nullptr},
    {"mm3", nullptr},
    {"kg2", nullptr},
};

INSTANTIATE_TEST_SUITE_P(Catalogue, NameLookup, ::testing::ValuesIn(kLookups));

}  // namespace
}  // namespace resources_test
