// Answers of everyday sheets as the answer column shows them, in the environment the previewer
// builds from the shipped resources (their catalogue and currencies): derived units reached
// from products and quotients, a written fraction of a unit, conversions that never turn a
// unit into its reciprocal, and failures handed on through variables and line references.
//
// The same table runs in two programs, one for each setting of the experimental unit
// factorings (the default, and the standard table where that setting is off); a row names its
// answer under the standard table where the two differ. The standard table reaches energy,
// force and pressure through power, time and length, but keeps mass apart from them.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "NCExpression.h"
#include "NCLineCollection.h"
#include "NCSettings.h"
#include "NKResultFormattingHelper.h"
#include "NKTextHelpers.h"
#include "PreviewEnvironment.h"

namespace {

struct Row {
    std::vector<std::u16string> lines;    // the last one's answer is checked
    const char* shown;                    // with the experimental unit factorings (the default)
    const char* shownStandard = nullptr;  // with the standard table, where it differs
};

const char* const kIncompatible = "Error: Incompatible Units";

const std::u16string above = NCExpression::relativeLineReferenceTokenWithOffset(-1);

const Row kRows[] = {
    // Products and quotients of units reach the derived unit they make.
    {{u"2 kW * 3 h in kWh"}, "6 kWh"},
    {{u"1500 W * 8 h in kWh"}, "12 kWh"},
    {{u"60 W * 2 h in Wh"}, "120 Wh"},
    {{u"2.2 kW * 3.5 h in MJ"}, "27.72 MJ"},
    {{u"10 N * 2 m in J"}, "20 J"},
    {{u"750 N * 12 m in kJ"}, "9 kJ"},
    {{u"9000 J / 4 s in W"}, "2,250 W"},
    // Mass meets force only where voltage and resistance are not base types.
    {{u"80 kg * 9.81 m/s^2 in N"}, "784.8 N", kIncompatible},
    {{u"1 N / 1 m^2 in Pa"}, "1 Pa"},
    {{u"100 kPa * 2 m^2 in N"}, "200,000 N"},
    {{u"6 kWh / 3 kW in h"}, "2 h"},
    {{u"1 bar * 1 L in J"}, "100 J"},
    {{u"1 hp * 1 h in kWh"}, "0.7456998716 kWh"},
    {{u"15 kWh / 100 km in N"}, "540 N"},
    {{u"1 Pa + 1 N / 1 m^2"}, "2 Pa"},
    {{u"1 J + 1 N m"}, "2 m N", "2 J"},
    {{u"1 J / 1 A / 1 s"}, "1 volt"},
    // The catalogue has no coulomb: "C" is the degree Celsius, which no current meets.
    {{u"2 A * 3 s in C"}, kIncompatible},
    // Never a wrong unit: the energy and the energy price cancel.
    {{u"2 kW * 3 h * 0.30 EUR/kWh"}, "1.80 EUR"},
    {{u"2 kW * 3 h * 0.30 EUR/J"}, "6,480,000.00 EUR"},
    {{u"3 EUR/kWh * 2 kWh"}, "6.00 EUR"},
    {{u"2 kW * 3 h * 0.30 EUR/kWh / 1 day"}, "1.8 EUR/day"},
    {{u"2 kWh * 3 EUR/kW"}, "21,600.00 EUR"},
    {{u"2 kW * 0.30 EUR/kWh"}, "0.0001666667 EUR/second"},
    // An amount of money multiplied by other units shows the currency alone, but a rate keeps
    // every unit that does not cancel rather than read as a price it is not.
    {{u"3 EUR * 2 m"}, "6.00 EUR"},
    {{u"5 kg * 2 EUR/kg"}, "10.00 EUR"},
    {{u"2 kg * 3 EUR/kWh"}, "6 kg EUR/kWh"},
    {{u"$12 per hour * 40 kg"}, "480 kg $/hour"},
    {{u"6 EUR / 3 km/h"}, "2 EUR h/km"},
    {{u"2 h * 3 EUR/kWh"}, "6 EUR h/kWh", "0.006 EUR/watt"},
    {{u"80 kg * 9.81 m/s^2 * 2 m * 0.30 EUR/J"}, "470.88 EUR", "470.88 m^2 kg EUR/s^2 J"},
    // A variable holds the units it was given (a no-break space follows the currency sign).
    {{u"x = 2 kg * 3 EUR/kWh", u"x * 1 kWh / 1 kg"}, "€\u00a06.00"},
    // Voltages, currents, resistances and powers as the standard table answers them.
    {{u"12 V * 2 A"}, "24 watts"},
    {{u"100 W / 2 A"}, "50 volts"},
    {{u"2 A * 6 ohm"}, "12 volts"},
    {{u"230 V / 10 A"}, "23 ohms"},
    {{u"10 V / 5 ohm"}, "2 amperes"},
    {{u"5 V + 300 mV"}, "5,300 mV"},
    {{u"1 W / 1 A in V"}, "1 V"},
    {{u"(230 V)^2 / 100 W"}, "529 V^2/W"},
    // Voltage and resistance are base types of the standard table: a conversion meets its
    // target only in base types.
    {{u"230 V / 10 A in ohm"}, "23 ohms", kIncompatible},
    {{u"2 A * 6 ohm in mV"}, "12,000 mV", kIncompatible},
    // A fraction of two numbers written straight before a unit is that fraction of the unit
    // (the cup is the metric cup of 250 mL, the spoons are US spoons).
    {{u"3/4 cup in ml"}, "187.5 mL"},
    {{u"1/2 cup in ml"}, "125 mL"},
    {{u"1/4 tsp in ml"}, "1.2322303984 mL"},
    {{u"1/2 cup + 2 tbsp in ml"}, "154.5735295625 mL"},
    {{u"6/2 h"}, "3 h"},
    // A quotient written with spaces, or whose divisor is not a plain number, keeps its
    // meaning.
    {{u"6 / 2 h"}, "3 per h"},
    {{u"2^3/4 kg"}, "2 per kg"},
    {{u"1/3/4 kg"}, "0.0833333333 per kg"},
    // A conversion never turns a unit into its reciprocal; a ratio into its reciprocal ratio
    // it does (fuel economy and fuel consumption).
    {{u"1 / (4 cup) in ml"}, kIncompatible},
    {{u"2 s in Hz"}, kIncompatible},
    {{u"0.5 Hz in s"}, kIncompatible},
    {{u"5 min/km in km/h"}, "12 km/h"},
    // A line that reads a failed variable or line fails with it.
    {{u"x = 5 kg + 3 EUR", u"100 + x"}, kIncompatible},
    {{u"y = 1/0", u"y + 5"}, "Error: Divide by Zero"},
    {{u"z = 2^1000000", u"z * 0"}, "Error: Exponent too large"},
    {{u"5 kg + 3 EUR", above + u" + 1"}, kIncompatible},
    {{u"1/0", above + u" * 0"}, "Error: Divide by Zero"},
    {{u"w = 1/0", u"v = w + 1", u"sqrt(v)"}, "Error: Divide by Zero"},
};

std::ostream& operator<<(std::ostream& out, const Row& row) {
    return out << NKUTF8(row.lines.back());
}

bool experimentalUnits() {
    auto settings = NCSettings::current();
    return settings && settings->enableExperimentalUnitsMode();
}

class AnswerTable : public ::testing::TestWithParam<Row> {
  protected:
    static void SetUpTestSuite() {
        std::string reason;
        ASSERT_TRUE(NumberaPreview::bootstrap(NumberaPreview::shippedResourcesFolder(), &reason))
            << reason;
    }
};

TEST_P(AnswerTable, ShowsTheAnswer) {
    const Row& row = GetParam();
    const char* expected =
        !experimentalUnits() && row.shownStandard ? row.shownStandard : row.shown;
    auto document = std::make_shared<NCLineCollection>();
    document->beginBatchUpdate();
    for (const std::u16string& text : row.lines)
        document->addLine(NCLine::lineWithExpressionString(text));
    document->endBatchUpdate();
    auto line = document->lineAtIndex(row.lines.size() - 1);
    ASSERT_TRUE(line);
    std::optional<NSAttributedString> shown =
        NKResultFormattingHelper::attributedFormattedResultForLine(*line, {});
    ASSERT_TRUE(shown.has_value());
    EXPECT_EQ(NKUTF8(shown->string()), expected);
}

INSTANTIATE_TEST_SUITE_P(EverydaySheets, AnswerTable, ::testing::ValuesIn(kRows));

}  // namespace
