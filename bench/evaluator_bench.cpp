// Whole lines through the evaluator's front door: 1,000 lines of the kinds a notepad holds
// (arithmetic, units, conversions, percentages, functions, variables and word operators),
// written as the document core hands them over ("in" as "__uc"). The "per_line" counter is the
// time one line takes, from its text to its result.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "NBFEvaluator.h"
#include "NBFStandardFunctions.h"
#include "NBFStandardVariables.h"
#include "NBFUnitCollection.h"
#include "NBFUnitFractionBuilder.h"
#include "NBFoundation.h"

namespace {

struct UnitEntry {
    const char* identifier;
    NBFUnitType type;
    const char* factor;
    const char* offset;
    NBF::UnitContainer::NameMap names;
};

const std::vector<UnitEntry>& unitEntries() {
    static const std::vector<UnitEntry> entries = {
        {"metre", NBFUnitTypeLength, "1", nullptr, {{1, "metre"}, {2, "metres"}, {4, "m"}}},
        {"kilometre", NBFUnitTypeLength, "1000", nullptr, {{1, "kilometre"}, {4, "km"}}},
        {"centimetre", NBFUnitTypeLength, "0.01", nullptr, {{1, "centimetre"}, {4, "cm"}}},
        {"millimetre", NBFUnitTypeLength, "0.001", nullptr, {{1, "millimetre"}, {4, "mm"}}},
        {"foot", NBFUnitTypeLength, "0.3048", nullptr, {{1, "foot"}, {2, "feet"}, {4, "ft"}}},
        {"inch", NBFUnitTypeLength, "0.0254", nullptr, {{1, "inch"}, {2, "inches"}}},
        {"mile", NBFUnitTypeLength, "1609.344", nullptr, {{1, "mile"}, {2, "miles"}}},
        {"kilogram", NBFUnitTypeMass, "1", nullptr, {{1, "kilogram"}, {4, "kg"}}},
        {"gram", NBFUnitTypeMass, "0.001", nullptr, {{1, "gram"}, {4, "g"}}},
        {"pound", NBFUnitTypeMass, "0.45359237", nullptr, {{1, "pound"}, {4, "lb"}}},
        {"second", NBFUnitTypeTime, "1", nullptr, {{1, "second"}, {4, "s"}}},
        {"minute", NBFUnitTypeTime, "60", nullptr, {{1, "minute"}, {4, "min"}}},
        {"hour", NBFUnitTypeTime, "3600", nullptr, {{1, "hour"}, {2, "hours"}, {4, "h"}}},
        {"day", NBFUnitTypeTime, "86400", nullptr, {{1, "day"}, {2, "days"}}},
        {"kelvin", NBFUnitTypeTemperature, "1", nullptr, {{1, "kelvin"}, {4, "K"}}},
        {"celsius", NBFUnitTypeTemperature, "1", "273.15", {{1, "celsius"}, {4, "°C"}}},
        {"litre", NBFUnitTypeVolume, "0.001", nullptr, {{1, "litre"}, {4, "L"}}},
        {"mile-per-hour", NBFUnitTypeVelocity, "0.44704", nullptr, {{1, "mph"}}},
        {"byte", NBFUnitTypeComputerStorage, "1", nullptr, {{1, "byte"}, {4, "B"}}},
        {"kilobyte", NBFUnitTypeComputerStorage, "1000", nullptr, {{1, "kilobyte"}, {4, "kB"}}},
        {"megabyte", NBFUnitTypeComputerStorage, "1000000", nullptr, {{1, "megabyte"}, {4, "MB"}}},
    };
    return entries;
}

NBFUnitCollectionRef makeCatalogue() {
    NBFUnitCollectionRef collection = NBFUnitCollectionCreate();
    for (const UnitEntry& entry : unitEntries()) {
        NBFUnitRef basic = NBFUnitCreate(entry.type, entry.factor, entry.identifier);
        if (entry.offset) {
            NBFStringRef offset = NBFStringCreateWithUTF8(entry.offset);
            NBFUnitSetOffset(basic, offset);
            NBFStringRelease(offset);
        }
        NBFUnitContainerRef unit = NBFUnitContainerCreate(entry.identifier, entry.names, {});
        NBFUnitFractionBuilderRef builder = NBFUnitFractionBuilderCreateWithBasicUnit(basic);
        NBFUnitContainerSetUnitFraction(unit, NBFUnitFractionBuilderGetUnitFraction(builder));
        NBFUnitFractionBuilderRelease(builder);
        NBFUnitCollectionAddUnit(collection, unit);
        NBFUnitContainerRelease(unit);
        NBFUnitRelease(basic);
    }
    return collection;
}

// Lines from templates in turn, "{a}", "{b}" and "{p}" replaced by numbers of a fixed
// pseudo-random sequence, so every run measures the same 1,000 lines.
std::vector<std::string> makeLines(size_t count) {
    static const char* const templates[] = {
        "{a} + {b} * 3",     "({a} - {b}) / 7", "{a} + {p} %",        "{a} - {p} %",
        "{a} * {p} %",       "{p} % / 4",       "{a}^2 + {b}^2",      "sqrt({a}) + {b}",
        "round({a} / 3)",    "ln({a}) * 2",     "sin {b} + cos {b}",  "{a} m + {b} cm",
        "{a} km/h __uc m/s", "{a} ft __uc cm",  "{a} inches __uc mm", "{b} °C __uc K",
        "{a} kg * {b}",      "{a} lb __uc kg",  "{a} L __uc cm^3",    "{a} miles / {b} hours",
        "{a} mph __uc km/h", "{a} MB / {b} s",  "{a} days __uc h",    "price * {b} + {p} %",
        "{a} per {b}",       "0xff + {b}",      "{a}.{b} * 1.2 - 3",  "total {a} + tax {p} %",
    };
    std::vector<std::string> lines;
    uint32_t state = 12345;
    auto next = [&state](uint32_t range) {
        state = state * 1103515245u + 12345u;
        return (state >> 8) % range;
    };
    for (size_t i = 0; lines.size() < count; ++i) {
        std::string line = templates[i % (sizeof templates / sizeof *templates)];
        for (auto [marker, range] : {std::pair{"{a}", 5000u}, {"{b}", 90u}, {"{p}", 40u}}) {
            for (size_t at; (at = line.find(marker)) != std::string::npos;) {
                line.replace(at, 3, std::to_string(next(range) + 1));
            }
        }
        lines.push_back(line);
    }
    return lines;
}

struct Environment {
    NBFUnitCollectionRef units = nullptr;
    NBFVariableListRef variables = nullptr;
    NBFWordOperatorListRef wordOperators = nullptr;
    NBFEvaluatorRef evaluator = nullptr;
    std::vector<std::string> lines;

