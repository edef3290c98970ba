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
    if (rawResult) m_rawResult = trimmed(*rawResult);
    m_resultType = m_rawResult && !m_rawResult->empty() ? NCResultTypeValue : NCResultTypeEmpty;
    setUnit(std::move(unit));
    m_flags = flags;
}

NCResult::NCResult(NBFResultRef nbfResult) {
    NBFStringRef string = NBFResultGetStringReference(nbfResult);
    if (!string) {
        NBFEvaluationError error = NBFResultGetEvaluationError(nbfResult);
        m_errorType = error != NBFEvaluationErrorNone
                          ? NCResultErrorTypeFromNBFEvaluationError(error)
                          : errorTypeForErrorCode(NBFResultGetErrorCode(nbfResult));
        m_resultType = m_errorType != NCResultErrorTypeNone ? NCResultTypeError : NCResultTypeEmpty;
    } else {
        m_nbfResult = NBFResultCreate(string, NBFResultGetMAPM(nbfResult));
        m_rawResult = string->units();
        m_resultType = m_rawResult->empty() ? NCResultTypeEmpty : NCResultTypeValue;
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
    if (NBFResultGetFlags(nbfResult) & NBFResultFlagPercentage) m_flags = NCResultFlagPercentage;
}

NCResult::~NCResult() { NBFResultRelease(m_nbfResult); }

std::shared_ptr<NCResult> NCResult::emptyResult() {
    static const std::shared_ptr<NCResult> empty = std::make_shared<NCResult>(std::nullopt);
    return empty;
}

std::optional<std::u16string> NCResult::decimalValue(uint64_t decimalPlaces, bool withUnit) const {
    std::shared_ptr<NCResultFormattingOptions> options;
    {
        std::lock_guard<std::mutex> lock(m_cacheMutex);
        if (!m_formattingOptions)
            m_formattingOptions = std::make_shared<NCResultFormattingOptions>();
        options = m_formattingOptions->copy();
    }
    options->setDecimalPlaces(decimalPlaces);
    options->thousandsSeparator = m_enableThousandsSeparator;
    options->trailingZeros = m_trailingZeros;
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
    if (!m_completeResult)
        m_completeResult =
            NCNSStringCreateFromNBFString(NBFResultGetCompleteStringReference(result));
    return *m_completeResult;
}

bool NCResult::isUnity() const { return completeStringValue() == u"1"; }

int64_t NCResult::wholeNumberLength() const {
    std::lock_guard<std::mutex> lock(m_cacheMutex);
    if (m_wholeNumberLength == 0 && m_rawResult) {
        size_t point = m_rawResult->find(u'.');
        m_wholeNumberLength = point == std::u16string::npos
                                  ? static_cast<int64_t>(m_rawResult->size())
                              : point == 0 ? 1
                                           : static_cast<int64_t>(point);
    }
    return m_wholeNumberLength;
}

void NCResult::setRawResultPrecision(int64_t precision) {
    std::lock_guard<std::mutex> lock(m_cacheMutex);
    m_rawPrecision = precision;
}

NBFResultRef NCResult::nbfResult() const {
    std::lock_guard<std::mutex> lock(m_cacheMutex);
    if (!m_nbfResult) {
        NBFStringRef string = m_rawResult ? NBFStringCreateWithUTF16(*m_rawResult) : nullptr;
        m_nbfResult = NBFResultCreate(string);
        NBFStringRelease(string);
    }
    if (m_rawPrecision >= 0)
        NBFResultSetPrecision(m_nbfResult,
                              static_cast<int32_t>(std::min<int64_t>(m_rawPrecision, INT32_MAX)));
    return m_nbfResult;
}

void NCResult::setResultFormattingOptions(std::shared_ptr<NCResultFormattingOptions> options) {
    std::lock_guard<std::mutex> lock(m_cacheMutex);
    m_formattingOptions = std::move(options);
}

std::shared_ptr<NCResultFormattingOptions> NCResult::resultFormattingOptions() const {
    std::lock_guard<std::mutex> lock(m_cacheMutex);
    return m_formattingOptions;
}

void NCResult::setUnit(std::shared_ptr<NCUnit> unit) {
    if (unit == m_unfilteredUnit) return;
    m_filteredUnit = NCUnitFilter::filteredUnit(unit);
    m_unfilteredUnit = std::move(unit);
}

std::optional<std::u16string> NCResult::unitString() const {
    NCUnitStringFormatter formatter;
    for (const auto& [type, format] : m_unitNameFormatsByUnitType)
        formatter.setUnitNameFormat(format, type);
    return formatter.stringForUnit(m_filteredUnit.get(),
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
        u"<NCResult: " + NBFUTF8ToUTF16(address) + u" raw: '" + m_rawResult.value_or(u"") + u"'";
    if (m_filteredUnit)
        text +=
            u", unit: '" + m_filteredUnit->nameForFormat(NCUnitNameFormatName).value_or(u"") + u"'";
    return text + u">";
}

size_t NCResult::hash() const {
    return m_rawResult ? std::hash<std::u16string>()(*m_rawResult) : 0;
}

bool NCResult::isEqual(const NCResult* other) const {
    if (!other) return false;
    if (other == this) return true;
    if (!NBFResultEqualToResult(nbfResult(), other->nbfResult())) return false;
    if (!m_filteredUnit) return !other->m_filteredUnit;
    return m_filteredUnit->isEqual(other->m_filteredUnit.get());
}
