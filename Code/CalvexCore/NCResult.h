// The answer of one line as the document core keeps it: the value's decimal text, the
// foundation result behind it, its kind and error kind, flags, the unit as set and as shown,
// and the name format chosen for each unit type of a compound unit.
#ifndef NUMBERA_CORE_NC_RESULT_H
#define NUMBERA_CORE_NC_RESULT_H

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "NBFResult.h"
#include "NCResultFormattingOptions.h"
#include "NCResultTypes.h"
#include "NCUnit.h"

class NCResult {
  public:
    NCResult() = default;
    // Trims white space and line ends; an empty text is an empty result.
    explicit NCResult(const std::optional<std::u16string>& rawResult,
                      std::shared_ptr<NCUnit> unit = nullptr, NCResultFlags flags = 0);
    // Takes the value, unit, name formats and percentage flag of an evaluation, or its error.
    explicit NCResult(NBFResultRef nbfResult);
    ~NCResult();
    NCResult(const NCResult&) = delete;
    NCResult& operator=(const NCResult&) = delete;

    static std::shared_ptr<NCResult> resultWithRawResultString(
        const std::optional<std::u16string>& rawResult, std::shared_ptr<NCUnit> unit = nullptr) {
        return std::make_shared<NCResult>(rawResult, std::move(unit));
    }
    // One shared result without text.
    static std::shared_ptr<NCResult> emptyResult();

    const std::optional<std::u16string>& rawResult() const { return m_rawResult; }
    // Ten decimal places with the unit, no scientific notation.
    std::optional<std::u16string> stringValue() const { return decimalValue(10, true); }
    std::optional<std::u16string> decimalValue(uint64_t decimalPlaces) const {
        return decimalValue(decimalPlaces, false);
    }
    // The result's own separator and trailing-zero flags, no scientific notation.
    std::optional<std::u16string> decimalValue(uint64_t decimalPlaces, bool withUnit) const;
    std::optional<std::u16string> stringValueWithPrecision(int32_t significantDigits) const;
    // Without trailing zeros; cached.
    std::optional<std::u16string> completeStringValue() const;
    bool isUnity() const;
    // Characters before the decimal point (a leading point counts as 1).
    int64_t wholeNumberLength() const;

    void setRawResultPrecision(int64_t precision);
    // Made from the raw text on first use; carries the raw precision once that is set.
    NBFResultRef nbfResult() const;

    void setResultFormattingOptions(std::shared_ptr<NCResultFormattingOptions> options);
    std::shared_ptr<NCResultFormattingOptions> resultFormattingOptions() const;

    NCResultFlags flags() const { return m_flags; }
    void setFlags(NCResultFlags flags) { m_flags = flags; }
    NCResultType resultType() const { return m_resultType; }
    NCResultErrorType errorType() const { return m_errorType; }
    bool trailingZeros() const { return m_trailingZeros; }
    void setTrailingZeros(bool on) { m_trailingZeros = on; }
    bool thousandsSeparator() const { return m_enableThousandsSeparator; }
    void setThousandsSeparator(bool on) { m_enableThousandsSeparator = on; }

    // The unit as shown (filtered for display).
    std::shared_ptr<NCUnit> unit() const { return m_filteredUnit; }
    std::shared_ptr<NCUnit> unfilteredUnit() const { return m_unfilteredUnit; }
    std::shared_ptr<NCUnit> filteredUnit() const { return m_filteredUnit; }
    void setUnit(std::shared_ptr<NCUnit> unit);
    // Singular for a unity value, plural otherwise, by the stored formats per unit type.
    std::optional<std::u16string> unitString() const;
    NCUnitNameFormat unitNameFormatForComponentUnitType(NCUnitType type) const;
    const std::map<NCUnitType, NCUnitNameFormat>& unitNameFormatsByUnitType() const {
        return m_unitNameFormatsByUnitType;
    }

    std::u16string description() const;
    size_t hash() const;
    // Equal values (by the foundation) and equal units, or both without unit.
    bool isEqual(const NCResult* other) const;

  private:
    bool m_trailingZeros = false;
    bool m_enableThousandsSeparator = false;
    int64_t m_rawPrecision = -1;
    NCResultType m_resultType = NCResultTypeNotSet;
    NCResultErrorType m_errorType = NCResultErrorTypeNone;
    NCResultFlags m_flags = 0;
    std::optional<std::u16string> m_rawResult;
    std::map<NCUnitType, NCUnitNameFormat> m_unitNameFormatsByUnitType;
    std::shared_ptr<NCUnit> m_unfilteredUnit;
    std::shared_ptr<NCUnit> m_filteredUnit;

    // Caches, filled on first request; a shared result may be read from several threads.
    mutable std::mutex m_cacheMutex;
    mutable NBFResultRef m_nbfResult = nullptr;
    mutable std::shared_ptr<NCResultFormattingOptions> m_formattingOptions;
    mutable std::optional<std::optional<std::u16string>> m_completeResult;
    mutable int64_t m_wholeNumberLength = 0;
};

#endif