    Environment() {
        NBFSettingsRef settings = NBFSettingsCreate();
        NBFoundationInit(settings);
        NBFSettingsRelease(settings);
        units = makeCatalogue();
        variables = NBFVariableListCreate();
        NBFVariableListSetParentList(variables, NBFStandardVariablesGetSharedListReference());
        NBFVariableRef price = NBFVariableCreate();
        NBFStringRef name = NBFStringCreateWithUTF8("price");
        NBFStringRef value = NBFStringCreateWithUTF8("19.99");
        NBFVariableSetName(price, name);
        NBFVariableSetValue(price, value, 0, nullptr);
        NBFVariableListAddVariable(variables, price);
        NBFStringRelease(name);
        NBFStringRelease(value);
        NBFVariableRelease(price);
        wordOperators = NBFWordOperatorListCreate();
        NBFWordOperatorListAddASCII(wordOperators, "per", kNBFWordOperatorArgumentTypeInfix,
                                    "${1} / ${2}", 5, 0);
        evaluator = NBFEvaluatorCreate(units);
        NBFEvaluatorSetFunctionList(evaluator, NBFStandardFunctionsGetSharedListReference());
        NBFEvaluatorSetVariableList(evaluator, variables);
        NBFEvaluatorSetWordOperatorList(evaluator, wordOperators);
        lines = makeLines(1000);
    }
    ~Environment() {
        NBFEvaluatorFree(evaluator);
        NBFWordOperatorListRelease(wordOperators);
        NBFVariableListRelease(variables);
        NBFUnitCollectionRelease(units);
    }

    // Lines that gave no value: every line of the mix should give one.
    size_t failures() const {
        size_t failed = 0;
        for (const std::string& line : lines) {
            NBFResultRef result = NBFEvaluatorEvaluateString(evaluator, line);
            if (!result || NBFResultGetErrorCode(result) != 0) {
                if (failed++ < 5) std::fprintf(stderr, "no value: %s\n", line.c_str());
            }
            NBFResultRelease(result);
        }
        return failed;
    }
};

Environment& environment() {
    static Environment* shared = new Environment();
    return *shared;
}

void BM_EvaluateLines(benchmark::State& state) {
    Environment& env = environment();
    size_t failed = env.failures();
    if (failed != 0) {
        state.SkipWithError("lines of the mix gave no value");
        return;
    }
    for (auto _ : state) {
        for (const std::string& line : env.lines) {
            NBFResultRef result = NBFEvaluatorEvaluateString(env.evaluator, line);
            benchmark::DoNotOptimize(result);
            NBFResultRelease(result);
        }
    }
    auto lines = static_cast<double>(env.lines.size());
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * env.lines.size()));
    state.counters["per_line"] = benchmark::Counter(
        lines, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

BENCHMARK(BM_EvaluateLines)->Unit(benchmark::kMillisecond);

// One line made of a piece repeated n times, to show that the time a line takes grows in
// proportion to its length (the fitted complexity should read O(N)). Lines past the parser's
// depth limits are refused, but only after the whole front end has read them.
void BM_LineLength(benchmark::State& state, const char* piece) {
    Environment& env = environment();
    std::string line;
    for (int64_t i = 0; i < state.range(0); ++i) line += piece;
    for (auto _ : state) {
        NBFResultRef result = NBFEvaluatorEvaluateString(env.evaluator, line);
        benchmark::DoNotOptimize(result);
        NBFResultRelease(result);
    }
    state.SetComplexityN(state.range(0));
}

BENCHMARK_CAPTURE(BM_LineLength, sums_with_units, "2 km + 3 m + ")
    ->RangeMultiplier(4)
    ->Range(16, 4096)
    ->Complexity(benchmark::oN);
BENCHMARK_CAPTURE(BM_LineLength, brackets, "(")
    ->RangeMultiplier(4)
    ->Range(16, 4096)
    ->Complexity(benchmark::oN);
BENCHMARK_CAPTURE(BM_LineLength, words_and_numbers, "5 apples 3 ")
    ->RangeMultiplier(4)
    ->Range(16, 4096)
    ->Complexity(benchmark::oN);

}  // namespace
