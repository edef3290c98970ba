// The units file parser over small hand-made files: loading on demand, prefixed variants,
// names, preferences and the refusal of malformed or self-referring entries.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "NCCompositeUnit.h"
#include "UnitsFileTestSupport.h"

namespace {

const char* kHeader = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>\n";

std::string prefixesXML() {
    // Enough prefixes for the tests: milli, centi, kilo and mega.
    return "<key>SIPrefixes</key><array>"
           "<dict><key>exponent</key><integer>-3</integer><key>prefix</key><string>milli</string>"
           "<key>symbol</key><string>m</string><key>factor</key><string>0.001</string></dict>"
           "<dict><key>exponent</key><integer>-2</integer><key>prefix</key><string>centi</string>"
           "<key>symbol</key><string>c</string><key>factor</key><string>0.01</string></dict>"
           "<dict><key>exponent</key><integer>3</integer><key>prefix</key><string>kilo</string>"
           "<key>symbol</key><string>k</string><key>factor</key><string>1000</string></dict>"
           "<dict><key>exponent</key><integer>6</integer><key>prefix</key><string>mega</string>"
           "<key>symbol</key><string>M</string><key>factor</key><string>1000000</string></dict>"
           "</array>\n";
}

std::string unitsFile(const std::string& units, const std::string& extra = "") {
    return std::string(kHeader) + prefixesXML() + "<key>Units</key><dict><key>Length</key><dict>" +
           units + "</dict></dict>" + extra + "</dict></plist>\n";
}

std::string basicEntry(const std::string& id, const std::string& factor,
                       const std::string& singular, const std::string& more = "") {
    return "<key>" + id + "</key><dict><key>factor</key><string>" + factor +
           "</string><key>singular</key><string>" + singular + "</string>" + more + "</dict>";
}

std::map<std::u16string, std::shared_ptr<NCUnit>> byIdentifier(const NCUnitsFile& file) {
    std::map<std::u16string, std::shared_ptr<NCUnit>> units;
    for (const auto& unit : file.units()) units[*unit->identifier()] = unit;
    return units;
}

std::shared_ptr<NCUnitsFile> load(const std::string& contents,
                                  const NCUnitsPreferenceChoices& choices = {}) {
    initFoundationConstants();
    TemporaryFile file(contents);
    return NCUnitsFileParser::readUnitsFile(file.path, "", "", choices);
}

TEST(UnitsFileParserTest, AFileThatIsNotAPropertyListLoadsNothingAndSaysSo) {
    for (const std::string& contents :
         {std::string("this is not a property list"), std::string(kHeader) + "<key>Units</key>",
          std::string("<?xml version=\"1.0\"?><plist><string>x"
                      "</string></plist>")}) {
        CapturedUnitsLog log;
        auto file = load(contents);
        EXPECT_TRUE(file->units().empty()) << contents;
        EXPECT_TRUE(file->baseUnitIdentifiersByType().empty()) << contents;
        EXPECT_TRUE(log.contains("Error while opening units data: '")) << contents;
    }
    CapturedUnitsLog log;
    initFoundationConstants();
    auto missing = NCUnitsFileParser::readUnitsFile("/nonexistent/Units.plist", "", "", {});
    EXPECT_TRUE(missing->units().empty());
    EXPECT_TRUE(log.contains("Error while opening units data: '"));
}

TEST(UnitsFileParserTest, CompositionsLoadTheirPartsOnDemandOnce) {
    // "a-speed" comes before its parts in key order and names a prefixed unit of a base
    // unit that has no SIPrefixes of its own.
    auto file = load(unitsFile(
        "<key>a-speed</key><dict><key>singular</key><string>zoom</string><key>composition</key>"
        "<dict><key>numerator</key><array><string>si+3-metre</string></array>"
        "<key>denominator</key><array><string>second</string></array></dict></dict>" +
            basicEntry("metre", "1", "metre") + basicEntry("second", "1", "second"),
        "<key>Base Units</key><dict><key>Length</key><string>metre</string></dict>"));
    auto units = byIdentifier(*file);
    EXPECT_EQ(file->units().size(), 4u);  // a-speed, metre, si+3-metre, second
    ASSERT_TRUE(units.count(u"si+3-metre"));
    EXPECT_EQ(utf8(std::static_pointer_cast<NCBasicUnit>(units[u"si+3-metre"])->factor()), "1000");
    EXPECT_EQ(utf8(units[u"si+3-metre"]->nameForFormat(NCUnitNameFormatName)), "kilometre");
    EXPECT_NE(std::dynamic_pointer_cast<NCCompositeUnit>(units[u"a-speed"]), nullptr);
    EXPECT_EQ(file->baseUnitIdentifiersByType().at(NCUnitTypeLength), u"metre");
}

TEST(UnitsFileParserTest, PrefixedVariantsFollowTheAllowedExponents) {
    struct Row {
        std::string more;
        std::set<std::u16string> expected;
    } rows[] = {
        {"<key>SIPrefixes</key><true/>",
         {u"gram", u"si-3-gram", u"si-2-gram", u"si+3-gram", u"si+6-gram"}},
        {"<key>SIPrefixExponents</key><string>3, 6</string>",
         {u"gram", u"si+3-gram", u"si+6-gram"}},
        {"<key>SIPrefixExponents</key><string>-3\n\t6</string><key>SIPrefixes</key><true/>",
         {u"gram", u"si-3-gram", u"si+6-gram"}},
        {"", {u"gram"}},
    };
    for (const Row& row : rows) {
        auto file = load(unitsFile(basicEntry("gram", "0.001", "gram", row.more)));
        std::set<std::u16string> identifiers;
        for (const auto& unit : file->units()) identifiers.insert(*unit->identifier());
        EXPECT_EQ(identifiers, row.expected) << row.more;
    }
}

TEST(UnitsFileParserTest, VeryShortPrefixedNamesOnlyForTheirExponents) {
    auto file = load(unitsFile(basicEntry(
        "gram", "0.001", "gram",
        "<key>symbol</key><string>g</string><key>singulars</key><array><string>x</string>"
        "<string>gramme</string></array><key>SIPrefixExponents</key><string>3 6</string>"
        "<key>SIPrefixExponents-veryShort</key><string>3</string>")));
    auto units = byIdentifier(*file);
    ASSERT_TRUE(units.count(u"si+3-gram") && units.count(u"si+6-gram"));
    EXPECT_EQ(utf8(units[u"si+3-gram"]->nameForFormat(NCUnitNameFormatVeryShortName)), "kg");
    // Without a very short name of its own the unit shows its name.
    EXPECT_EQ(utf8(units[u"si+6-gram"]->nameForFormat(NCUnitNameFormatVeryShortName)), "megagram");
    // "singular" is present, so "singulars" is ignored entirely.
    const auto& aliases = units[u"gram"]->aliases();
    auto singulars = aliases.find(NCUnitNameTypeSingular);
    EXPECT_TRUE(singulars == aliases.end() || singulars->second.empty());
}

TEST(UnitsFileParserTest, NamesRuleTakesListsAndKeepsCaseSensitiveNames) {
    auto file = load(unitsFile(
        "<key>pascal</key><dict><key>factor</key><string>1</string><key>singulars</key><array>"
        "<string>Pascal</string><string>Pa-unit</string></array><key>plural</key><string>Pascals"
        "</string><key>case-sensitive-names</key><array><string>Pascal</string></array>"
        "<key>SIPrefixExponents</key><string>3</string></dict>" +
        basicEntry("watt", "1", "Watt", "<key>SIPrefixExponents</key><string>3</string>")));
    auto units = byIdentifier(*file);
    ASSERT_TRUE(units.count(u"si+3-pascal") && units.count(u"si+3-watt"));
    // Case-sensitive names keep their case after the prefix; plain ones are lowercased.
    EXPECT_EQ(utf8(units[u"si+3-pascal"]->nameForFormat(NCUnitNameFormatName)), "kiloPascal");
    EXPECT_EQ(
        utf8(units[u"si+3-pascal"]->nameForFormat(NCUnitNameFormatName, NCUnitNameFormPlural)),
        "kilopascals");
    EXPECT_EQ(utf8(units[u"si+3-watt"]->nameForFormat(NCUnitNameFormatName)), "kilowatt");
    const auto& aliases = units[u"pascal"]->aliases();
    ASSERT_TRUE(aliases.count(NCUnitNameTypeSingular));
    EXPECT_EQ(aliases.at(NCUnitNameTypeSingular), std::vector<std::u16string>{u"Pa-unit"});
    const auto& prefixedAliases = units[u"si+3-pascal"]->aliases();
    ASSERT_TRUE(prefixedAliases.count(NCUnitNameTypeSingular));
    EXPECT_EQ(prefixedAliases.at(NCUnitNameTypeSingular),
              (std::vector<std::u16string>{u"kilopa-unit", u"kPa-unit"}));
}

TEST(UnitsFileParserTest, ValuesOfTheWrongTypeCountAsAbsentAndAreLogged) {
    CapturedUnitsLog log;
    auto file = load(unitsFile(
        // factor as an integer: no factor, so no unit
        "<key>bad-factor</key><dict><key>factor</key><integer>3</integer><key>singular</key>"
        "<string>bad</string></dict>"
        // singular as an array: no singular, so no unit
        "<key>bad-name</key><dict><key>factor</key><string>1</string><key>singular</key>"
        "<array/></dict>"
        // the entry itself a string
        "<key>not-entry</key><string>x</string>"
        // composition as a string
        "<key>bad-composition</key><dict><key>singular</key><string>c</string><key>composition"
        "</key><string>metre</string></dict>"
        // SIPrefixes as a string and a tie-break factor as a date: both ignored
        "<key>odd</key><dict><key>factor</key><string>2</string><key>singular</key><string>odd"
        "</string><key>SIPrefixes</key><string>yes</string><key>ambiguousTieBreakFactor</key>"
        "<date>2020-01-01T00:00:00Z</date></dict>" +
            basicEntry("metre", "1", "metre"),
        "<key>Base Units</key><string>metre</string><key>Preferences</key><array/>"));
    std::set<std::u16string> identifiers;
    for (const auto& unit : file->units()) identifiers.insert(*unit->identifier());
    EXPECT_EQ(identifiers, (std::set<std::u16string>{u"odd", u"metre"}));
    EXPECT_TRUE(file->baseUnitIdentifiersByType().empty());
    for (const char* part : {"factor", "Unit singular is not a string", "not a dictionary",
                             "SIPrefixes is not a boolean", "ambiguousTieBreakFactor"})
        EXPECT_TRUE(log.contains(part)) << part;
}

TEST(UnitsFileParserTest, CompositionsThatContainThemselvesAreRefused) {
    CapturedUnitsLog log;
    auto composition = [](const std::string& id, const std::string& numerator) {
        return "<key>" + id + "</key><dict><key>singular</key><string>" + id +
               "</string><key>composition</key><dict><key>numerator</key><array><string>" +
               numerator +
               "</string></array><key>denominator</key><array><string>second"
               "</string></array></dict></dict>";
    };
    auto file =
        load(unitsFile(composition("self", "self") + composition("ping", "pong") +
                       composition("pong", "ping") + composition("fine", "metre") +
                       basicEntry("metre", "1", "metre") + basicEntry("second", "1", "second")));
    std::set<std::u16string> identifiers;
    for (const auto& unit : file->units()) identifiers.insert(*unit->identifier());
    EXPECT_EQ(identifiers, (std::set<std::u16string>{u"fine", u"metre", u"second"}));
    EXPECT_TRUE(log.contains("part of its own composition"));
}

TEST(UnitsFileParserTest, PreferencesChooseWhatAnAliasMeans) {
    const std::string units =
        basicEntry("byte", "1", "byte") +
        basicEntry("decimal-kilobyte", "1000", "decimal kilobyte") +
        basicEntry("kibibyte", "1024", "kibibyte") +
        "<key>kilobyte</key><dict><key>factor</key><string>999</string><key>singular</key>"
        "<string>shadowed</string></dict>";
    const std::string preferences =
        "<key>Preferences</key><dict><key>byte-prefix</key><dict>"
        "<key>si</key><dict><key>kilobyte</key><string>decimal-kilobyte</string></dict>"
        "<key>binary</key><dict><key>kilobyte</key><string>kibibyte</string></dict></dict>"
        "<key>no-such-preference</key><dict/></dict>";
    struct Row {
        NCUnitsPreferenceChoices choices;
        std::string factor;
    } rows[] = {
        {{{NCUnitsPreferenceBytePrefix, NCUnitsPreferenceBytePrefixOptionSI}}, "1000"},
        {{{NCUnitsPreferenceBytePrefix, NCUnitsPreferenceBytePrefixOptionBinary}}, "1024"},
        // Nothing chosen: the file's own entry under the alias identifier.
        {{}, "999"},
    };
    for (const Row& row : rows) {
        auto file = load(std::string(kHeader) +
                             "<key>Units</key><dict><key>Computer Storage</key>"
                             "<dict>" +
                             units + "</dict></dict>" + preferences + "</dict></plist>",
                         row.choices);
        auto loaded = byIdentifier(*file);
        // Targets of both options load either way.
        EXPECT_TRUE(loaded.count(u"decimal-kilobyte") && loaded.count(u"kibibyte"));
        auto kilobyte = std::dynamic_pointer_cast<NCBasicUnit>(loaded[u"kilobyte"]);
        ASSERT_NE(kilobyte, nullptr);
        EXPECT_EQ(utf8(kilobyte->factor()), row.factor);
        EXPECT_EQ(kilobyte->type(), NCUnitTypeComputerStorage);
    }
    EXPECT_EQ(NCUnitsPreferences::defaultPreferences().at(NCUnitsMeasurementSystem),
              NCUnitsMeasurementSystemMetric);
    EXPECT_EQ(NCUnitsMeasurementSystem, u"NCUnitsPreferenceImperialUSOrMetric");
}

TEST(UnitsFileParserTest, CurrencyUnitsFromTheLocalisationFile) {
    initFoundationConstants();
    auto units = NCUnitsFileParser::loadCurrencyUnitsFromLocalizationFile(
        resourcePath("en.lproj/CurrencyLocalization.plist"));
    std::map<std::u16string, std::shared_ptr<NCMutableBasicUnit>> byCode;
    for (const auto& unit : units) byCode[*unit->identifier()] = unit;
    EXPECT_GT(units.size(), 100u);
    for (const char16_t* code : {u"USD", u"EUR", u"GBP", u"JPY"}) {
        ASSERT_TRUE(byCode.count(code)) << utf8(std::u16string(code));
        EXPECT_EQ(byCode[code]->type(), NCUnitTypeCurrency);
        EXPECT_EQ(byCode[code]->nameForFormat(NCUnitNameFormatVeryShortName), std::u16string(code));
    }
    EXPECT_TRUE(NCUnitsFileParser::loadCurrencyUnitsFromLocalizationFile("/nonexistent").empty());
}

}  // namespace
