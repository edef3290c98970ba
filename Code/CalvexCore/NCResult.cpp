#include "NCResult.h"

#include <unicode/uchar.h>

#include <cstdio>

#include "NBFErrorLog.h"
#include "NBFEvaluator.h"
#include "NCResultFormatter.h"
#include "NCUnitFilter.h"
#include "NCUnitStringFormatter.h"
#include "NCUtilityFunctions.h"
#include "NCValueUnit.h"

namespace {

std::u16string trimmed(const std::u16string& text) {
    size_t start = 0, end = text.size();
    while (start < end && u_isUWhiteSpace(text[start])) ++start;
    while (end > start && u_isUWhiteSpace(text[end - 1])) --end;
    return text.substr(start, end - start);
}

NCResultErrorType errorTypeForEvaluationError(NBFEvaluationError error) {
    // Index: the evaluation error 1 to 11.
    static const NCResultErrorType table[12] = {0, 4, 4, 1, 4, 3, 4, 4, 4, 2, 4, 4};
    if (error >= 1 && error < 12) return table[error];
    OX_logErr_bigHeader(false, "Error!", __func__, "Code/CalvexCore/NCResult", __LINE__,
                        "Unexpected error type %d", error);
    return NCResultErrorTypeGeneral;
}

NCResultErrorType errorTypeForErrorCode(NBFEvaluatorErrorCode code) {
    const uint32_t general =
        NBFEvaluatorErrorCodeNULLFunctionArgument | NBFEvaluatorErrorCodeNonRecoverableParseError |
        NBFEvaluatorErrorCodeUnrecognizedOperator | NBFEvaluatorErrorCodeNULLWordOperatorArgument |
        NBFParseErrorGeneral | NBFParseErrorNoRecovery;
    if (NBFErrorContainsErrorMask(code, general, 0xFFFFFF)) return NCResultErrorTypeGeneral;
    if (NBFErrorContainsErrorMask(code, NBFEvaluatorErrorCodeExponentTooLarge, 0xFFFF00))
        return NCResultErrorTypeExponentTooLarge;
    if (NBFErrorContainsErrorMask(code, NBFEvaluatorErrorCodeDivideByZero, 0xFFFF00))
        return NCResultErrorTypeDivideByZero;
    if (NBFErrorContainsErrorMask(code, NBFEvaluatorErrorCodeUnitTypeMismatch, 0xFFFF00))
        return NCResultErrorTypeIncompatibleUnits;
    return NCResultErrorTypeNone;
}

}  // namespace

NCResult::NCResult(const std::optional<std::u16string>& rawResult, std::shared_ptr<NCUnit> unit,
                   NCResultFlags flags) {
    if (rawResult) i_rawResult = trimmed(*rawResult);
    m_resultType = i_rawResult && !i_rawResult->empty() ? NCResultTypeValue : NCResultTypeEmpty;
    setUnit(std::move(unit));
    i_flags = flags;
}

NCResult::NCResult(NBFResultRef nbfResult) {
    NBFStringRef string = NBFResultGetStringReference(nbfResult);
    if (!string) {
        NBFEvaluationError error = NBFResultGetEvaluationError(nbfResult);
        m_errorType = error != NBFEvaluationErrorNone
                          ? errorTypeForEvaluationError(error)
                          : errorTypeForErrorCode(NBFResultGetErrorCode(nbfResult));
        m_resultType = m_errorType != NCResultErrorTypeNone ? NCResultTypeError : NCResultTypeEmpty;
    } else {
        i_nbfResult = NBFResultCreate(string, NBFResultGetMAPM(nbfResult));
        i_rawResult = string->units();
        m_resultType = i_rawResult->empty() ? NCResultTypeEmpty : NCResultTypeValue;
        NBFUnitFractionRef fraction = NBFResultGetUnitFraction(nbfResult);
        if (NBFUnitFractionGetUnitType(fraction) != NBFUnitTypeNone) {
            setUnit(std::make_shared<NCValueUnit>(fraction));
            for (const auto& [type, unit] : NBFUnitFractionGetUnitsByType(fraction)) {
                m_unitNameFormatsByUnitType[NCUnitTypeFromNBFUnitType(type)] =
                    NCUnitNameFormatFromNBFUnitFormatType(
                        NBFResultGetUnitComponentNameFormat(nbfResult, unit));
            }
        }
    }
    if (NBFResultGetFlags(nbfResult) & NBFResultFlagPercentage) i_flags = NCResultFlagPercentage;
}

NCResult::~NCResult() { NBFResultRelease(i_nbfResult); }

std::shared_ptr<NCResult> NCResult::emptyResult() {
    static const std::shared_ptr<NCResult> empty = std::make_shared<NCResult>(std::nullopt);
    return empty;
}

