// Calls of math function bodies from table rows: arguments written as text ("2.5", "5%",
// "-8 m^3", "inf"), results described as text ("0.5", "3 kg", "nan", "error 9").
#ifndef NUMBERA_TESTS_FOUNDATION_MATH_TEST_SUPPORT_H
#define NUMBERA_TESTS_FOUNDATION_MATH_TEST_SUPPORT_H

#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "NBFMathLibrary.h"
#include "UnitTestCatalog.h"

typedef std::function<NBFValueRef(const NBFValueRef*, int32_t, NBFMAPMContextRef,
                                  NBFEvaluationContextRef)>
    MathFunction;

inline MathFunction registerShape(NBFNumberToMAPMFunction body) {
    return [body](const NBFValueRef* arguments, int32_t count, NBFMAPMContextRef mapm,
                  NBFEvaluationContextRef context) {
        return NBFMathExecuteNumberToMAPM(body, arguments, count, mapm, context);
    };
}

inline MathFunction legacyShape(NBFLegacyMAPMFunction body) {
    return [body](const NBFValueRef* arguments, int32_t count, NBFMAPMContextRef,
                  NBFEvaluationContextRef context) {
        return NBFMathExecuteLegacyMAPM(body, arguments, count, context);
    };
}

inline MathFunction valueShape(NBFValueToValueFunction body) { return body; }

inline std::string unitText(NBFUnitFractionRef fraction) {
    std::string text;
    for (NBFUnit* unit : NBFUnitFractionGetNumeratorUnits(fraction)) {
        text += (text.empty() ? "" : "·") + std::string(NBFUnitGetIdentifier(unit));
    }
    std::string below;
    for (NBFUnit* unit : NBFUnitFractionGetDenominatorUnits(fraction)) {
        below += (below.empty() ? "" : "·") + std::string(NBFUnitGetIdentifier(unit));
    }
    if (!below.empty()) text += "/" + below;
    return text;
}

class MathCaller {
  public:
    explicit MathCaller(int digits = 30) : m_mapm(NBFMAPMContextCreate(digits)) {
        initFoundationConstants();
    }
    ~MathCaller() { NBFMAPMContextRelease(m_mapm); }
    MathCaller(const MathCaller&) = delete;
    MathCaller& operator=(const MathCaller&) = delete;

    // "nan", "inf", "-inf", "<number>[%][ unit[^power]...]".
    NBFValueRef argument(const std::string& text) const {
        std::istringstream words(text);
        std::string number;
        words >> number;
        NBFNumberRef value;
        if (number == "nan" || number == "inf" || number == "-inf") {
            NBFNumberSpecialType special = number == "nan"   ? NBFNumberSpecialTypeNaN
                                           : number == "inf" ? NBFNumberSpecialTypeInfinity
                                                             : NBFNumberSpecialTypeNegativeInfinity;
            value = NBFNumberCreateSpecial(special);
        } else if (!number.empty() && number.back() == '%') {
            number.pop_back();
            value = NBFNumberCreateWithCString(number.c_str(), NBFNumberTypePercentage);
        } else {
            value = NBFNumberCreateWithCString(number.c_str(), NBFNumberTypeNumber);
        }
        NBFUnitFractionBuilderRef builder = NBFUnitFractionBuilderCreate();
        bool hasUnit = false;
        for (std::string word; words >> word;) {
            size_t caret = word.find('^');
            int power = caret == std::string::npos ? 1 : std::stoi(word.substr(caret + 1));
            builder->addUnit(m_units[word.substr(0, caret)], static_cast<int8_t>(power));
            hasUnit = true;
        }
        NBFUnitFractionRef fraction =
            hasUnit ? NBFUnitFractionBuilderCreateUnitFraction(builder) : nullptr;
        NBFUnitFractionBuilderRelease(builder);
        return NBFValueCreate_TransferOwnership(value, fraction);
    }

    // Describes the answer; an evaluation error is written as "error N".
    std::string call(const MathFunction& function, const std::vector<std::string>& arguments,
                     NBFTrigonometryMode mode = NBFTrigonometryModeRadians) const {
        std::vector<NBFValueRef> values;
        for (const std::string& text : arguments) values.push_back(argument(text));
        NBFEvaluationContextRef context = NBFEvaluationContextCreate(mode);
        NBFValueRef result =
            function(values.data(), static_cast<int32_t>(values.size()), m_mapm, context);
        std::string text = describe(result);
        if (context->evaluationError != NBFEvaluationErrorNone) {
            text += (result ? " " : "") + std::string("error ") +
                    std::to_string(context->evaluationError);
        }
        NBFValueRelease(result);
        NBFEvaluationContextRelease(context);
        for (NBFValueRef value : values) NBFValueRelease(value);
        return text;
    }

    static std::string describe(NBFValueRef value) {
        if (!value) return "";
        NBFNumberRef number = NBFValueGetNumber(value);
        std::string text;
        switch (NBFNumberGetSpecialType(number)) {
            case NBFNumberSpecialTypeNaN:
                text = "nan";
                break;
            case NBFNumberSpecialTypeInfinity:
                text = "inf";
                break;
            case NBFNumberSpecialTypeNegativeInfinity:
                text = "-inf";
                break;
            default:
                text = decimalText(NBFNumberGetMAPMReference(number));
                break;
        }
        if (NBFNumberGetType(number) == NBFNumberTypePercentage) text += "%";
        if (NBFUnitFractionRef fraction = NBFValueGetUnitFraction(value)) {
            text += " " + unitText(fraction);
        }
        return text;
    }

    const UnitTestCatalog& units() const { return m_units; }
    NBFMAPMContextRef mapm() const { return m_mapm; }

  private:
    NBFMAPMContextRef m_mapm;
    UnitTestCatalog m_units;
};

#endif
