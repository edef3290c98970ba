// Renders a result's value into text components: the mantissa, and for scientific notation
// also the base "10" and the exponent, with digit grouping, trailing-zero removal, another
// base, and exponent thresholds.
#ifndef NUMBERA_FOUNDATION_NBF_RESULT_FORMATTER_H
#define NUMBERA_FOUNDATION_NBF_RESULT_FORMATTER_H

#include <cstdint>

#include "NBFObject.h"
#include "NBFResult.h"

typedef uint32_t NBFResultBase;

namespace NBF {

struct ResultFormatterImpl {
    bool trailingZeros = false;
    bool thousandsSeparator = false;
    bool scientificNotation = true;
    bool basePrefix = true;
    int8_t groupSize = 3;
    int16_t snThresholdSmall = NBFScientificNotationThresholdNotDefined;
    int16_t snThresholdBig = NBFScientificNotationThresholdNotDefined;
    int16_t snGranularity = 1;
};

class ResultFormatter : public Object<ResultFormatter> {
  public:
    static ResultFormatter* create() { return new ResultFormatter(); }

    bool trailingZeros() const { return m_impl.trailingZeros; }
    void setTrailingZeros(bool on) { m_impl.trailingZeros = on; }
    bool thousandsSeparator() const { return m_impl.thousandsSeparator; }
    void setThousandsSeparator(bool on) { m_impl.thousandsSeparator = on; }
    bool scientificNotation() const { return m_impl.scientificNotation; }
    void setScientificNotation(bool on) { m_impl.scientificNotation = on; }
    bool basePrefix() const { return m_impl.basePrefix; }
    void setBasePrefix(bool on) { m_impl.basePrefix = on; }
    int8_t groupSize() const { return m_impl.groupSize; }
    void setGroupSize(int8_t size) { m_impl.groupSize = size; }
    int16_t snThresholdSmall() const { return m_impl.snThresholdSmall; }
    int16_t snThresholdBig() const { return m_impl.snThresholdBig; }
    void setScientificNotationThresholds(int16_t small, int16_t big) {
        m_impl.snThresholdSmall = small;
        m_impl.snThresholdBig = big;
    }
    int16_t snGranularity() const { return m_impl.snGranularity; }
    void setSnGranularity(int16_t granularity) { m_impl.snGranularity = granularity; }

    const ResultFormatterImpl& impl() const { return m_impl; }

  private:
    ResultFormatter() = default;
    ResultFormatterImpl m_impl;
};

}  // namespace NBF

typedef NBF::ResultFormatter* NBFResultFormatterRef;

NBFResultFormatterRef NBFResultFormatterCreate();
void NBFResultFormatterRelease(NBFResultFormatterRef formatter);
void NBFResultFormatterSetIncludeTrailingZeros(NBFResultFormatterRef formatter, bool on);
void NBFResultFormatterSetIncludeThousandsSeparator(NBFResultFormatterRef formatter, bool on);
void NBFResultFormatterSetThousandsGroupSize(NBFResultFormatterRef formatter, int8_t size);
void NBFResultFormatterSetIncludeBasePrefix(NBFResultFormatterRef formatter, bool on);
void NBFResultFormatterSetEnableScientificNotation(NBFResultFormatterRef formatter, bool on);
void NBFResultFormatterSetScientificNotationThresholds(NBFResultFormatterRef formatter,
                                                       int16_t small, int16_t big);
void NBFResultFormatterSetScientificNotationGranularity(NBFResultFormatterRef formatter,
                                                        int16_t granularity);

// `components` holds at least three pointers; it receives malloc'ed strings that the caller
// frees, and `count` how many (0, 1 or 3). Decimal places beyond 65535 are clamped; a
// granularity below 1 counts as 1; a base other than 2, 10 or 16 counts as 10.
void NBFResultFormatterGetResultComponentsWithDecimalPlaces(NBFResultFormatterRef formatter,
                                                            NBFResultRef result, char** components,
                                                            uint8_t* count, NBFResultBase base,
                                                            uint32_t decimalPlaces);
void NBFResultFormatterGetResultComponentsWithSignificantDigits(NBFResultFormatterRef formatter,
                                                                NBFResultRef result,
                                                                char** components, uint8_t* count,
                                                                NBFResultBase base,
                                                                uint32_t significantDigits);

#endif