std::optional<std::u16string> NCResult::decimalValue(uint64_t decimalPlaces, bool withUnit) const {
    std::shared_ptr<NCResultFormattingOptions> options;
    {
        std::lock_guard<std::mutex> lock(m_cacheMutex);
        if (!i_formattingOptions)
            i_formattingOptions = std::make_shared<NCResultFormattingOptions>();
        options = i_formattingOptions->copy();
    }
    options->setDecimalPlaces(decimalPlaces);
    options->thousandsSeparator = i_enableThousandsSeparator;
    options->trailingZeros = i_trailingZeros;
    options->showUnit = withUnit;
    options->scientificNotationMode = 0;
    return NCResultFormatter::sharedInstance().stringValueForResult(this, options.get());
}

std::optional<std::u16string> NCResult::stringValueWithPrecision(int32_t significantDigits) const {
    NBFStringRef text = NBFResultCopyStringWithPrecision(nbfResult(), significantDigits);
    std::optional<std::u16string> answer = NCNSStringCreateFromNBFString(text);
    NBFStringRelease(text);
    return answer;
}

std::optional<std::u16string> NCResult::completeStringValue() const {
    NBFResultRef result = nbfResult();
    std::lock_guard<std::mutex> lock(m_cacheMutex);
    if (!i_completeResult)
        i_completeResult =
            NCNSStringCreateFromNBFString(NBFResultGetCompleteStringReference(result));
    return *i_completeResult;
}

bool NCResult::isUnity() const { return completeStringValue() == u"1"; }

int64_t NCResult::wholeNumberLength() const {
    std::lock_guard<std::mutex> lock(m_cacheMutex);
    if (i_wholeNumberLength == 0 && i_rawResult) {
        size_t point = i_rawResult->find(u'.');
        i_wholeNumberLength = point == std::u16string::npos
                                  ? static_cast<int64_t>(i_rawResult->size())
                              : point == 0 ? 1
                                           : static_cast<int64_t>(point);
    }
    return i_wholeNumberLength;
}

void NCResult::setRawResultPrecision(int64_t precision) {
    std::lock_guard<std::mutex> lock(m_cacheMutex);
    i_rawPrecision = precision;
}

NBFResultRef NCResult::nbfResult() const {
    std::lock_guard<std::mutex> lock(m_cacheMutex);
    if (!i_nbfResult) {
        NBFStringRef string = i_rawResult ? NBFStringCreateWithUTF16(*i_rawResult) : nullptr;
        i_nbfResult = NBFResultCreate(string);
        NBFStringRelease(string);
    }
    if (i_rawPrecision >= 0)
        NBFResultSetPrecision(i_nbfResult,
                              static_cast<int32_t>(std::min<int64_t>(i_rawPrecision, INT32_MAX)));
    return i_nbfResult;
}

void NCResult::setResultFormattingOptions(std::shared_ptr<NCResultFormattingOptions> options) {
    std::lock_guard<std::mutex> lock(m_cacheMutex);
    i_formattingOptions = std::move(options);
}

std::shared_ptr<NCResultFormattingOptions> NCResult::resultFormattingOptions() const {
    std::lock_guard<std::mutex> lock(m_cacheMutex);
    return i_formattingOptions;
}

void NCResult::setUnit(std::shared_ptr<NCUnit> unit) {
    if (unit == _unfilteredUnit) return;
    _filteredUnit = NCUnitFilter::filteredUnit(unit);
    _unfilteredUnit = std::move(unit);
}

std::optional<std::u16string> NCResult::unitString() const {
    NCUnitStringFormatter formatter;
    for (const auto& [type, format] : m_unitNameFormatsByUnitType)
        formatter.setUnitNameFormat(format, type);
    return formatter.stringForUnit(_filteredUnit.get(),
                                   isUnity() ? NCUnitNameFormSingular : NCUnitNameFormPlural);
}

NCUnitNameFormat NCResult::unitNameFormatForComponentUnitType(NCUnitType type) const {
    auto found = m_unitNameFormatsByUnitType.find(type);
    return found == m_unitNameFormatsByUnitType.end() ? NCUnitNameFormatDefault : found->second;
}

std::u16string NCResult::description() const {
    char address[32];
    std::snprintf(address, sizeof address, "%p", static_cast<const void*>(this));
    std::u16string text =
        u"<NCResult: " + NBFUTF8ToUTF16(address) + u" raw: '" + i_rawResult.value_or(u"") + u"'";
    if (_filteredUnit)
        text +=
            u", unit: '" + _filteredUnit->nameForFormat(NCUnitNameFormatName).value_or(u"") + u"'";
    return text + u">";
}

size_t NCResult::hash() const {
    return i_rawResult ? std::hash<std::u16string>()(*i_rawResult) : 0;
}

bool NCResult::isEqual(const NCResult* other) const {
    if (!other) return false;
    if (other == this) return true;
    if (!NBFResultEqualToResult(nbfResult(), other->nbfResult())) return false;
    if (!_filteredUnit) return !other->_filteredUnit;
    return _filteredUnit->isEqual(other->_filteredUnit.get());
}
